#include "FilePool.h"

#include <exception>
#include <set>
#include <string>
#include <system_error>
#include <winioctl.h>
#include <utility>

#include "framework/Handles.h"
#include "log/RunFeed.h"
#include "text/LongPath.h"

struct CFilePool::Slot {
    Work work;  // none for a slot of the caller's own lines
    Finish finish;
    std::vector<LogEntry> lines;
    ResultCode result = kResultOk;
    bool done = false;
};

namespace {

// Replays an entry as it was made.
void Write(CLogSink& log, const LogEntry& entry) {
    switch (entry.format) {
        case LogFormat::Success:
            return log.AppendSuccess(entry.text);
        case LogFormat::Error:
            return log.AppendError(entry.text);
        case LogFormat::Notice:
            return log.AppendNotice(entry.text);
        case LogFormat::Plain:
            return log.AppendLine(entry.text);
    }
}

}  // namespace

// Progress and counts pass straight on, from any thread: the run adds them up in any
// order. Only lines keep the order of the walk.
class CFilePool::PassingNotes : public CLogSink {
public:
    explicit PassingNotes(CFilePool& pool) : m_pool(pool) {}
    // Set before the run, never changed: read from any thread.
    const CRunTexts& Texts() const override { return m_pool.m_log.Texts(); }
    void NoteCurrent(std::wstring_view path) override {
        Pass([&](CLogSink& log) { log.NoteCurrent(path); });
    }
    void NoteBytesRead(uint64_t bytes) override {
        Pass([&](CLogSink& log) { log.NoteBytesRead(bytes); });
    }
    void NoteDone(bool failed) override {
        Pass([&](CLogSink& log) { log.NoteDone(failed); });
    }
    void NoteTally(TallyKind tally) override {
        Pass([&](CLogSink& log) { log.NoteTally(tally); });
    }
    void NoteFailure() override {
        Pass([](CLogSink& log) { log.NoteFailure(); });
    }
    void NoteTotal(uint64_t files) override {
        Pass([&](CLogSink& log) { log.NoteTotal(files); });
    }
    void NoteFreed(uint64_t bytes) override {
        Pass([&](CLogSink& log) { log.NoteFreed(bytes); });
    }
    void NoteComparison(bool matches, std::wstring_view algorithm) override {
        Pass([&](CLogSink& log) { log.NoteComparison(matches, algorithm); });
    }
    void NotePathsNotDone(uint64_t paths) override {
        Pass([&](CLogSink& log) { log.NotePathsNotDone(paths); });
    }

protected:
    template <class Note>
    void Pass(Note note) {
        std::lock_guard<std::mutex> lock(m_pool.m_logMutex);
        note(m_pool.m_log);
    }
    CFilePool& m_pool;
};

// Where a task writes: its lines into its slot.
class CFilePool::SlotLog final : public PassingNotes {
public:
    SlotLog(CFilePool& pool, Slot& slot) : PassingNotes(pool), m_slot(slot) {}
    void AppendSuccess(std::wstring_view text) override { m_slot.lines.push_back({LogFormat::Success, Text(text)}); }
    void AppendError(std::wstring_view text) override { m_slot.lines.push_back({LogFormat::Error, Text(text)}); }
    void AppendLine(std::wstring_view text) override { m_slot.lines.push_back({LogFormat::Plain, Text(text)}); }
    void AppendNotice(std::wstring_view text) override { m_slot.lines.push_back({LogFormat::Notice, Text(text)}); }

private:
    static std::wstring Text(std::wstring_view text) { return std::wstring(text); }
    Slot& m_slot;
};

// Where the caller writes: behind the slots still waiting, else straight on.
class CFilePool::OrderedLog final : public PassingNotes {
public:
    explicit OrderedLog(CFilePool& pool) : PassingNotes(pool) {}
    void AppendSuccess(std::wstring_view text) override { Append({LogFormat::Success, std::wstring(text)}); }
    void AppendError(std::wstring_view text) override { Append({LogFormat::Error, std::wstring(text)}); }
    void AppendLine(std::wstring_view text) override { Append({LogFormat::Plain, std::wstring(text)}); }
    void AppendNotice(std::wstring_view text) override { Append({LogFormat::Notice, std::wstring(text)}); }

private:
    void Append(LogEntry entry) {
        {
            std::lock_guard<std::mutex> lock(m_pool.m_mutex);
            if (!m_pool.m_releasing && !m_pool.m_slots.empty()) {
                if (m_pool.m_slots.back()->work) {
                    m_pool.m_slots.push_back(std::make_unique<Slot>());
                    m_pool.m_slots.back()->done = true;
                }
                m_pool.m_slots.back()->lines.push_back(std::move(entry));
                return;
            }
        }
        std::lock_guard<std::mutex> lock(m_pool.m_logMutex);
        Write(m_pool.m_log, entry);
    }
};

