#pragma once
// The road from a run's worker to the log window: result lines in their order, progress
// figures, and the end of the run. The worker appends under a short lock and never waits
// for the window, except for room when the window has fallen far behind; the window takes
// what has arrived on its own thread, when it likes.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "LogSink.h"
#include "RunCounts.h"

// Error: a failure's own line; Notice: red too, but no failure (CLogSink::AppendNotice).
enum class LogFormat : uint8_t { Plain, Success, Error, Notice };

// One append as the worker made it; a plain line carries its CR LF.
struct LogEntry {
    LogFormat format = LogFormat::Plain;
    std::wstring text;
};

struct RunProgress : RunCounts {
    std::wstring current;
    std::wstring algorithm;  // of the pasted digest the files were compared with
    bool finished = false;
};

class CRunFeed final : public CLogSink {
public:
    // Beyond this many waiting entries the worker waits for the window, so that memory
    // stays bounded however fast the worker is.
    static constexpr size_t kMaxWaiting = 200000;

    // The window that takes the lines; it is sent `message` once the run has finished.
    // Set before the worker starts.
    void SetConsumer(HWND window, UINT message);

    // The words the run's lines are written in; set before the worker starts.
    void SetTexts(const CRunTexts& texts) { m_texts = texts; }

    // The worker's side.
    const CRunTexts& Texts() const override { return m_texts; }
    void AppendSuccess(std::wstring_view text) override;
    void AppendError(std::wstring_view text) override;
    void AppendLine(std::wstring_view text) override;
    void AppendNotice(std::wstring_view text) override;
    void NoteCurrent(std::wstring_view path) override;
    void NoteBytesRead(uint64_t bytes) override;
    void NoteDone(bool failed) override;
    void NoteTally(TallyKind tally) override;
    void NoteFailure() override;
    void NoteTotal(uint64_t files) override;
    void NoteFreed(uint64_t bytes) override;
    void NoteComparison(bool matches, std::wstring_view algorithm) override;
    void NotePathsNotDone(uint64_t paths) override;
    // After the last line: marks the run finished and wakes the window.
    void Finish();

    // The window's side. Moves up to `maxEntries` waiting entries into `batch` (emptied
    // first); returns whether more are waiting.
    bool Take(std::vector<LogEntry>& batch, size_t maxEntries);
    // Nobody will take lines any more: drop the waiting ones and never wait for room.
    void Abandon();
    bool HasWaiting() const;
    RunProgress Progress() const;

private:
    void Push(LogFormat format, std::wstring text);

    CRunTexts m_texts;
    mutable std::mutex m_mutex;
    std::condition_variable m_roomFreed;
    std::deque<LogEntry> m_waiting;
    RunProgress m_progress;
    bool m_abandoned = false;
    HWND m_window = nullptr;
    UINT m_message = 0;
};
