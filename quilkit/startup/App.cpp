#include "App.h"

#include <windows.h>

#include "../framework/AppModule.h"
#include "../framework/MessageLoop.h"
#include "../maindlg/MainDlg.h"
#include "../tools/LogDlg.h"
#include "LanguageTable.h"
#include "ModeDispatch.h"

namespace {

int RunMessageLoopFor(CMessageLoop& loop, CMainDlg* mainDlg, CLogDlg* logDlg) {
    if (!mainDlg && !logDlg) return 0;
    const int exitCode = loop.Run();
    if (logDlg) logDlg->DestroyWindow();
    if (mainDlg) mainDlg->DestroyWindow();
    return exitCode;
}

}  // namespace

int Run(int mode, int showCommand) {
    CMessageLoop loop;
    _Module.AddMessageLoop(&loop);
    SelectLanguageTexts();

    CMainDlg mainDlg;
    CLogDlg logDlg;
    CMainDlg* openMainDlg = nullptr;
    CLogDlg* openLogDlg = nullptr;

    if (mode == 0) {
        if (!mainDlg.Create(nullptr)) {
            _Module.RemoveMessageLoop();
            return 0;
        }
        ShowWindow(mainDlg.m_hWnd, showCommand);
        openMainDlg = &mainDlg;
    }
    if (mode >= 2 && mode <= 4 && logDlg.Create(openMainDlg ? openMainDlg->m_hWnd : nullptr)) {
        ShowWindow(logDlg.m_hWnd, SW_SHOW);
        openLogDlg = &logDlg;
        SetOpenLog(openLogDlg);
    }

    RunModeTool(mode);

    const int exitCode = RunMessageLoopFor(loop, openMainDlg, openLogDlg);
    SetOpenLog(nullptr);
    _Module.RemoveMessageLoop();
    return exitCode;
}
