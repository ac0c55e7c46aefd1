#include "SkyperchProcess.h"

#include <cstdlib>
#include <cstring>

#include "TestWindow.h"
#include "resource.h"

namespace {

// ctest hands over the build tree's Unix path; Wine maps the Unix root to drive Z:.
std::string WindowsPath(const char* path) {
    std::string result = path[0] == '/' ? std::string("Z:") + path : std::string(path);
    for (char& c : result)
        if (c == '/') c = '\\';
    return result;
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    if (processId == search->processId && std::strcmp(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

const DWORD kStartWaitMs = 20000;

}  // namespace

std::string WindowText(HWND window) {
    char text[512] = "";
    SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

CSkyperchProcess::CSkyperchProcess() {
    const char* exe = std::getenv("SKYPERCH_EXE");
    if (!exe) return;
    std::string commandLine = "\"" + WindowsPath(exe) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    process_ = CUniqueHandle(info.hProcess);
    thread_ = CUniqueHandle(info.hThread);
    processId_ = info.dwProcessId;
    // Look until the dialog shows or the program ends.
    for (DWORD waited = 0; waited < kStartWaitMs; waited += 50) {
        DialogSearch search{processId_, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowVisible(search.found)) {
            dialog_ = search.found;
            threadId_ = GetWindowThreadProcessId(dialog_, nullptr);
            break;
        }
        if (WaitForSingleObject(process_.Get(), 50) == WAIT_OBJECT_0) break;
    }
    PumpMessages();
}

CSkyperchProcess::~CSkyperchProcess() {
    if (!process_.Get()) return;
    if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        if (dialog_) PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
        if (WaitForSingleObject(process_.Get(), kStartWaitMs) == WAIT_TIMEOUT) TerminateProcess(process_.Get(), 99);
    }
}

std::string CSkyperchProcess::Text(int id) const { return WindowText(Control(id)); }

POINT CSkyperchProcess::CentreOf(int id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void CSkyperchProcess::PressFinder() {
    SendMessageA(Control(IDC_FINDER), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PumpMessages();
}

void CSkyperchProcess::DragTo(POINT position) {
    SetCursorPos(position.x, position.y);
    // Under Wine the new position reaches other processes through the X server a little
    // later; the finder must not read the old one.
    for (int i = 0; i < 100; ++i) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == position.x && now.y == position.y) break;
        Sleep(20);
    }
    Sleep(100);
    // The finder reads the cursor position itself; the message's coordinates are unused.
    SendMessageA(Control(IDC_FINDER), WM_MOUSEMOVE, MK_LBUTTON, 0);
    PumpMessages();
}

void CSkyperchProcess::ReleaseFinder() {
    SendMessageA(Control(IDC_FINDER), WM_LBUTTONUP, 0, 0);
    PumpMessages();
}

void CSkyperchProcess::ClickChange() {
    SendMessageA(Control(IDC_CHANGE), BM_CLICK, 0, 0);
    PumpMessages();
}

DWORD CSkyperchProcess::WaitForExit() {
    WaitForSingleObject(process_.Get(), kStartWaitMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}
