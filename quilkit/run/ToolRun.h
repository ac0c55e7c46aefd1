#pragma once
// The run that the file tools share. After the options dialog (on the user-interface
// thread) the tool's job runs on a worker: every selected path is handed to the engine,
// then the summary. Lines and progress reach the log window through the run's feed.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FileMoleImpl.h"
#include "checksums/RunChecksums.h"
#include "framework/Handles.h"
#include "log/RunFeed.h"
#include "StopRequest.h"

enum class FolderHandling {
    Walk,        // walk the folder, with or without sub-folders
    FolderOnly,  // OnFolder on the selected folder alone
};

struct WalkOptions {
    FolderHandling folders = FolderHandling::Walk;
    int subFolders = 1;
    // Each selected file is one of the run's count: a selection of files alone tells the
    // run's total before it starts.
    bool filesCount = false;
};

// Each path made absolute against the current folder, as the recycle bin and the log
// need them; a path the system cannot complete stays as it is.
std::vector<std::wstring> AbsolutePaths(const std::vector<std::wstring>& paths);

// What a run leaves for its summary.
struct RunTally {
    int failures = 0;
    // Selected paths that a stop left unfinished or never reached.
    int notDone = 0;
};

// Hands every path to the engine, in order, until a stop is requested.
RunTally WalkPathList(CFileMoleImpl& engine, const std::vector<std::wstring>& paths, const WalkOptions& options);

// "---" and "All Success!" in green, or the error count in red.
void WriteSummary(CLogSink& log, int failures);
// The summary of a stopped run, in red: its counts and what was left undone, in the words
// of the status bar (FormatStoppedCounts). Never "All Success!": part of the work was not done.
void WriteStoppedSummary(CLogSink& log, const std::wstring& counts);

class CToolRun {
public:
    // A tool's work: writes its lines to `log`, returns its tally.
    using Job = std::function<RunTally(CLogSink& log, const CStopRequest& stop)>;

    CToolRun() = default;
    ~CToolRun();
    CToolRun(const CToolRun&) = delete;
    CToolRun& operator=(const CToolRun&) = delete;

    // Starts `job` on the worker; the feed's consumer must be set first. The worker ends
    // with "Stopped" (when asked to stop), the summary, and the feed's finish.
    void Start(Job job);
    bool HasStarted() const { return m_worker.joinable(); }
    // Asks the worker to stop, and cancels the read it, or a thread hashing beside it, may
    // be blocked in.
    void RequestStop();
    bool IsStopRequested() const { return m_stop.IsRequested(); }
    // A stop that came while the worker was entering a read found nothing to cancel:
    // whoever waits for a stopping run repeats this now and then.
    void CancelBlockedRead();
    // Whether the worker, or a thread hashing beside it, is in a read (see CStopRequest):
    // nothing the run does then is lost when the process ends around it.
    bool IsWorkerReading() const { return m_stop.IsReading(); }
    // Stops taking lines, asks the worker to stop and waits for it. After `waitMs` a
    // worker still held in a read that does not return (a pipe, a device, a share that
    // has gone) is let go, and false returned, then and at every later call: the process
    // must end at once, without this object's end. A worker that writes is always waited for.
    bool StopAndJoin(DWORD waitMs = INFINITE);

    CRunFeed& Feed() { return m_feed; }
    // The language of the run's lines; set before Start.
    void SetTexts(const CRunTexts& texts) { m_feed.SetTexts(texts); }
    // The words of the run's counts; set before Start.
    void SetCountWording(CountWording wording) { m_wording = wording; }
    CountWording Wording() const { return m_wording; }
    // A job the user may start from the log once this run has ended in full (the
    // cleaner's Delete These after its Preview); set before Start.
    void OfferFollowUp(Job job) { m_followUp = std::move(job); }
    const Job& FollowUp() const { return m_followUp; }
    // What a hash-checker run keeps of its digests; empty in the other modes.
    const std::shared_ptr<CRunChecksums>& Checksums() const { return m_checksums; }

private:
    void Work(const Job& job);

    CRunFeed m_feed;
    CStopRequest m_stop;
    CountWording m_wording = CountWording::Digests;
    Job m_followUp;
    std::shared_ptr<CRunChecksums> m_checksums = std::make_shared<CRunChecksums>();
    std::thread m_worker;
    bool m_letGo = false;  // the worker was left in its read
    UniqueHandle m_ended;  // set when the worker has written its last line
};
