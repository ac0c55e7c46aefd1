#include "Driver.h"

#include "text/UiTexts.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <functional>
#include <iterator>
#include <vector>

#ifndef VEX_QUILKIT_EXE
#error "VEX_QUILKIT_EXE must name the VexQuilkit.exe of the build tree"
#endif

namespace driver {

namespace {

constexpr int kPollMs = 50;
constexpr UINT kLogControlId = 1019;
constexpr UINT kStatusControlId = 1030;
constexpr UINT kVerdictControlId = 1031;

template <typename Predicate>
bool PollUntil(int timeoutMs, Predicate done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (int(GetTickCount() - start) > timeoutMs) return false;
        Sleep(kPollMs);
    }
}

// The first visible top-level window of the process that `match` accepts, polled for.
HWND PollForWindow(const Process& process, int timeoutMs, const std::function<bool(HWND)>& match) {
    HWND found = nullptr;
    PollUntil(timeoutMs, [&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, nullptr); w && !found;
             w = FindWindowExW(nullptr, w, nullptr, nullptr)) {
            DWORD processId = 0;
            GetWindowThreadProcessId(w, &processId);
            if (processId == process.Id() && IsWindowVisible(w) && match(w)) found = w;
        }
        return found != nullptr;
    });
    return found;
}

// Reads until `done` holds for the text read; a failure names `what` and the last text.
template <typename Done>
std::string WaitUntilRead(int timeoutMs, std::string (*read)(HWND), HWND window, Done done, const std::string& what) {
    std::string text;
    if (!PollUntil(timeoutMs, [&] { return done(text = read(window)); }))
        ADD_FAILURE() << what << "; it shows:\n" << text;
    return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// start.exe may return before the Unix program has ended: waits until `done` holds.
template <typename Done>
void RunUnixUntil(const std::string& arguments, const std::string& failure, Done done) {
    RunUnix(arguments);
    EXPECT_TRUE(PollUntil(kDefaultTimeoutMs, done)) << failure;
}

Process Spawn(const wchar_t* application, std::wstring commandLine, DWORD flags, const wchar_t* folder) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(application, &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr, folder, &startup,
                        &info)) {
        const DWORD error = GetLastError();
        ADD_FAILURE() << "cannot start " << Utf8(commandLine) << " (error " << error << ")";
        return Process();
    }
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

// Skips a menu or class field of a dialog template: none, an ordinal or a string.
const WORD* SkipNameOrOrdinal(const WORD* at) {
    if (*at == 0xFFFF) return at + 2;
    while (*at) ++at;
    return at + 1;
}

// What `read` takes from VexQuilkit's texts for this user, read from the program's resources.
template <typename Read>
std::string FromProgramTexts(Read read) {
    const HMODULE program =
        LoadLibraryExW(Wide(QuilkitExe()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!program) return {};
    const std::string text = read(CUiTexts::ForUser(program));
    FreeLibrary(program);
    return text;
}

}  // namespace

std::string UnixName(const std::string& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    static const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName) return {};
    char* name = unixFileName(Wide(path).c_str());
    if (!name) return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

void RunUnix(const std::string& arguments) {
    const Process start = Spawn(nullptr, Wide("start.exe /wait /unix " + arguments), CREATE_NO_WINDOW, nullptr);
    if (start.Handle()) WaitForSingleObject(start.Handle(), kDefaultTimeoutMs);
}

UnixLink::UnixLink(const std::string& target, const std::string& link) : m_link(link) {
    if (UnixName(target).empty() || UnixName(link).empty()) {
        ADD_FAILURE() << "no Unix name for " << target << " or " << link;
        return;
    }
    RunUnixUntil("/bin/ln -s " + Quoted(UnixName(target)) + " " + Quoted(UnixName(link)), "no link " + link,
                 [&] { return FileExists(link); });
}

UnixLink::~UnixLink() {
    if (UnixName(m_link).empty()) return;
    RunUnixUntil("/bin/rm -f " + Quoted(UnixName(m_link)), "left " + m_link, [&] { return !FileExists(m_link); });
}

