#include "RunFeed.h"

#include <utility>

void CRunFeed::SetConsumer(HWND window, UINT message) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = window;
    m_message = message;
}

void CRunFeed::AppendSuccess(std::wstring_view text) { Push(LogFormat::Success, std::wstring(text)); }

void CRunFeed::AppendError(std::wstring_view text) { Push(LogFormat::Error, std::wstring(text)); }

void CRunFeed::AppendNotice(std::wstring_view text) { Push(LogFormat::Notice, std::wstring(text)); }

void CRunFeed::AppendLine(std::wstring_view text) {
    std::wstring line;
    line.reserve(text.size() + 2);
    line.append(text).append(L"\r\n");
    Push(LogFormat::Plain, std::move(line));
}

void CRunFeed::Push(LogFormat format, std::wstring text) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_roomFreed.wait(lock, [this] { return m_waiting.size() < kMaxWaiting || m_abandoned; });
    if (m_abandoned) return;
    m_waiting.push_back({format, std::move(text)});
}

void CRunFeed::NoteCurrent(std::wstring_view path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.current = path;
}

void CRunFeed::NoteBytesRead(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.bytesRead += bytes;
}

void CRunFeed::NoteDone(bool failed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_progress.files;
    if (failed) ++m_progress.failures;
}

void CRunFeed::NoteTally(TallyKind tally) {
    std::lock_guard<std::mutex> lock(m_mutex);
    switch (tally) {
        case TallyKind::Deleted:
            ++m_progress.deleted;
            break;
        case TallyKind::FileStamped:
            ++m_progress.filesStamped;
            break;
        case TallyKind::FolderStamped:
            ++m_progress.foldersStamped;
            break;
        case TallyKind::Previewed:
            ++m_progress.previewed;
            break;
    }
}

void CRunFeed::NoteFailure() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_progress.failures;
}

void CRunFeed::NoteTotal(uint64_t files) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.total = files;
}

void CRunFeed::NoteFreed(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.bytesFreed += bytes;
}

void CRunFeed::NoteComparison(bool matches, std::wstring_view algorithm) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++(matches ? m_progress.matched : m_progress.mismatched);
    m_progress.algorithm = algorithm;
}

void CRunFeed::NotePathsNotDone(uint64_t paths) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress.pathsNotDone = paths;
}

void CRunFeed::Finish() {
    HWND window;
    UINT message;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.finished = true;
        m_progress.current.clear();
        window = m_window;
        message = m_message;
    }
    // Posted, never sent: the window may itself be waiting for this thread to end. A
    // lost post only delays the end until the window's next timer tick.
    if (window) PostMessageW(window, message, 0, 0);
}

bool CRunFeed::Take(std::vector<LogEntry>& batch, size_t maxEntries) {
    batch.clear();
    bool more;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const size_t count = std::min(maxEntries, m_waiting.size());
        batch.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            batch.push_back(std::move(m_waiting.front()));
            m_waiting.pop_front();
        }
        more = !m_waiting.empty();
    }
    m_roomFreed.notify_all();
    return more;
}

void CRunFeed::Abandon() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
        m_waiting.clear();
    }
    m_roomFreed.notify_all();
}

bool CRunFeed::HasWaiting() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_waiting.empty();
}

RunProgress CRunFeed::Progress() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_progress;
}