CFilePool::CFilePool(CLogSink& log, const CStopRequest& stop, size_t workers)
    : m_log(log), m_stop(stop), m_orderedLog(std::make_unique<OrderedLog>(*this)) {
    if (workers < 2) return;
    try {
        for (size_t worker = 0; worker < workers; ++worker) m_threads.emplace_back([this, worker] { Loop(worker); });
    } catch (const std::system_error&) {
        // As many workers as the system would give; with none, the work runs on the caller.
    }
}

CLogSink& CFilePool::Log() { return *m_orderedLog; }

CFilePool::~CFilePool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

void CFilePool::Submit(Work work, Finish finish) {
    if (m_threads.empty()) {
        const ResultCode result = m_stop.IsRequested() ? kResultStopped : work(m_log, 0);
        if (finish) finish(result);
        return;
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_slots.size() < kWaitingPerWorker * m_threads.size()) break;
        }
        Release(true);
    }
    auto slot = std::make_unique<Slot>();
    slot->work = std::move(work);
    slot->finish = std::move(finish);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(slot.get());
        m_slots.push_back(std::move(slot));
    }
    m_changed.notify_all();
    Release(false);
}

void CFilePool::Drain() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_slots.empty()) return;
        }
        Release(true);
    }
}

void CFilePool::Release(bool wait) {
    std::vector<std::unique_ptr<Slot>> ready;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (wait) m_changed.wait(lock, [this] { return m_slots.empty() || m_slots.front()->done; });
        while (!m_slots.empty() && m_slots.front()->done) {
            ready.push_back(std::move(m_slots.front()));
            m_slots.pop_front();
        }
        m_releasing = true;
    }
    for (const auto& slot : ready) {
        Replay(*slot);
        if (slot->finish) slot->finish(slot->result);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_releasing = false;
}

void CFilePool::Replay(const Slot& slot) {
    std::lock_guard<std::mutex> lock(m_logMutex);
    for (const LogEntry& entry : slot.lines) Write(m_log, entry);
}

void CFilePool::Loop(size_t worker) {
    CStopRequest::Reader reader(m_stop);
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit) return;
        Slot& slot = *m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        SlotLog log(*this, slot);
        try {
            slot.result = m_stop.IsRequested() ? kResultStopped : slot.work(log, worker);
        } catch (const std::exception&) {
            // Out of memory: the file fails rather than the program.
            slot.result = kResultFail;
        }
        lock.lock();
        slot.done = true;
        m_changed.notify_all();
    }
}

namespace {

// Whether reading the volume mounted at `mountPoint` at several places at once costs no
// seeks: false where the system cannot tell (a network share, a volume over several
// disks, Wine).
bool HasNoSeekPenalty(const std::wstring& mountPoint) {
    wchar_t volume[MAX_PATH];
    if (GetDriveTypeW(mountPoint.c_str()) != DRIVE_FIXED ||
        !GetVolumeNameForVolumeMountPointW(mountPoint.c_str(), volume, MAX_PATH))
        return false;
    // The volume's name ends in a backslash; the device is the name without it.
    std::wstring device = volume;
    if (!device.empty() && device.back() == L'\\') device.pop_back();
    const UniqueFile opened(
        CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!opened) return false;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty = {};
    DWORD size = 0;
    return DeviceIoControl(opened.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &penalty, sizeof(penalty),
                           &size, nullptr) &&
           size >= sizeof(penalty) && !penalty.IncursSeekPenalty;
}

}  // namespace

size_t FilesAtOnce(const std::vector<std::wstring>& paths, const CStopRequest& stop) {
    const size_t cores = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (cores < 2) return 1;
    // A list of thousands of files names a few volumes: each is asked once.
    std::set<std::wstring> asked;
    CStopRequest::ReadScope asking(stop);
    for (const std::wstring& path : paths) {
        wchar_t mountPoint[MAX_PATH];
        if (!GetVolumePathNameW(FileSystemPath(path).c_str(), mountPoint, MAX_PATH)) return 1;
        if (asked.insert(mountPoint).second && !HasNoSeekPenalty(mountPoint)) return 1;
    }
    return cores;
}
