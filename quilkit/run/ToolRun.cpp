#include "ToolRun.h"

#include <exception>
#include <string>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "text/WideText.h"

namespace {

int HandlePath(CFileMoleImpl& engine, const std::wstring& selected, const WalkOptions& options) {
    const DWORD attributes = GetFileAttributesW(FileSystemPath(selected).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return engine.HandleFile(selected);
    // The folder alone: a link is handled as itself, never through to its target.
    if (options.folders == FolderHandling::FolderOnly) return engine.HandleFolder(selected);
    if (IsDirectoryLink(attributes)) return engine.SkipLink(selected);
    return engine.WalkFolder(selected, options.subFolders);
}

}  // namespace

std::vector<std::wstring> AbsolutePaths(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> absolute;
    for (const std::wstring& path : paths) absolute.push_back(FullPathName(path));
    return absolute;
}

int WalkPathList(CFileMoleImpl& engine, const std::vector<std::wstring>& paths, const WalkOptions& options) {
    int failures = 0;
    for (const std::wstring& selected : paths) {
        if (engine.StopRequested()) break;
        failures += HandlePath(engine, selected, options);
    }
    return failures;
}

void WriteSummary(CLogSink& log, int failures) {
    if (failures > 0)
        log.AppendError(L"---\r\nError: " + std::to_wstring(failures) + L"\r\n");
    else
        log.AppendSuccess(L"---\r\nAll Success!\r\n");
}

CToolRun::~CToolRun() { StopAndJoin(); }

void CToolRun::Start(Job job) {
    if (HasStarted()) return;
    m_worker = std::thread([this, job = std::move(job)] { Work(job); });
}

void CToolRun::StopAndJoin() {
    if (!HasStarted()) return;
    m_stop.Request();
    m_feed.Abandon();
    m_worker.join();
}

void CToolRun::Work(const Job& job) {
    // The shell's file operations want an apartment on the thread that calls them.
    ScopedComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int failures = 0;
    try {
        failures = job(m_feed, m_stop);
    } catch (const std::exception& error) {
        // Out of memory, or no thread to be had: say so in the log rather than vanish.
        m_feed.AppendError(L"Run ended early - " + Widen(error.what()) + L"\r\n");
        ++failures;
    }
    if (m_stop.IsRequested()) m_feed.AppendError(L"Stopped\r\n");
    WriteSummary(m_feed, failures);
    m_feed.Finish();
}
