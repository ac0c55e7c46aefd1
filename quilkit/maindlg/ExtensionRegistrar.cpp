#include "ExtensionRegistrar.h"

#include <shellapi.h>

#include <string>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "MachineWidePlace.h"

namespace {

constexpr const wchar_t* kServerKey =
    L"Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}\\InprocServer32";

std::wstring ExtensionPath() {
    const std::wstring program = ModuleFileName(nullptr);
    return program.empty() ? std::wstring() : FileSystemPath(ParentFolder(program) + L"\\flintpop64.dll");
}

bool KeyExists(HKEY root, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    UniqueKey owner(key);
    return true;
}

// The DLL the elevated step may load: from the final path of a place that administrators
// alone control; to unregister, also the copy registered for every user, wherever it is.
std::wstring ElevatedExtension(RegistrationStep step) {
    const std::wstring folder = MachineWideFolder(ParentFolder(ExtensionPath()));
    if (!folder.empty()) return FileSystemPath(PathIn(folder, L"flintpop64.dll"));
    if (step == RegistrationStep::Unregister && CExtensionRegistrar::MachineRegistrationIsThisCopy())
        return ExtensionPath();
    return {};
}

// The extension is taken from the program's own folder by its full path, never found
// through a search order that includes the current folder; its own imports come from
// that folder and System32 alone.
UniqueModule LoadShellExtension(const std::wstring& path) {
    if (path.empty()) return UniqueModule();

    // The search flags need the same system update as SetDefaultDllDirectories, which
    // the program imports directly: where it starts, they are understood.
    return UniqueModule(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
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

CExtensionRegistrar::Registrations CExtensionRegistrar::Current() {
    return {KeyExists(HKEY_LOCAL_MACHINE, kServerKey), KeyExists(HKEY_CURRENT_USER, kServerKey)};
}

bool CExtensionRegistrar::InstallsForAllUsers() {
    const std::wstring extension = ExtensionPath();
    return !extension.empty() && !MachineWideFolder(ParentFolder(extension)).empty();
}

std::wstring CExtensionRegistrar::MachineExtension() {
    DWORD size = 0;
    // A REG_EXPAND_SZ value comes expanded, as REG_SZ.
    const DWORD types = RRF_RT_REG_SZ;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, types, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring path(size / sizeof(wchar_t) + 1, L'\0');
    size = DWORD(path.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, types, nullptr, &path[0], &size) != ERROR_SUCCESS)
        return {};
    path.resize(wcsnlen(path.c_str(), path.size()));
    return path;
}

bool CExtensionRegistrar::MachineRegistrationIsThisCopy() {
    const std::wstring registered = MachineExtension(), extension = ExtensionPath();
    return !registered.empty() && !extension.empty() && SameFile(FileSystemPath(registered), extension);
}

CExtensionRegistrar::Outcome CExtensionRegistrar::CallExport(RegistrationStep step) {
    if (GetFileAttributesW(ExtensionPath().c_str()) == INVALID_FILE_ATTRIBUTES) return Outcome::LibraryMissing;
    const std::wstring extension = ElevatedExtension(step);
    if (extension.empty()) return Outcome::OthersCanChange;
    UniqueModule library = LoadShellExtension(extension);
    if (!library) return Outcome::LibraryMissing;
    using RegistrationExport = HRESULT(STDAPICALLTYPE*)();
    const char* exportName = step == RegistrationStep::Register ? "DllRegisterServer" : "DllUnregisterServer";
    auto registration =
        reinterpret_cast<RegistrationExport>(reinterpret_cast<void*>(GetProcAddress(library.Get(), exportName)));
    if (!registration) return Outcome::ExportMissing;
    return SUCCEEDED(registration()) ? Outcome::Succeeded : Outcome::Failed;
}

CExtensionRegistrar::Outcome CExtensionRegistrar::CallUserExport(RegistrationStep step) {
    UniqueModule library = LoadShellExtension(ExtensionPath());
    if (!library) return Outcome::LibraryMissing;
    using InstallExport = HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR);
    auto install =
        reinterpret_cast<InstallExport>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "DllInstall")));
    if (!install) return Outcome::ExportMissing;
    return SUCCEEDED(install(step == RegistrationStep::Register, L"user")) ? Outcome::Succeeded : Outcome::Failed;
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
