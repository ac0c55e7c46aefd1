#pragma once
// The walker that the file tools share, and the engine interface they implement. An
// engine writes to the log and watches the stop request it was given; it reaches for
// nothing process-wide.
#include <windows.h>

#include "LogSink.h"
#include "StopRequest.h"

// Result codes in the manner of an HRESULT: callers only look at the sign.
using ResultCode = long;
constexpr ResultCode kResultOk = 0;
constexpr ResultCode kResultFail = static_cast<ResultCode>(0x80004005L);
// Not a failure: the object was left as it was because a stop was requested meanwhile.
constexpr ResultCode kResultStopped = 1;

class CFileMoleImpl {
public:
    // A path buffer handed to WalkFolder: a full path and room for one more character.
    static constexpr int kPathBufferSize = MAX_PATH + 2;

    CFileMoleImpl(CLogSink& log, const CStopRequest& stop) : m_log(log), m_stop(stop) {}
    virtual ~CFileMoleImpl() = default;

    virtual ResultCode OnFile(const char* path) = 0;
    virtual ResultCode OnFolder(const char* path) = 0;
    // After the last entry of a walked folder; the path ends in a backslash.
    virtual void OnFolderWalked(const char* /*path*/) {}

    // Walks a folder depth-first, pre-order, until a stop is requested; `path` is a
    // kPathBufferSize buffer that gets a trailing backslash. Returns the number of failures.
    // The walk changes nothing on disk itself: no attribute of an entry, nothing beyond
    // what the engine does.
    int WalkFolder(char* path, int subFolders);

    // OnFile or OnFolder with the progress noted; 1 when it failed, else 0.
    int HandleFile(const char* path);
    int HandleFolder(const char* path);
    // Names a path that does not fit the walker's buffers in the log; counts 1.
    int ReportTooLong(const char* folder, const char* name);

    bool StopRequested() const { return m_stop.IsRequested(); }

protected:
    CLogSink& Log() const { return m_log; }
    const CStopRequest& StopRequestOf() const { return m_stop; }

private:
    int WalkKnownFolder(char* path, int subFolders);
    int WalkEntries(const char* folder, int subFolders);
    int VisitEntry(const char* folder, const WIN32_FIND_DATAA& entry, int subFolders);

    CLogSink& m_log;
    const CStopRequest& m_stop;
};
