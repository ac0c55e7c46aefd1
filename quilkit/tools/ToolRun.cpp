#include "ToolRun.h"

#include <shlwapi.h>

#include <cstdio>

#include "../framework/Handles.h"
#include "../startup/PathList.h"
#include "LogSink.h"

namespace {

int HandlePath(CFileMoleImpl& engine, const char* selected, const WalkOptions& options) {
    char path[CFileMoleImpl::kPathBufferSize];
    if (strlen(selected) > MAX_PATH) {
        // Too long for any buffer of the walk: name it rather than cut it.
        LogResultLine(false, "Path too long - ", selected);
        return 1;
    }
    lstrcpynA(path, selected, sizeof(path));

    if (!PathIsDirectoryA(path)) return engine.OnFile(path) < 0 ? 1 : 0;
    if (options.folders == FolderHandling::FolderOnly) return engine.OnFolder(path) < 0 ? 1 : 0;
    return engine.WalkFolder(path, options.subFolders, options.attributes);
}

}  // namespace

int WalkPathList(CFileMoleImpl& engine, const WalkOptions& options) {
    int failures = 0;
    for (const std::string& selected : ThePathList().Paths()) failures += HandlePath(engine, selected.c_str(), options);
    return failures;
}

void WriteSummary(int failures) {
    CLogSink* log = OpenLog();
    if (!log) return;
    if (failures > 0) {
        char text[1024];
        snprintf(text, sizeof(text), "---\r\nError: %d\r\n", failures);
        log->AppendError(text);
    } else {
        log->AppendSuccess("---\r\nAll Success!\r\n");
    }
}
