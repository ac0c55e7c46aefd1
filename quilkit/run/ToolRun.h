#pragma once
// The run that the file tools share. After the options dialog (on the user-interface
// thread) the tool's job runs on a worker: every selected path is handed to the engine,
// then the summary. Lines and progress reach the log window through the run's feed.
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FileMoleImpl.h"
#include "checksums/RunChecksums.h"
#include "log/RunFeed.h"
#include "StopRequest.h"

enum class FolderHandling {
    Walk,        // walk the folder, with or without sub-folders
    FolderOnly,  // OnFolder on the selected folder alone
};

struct WalkOptions {
    FolderHandling folders = FolderHandling::Walk;
    int subFolders = 1;
};

// Each path made absolute against the current folder, as the recycle bin and the log
// need them; a path the system cannot complete stays as it is.
std::vector<std::wstring> AbsolutePaths(const std::vector<std::wstring>& paths);

// Hands every path to the engine, in order, until a stop is requested; returns the
// number of failures.
int WalkPathList(CFileMoleImpl& engine, const std::vector<std::wstring>& paths, const WalkOptions& options);

// "---" and "All Success!" in green, or the error count in red.
void WriteSummary(CLogSink& log, int failures);

class CToolRun {
public:
    // A tool's work: writes its lines to `log`, returns its failure count.
    using Job = std::function<int(CLogSink& log, const CStopRequest& stop)>;

    CToolRun() = default;
    ~CToolRun();
    CToolRun(const CToolRun&) = delete;
    CToolRun& operator=(const CToolRun&) = delete;

    // Starts `job` on the worker; the feed's consumer must be set first. The worker ends
    // with "Stopped" (when asked to stop), the summary, and the feed's finish.
    void Start(Job job);
    bool HasStarted() const { return m_worker.joinable(); }
    void RequestStop() { m_stop.Request(); }
    bool IsStopRequested() const { return m_stop.IsRequested(); }
    // Stops taking lines, asks the worker to stop and waits for it.
    void StopAndJoin();

    CRunFeed& Feed() { return m_feed; }
    // What a hash-checker run keeps of its digests; empty in the other modes.
    const std::shared_ptr<CRunChecksums>& Checksums() const { return m_checksums; }

private:
    void Work(const Job& job);

    CRunFeed m_feed;
    CStopRequest m_stop;
    std::shared_ptr<CRunChecksums> m_checksums = std::make_shared<CRunChecksums>();
    std::thread m_worker;
};
