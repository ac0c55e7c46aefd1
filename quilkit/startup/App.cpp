#include "App.h"

#include <windows.h>

#include "framework/AppModule.h"
#include "framework/MessageLoop.h"
#include "maindlg/MainDlg.h"
#include "maindlg/SettingsStore.h"
#include "log/LogDlg.h"
#include "run/ToolRun.h"
#include "framework/LanguageTable.h"
#include "ModeDispatch.h"

namespace {

// After the log has closed, or its deadline for a stopping run has passed.
constexpr DWORD kLastWaitMs = 500;

bool IsFileTool(int mode) { return (mode >= 2 && mode <= 4) || mode == 6; }

// The file tool's options dialog on this thread, then its job on the worker while the
// log window keeps answering; false when the options dialog ended without OK.
bool StartFileTool(int mode, CLogDlg& log, CToolRun& run, const CPathList& selection) {
    run.SetCountWording(CountWordingOf(mode));
    CToolRun::Job job = AskFileTool(mode, log.m_hWnd, selection, run);
    if (!job) return false;
    log.Watch(run, run.Wording());
    run.Start(std::move(job));
    return true;
}

// The log opens where the user left it (a value beside the editor path).
void RestoreLogPlacement(CLogDlg& log) {
    CSettingsStore store;
    std::wstring text;
    if (!store.Open() || !store.ReadLogPlacement(text)) return;
    if (const std::optional<LogPlacement> placement = ParsePlacement(text)) log.SetPlacement(*placement);
}

void StoreLogPlacement(const CLogDlg& log) {
    if (!log.ClosedPlacement()) return;
    CSettingsStore store;
    if (store.Open()) store.WriteLogPlacement(PlacementText(*log.ClosedPlacement()));
}

// The log window with the mode's tool; false when no window stays open: the user closed
// the options dialog, and nothing is left to show.
bool OpenLogWithTool(int mode, CLogDlg& log, CToolRun& run, const CPathList& selection) {
    RestoreLogPlacement(log);
    if (!log.Create(nullptr)) return false;
    const std::vector<std::wstring>& paths = selection.Paths();
    log.NameRun(ToolWordsOf(mode), paths.empty() ? std::wstring() : paths.front());
    log.Show();
    if (StartFileTool(mode, log, run, selection)) return true;
    log.DestroyWindow();
    return false;
}

}  // namespace

int Run(int mode, int showCommand, const CPathList& selection) {
    CMessageLoop loop;
    _Module.AddMessageLoop(&loop);
    SelectLanguageTexts();
    _Module.ChooseTexts(CUiTexts::ForUser(_Module.Instance()));

    CMainDlg mainDlg;
    CLogDlg logDlg;
    CToolRun toolRun;
    bool windowOpen = false;

    if (mode == 0) {
        windowOpen = mainDlg.Create(nullptr) != nullptr;
        if (windowOpen) ShowWindow(mainDlg.m_hWnd, showCommand);
    } else if (IsFileTool(mode)) {
        windowOpen = OpenLogWithTool(mode, logDlg, toolRun, selection);
    } else {
        RunLauncher(mode, selection.Paths());
    }

    const int exitCode = windowOpen ? loop.Run() : 0;
    StoreLogPlacement(logDlg);
    // The worker is done unless the loop ended some other way; either way it is gone
    // before anything it reports to. One held in a read that nothing can cancel writes
    // nothing: the process ends around it.
    if (!toolRun.StopAndJoin(kLastWaitMs)) ExitProcess(UINT(exitCode));
    if (logDlg.m_hWnd) logDlg.DestroyWindow();
    if (mainDlg.m_hWnd) mainDlg.DestroyWindow();
    _Module.RemoveMessageLoop();
    return exitCode;
}
