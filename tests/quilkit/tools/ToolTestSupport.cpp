#include "ToolTestSupport.h"

#include <commctrl.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "framework/Handles.h"

namespace tooltest {

namespace {

std::string Hex(const BYTE* data, DWORD size) {
    std::string text;
    char digits[3];
    for (DWORD i = 0; i < size; ++i) {
        snprintf(digits, sizeof(digits), "%02X", data[i]);
        text += digits;
    }
    return text;
}

// Wine's own mapping of a Windows path to its Unix file name.
std::string UnixPathOf(const std::string& windowsPath) {
    using Mapper = char*(CDECL*)(const WCHAR*);
    auto mapper = reinterpret_cast<Mapper>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!mapper) return "";
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2)) return "";
    char* unixPath = mapper(wide);
    if (!unixPath) return "";
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string PercentDecode(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += char(strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

template <typename Action>
void InProcess(const driver::Process& app, SIZE_T size, Action action) {
    void* remote = VirtualAllocEx(app.Handle(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr) << "VirtualAllocEx failed: " << GetLastError();
    action(remote);
    VirtualFreeEx(app.Handle(), remote, 0, MEM_RELEASE);
}

}  // namespace

driver::Process StartTool(const driver::TempFolder& folder, int mode, const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + "\r\n";
    const std::string listFile = folder / "selection.lst";
    driver::WriteFile(listFile, list);
    return driver::Start(driver::QuilkitExe(), "/M" + std::to_string(mode) + " /L \"" + listFile + "\"");
}

RunResult FinishRun(const driver::Process& app) {
    RunResult result;
    HWND log = driver::WaitForWindow(app, "Log");
    if (!log) return result;
    // The summary is one append, so once "---" shows the whole of it is there.
    result.text = driver::WaitForLogText(log, "---\r\n");
    result.runs = Merge(driver::ReadLogRuns(log));
    // The copied RTF closes with the control's final paragraph mark, which the text lacks;
    // it carries whatever format the control last applied.
    if (result.runs.size() > 1 && result.runs.back().text == "\r\n") result.runs.pop_back();
    if (!result.runs.empty()) {
        std::string& last = result.runs.back().text;
        if (last.size() >= 4 && last.compare(last.size() - 4, 4, "\r\n\r\n") == 0) last.resize(last.size() - 2);
    }
    driver::Close(log);
    result.exitCode = driver::WaitForExit(app);
    return result;
}

std::vector<driver::TextRun> Merge(const std::vector<driver::TextRun>& runs) {
    std::vector<driver::TextRun> merged;
    for (const driver::TextRun& run : runs) {
        if (run.text.empty()) continue;
        if (!merged.empty() && merged.back().bold == run.bold && merged.back().color == run.color)
            merged.back().text += run.text;
        else
            merged.push_back(run);
    }
    return merged;
}

std::vector<driver::TextRun> Success(const std::string& text) {
    driver::TextRun run;
    run.text = text;
    run.bold = true;
    run.color = driver::kGreen;
    return {run};
}

std::vector<driver::TextRun> Error(const std::string& text) {
    driver::TextRun run;
    run.text = text;
    run.bold = true;
    run.color = driver::kRed;
    return {run};
}

driver::TextRun Plain(const std::string& text) {
    driver::TextRun run;
    run.text = text;
    return run;
}

std::string Describe(const std::vector<driver::TextRun>& runs) {
    std::ostringstream out;
    for (const driver::TextRun& run : runs) {
        std::string text = run.text;
        for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\\r\\n");
        char color[16];
        snprintf(color, sizeof(color), "%06lX", static_cast<unsigned long>(run.color));
        out << (run.bold ? "[bold " : "[plain ") << color << "] " << text << "\n";
    }
    return out.str();
}

std::vector<std::string> ResultLines(const std::string& logText) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = logText.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = logText.substr(start, end - start);
        if (line == "---") break;
        lines.push_back(line);
    }
    return lines;
}

std::string SuccessSummary() { return "---\r\nAll Success!\r\n"; }

std::string ErrorSummary(int count) { return "---\r\nError: " + std::to_string(count) + "\r\n"; }

