#include "ShellTestSupport.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "Driver.h"

namespace shelltest {

namespace {

constexpr const char* kSettingsKey = "Software\\VexQuillkit";
constexpr const char* kValueName = "Hidemaru";

std::string Environment(const char* name) {
    char value[4096];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value) : std::string();
}

void RemoveTree(const std::string& path) {
    std::string from = path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

}  // namespace

std::string RecorderExe() { return VEX_RECORDER_EXE; }
std::string BinFolder() { return FolderOf(driver::QuilkitExe()); }
std::string StubDll(const std::string& name) { return std::string(VEX_STUB_FOLDER) + "\\" + name + ".dll"; }

void CopyOrFail(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        ADD_FAILURE() << "cannot copy " << from << " to " << to << " (error " << GetLastError() << ")";
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

Recording::Recording(const std::string& logPath) : m_logPath(logPath) {
    DeleteFileA(m_logPath.c_str());
    SetEnvironmentVariableA("VEX_RECORDER_LOG", m_logPath.c_str());
}

Recording::~Recording() { SetEnvironmentVariableA("VEX_RECORDER_LOG", nullptr); }

std::vector<Recording::Record> Recording::Records() const {
    std::vector<Record> records;
    if (!driver::FileExists(m_logPath)) return records;
    const std::string text = driver::ReadFile(m_logPath);
    size_t start = 0;
    for (;;) {
        std::string lines[3];
        for (std::string& line : lines) {
            const size_t end = text.find('\n', start);
            if (end == std::string::npos) return records;
            line = text.substr(start, end - start);
            start = end + 1;
        }
        records.push_back({lines[0], lines[1], lines[2]});
    }
    return records;
}

Recording::Record Recording::WaitForRecord() {
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<Record> records = Records();
        if (!records.empty()) return records.front();
        if (GetTickCount() - start > DWORD(driver::kDefaultTimeoutMs)) break;
        Sleep(50);
    }
    ADD_FAILURE() << "no recorder was started";
    return {};
}

bool Recording::NothingStarted(const std::string& exeName) const {
    if (driver::FileExists(m_logPath)) return false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) running = true;
    CloseHandle(snapshot);
    // A recorder that was started is either still running or has written its record.
    return !running && !driver::FileExists(m_logPath);
}

ComspecOverride::ComspecOverride(const std::string& program) : m_saved(Environment("comspec")) {
    SetEnvironmentVariableA("comspec", program.c_str());
}

ComspecOverride::~ComspecOverride() { SetEnvironmentVariableA("comspec", m_saved.empty() ? nullptr : m_saved.c_str()); }

void DeleteSettingsKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

StoredValue ReadStoredValue() {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, kValueName, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.assign(size, '\0');
        if (RegQueryValueExA(key, kValueName, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.bytes[0]), &size) ==
            ERROR_SUCCESS) {
            value.present = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

void WriteStoredValue(const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size())));
    RegCloseKey(key);
}

ScopedFolder::ScopedFolder(const std::string& path) : m_path(path) {
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " exists already or cannot be made";
}

ScopedFolder::~ScopedFolder() { RemoveTree(m_path); }

}  // namespace shelltest
