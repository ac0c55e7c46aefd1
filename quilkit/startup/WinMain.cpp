#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "../framework/AppModule.h"
#include "App.h"
#include "CommandLine.h"
#include "PathList.h"

namespace {

void FillPathList(const CCommandLine& commandLine, CPathList& paths) {
    for (const std::string& token : commandLine.PathTokens()) {
        if (commandLine.ListFiles())
            paths.ReadListFile(token.c_str());
        else
            paths.Add(token.c_str());
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLineText, int showCommand) {
    // Libraries named without a path come from the system folder only: a copy planted
    // beside the program (a Downloads folder) or in the current folder is never loaded.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The log window's control; stays loaded until the process ends.
    if (!LoadLibraryExA("RICHED20.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        MessageBoxA(nullptr, "RICHED20.DLL load error", "Error", MB_OK);
        CoUninitialize();
        return 0;
    }

    _Module.Init(instance);
    CCommandLine commandLine;
    commandLine.Parse(commandLineText);
    if (commandLine.Registration() != RegistrationStep::None) {
        // The elevated instance of the main dialog: one step, no window, the outcome as
        // the exit code.
        const CExtensionRegistrar::Outcome outcome = CExtensionRegistrar::CallExport(commandLine.Registration());
        _Module.Term();
        CoUninitialize();
        return CExtensionRegistrar::ExitCodeOf(outcome);
    }
    CPathList paths;
    FillPathList(commandLine, paths);

    const int exitCode = Run(commandLine.Mode(), showCommand, paths.Paths());

    _Module.Term();
    CoUninitialize();
    return exitCode;
}