void SetPicker(const driver::Process& app, HWND picker, const SYSTEMTIME& time) {
    InProcess(app, sizeof(SYSTEMTIME), [&](void* remote) {
        ASSERT_TRUE(WriteProcessMemory(app.Handle(), remote, &time, sizeof(time), nullptr));
        ASSERT_TRUE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote)));
    });
}

SYSTEMTIME GetPicker(const driver::Process& app, HWND picker) {
    SYSTEMTIME time = {};
    InProcess(app, sizeof(SYSTEMTIME), [&](void* remote) {
        EXPECT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote)), GDT_VALID);
        ASSERT_TRUE(ReadProcessMemory(app.Handle(), remote, &time, sizeof(time), nullptr));
    });
    return time;
}

Stamps ReadStamps(const std::string& path) {
    Stamps stamps;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
    stamps.creation = data.ftCreationTime;
    stamps.access = data.ftLastAccessTime;
    stamps.write = data.ftLastWriteTime;
    return stamps;
}

FILETIME ToFileTime(const SYSTEMTIME& utc) {
    FILETIME time = {};
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &time));
    return time;
}

SYSTEMTIME ToSystemTime(const FILETIME& utc) {
    SYSTEMTIME time = {};
    EXPECT_TRUE(FileTimeToSystemTime(&utc, &time));
    return time;
}

std::string Format(const FILETIME& utc) {
    const SYSTEMTIME time = ToSystemTime(utc);
    char text[64];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u UTC", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    return text;
}

void SetStamps(const std::string& path, const FILETIME& time) {
    UniqueFile object(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(object) << path;
    EXPECT_TRUE(SetFileTime(object.Get(), &time, &time, &time)) << path;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
}

std::string PlatformDigest(const std::string& content, ALG_ID algorithm) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        ADD_FAILURE() << "no crypto provider";
        return "";
    }
    HCRYPTHASH hash = 0;
    std::string text;
    if (CryptCreateHash(provider, algorithm, 0, 0, &hash)) {
        CryptHashData(hash, reinterpret_cast<const BYTE*>(content.data()), DWORD(content.size()), 0);
        BYTE digest[64];
        DWORD size = sizeof(digest);
        if (CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) text = Hex(digest, size);
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    EXPECT_FALSE(text.empty()) << "the crypto provider gave no digest";
    return text;
}

std::string TrashedCopyOf(const std::string& windowsPath) {
    const std::string unixPath = UnixPathOf(windowsPath);
    // Wine records the path through the prefix's drive link ("dosdevices/c:/...").
    std::string throughDrive =
        "/dosdevices/" + std::string(1, char(tolower(windowsPath[0]))) + ":" + windowsPath.substr(2);
    for (char& c : throughDrive)
        if (c == '\\') c = '/';
    const auto sameFile = [&](const std::string& recorded) {
        return recorded == unixPath ||
               (recorded.size() > throughDrive.size() &&
                recorded.compare(recorded.size() - throughDrive.size(), std::string::npos, throughDrive) == 0);
    };
    // Wine names the user's Unix home as an NT path, "\\??\\Z:\\root".
    char home[MAX_PATH] = "";
    if (windowsPath.size() < 3 || !GetEnvironmentVariableA("WINEHOMEDIR", home, sizeof(home))) return "";
    std::string trash = home;
    if (trash.compare(0, 4, "\\??\\") == 0) trash.erase(0, 4);
    trash += "\\.local\\share\\Trash";

    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA((trash + "\\info\\*.trashinfo").c_str(), &entry));
    if (!find) return "";
    std::string found;
    do {
        const std::string info = driver::ReadFile(trash + "\\info\\" + entry.cFileName);
        const size_t at = info.find("\nPath=");
        if (at == std::string::npos) continue;
        const size_t end = info.find('\n', at + 1);
        if (!sameFile(PercentDecode(info.substr(at + 6, end - at - 6)))) continue;
        std::string name = entry.cFileName;
        found = trash + "\\files\\" + name.substr(0, name.size() - strlen(".trashinfo"));
    } while (found.empty() && FindNextFileA(find.Get(), &entry));
    return found;
}

LockedFile::LockedFile(const std::string& path)
    : m_handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

}  // namespace tooltest
