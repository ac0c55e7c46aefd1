#pragma once
// Where a file tool's run reports: its result lines (coloured prefix, plain text) and its
// progress. The worker writes into the run's feed; the unit tests into a recorder.
#include <cstdint>
#include <string>
#include <string_view>

#include "RunCounts.h"

class CLogSink {
public:
    virtual void AppendSuccess(std::wstring_view text) = 0;
    virtual void AppendError(std::wstring_view text) = 0;
    virtual void AppendLine(std::wstring_view text) = 0;

    // Progress, for the status bar: which object the run works on, bytes it has read,
    // and each object finished. Recorders need not care.
    virtual void NoteCurrent(std::wstring_view /*path*/) {}
    virtual void NoteBytesRead(uint64_t /*bytes*/) {}
    virtual void NoteDone(bool /*failed*/) {}
    // What the engine did to an object, where its tool counts that.
    virtual void NoteTally(TallyKind /*tally*/) {}
    // A failure that is no file of the run's count (a bad line, a list file not found).
    virtual void NoteFailure() {}
    // How many files the run will finish, known before it starts them.
    virtual void NoteTotal(uint64_t /*files*/) {}
    // The size of a file deleted to the recycle bin.
    virtual void NoteFreed(uint64_t /*bytes*/) {}
    // A file compared with a pasted digest of `algorithm` ("SHA256").
    virtual void NoteComparison(bool /*matches*/, std::wstring_view /*algorithm*/) {}
    // Selected paths that a stop left unfinished.
    virtual void NotePathsNotDone(uint64_t /*paths*/) {}

protected:
    ~CLogSink() = default;
};

// One result line: `prefix` bold in green or red, then the path plain.
void LogResultLine(CLogSink& log, bool success, std::wstring_view prefix, std::wstring_view path);
