#pragma once
// Computes every wanted digest of one file at a time, reading the file once.
//
// A file that fills the first chunk is read in large chunks by the calling thread while
// each digest runs on a thread of its own over the same chunks (a ring of a few buffers):
// the reading overlaps the hashing and a large file takes about as long as its slowest
// digest. The digest threads start with the first such file and live until the hasher
// goes, so that a run pays for them once. A file that ends within the first chunk is
// hashed on the calling thread: handing it over would cost more than hashing it.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Handles.h"
#include "checksums/AnyDigest.h"
#include "log/LogSink.h"
#include "run/StopRequest.h"

// Opens a file to hash. Shared as the C library's "rb" shares it: other programs may keep
// writing the file. A stop cancels an open that waits (a share that has gone).
UniqueFile OpenForHashing(const std::wstring& path, const CStopRequest& stop);

class CFileHasher {
public:
    static constexpr size_t kChunkSize = 1 << 20;
    static constexpr size_t kSlots = 4;

    enum class Outcome { Done, ReadError, Stopped };

    explicit CFileHasher(const std::vector<DigestKind>& kinds);
    ~CFileHasher();
    CFileHasher(const CFileHasher&) = delete;
    CFileHasher& operator=(const CFileHasher&) = delete;

    // Reads `file` from where it stands to its end; on Done `texts` holds each digest in
    // the order of the kinds. The bytes read are noted in `log`; `stop` is looked at
    // between chunks.
    Outcome Hash(HANDLE file, const CStopRequest& stop, CLogSink& log, std::vector<std::string>& texts);

    const CAnyDigest& Digest(size_t index) const { return *m_digests[index]; }

private:
    Outcome HashHere(HANDLE file, DWORD firstSize, const CStopRequest& stop, CLogSink& log,
                     std::vector<std::string>& texts);
    Outcome HashSideBySide(HANDLE file, const CStopRequest& stop, CLogSink& log, std::vector<std::string>& texts);
    Outcome ReadRest(HANDLE file, const CStopRequest& stop, CLogSink& log);
    void StartThreads();
    void DigestLoop(size_t index);
    uint64_t SlowestConsumed() const;

    std::vector<std::unique_ptr<CAnyDigest>> m_digests;
    std::vector<std::vector<uint8_t>> m_slots;
    std::vector<DWORD> m_slotSizes;

    // Shared with the digest threads, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_file = 0;      // counts the files handed to the threads
    uint64_t m_produced = 0;  // chunks of the current file read so far
    bool m_ended = false;     // no more chunks of the current file will come
    std::vector<uint64_t> m_consumed;
    std::vector<uint64_t> m_finishedFile;
    std::vector<std::string> m_texts;
    bool m_quit = false;

    std::vector<std::thread> m_threads;
};