MappedDrive::MappedDrive(const std::string& folder) {
    // "<prefix>/dosdevices/c:/": the drives are the links beside c:.
    std::string devices = UnixName("C:\\");
    const size_t drive = devices.rfind("/c:");
    if (drive == std::string::npos || UnixName(folder).empty()) {
        ADD_FAILURE() << "no dosdevices folder or no Unix name for " << folder;
        return;
    }
    devices.resize(drive + 1);
    // Tests run side by side: each process starts its search at a letter of its own.
    const DWORD used = GetLogicalDrives();
    for (int i = 0; i < 12 && m_root.empty(); ++i) {
        const char letter = char('M' + (GetCurrentProcessId() / 4 + i) % 12);
        if (!(used & (1u << (letter - 'A')))) m_root = std::string(1, letter) + ":\\";
    }
    if (m_root.empty()) {
        ADD_FAILURE() << "no spare drive letter";
        return;
    }
    m_link = devices + char(tolower(m_root[0])) + ":";
    RunUnixUntil("/bin/ln -s " + Quoted(UnixName(folder)) + " " + Quoted(m_link), "no drive " + m_root,
                 [&] { return FileExists(m_root); });
}

MappedDrive::~MappedDrive() {
    if (m_link.empty()) return;
    RunUnixUntil("/bin/rm -f " + Quoted(m_link), "left " + m_root, [&] { return !FileExists(m_root); });
}

void Process::End(HANDLE handle) {
    if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) TerminateProcess(handle, 99);
    CloseHandle(handle);
}

std::string QuilkitExe() { return VEX_QUILKIT_EXE; }

std::string CaptionOf(int dialogId) {
    return FromProgramTexts([&](const CUiTexts& texts) -> std::string {
        const auto* form = reinterpret_cast<const WORD*>(texts.Dialog(UINT(dialogId)));
        if (!form) return {};
        // DLGTEMPLATEEX (version 1, signature 0xFFFF) has 26 bytes before its menu, DLGTEMPLATE 18.
        const bool extended = form[0] == 1 && form[1] == 0xFFFF;
        const WORD* title = SkipNameOrOrdinal(SkipNameOrOrdinal(form + (extended ? 13 : 9)));
        return Utf8(reinterpret_cast<const wchar_t*>(title));
    });
}

std::string TextOf(int stringId) {
    return FromProgramTexts([&](const CUiTexts& texts) { return Utf8(texts.Text(UINT(stringId))); });
}

Process Start(const std::string& exe, const std::string& arguments, const std::string& workingFolder) {
    const std::wstring folder = Wide(workingFolder);
    Process process =
        Spawn(Wide(exe).c_str(), Wide(Quoted(exe) + " " + arguments), 0, folder.empty() ? nullptr : folder.c_str());
    if (process.Handle()) WaitForInputIdle(process.Handle(), 5000);
    return process;
}

HWND FindWindowOf(const Process& process, const std::string& title, int timeoutMs) {
    // A title matches itself and its longer forms: "Log" finds "Log - Check Hashes - a.txt";
    // an empty one matches any window.
    return PollForWindow(process, timeoutMs, [&](HWND window) {
        const std::string text = title.empty() ? title : GetText(window);
        return text == title || text.rfind(title + " - ", 0) == 0;
    });
}

HWND WaitForWindow(const Process& process, const std::string& title, int timeoutMs) {
    HWND window = FindWindowOf(process, title, timeoutMs);
    if (!window) ADD_FAILURE() << "no window \"" << title << "\" appeared";
    return window;
}

int WaitForExit(const Process& process, int timeoutMs) {
    if (!process.Handle() || WaitForSingleObject(process.Handle(), DWORD(timeoutMs)) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the process did not end";
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Handle(), &code);
    return int(code);
}

// The text may grow between the two messages (a status bar during a run): a buffer that
// came back full is read again, larger.
std::string GetText(HWND window) {
    std::vector<wchar_t> text;
    for (size_t room = 256;; room *= 2) {
        const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
        text.assign(size_t(length) + room, L'\0');
        const LRESULT copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        if (size_t(copied) + 1 < text.size() || room > (1u << 20)) break;
    }
    return Utf8(text.data());
}

