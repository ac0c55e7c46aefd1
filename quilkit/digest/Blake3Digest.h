#pragma once

#include <cstddef>
#include <cstdint>

#include "Blake3Workers.h"

// BLAKE3's default 32-byte hash, used like CSha256Digest: Init, any number of Updates, Final,
// then Report or CopyDigest. Whole chunks straight from the caller's data go through the
// widest path the processor has, many at a time; a long Update is spread over `threads`
// threads, each taking a whole subtree of at least 128 KiB of it, which the tree makes exact.
// It owns those threads: it cannot be copied.
class CBlake3Digest {
public:
    static constexpr int kDigestSize = 32;
    static constexpr uint8_t kReportHex = 0;
    static constexpr uint8_t kReportDigits = 1;
    // No thread takes less than this: below it starting one costs more than it brings.
    static constexpr size_t kMinBytesPerThread = 128 * 1024;

    explicit CBlake3Digest(unsigned threads = 1);

    void Init();
    void Update(const uint8_t* data, size_t length);
    void Final();

    // Type 0 needs 65 characters, type 1 at most 97, the error text 28.
    void Report(char* text, uint8_t reportType) const;
    void CopyDigest(uint8_t* digest) const;

private:
    size_t ChunkLength() const { return m_blocksDone * 64 + m_blockLength; }
    void AbsorbIntoChunk(const uint8_t* data, size_t length);
    void FinishChunk();
    void JoinStack();
    void PushSubtree(const uint8_t cv[32], uint64_t chunks);
    void AddSubtree(const uint8_t* data, uint64_t chunks, bool endsInput);

    CBlake3Workers m_workers;
    // The chunk being filled: its chaining value so far, its unprocessed last block, and
    // how many of its blocks are done. m_chunks counts the chunks before it.
    uint32_t m_chunkCv[8];
    uint8_t m_block[64];
    uint32_t m_blockLength;
    uint32_t m_blocksDone;
    uint64_t m_chunks;
    // The chaining values of the finished subtrees, largest first: one per bit of m_chunks,
    // and at most one more, the newest, not yet joined with its neighbour.
    uint8_t m_stack[65][32];
    int m_stackSize;
    uint8_t m_digest[kDigestSize] = {};
};
