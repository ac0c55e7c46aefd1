// Skyperch: pick any top-level window with the finder and switch it between top-most and
// normal. Exit code 1 or 2 after the dialog's OK or Cancel command, 0 when the dialog
// cannot be created.
#include <windows.h>

#include <commctrl.h>

#include "ComApartment.h"
#include "LanguageTable.h"
#include "MainDlg.h"
#include "MessageLoop.h"
#include "resource.h"
#include "text/UiTexts.h"

namespace {

int StartupShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Libraries named without a path come from the system folder only, never from beside
    // the program or the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // One choice of language for the table's captions and the resources' texts alike.
    const LCID userLocale = GetUserDefaultLCID();
    const LanguageRecord* record = CLanguageTable::Choose(CLanguageTable::Builtin(), userLocale);
    const CUiTexts texts(instance, CUiTexts::LanguageFor(userLocale));

    CMessageLoop loop;
    CMainDlg dialog(loop, record, texts);
    HWND window = dialog.CreateModeless(instance, texts.Dialog(IDD_SKYPERCH), nullptr);
    if (!window) return 0;
    ShowWindow(window, StartupShowCommand());
    return loop.Run();
}