std::string GetItemText(HWND dialog, int id) { return GetText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

bool IsChecked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetCheck(HWND dialog, int id, bool checked) {
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void Close(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

static void PressKey(HWND window, WPARAM key, UINT scanCode) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageW(target, WM_KEYDOWN, key, 0x00000001 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, key, 0xC0000001 | (scanCode << 16));
}

void PressEscape(HWND window) { PressKey(window, VK_ESCAPE, 0x01); }

void PressEnter(HWND window) { PressKey(window, VK_RETURN, 0x1C); }

HWND WaitForMessageBox(const Process& process, int timeoutMs) {
    // A message box is a dialog with a static text of identifier 0xFFFF.
    return PollForWindow(process, timeoutMs, [](HWND window) {
        wchar_t className[64] = L"";
        GetClassNameW(window, className, 64);
        return wcscmp(className, L"#32770") == 0 && GetDlgItem(window, 0xFFFF);
    });
}

MessageBoxText AnswerMessageBox(const Process& process, int timeoutMs) {
    HWND found = WaitForMessageBox(process, timeoutMs);
    if (!found) {
        ADD_FAILURE() << "no message box appeared";
        return {};
    }
    MessageBoxText box = {GetText(found), GetItemText(found, 0xFFFF)};
    Command(found, IDOK);
    return box;
}

std::string ReadLogText(HWND log) { return GetItemText(log, kLogControlId); }

std::string ReadStatus(HWND log) { return GetItemText(log, kStatusControlId); }

std::string ReadVerdict(HWND log) { return GetItemText(log, kVerdictControlId); }

std::string WaitForStatus(HWND log, const std::string& prefix, int timeoutMs) {
    return WaitUntilRead(
        timeoutMs, ReadStatus, log, [&](const std::string& text) { return text.rfind(prefix, 0) == 0; },
        "the status bar never showed \"" + prefix + "\"");
}

std::string WaitForRunEnd(HWND log, int timeoutMs) {
    auto lead = [](int id) {
        const std::string pattern = TextOf(id);
        return pattern.substr(0, pattern.find("%1"));
    };
    const std::string done = lead(IDS_STATUS_DONE), stopped = lead(IDS_STATUS_STOPPED);
    return WaitUntilRead(
        timeoutMs, ReadStatus, log,
        [&](const std::string& text) {
            return (!done.empty() && text.rfind(done, 0) == 0) || (!stopped.empty() && text.rfind(stopped, 0) == 0);
        },
        "the run never ended");
}

double RoundTripMs(HWND window, int timeoutMs) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, UINT(timeoutMs), &result)) return -1;
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::string WaitForLogText(HWND log, const std::string& part, int timeoutMs) {
    return WaitUntilRead(
        timeoutMs, ReadLogText, log, [&](const std::string& text) { return text.find(part) != std::string::npos; },
        "the log never showed \"" + part + "\"");
}

static std::string TempPath() {
    wchar_t base[MAX_PATH + 1];
    return Utf8(std::wstring(base, GetTempPathW(MAX_PATH + 1, base) - 1));  // without its backslash
}

TempFolder::TempFolder() : TempFolder(TempPath()) {}

TempFolder::TempFolder(const std::string& base) {
    static int counter = 0;
    for (;;) {
        const std::wstring name =
            Wide(base) + L"\\vex-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(name.c_str(), nullptr)) {
            m_path = Utf8(name);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot make a folder in " << base;
            return;
        }
    }
}

// Removes a tree without ever going through a directory link: a link is removed itself
// or left. (The shell's recursive delete follows links; under Wine one that loops back
// runs out of path and goes on in the current folder.)
static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW(path.c_str());
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryW(path.c_str());
        else
            RemoveTree(path);
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    RemoveDirectoryW(folder.c_str());
}

TempFolder::~TempFolder() {
    // Only ever the absolute folder this object made.
    if (m_path.size() > 3 && m_path[1] == ':') RemoveTree(LongPath(m_path));
}

void WriteFile(const std::string& path, const std::string& content) {
    FILE* file = _wfopen(LongPath(path).c_str(), L"wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
    std::string content;
    if (FILE* file = _wfopen(LongPath(path).c_str(), L"rb")) {
        for (int c; (c = fgetc(file)) != EOF;) content += char(c);
        fclose(file);
    }
    return content;
}

static std::wstring Decode(UINT codePage, const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), &text[0], int(text.size()));
    text.resize(size_t(length > 0 ? length : 0));
    return text;
}

std::wstring Wide(const std::string& utf8) { return Decode(CP_UTF8, utf8); }

std::string FromCodePage(UINT codePage, const std::string& bytes) { return Utf8(Decode(codePage, bytes)); }

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::wstring LongPath(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    return L"\\\\?\\" + wide;
}

std::string SystemReason(DWORD error) {
    wchar_t text[512] = L"";
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, DWORD(std::size(text)), nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() && (iswspace(reason.back()) || reason.back() == L'.')) reason.pop_back();
    return "error " + std::to_string(error) + ": " + Utf8(reason);
}

}  // namespace driver
