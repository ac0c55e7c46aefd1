#pragma once
// Files handled several at once, their lines in the order of a run that handles one at a
// time. The walk stays on the run's worker and hands each file's work over; a few threads
// do the work, each writing its lines into a slot of its own, and the worker releases the
// slots to the log in the order it handed them over, its own lines in between. What a
// task leaves for the engine (counts, kept digests) is done as its slot is released, on
// the worker, so that the engine itself is never shared.
//
// With one worker nothing is handed over: each task runs at once, on the caller's thread.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "log/LogSink.h"
#include "ResultCode.h"
#include "StopRequest.h"

// How many files of `paths` (whole paths) to read at once: one for each core, or one at a
// time where any of them lies on a disk that seeks, or one the system cannot tell of.
size_t FilesAtOnce(const std::vector<std::wstring>& paths, const CStopRequest& stop);

class CFilePool {
public:
    // A file's work: reads only, writes its lines to `log`, uses the state of `worker`
    // (0 to Workers() - 1) alone.
    using Work = std::function<ResultCode(CLogSink& log, size_t worker)>;
    // What the engine makes of the result, on the caller's thread, in order.
    using Finish = std::function<void(ResultCode result)>;

    // Tasks handed over and not yet released, for each worker: beyond that the caller
    // waits, so that a slow file holds back a bounded number of lines.
    static constexpr size_t kWaitingPerWorker = 32;

    CFilePool(CLogSink& log, const CStopRequest& stop, size_t workers);
    // Lets the running tasks end (a stop cancels their reads) and drops what was not released.
    ~CFilePool();
    CFilePool(const CFilePool&) = delete;
    CFilePool& operator=(const CFilePool&) = delete;

    size_t Workers() const { return m_threads.empty() ? 1 : m_threads.size(); }
    // The log for the caller's own lines: they keep their place after the tasks handed
    // over before them. Progress notes pass straight on.
    CLogSink& Log();

    // Runs `work` beside the caller, or at once with one worker; a task not started when
    // a stop comes is not started, and finishes as kResultStopped.
    void Submit(Work work, Finish finish);
    // Waits for every task handed over and releases it.
    void Drain();

private:
    struct Slot;
    class PassingNotes;
    class SlotLog;
    class OrderedLog;

    void Loop(size_t worker);
    // Releases the slots at the head that are done; with `wait`, waits for the head first.
    void Release(bool wait);
    void Replay(const Slot& slot);

    CLogSink& m_log;
    const CStopRequest& m_stop;
    std::unique_ptr<OrderedLog> m_orderedLog;
    std::mutex m_logMutex;  // m_log is written by one thread at a time

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Slot>> m_slots;  // in the order of the run
    std::deque<Slot*> m_queue;                  // handed over, not started
    bool m_quit = false;
    bool m_releasing = false;  // the caller's lines go straight to the log meanwhile
    std::vector<std::thread> m_threads;
};
