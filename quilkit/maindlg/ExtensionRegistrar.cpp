#include "ExtensionRegistrar.h"

#include <shellapi.h>

#include <string>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "FolderWriters.h"

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

// The owner and DACL of a file or folder, self-relative; empty when they cannot be read.
std::string SecurityDescriptorOf(const std::wstring& path) {
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetFileSecurityW(path.c_str(), parts, nullptr, 0, &size);
    std::string bytes(size, '\0');
    if (size == 0 || !GetFileSecurityW(path.c_str(), parts, &bytes[0], size, &size)) return {};
    bytes.resize(size);
    return bytes;
}

// The extension is taken from the program's own folder by its full path, never found
// through a search order that includes the current folder; its own imports come from
// that folder and System32 alone.
UniqueModule LoadShellExtension() {
    const std::wstring path = ExtensionPath();
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
    std::wstring folder = ParentFolder(extension);
    if (!folder.empty() && folder.back() == L':') folder += L'\\';  // a drive's root, not its current folder
    if (extension.empty() || !OnlyAdministratorsCanWrite(SecurityDescriptorOf(folder))) return false;
    // A DLL that is not there yet cannot be replaced; one that is must be as closed as its folder.
    return GetFileAttributesW(extension.c_str()) == INVALID_FILE_ATTRIBUTES ||
           OnlyAdministratorsCanWrite(SecurityDescriptorOf(extension));
}

bool CExtensionRegistrar::AllUsersLoadFromHere() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::wstring registered(size / sizeof(wchar_t) + 1, L'\0');
    size = DWORD(registered.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, &registered[0], &size) !=
        ERROR_SUCCESS)
        return false;
    registered.resize(registered.find(L'\0'));
    const std::wstring here = ExtensionPath(), there = FileSystemPath(FullPathName(registered));
    // File names compare without regard to case, as the file system does.
    return !here.empty() &&
           CompareStringOrdinal(here.c_str(), int(here.size()), there.c_str(), int(there.size()), TRUE) == CSTR_EQUAL;
}

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

CExtensionRegistrar::Outcome CExtensionRegistrar::CallUserExport(RegistrationStep step) {
    UniqueModule library = LoadShellExtension();
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
