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

protected:
    ~CLogSink() = default;
};

// One result line: `prefix` bold in green or red, then the path plain.
void LogResultLine(CLogSink& log, bool success, std::wstring_view prefix, std::wstring_view path);
