#include "ModeDispatch.h"

#include "tools/hash/EngineHash.h"
#include "tools/verify/Engine_ChecksumVerify.h"
#include "tools/cleaner/Engine_ExtCleaner.h"
#include "tools/timechanger/Engine_TimeChanger.h"
#include "framework/AppModule.h"
#include "launchers/ShellLaunchers.h"
#include "maindlg/HidepathDlg.h"
#include "maindlg/SettingsStore.h"
#include "framework/AppModule.h"
#include "resource.h"

namespace {

CToolRun::Job AskTool(int mode, HWND owner, const std::vector<std::wstring>& paths, CToolRun& run) {
    switch (mode) {
        case 2:
            return AskExtCleaner(owner, paths, run);
        case 3:
            return AskHashCheck(owner, paths, run.Checksums());
        case 4:
            return AskTimeChanger(owner, paths);
        case 6:
            return VerifyChecksums(paths);
    }
    return nullptr;
}

// The list files that could not be read come first, each a failure; an empty selection
// is one too, rather than a run that ends in "All Success!" having done nothing.
CToolRun::Job ReportingSelection(const std::vector<std::wstring>& missingListFiles, CToolRun::Job tool) {
    return [missingListFiles, tool = std::move(tool)](CLogSink& log, const CStopRequest& stop) {
        RunTally tally;
        for (const std::wstring& listFile : missingListFiles) {
            LogResultLine(log, false, IDS_LINE_LIST_FILE_NOT_FOUND, listFile);
            log.NoteFailure();
            ++tally.failures;
        }
        if (!tool) {
            log.AppendError(log.Texts().Text(IDS_LINE_NOTHING_SELECTED) + L"\r\n");
            log.NoteFailure();
            ++tally.failures;
            return tally;
        }
        const RunTally toolTally = tool(log, stop);
        tally.failures += toolTally.failures;
        tally.notDone = toolTally.notDone;
        return tally;
    };
}

std::wstring StoredEditorPath() {
    CSettingsStore store;
    std::wstring path;
    if (!store.Open() || !store.ReadEditorPath(path)) path.clear();
    return path;
}

}  // namespace

void RunLauncher(int mode, const std::vector<std::wstring>& paths) {
    if (mode == 1) OpenCommandPrompt(paths);
    if (mode == 5)
        OpenInEditor(paths, {StoredEditorPath, [] { return ShowEditorPathDialog(EditorPathReason::NotFound) == IDOK; },
                             _Module.Texts()});
}

CountWording CountWordingOf(int mode) {
    if (mode == 2) return CountWording::Cleaner;
    if (mode == 4) return CountWording::TimeChanger;
    return CountWording::Digests;
}

std::wstring ToolWordsOf(int mode) {
    switch (mode) {
        case 2:
            return _Module.Texts().Text(IDS_TOOL_CLEANER);
        case 3:
            return _Module.Texts().Text(IDS_TOOL_HASH);
        case 4:
            return _Module.Texts().Text(IDS_TOOL_TIME_CHANGER);
        case 6:
            return _Module.Texts().Text(IDS_TOOL_VERIFY);
    }
    return {};
}

CToolRun::Job AskFileTool(int mode, HWND owner, const CPathList& selection, CToolRun& run) {
    if (selection.Paths().empty()) return ReportingSelection(selection.MissingListFiles(), nullptr);
    CToolRun::Job tool = AskTool(mode, owner, AbsolutePaths(selection.Paths()), run);
    if (!tool) return nullptr;
    return ReportingSelection(selection.MissingListFiles(), std::move(tool));
}
