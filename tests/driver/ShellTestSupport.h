#pragma once
// What the shell tests share: the recorder that stands in for the programs VexQuilkit
// and the extension start, a selection as Explorer hands it over, and the settings value
// "Hidemaru".
#include "Driver.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

namespace shelltest {

inline std::string RecorderExe() { return VEX_RECORDER_EXE; }
inline std::string StubDll(const std::string& name) { return std::string(VEX_STUB_FOLDER) + "\\" + name + ".dll"; }
inline void Copy(const std::string& from, const std::string& to) {
    EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
}

// Every recorder started from now on, also by a child of a child, appends to `log` its
// command line, its arguments and its own file name, a line each.
inline void RecordTo(const std::string& log) { SetEnvironmentVariableA("VEX_RECORDER_LOG", log.c_str()); }
struct Record {
    std::string commandLine, arguments, image;
};
inline std::vector<Record> Records(const std::string& log) {
    std::vector<Record> records;
    std::string text = driver::FileExists(log) ? driver::ReadFile(log) : "", line[3];
    for (size_t start = 0, end, i = 0; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        line[i++ % 3] = text.substr(start, end - start);
        if (i % 3 == 0) records.push_back({line[0], line[1], line[2]});
    }
    return records;
}
inline Record WaitForRecord(const std::string& log, size_t index) {
    for (int i = 0; i < 400; ++i, Sleep(50))
        if (Records(log).size() > index) return Records(log)[index];
    ADD_FAILURE() << "no record " << index << " in " << log;
    return {};
}
// The records once no recorder named `exe` is running: a recorder started is either
// still running or has written its record.
inline size_t RecordsWhenIdle(const std::string& log, const char* exe) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exe) == 0) ADD_FAILURE() << exe << " is running";
    CloseHandle(snapshot);
    return Records(log).size();
}

// `names` in `folder` selected, in the shell's data object, as Explorer hands a selection
// to a context menu handler.
inline Microsoft::WRL::ComPtr<IDataObject> ShellSelection(const std::wstring& folder,
                                                          const std::vector<std::wstring>& names) {
    std::vector<PIDLIST_ABSOLUTE> items = {ILCreateFromPathW(folder.c_str())};
    std::vector<PCUIDLIST_RELATIVE> children;
    for (const std::wstring& name : names) {
        items.push_back(ILCreateFromPathW((folder + L"\\" + name).c_str()));
        children.push_back(ILFindLastID(items.back()));
    }
    Microsoft::WRL::ComPtr<IDataObject> selection;
    EXPECT_EQ(S_OK, CIDLData_CreateFromIDArray(items[0], UINT(names.size()), children.data(), &selection));
    for (PIDLIST_ABSOLUTE item : items) ILFree(item);
    return selection;
}

// Paths as Explorer drops them (CF_HDROP, wide): each ended by a null, the list by a second one.
inline HGLOBAL DroppedPaths(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    const size_t size = (names.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(files + 1, names.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

// The extension's class, as the shell and the registry name it.
constexpr const char* kFlintPopClsid = "{1035D880-537A-4B6D-A84F-9E7212E661DC}";
constexpr CLSID kFlintPopClass = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};

// The registered extension as the shell makes it, on a selection or a folder's background,
// its menu queried (that result in `queried`); null when a step fails.
inline Microsoft::WRL::ComPtr<IContextMenu> ContextMenu(PCIDLIST_ABSOLUTE folder, IDataObject* selection,
                                                        HRESULT* queried = nullptr) {
    Microsoft::WRL::ComPtr<IShellExtInit> init;
    Microsoft::WRL::ComPtr<IContextMenu> menu;
    EXPECT_EQ(S_OK, CoCreateInstance(kFlintPopClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&init)));
    if (!init || init->Initialize(folder, selection, nullptr) != S_OK || init.As(&menu) != S_OK) return nullptr;
    HMENU popup = CreatePopupMenu();
    const HRESULT result = menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
    if (queried) *queried = result;
    DestroyMenu(popup);
    return menu;
}

// Invokes the menu's item at `offset` (from 0), as a click does.
inline HRESULT InvokeItem(IContextMenu* menu, UINT offset) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(offset);
    return menu->InvokeCommand(&info);
}

inline std::string RegistryString(HKEY root, const std::string& key, const char* value) {
    char text[MAX_PATH * 2] = "<missing>";
    DWORD size = sizeof(text);
    RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}
inline std::string MachineString(const std::string& key, const char* value = nullptr) {
    return RegistryString(HKEY_LOCAL_MACHINE, key, value);
}
inline std::string UserString(const std::string& key, const char* value = nullptr) {
    return RegistryString(HKEY_CURRENT_USER, key, value);
}
inline bool MachineKeyExists(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// Windows as it says which build it is: 22000 and later is Windows 11.
constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
inline void SetWindowsBuild(const std::string& build) {
    for (const char* value : {"CurrentBuild", "CurrentBuildNumber"})
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, value, REG_SZ, build.c_str(), DWORD(build.size() + 1));
}

constexpr const char* kSettingsKey = "Software\\VexQuillkit";
inline void DeleteSettingsKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
// The value's bytes as stored, terminator included.
inline std::string StoredValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char bytes[2048];
    DWORD type = 0, size = sizeof(bytes);
    const LONG result = RegQueryValueExA(key, "Hidemaru", nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(bytes, size) : "<no value>";
}
inline void StoreEditorPath(const std::string& path) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Hidemaru", REG_SZ, path.c_str(), DWORD(path.size() + 1));
}

}  // namespace shelltest
