#include "Driver.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#ifndef VEX_QUILKIT_EXE
#error "VEX_QUILKIT_EXE must name the VexQuilkit.exe of the build tree"
#endif

namespace driver {

namespace {

constexpr int kPollMs = 50;
constexpr UINT kLogControlId = 1019;
constexpr UINT kStatusControlId = 1030;
constexpr UINT kSelectAllCommand = 57642;
constexpr UINT kCopyCommand = 57634;

template <typename Predicate>
bool PollUntil(int timeoutMs, Predicate done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (int(GetTickCount() - start) > timeoutMs) return false;
        Sleep(kPollMs);
    }
}

struct WindowSearch {
    DWORD processId;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->title && GetText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    // A message box is a dialog with a static text of identifier 0xFFFF.
    if (processId == search->processId && IsWindowVisible(window) && strcmp(className, "#32770") == 0 &&
        GetDlgItem(window, 0xFFFF)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string ClipboardRtf() {
    const UINT format = RegisterClipboardFormatA("Rich Text Format");
    std::string rtf;
    PollUntil(kDefaultTimeoutMs, [&] {
        if (!OpenClipboard(nullptr)) return false;
        if (HANDLE data = GetClipboardData(format)) {
            if (const char* text = static_cast<const char*>(GlobalLock(data))) {
                rtf.assign(text, strnlen(text, GlobalSize(data)));
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return !rtf.empty();
    });
    return rtf;
}

}  // namespace

Process::~Process() {
    if (!m_handle) return;
    if (WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT) TerminateProcess(m_handle, 99);
    CloseHandle(m_handle);
}

Process::Process(Process&& other) noexcept : m_handle(other.m_handle), m_id(other.m_id) { other.m_handle = nullptr; }

Process& Process::operator=(Process&& other) noexcept {
    std::swap(m_handle, other.m_handle);
    std::swap(m_id, other.m_id);
    return *this;
}

std::string QuilkitExe() { return VEX_QUILKIT_EXE; }

Process Start(const std::string& exe, const std::string& arguments, const std::string& workingFolder) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << exe << " (error " << GetLastError() << ")";
        return Process();
    }
    CloseHandle(info.hThread);
    WaitForInputIdle(info.hProcess, 5000);
    return Process(info.hProcess, info.dwProcessId);
}

HWND FindWindowOf(const Process& process, const std::string& title, int timeoutMs) {
    WindowSearch search = {process.Id(), &title, nullptr};
    PollUntil(timeoutMs, [&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
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

std::string GetText(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(size_t(length) + 2, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string GetItemText(HWND dialog, int id) { return GetText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsChecked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetCheck(HWND dialog, int id, bool checked) {
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Command(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void Close(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void PressEscape(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

MessageBoxText AnswerMessageBox(const Process& process, int timeoutMs) {
    WindowSearch search = {process.Id(), nullptr, nullptr};
    PollUntil(timeoutMs, [&] {
        EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    if (!search.found) {
        ADD_FAILURE() << "no message box appeared";
        return {};
    }
    MessageBoxText box = {GetText(search.found), GetItemText(search.found, 0xFFFF)};
    PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return box;
}

std::string ReadLogText(HWND log) { return GetItemText(log, kLogControlId); }

std::string ReadStatus(HWND log) { return GetItemText(log, kStatusControlId); }

std::string WaitForStatus(HWND log, const std::string& prefix, int timeoutMs) {
    std::string text;
    if (!PollUntil(timeoutMs, [&] {
            text = ReadStatus(log);
            return text.compare(0, prefix.size(), prefix) == 0;
        }))
        ADD_FAILURE() << "the status bar never showed \"" << prefix << "\"; it shows \"" << text << "\"";
    return text;
}

std::string WaitForRunEnd(HWND log, int timeoutMs) {
    std::string text;
    if (!PollUntil(timeoutMs, [&] {
            text = ReadStatus(log);
            return text.rfind("Done: ", 0) == 0 || text.rfind("Stopped: ", 0) == 0;
        }))
        ADD_FAILURE() << "the run never ended; the status bar shows \"" << text << "\"";
    return text;
}

double RoundTripMs(HWND window, int timeoutMs) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, UINT(timeoutMs), &result)) return -1;
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::string WaitForLogText(HWND log, const std::string& part, int timeoutMs) {
    std::string text;
    if (!PollUntil(timeoutMs, [&] {
            text = ReadLogText(log);
            return text.find(part) != std::string::npos;
        }))
        ADD_FAILURE() << "the log never showed \"" << part << "\"; it holds:\n" << text;
    return text;
}

std::vector<TextRun> ReadLogRuns(HWND log) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageA(log, WM_COMMAND, kSelectAllCommand, 0);
    SendMessageA(log, WM_COMMAND, kCopyCommand, 0);
    return ParseRtf(ClipboardRtf());
}

std::string ReadLogMarked(HWND log) {
    // The copied RTF ends with the control's final paragraph mark, which the text lacks.
    // (WM_GETTEXT cannot tell the text's length: under code page 932 Wine answers it with
    // nothing once the text holds a double-byte character.)
    std::vector<TextRun> runs = ReadLogRuns(log);
    size_t left = 0;
    for (const TextRun& part : runs) left += part.text.size();
    left -= std::min<size_t>(left, 2);
    std::string marked;
    for (const TextRun& part : runs) {
        const std::string text = part.text.substr(0, left);
        left -= text.size();
        const bool green = part.color == kGreen, red = part.color == kRed;
        const std::string tag = !part.bold && !part.color     ? ""
                                : part.bold && (green || red) ? (green ? "G" : "R")
                                                              : "?";
        marked += tag.empty() || text.empty() ? text : "<" + tag + ">" + text + "</" + tag + ">";
    }
    return marked;
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof(base), base);
    static int counter = 0;
    for (;;) {
        char name[MAX_PATH + 64];
        snprintf(name, sizeof(name), "%svex-%lu-%d", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            m_path = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    // SHFileOperation wants a list of names ending in two NULs.
    std::string from = m_path;
    from.append(2, '\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

void WriteFile(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::string& path) {
    std::string content;
    if (FILE* file = fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) content.append(buffer, n);
        fclose(file);
    }
    return content;
}

}  // namespace driver
