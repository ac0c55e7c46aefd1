#include "Blake3Digest.h"

#include <bitset>
#include <cstring>
#include <vector>

#include "Blake3Kernels.h"
#include "DigestPaths.h"
#include "DigestText.h"

using namespace blake3;

namespace {

using HashManyFunction = void (*)(const ManyInputs&, uint8_t*);

HashManyFunction ActiveHashMany() {
    switch (ActiveBlake3Path()) {
        case DigestPath::Avx512:
            return HashManyAvx512;
        case DigestPath::Avx2:
            return HashManyAvx2;
        case DigestPath::Sse41:
            return HashManySse41;
        default:
            return HashManyPortable;
    }
}

// Below this many chunks a subtree is hashed level by level in one buffer (16 KiB of stack),
// all of each level at once: the few levels too short to fill the widest lanes then cost
// little beside the 256 chunks.
constexpr uint64_t kLeafChunks = 256;

void WordsToBytes(const uint32_t words[8], uint8_t bytes[32]) {
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k) bytes[4 * i + k] = uint8_t(words[i] >> (8 * k));
}

// The chaining value of a parent of two chaining values, or with kRoot the hash.
void Parent(const uint8_t left[32], const uint8_t right[32], uint8_t flags, uint8_t out[32]) {
    uint8_t block[64];
    memcpy(block, left, 32);
    memcpy(block + 32, right, 32);
    uint32_t cv[8];
    memcpy(cv, kIv, sizeof(cv));
    Compress(cv, block, 64, 0, uint8_t(kParent | flags));
    WordsToBytes(cv, out);
}

// A whole subtree of `chunks` (a power of two, at most kLeafChunks) chunks: every chunk at
// once, then each level of parents at once.
void HashLeafSubtree(HashManyFunction hashMany, const uint8_t* data, uint64_t chunks, uint64_t counter,
                     uint8_t out[32]) {
    uint8_t levels[2][kLeafChunks * 32];
    hashMany({data, kChunkSize, size_t(chunks), kBlocksPerChunk, counter, true, 0, kChunkStart, kChunkEnd}, levels[0]);
    int current = 0;
    for (; chunks > 1; chunks /= 2, current ^= 1)
        hashMany({levels[current], 64, size_t(chunks / 2), 1, 0, false, kParent, 0, 0}, levels[current ^ 1]);
    memcpy(out, levels[current], 32);
}

// A whole subtree of `chunks` (a power of two) chunks starting at chunk `counter`.
void HashSubtree(HashManyFunction hashMany, const uint8_t* data, uint64_t chunks, uint64_t counter, uint8_t out[32]) {
    if (chunks <= kLeafChunks) return HashLeafSubtree(hashMany, data, chunks, counter, out);
    const uint64_t half = chunks / 2;
    uint8_t left[32], right[32];
    HashSubtree(hashMany, data, half, counter, left);
    HashSubtree(hashMany, data + half * kChunkSize, half, counter + half, right);
    Parent(left, right, 0, out);
}

// The same, in equal parts (a power of two of them) on the workers, each part at least
// kMinBytesPerThread long; then the parts' parents.
void HashSubtreeOn(CBlake3Workers& workers, HashManyFunction hashMany, const uint8_t* data, uint64_t chunks,
                   uint64_t counter, uint8_t out[32]) {
    unsigned parts = 1;
    while (parts * 2 <= workers.Threads() && chunks / (parts * 2) * kChunkSize >= CBlake3Digest::kMinBytesPerThread)
        parts *= 2;
    if (parts == 1) return HashSubtree(hashMany, data, chunks, counter, out);
    const uint64_t each = chunks / parts;
    std::vector<uint8_t> cvs(32 * size_t(parts));
    workers.RunAll(parts, [&](unsigned part) {
        HashSubtree(hashMany, data + part * each * kChunkSize, each, counter + part * each, &cvs[32 * part]);
    });
    for (unsigned count = parts; count > 1; count /= 2)
        for (unsigned i = 0; i < count / 2; ++i) Parent(&cvs[64 * i], &cvs[64 * i + 32], 0, &cvs[32 * i]);
    memcpy(out, cvs.data(), 32);
}

// The largest power of two of whole chunks within `length` that divides `counter`: a subtree
// that may start there.
uint64_t SubtreeChunks(uint64_t counter, size_t length) {
    const uint64_t available = length / kChunkSize;
    uint64_t chunks = 1;
    while (chunks * 2 <= available && counter % (chunks * 2) == 0) chunks *= 2;
    return chunks;
}

}  // namespace

CBlake3Digest::CBlake3Digest(unsigned threads) : m_workers(threads) { Init(); }

void CBlake3Digest::Init() {
    memcpy(m_chunkCv, kIv, sizeof(m_chunkCv));
    m_blockLength = 0;
    m_blocksDone = 0;
    m_chunks = 0;
    m_stackSize = 0;
}

