#pragma once
// Where the file tools write their result lines: the open log window, or a recorder in
// the unit tests.
class CLogSink {
public:
    virtual void AppendSuccess(const char* text) = 0;
    virtual void AppendError(const char* text) = 0;
    virtual void AppendLine(const char* text) = 0;

protected:
    ~CLogSink() = default;
};

// The open log window of the process (null until one is created).
CLogSink* OpenLog();
void SetOpenLog(CLogSink* log);

// One result line in the open log: `prefix` bold in green or red, then the path plain.
void LogResultLine(bool success, const char* prefix, const char* path);
