#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "framework/AppModule.h"
#include "text/UiTexts.h"
#include "text/WideText.h"
#include "maindlg/ExtensionRegistrar.h"
#include "App.h"
#include "CommandLine.h"
#include "PathList.h"
#include "resource.h"

namespace {

void FillPathList(const CCommandLine& commandLine, CPathList& paths) {
    for (const std::u16string& token : commandLine.PathTokens()) {
        if (commandLine.ListFiles())
            paths.ReadListFile(ToWide(token));
        else
            paths.Add(ToWide(token));
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLineText, int showCommand) {
    // Libraries named without a path come from the system folder only: a copy planted
    // beside the program (a Downloads folder) or in the current folder is never loaded.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CCommandLine commandLine;
    commandLine.Parse(ToUtf16(commandLineText));
    if (commandLine.Registration() != RegistrationStep::None) {
        // The elevated step of the main dialog, also the installer's, often silent: it
        // loads only the extension and never shows a window, not even the system's boxes
        // for a failed load or a crash; every outcome is the exit code.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
        return CExtensionRegistrar::ExitCodeOf(CExtensionRegistrar::CallExport(commandLine.Registration()));
    }

    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The log window's control; stays loaded until the process ends.
    if (!LoadLibraryExW(L"RICHED20.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        const CUiTexts texts = CUiTexts::ForUser(instance);
        MessageBoxW(nullptr, texts.Text(IDS_RICHEDIT_MISSING).c_str(), texts.Text(IDS_TITLE_ERROR).c_str(), MB_OK);
        CoUninitialize();
        return 0;
    }

    _Module.Init(instance);
    CPathList paths;
    FillPathList(commandLine, paths);

    const int exitCode = Run(commandLine.Mode(), showCommand, paths);

    _Module.Term();
    CoUninitialize();
    return exitCode;
}
