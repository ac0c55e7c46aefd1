#include "ToolRun.h"

#include <shlwapi.h>

#include <cstdio>
#include <exception>
#include <string>

#include "../framework/Handles.h"

namespace {

int HandlePath(CFileMoleImpl& engine, const std::string& selected, const WalkOptions& options) {
    char path[CFileMoleImpl::kPathBufferSize];
    if (selected.size() > MAX_PATH) {
        // Too long for any buffer of the walk: name it rather than cut it.
        return engine.ReportTooLong(selected.c_str(), "");
    }
    lstrcpynA(path, selected.c_str(), sizeof(path));

    if (!PathIsDirectoryA(path)) return engine.HandleFile(path);
    if (options.folders == FolderHandling::FolderOnly) return engine.HandleFolder(path);
    return engine.WalkFolder(path, options.subFolders);
}

}  // namespace

std::vector<std::string> AbsolutePaths(const std::vector<std::string>& paths) {
    std::vector<std::string> absolute;
    for (const std::string& path : paths) {
        std::string full(MAX_PATH, '\0');
        DWORD length = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
        if (length >= full.size()) {
            full.resize(length);
            length = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
        }
        absolute.push_back(length > 0 && length < full.size() ? full.substr(0, length) : path);
    }
    return absolute;
}

int WalkPathList(CFileMoleImpl& engine, const std::vector<std::string>& paths, const WalkOptions& options) {
    int failures = 0;
    for (const std::string& selected : paths) {
        if (engine.StopRequested()) break;
        failures += HandlePath(engine, selected, options);
    }
    return failures;
}

void WriteSummary(CLogSink& log, int failures) {
    if (failures > 0) {
        char text[1024];
        snprintf(text, sizeof(text), "---\r\nError: %d\r\n", failures);
        log.AppendError(text);
    } else {
        log.AppendSuccess("---\r\nAll Success!\r\n");
    }
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
        m_feed.AppendError((std::string("Run ended early - ") + error.what() + "\r\n").c_str());
        ++failures;
    }
    if (m_stop.IsRequested()) m_feed.AppendError("Stopped\r\n");
    WriteSummary(m_feed, failures);
    m_feed.Finish();
}
