#include "ToolRun.h"

#include <exception>
#include <string>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "resource.h"

namespace {

int HandlePath(CFileMoleImpl& engine, const std::wstring& selected, const WalkOptions& options) {
    const DWORD attributes = AttributesOf(selected, engine.StopRequestOf());
    if (attributes == INVALID_FILE_ATTRIBUTES && engine.StopRequested()) {
        engine.NoteCutShort();
        return 0;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES && IsNotFoundError(GetLastError()))
        return engine.ReportNotFound(selected);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return engine.HandleSelectedFile(selected);
    // The folder alone: a link is handled as itself, never through to its target.
    if (options.folders == FolderHandling::FolderOnly) return engine.HandleFolder(selected);
    if (IsFolderLink(selected, attributes, engine.StopRequestOf())) return engine.SkipLink(selected);
    return engine.WalkFolder(selected, options.subFolders);
}

constexpr DWORD kCancelEveryMs = 50;

}  // namespace

std::vector<std::wstring> AbsolutePaths(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> absolute;
    for (const std::wstring& path : paths) absolute.push_back(FullPathName(path));
    return absolute;
}

RunTally WalkPathList(CFileMoleImpl& engine, const std::vector<std::wstring>& paths, const WalkOptions& options) {
    if (options.filesCount) engine.NoteTotalOfFiles(paths);
    RunTally tally;
    size_t reached = 0;
    for (; reached < paths.size() && !engine.StopRequested(); ++reached) {
        engine.BeginSelected(reached);
        tally.failures += HandlePath(engine, paths[reached], options);
    }
    tally.failures += engine.FinishHandedOver();
    tally.notDone = engine.SelectedCutShort() + int(paths.size() - reached);
    return tally;
}

void WriteSummary(CLogSink& log, int failures) {
    if (failures > 0)
        log.AppendNotice(L"---\r\n" + log.Texts().Format(IDS_SUMMARY_ERRORS, {std::to_wstring(failures)}) + L"\r\n");
    else
        log.AppendSuccess(L"---\r\n" + log.Texts().Text(IDS_SUMMARY_ALL_SUCCESS) + L"\r\n");
}

void WriteStoppedSummary(CLogSink& log, const std::wstring& counts) {
    log.AppendNotice(L"---\r\n" + log.Texts().Format(IDS_SUMMARY_STOPPED, {counts}) + L"\r\n");
}

CToolRun::~CToolRun() { StopAndJoin(); }

void CToolRun::Start(Job job) {
    if (HasStarted()) return;
    // Without the event a stop waits for the worker however long it takes.
    m_ended.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_worker = std::thread([this, job = std::move(job)] { Work(job); });
}

void CToolRun::RequestStop() {
    m_stop.Request();
    CancelBlockedRead();
}

void CToolRun::CancelBlockedRead() { m_stop.CancelBlockedReads(); }

bool CToolRun::StopAndJoin(DWORD waitMs) {
    if (!HasStarted()) return !m_letGo;
    m_feed.Abandon();
    RequestStop();
    const ULONGLONG start = GetTickCount64();
    while (WaitForSingleObject(m_ended.Get(), kCancelEveryMs) == WAIT_TIMEOUT) {
        if (waitMs != INFINITE && GetTickCount64() - start >= waitMs && m_stop.IsReading()) {
            m_worker.detach();
            m_letGo = true;
            return false;
        }
        CancelBlockedRead();
    }
    m_worker.join();
    return true;
}

void CToolRun::Work(const Job& job) {
    // The shell's file operations want an apartment on the thread that calls them.
    ScopedComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    RunTally tally;
    try {
        CStopRequest::Reader reader(m_stop);
        tally = job(m_feed, m_stop);
    } catch (const std::exception& error) {
        // Out of memory, or no thread to be had: say so in the log rather than vanish.
        m_feed.AppendError(m_feed.Texts().Text(IDS_LINE_RUN_ENDED_EARLY) + Widen(error.what()) + L"\r\n");
        ++tally.failures;
    }
    if (m_stop.IsRequested()) {
        m_feed.AppendNotice(m_feed.Texts().Text(IDS_LINE_STOPPED) + L"\r\n");
        m_feed.NotePathsNotDone(uint64_t(tally.notDone));
        WriteStoppedSummary(m_feed, FormatStoppedCounts(m_wording, m_feed.Progress(), m_feed.Texts().Counts()));
    } else {
        WriteSummary(m_feed, tally.failures);
    }
    m_feed.Finish();
    SetEvent(m_ended.Get());
}
