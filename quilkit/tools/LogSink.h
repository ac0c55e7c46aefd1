#pragma once
// Where a file tool's run reports: its result lines (coloured prefix, plain text) and its
// progress. The worker writes into the run's feed; the unit tests into a recorder.
#include <cstdint>

class CLogSink {
public:
    virtual void AppendSuccess(const char* text) = 0;
    virtual void AppendError(const char* text) = 0;
    virtual void AppendLine(const char* text) = 0;

    // Progress, for the status bar: which object the run works on, bytes it has read,
    // and each object finished. Recorders need not care.
    virtual void NoteCurrent(const char* /*path*/) {}
    virtual void NoteBytesRead(uint64_t /*bytes*/) {}
    virtual void NoteDone(bool /*failed*/) {}

protected:
    ~CLogSink() = default;
};

// One result line: `prefix` bold in green or red, then the path plain.
void LogResultLine(CLogSink& log, bool success, const char* prefix, const char* path);