void CBlake3Digest::AbsorbIntoChunk(const uint8_t* data, size_t length) {
    while (length > 0) {
        if (m_blockLength == kBlockSize) {
            Compress(m_chunkCv, m_block, kBlockSize, m_chunks, m_blocksDone == 0 ? kChunkStart : 0);
            ++m_blocksDone;
            m_blockLength = 0;
        }
        const size_t take = length < kBlockSize - m_blockLength ? length : kBlockSize - m_blockLength;
        memcpy(m_block + m_blockLength, data, take);
        m_blockLength += uint32_t(take);
        data += take;
        length -= take;
    }
}

// Called only when more input follows, so the chunk is not the whole message.
void CBlake3Digest::FinishChunk() {
    Compress(m_chunkCv, m_block, m_blockLength, m_chunks, uint8_t((m_blocksDone == 0 ? kChunkStart : 0) | kChunkEnd));
    uint8_t cv[32];
    WordsToBytes(m_chunkCv, cv);
    memcpy(m_chunkCv, kIv, sizeof(m_chunkCv));
    m_blockLength = 0;
    m_blocksDone = 0;
    PushSubtree(cv, 1);
}

// Once input has come after the subtrees on the stack, none of them is the root: they are
// joined, as a binary counter carries, into one subtree for each bit of m_chunks.
void CBlake3Digest::JoinStack() {
    const int whole = int(std::bitset<64>(m_chunks).count());
    for (; m_stackSize > whole; --m_stackSize)
        Parent(m_stack[m_stackSize - 2], m_stack[m_stackSize - 1], 0, m_stack[m_stackSize - 2]);
}

// Adds the subtree of `chunks` chunks that starts at chunk m_chunks. It stays alone on the
// stack until input comes after it too.
void CBlake3Digest::PushSubtree(const uint8_t cv[32], uint64_t chunks) {
    JoinStack();
    memcpy(m_stack[m_stackSize++], cv, 32);
    m_chunks += chunks;
}

// A subtree from the first chunk to the end of the input so far may be the whole message,
// its top the root: its halves go on the stack instead, to be joined if more input comes.
void CBlake3Digest::AddSubtree(const uint8_t* data, uint64_t chunks, bool endsInput) {
    const HashManyFunction hashMany = ActiveHashMany();
    uint8_t cv[32];
    if (m_chunks == 0 && endsInput) {
        const uint64_t half = chunks / 2;
        HashSubtreeOn(m_workers, hashMany, data, half, 0, cv);
        PushSubtree(cv, half);
        data += half * kChunkSize;
        chunks -= half;
    }
    HashSubtreeOn(m_workers, hashMany, data, chunks, m_chunks, cv);
    PushSubtree(cv, chunks);
}

void CBlake3Digest::Update(const uint8_t* data, size_t length) {
    while (length > 0) {
        if (ChunkLength() == kChunkSize) FinishChunk();
        // The first chunk alone may be the whole message: it waits to see what follows.
        if (ChunkLength() == 0 && length >= kChunkSize && (m_chunks > 0 || length > kChunkSize)) {
            const uint64_t chunks = SubtreeChunks(m_chunks, length);
            AddSubtree(data, chunks, chunks * kChunkSize == length);
            data += chunks * kChunkSize;
            length -= size_t(chunks * kChunkSize);
            continue;
        }
        const size_t take = length < kChunkSize - ChunkLength() ? length : kChunkSize - ChunkLength();
        AbsorbIntoChunk(data, take);
        data += take;
        length -= take;
    }
}

void CBlake3Digest::Final() {
    uint8_t right[32];
    if (ChunkLength() > 0 || m_chunks == 0) {
        // The chunk being filled comes after every subtree on the stack.
        JoinStack();
        const uint8_t chunkFlags = uint8_t((m_blocksDone == 0 ? kChunkStart : 0) | kChunkEnd);
        memset(m_block + m_blockLength, 0, kBlockSize - m_blockLength);
        Compress(m_chunkCv, m_block, m_blockLength, m_chunks, uint8_t(chunkFlags | (m_stackSize == 0 ? kRoot : 0)));
        WordsToBytes(m_chunkCv, right);
    } else {
        // The input ended with a whole subtree, never the first chunk alone: the right child
        // of the subtrees before it.
        memcpy(right, m_stack[--m_stackSize], 32);
    }
    for (int i = m_stackSize - 1; i >= 0; --i) Parent(m_stack[i], right, i == 0 ? kRoot : 0, right);
    memcpy(m_digest, right, 32);
    memset(m_block, 0, sizeof(m_block));
    memset(m_chunkCv, 0, sizeof(m_chunkCv));
    memset(m_stack, 0, sizeof(m_stack));
    Init();
}

void CBlake3Digest::Report(char* text, uint8_t reportType) const {
    WriteDigestText(m_digest, kDigestSize, reportType, text);
}

void CBlake3Digest::CopyDigest(uint8_t* digest) const { memcpy(digest, m_digest, kDigestSize); }
