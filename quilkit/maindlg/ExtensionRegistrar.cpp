#include "ExtensionRegistrar.h"

#include <shellapi.h>

#include "framework/Handles.h"
#include "text/LongPath.h"

namespace {

// The extension is taken from the program's own folder by its full path, never found
// through a search order that includes the current folder; its own imports come from
// that folder and System32 alone.
UniqueModule LoadShellExtension() {
    const std::wstring program = ModuleFileName(nullptr);
    if (program.empty()) return UniqueModule();
    const std::wstring path = FileSystemPath(ParentFolder(program) + L"\\flintpop64.dll");

    HMODULE module =
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse them; the full path keeps the current
    // folder out of the library's own lookup there as well.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return UniqueModule(module);
}

// Waits for the process and lets the waiting window repaint meanwhile.
DWORD WaitPainting(HANDLE process) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DWORD exitCode = 0;
    return GetExitCodeProcess(process, &exitCode) ? exitCode : DWORD(-1);
}

}  // namespace

CExtensionRegistrar::Outcome CExtensionRegistrar::CallExport(RegistrationStep step) {
    UniqueModule library = LoadShellExtension();
    if (!library) return Outcome::LibraryMissing;
    using RegistrationExport = HRESULT(STDAPICALLTYPE*)();
    const char* exportName = step == RegistrationStep::Register ? "DllRegisterServer" : "DllUnregisterServer";
    auto registration =
        reinterpret_cast<RegistrationExport>(reinterpret_cast<void*>(GetProcAddress(library.Get(), exportName)));
    if (!registration) return Outcome::ExportMissing;
    return SUCCEEDED(registration()) ? Outcome::Succeeded : Outcome::Failed;
}

CExtensionRegistrar::Outcome CExtensionRegistrar::RunElevated(HWND owner, RegistrationStep step) {
    const std::wstring program = ModuleFileName(nullptr);
    if (program.empty()) return Outcome::NotStarted;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = step == RegistrationStep::Register ? L"/Register" : L"/Unregister";
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info) || !info.hProcess)
        return GetLastError() == ERROR_CANCELLED ? Outcome::ElevationRefused : Outcome::NotStarted;
    UniqueHandle process(info.hProcess);
    EnableWindow(owner, FALSE);
    const DWORD exitCode = WaitPainting(process.Get());
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
    return OutcomeOf(exitCode);
}

CExtensionRegistrar::Outcome CExtensionRegistrar::OutcomeOf(DWORD exitCode) {
    const int outcome = int(exitCode) - kExitBase;
    if (outcome < 0 || outcome > static_cast<int>(Outcome::NotStarted)) return Outcome::NotStarted;
    return static_cast<Outcome>(outcome);
}
