#include "FileHasher.h"

#include <algorithm>

#include "text/LongPath.h"

namespace {

// False on a read error; a pipe whose writer has gone has simply ended. A stop cancels
// the read when it blocks.
bool ReadChunk(HANDLE file, uint8_t* buffer, DWORD size, DWORD& read, const CStopRequest& stop) {
    CStopRequest::ReadScope reading(stop);
    if (ReadFile(file, buffer, size, &read, nullptr)) return true;
    read = 0;
    return GetLastError() == ERROR_BROKEN_PIPE;
}

// A read that fails after a stop was asked for may have been cut by it.
CFileHasher::Outcome Failed(const CStopRequest& stop) {
    return stop.IsRequested() ? CFileHasher::Outcome::Stopped : CFileHasher::Outcome::ReadError;
}

}  // namespace

UniqueFile OpenForHashing(const std::wstring& path, const CStopRequest& stop) {
    CStopRequest::ReadScope opening(stop);
    return UniqueFile(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

CFileHasher::CFileHasher(const std::vector<DigestKind>& kinds)
    : m_slots(kSlots, std::vector<uint8_t>(kChunkSize)),
      m_slotSizes(kSlots, 0),
      m_consumed(kinds.size(), 0),
      m_finishedFile(kinds.size(), 0),
      m_texts(kinds.size()) {
    for (DigestKind kind : kinds) m_digests.push_back(std::make_unique<CAnyDigest>(kind));
}

CFileHasher::~CFileHasher() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

CFileHasher::Outcome CFileHasher::Hash(HANDLE file, const CStopRequest& stop, CLogSink& log,
                                       std::vector<std::string>& texts) {
    DWORD size = 0;
    if (!ReadChunk(file, m_slots[0].data(), DWORD(kChunkSize), size, stop)) return Failed(stop);
    log.NoteBytesRead(size);
    if (size < kChunkSize) return HashHere(file, size, stop, log, texts);
    m_slotSizes[0] = size;
    return HashSideBySide(file, stop, log, texts);
}

CFileHasher::Outcome CFileHasher::HashHere(HANDLE file, DWORD firstSize, const CStopRequest& stop, CLogSink& log,
                                           std::vector<std::string>& texts) {
    uint8_t* buffer = m_slots[0].data();
    for (auto& digest : m_digests) digest->Init();
    for (DWORD size = firstSize; size != 0;) {
        for (auto& digest : m_digests) digest->Update(buffer, size);
        // Reading changes nothing, so a stop may cut a file short; such a file gets no line.
        if (stop.IsRequested()) return Outcome::Stopped;
        if (!ReadChunk(file, buffer, DWORD(kChunkSize), size, stop)) return Failed(stop);
        log.NoteBytesRead(size);
    }
    texts.clear();
    for (auto& digest : m_digests) texts.push_back(digest->Finish());
    return Outcome::Done;
}

CFileHasher::Outcome CFileHasher::HashSideBySide(HANDLE file, const CStopRequest& stop, CLogSink& log,
                                                 std::vector<std::string>& texts) {
    StartThreads();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_file;
        for (auto& digest : m_digests) digest->Init();
        std::fill(m_consumed.begin(), m_consumed.end(), 0);
        m_produced = 1;  // the first chunk, already in slot 0
        m_ended = false;
    }
    m_changed.notify_all();

    const Outcome outcome = ReadRest(file, stop, log);

    std::unique_lock<std::mutex> lock(m_mutex);
    m_ended = true;
    m_changed.notify_all();
    // Even a file cut short is finished by every digest, so that the threads are idle
    // before the next file.
    m_changed.wait(lock, [this] {
        return std::all_of(m_finishedFile.begin(), m_finishedFile.end(), [this](uint64_t f) { return f == m_file; });
    });
    if (outcome == Outcome::Done) texts = m_texts;
    return outcome;
}

// Fills the ring behind the slowest digest until the end of the file.
CFileHasher::Outcome CFileHasher::ReadRest(HANDLE file, const CStopRequest& stop, CLogSink& log) {
    for (uint64_t chunk = 1;; ++chunk) {
        if (stop.IsRequested()) return Outcome::Stopped;
        const size_t slot = size_t(chunk % kSlots);
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return chunk - SlowestConsumed() < kSlots; });
        }
        DWORD size = 0;
        if (!ReadChunk(file, m_slots[slot].data(), DWORD(kChunkSize), size, stop)) return Failed(stop);
        if (size == 0) return Outcome::Done;
        log.NoteBytesRead(size);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_slotSizes[slot] = size;
            m_produced = chunk + 1;
        }
        m_changed.notify_all();
    }
}

uint64_t CFileHasher::SlowestConsumed() const { return *std::min_element(m_consumed.begin(), m_consumed.end()); }

void CFileHasher::StartThreads() {
    if (!m_threads.empty()) return;
    for (size_t index = 0; index < m_digests.size(); ++index)
        m_threads.emplace_back([this, index] { DigestLoop(index); });
}

void CFileHasher::DigestLoop(size_t index) {
    CAnyDigest& digest = *m_digests[index];
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_quit || (m_finishedFile[index] != m_file && (m_consumed[index] < m_produced || m_ended));
        });
        if (m_quit) return;
        if (m_consumed[index] < m_produced) {
            const size_t slot = size_t(m_consumed[index] % kSlots);
            const DWORD size = m_slotSizes[slot];
            lock.unlock();
            digest.Update(m_slots[slot].data(), size);
            lock.lock();
            ++m_consumed[index];
        } else {
            lock.unlock();
            std::string text = digest.Finish();
            lock.lock();
            m_texts[index] = std::move(text);
            m_finishedFile[index] = m_file;
        }
        m_changed.notify_all();
    }
}
