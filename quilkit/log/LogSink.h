#pragma once
// Where a file tool's run reports: its result lines (coloured prefix, plain text) and its
// progress, in the language of the texts it hands out. The worker writes into the run's
// feed; the unit tests into a recorder.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "RunCounts.h"
#include "RunTexts.h"

class CLogSink {
public:
    // The words of every line written here.
    virtual const CRunTexts& Texts() const = 0;

    virtual void AppendSuccess(std::wstring_view text) = 0;
    // A failure's own line.
    virtual void AppendError(std::wstring_view text) = 0;
    virtual void AppendLine(std::wstring_view text) = 0;
    // Red as a failure, but none: the stop's mark, the summary of a run that failed or
    // stopped. The log goes from failure to failure by what was written, not by its words.
    virtual void AppendNotice(std::wstring_view text) { AppendError(text); }

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
// The same with the prefix of line text `prefixId` in the log's language.
void LogResultLine(CLogSink& log, bool success, UINT prefixId, std::wstring_view path);
