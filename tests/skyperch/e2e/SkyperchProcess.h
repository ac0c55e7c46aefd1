#pragma once
// The real Skyperch.exe, started by the test and worked the way a user would: the finder
// gets its mouse messages while the cursor is moved with SetCursorPos, texts are read
// with WM_GETTEXT, "Change" is clicked with BM_CLICK.
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "resource.h"

// Handles the messages sent and posted to the test's own windows.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The program named by SKYPERCH_EXE as Windows names it: ctest hands over the build
// tree's Unix path, and Wine maps the Unix root to drive Z:.
inline std::string SkyperchWindowsPath() {
    const char* exe = std::getenv("SKYPERCH_EXE");
    if (!exe) return {};
    std::string path = std::string(exe[0] == '/' ? "Z:" : "") + exe;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

class CSkyperchProcess {
public:
    // Starts the program named by SKYPERCH_EXE and waits until its dialog shows or the
    // program ends; Dialog() is null when no dialog showed.
    CSkyperchProcess() {
        const std::string exe = SkyperchWindowsPath();
        if (exe.empty()) return;
        std::string commandLine = "\"" + exe + "\"";
        // A dialog that opens under the cursor can later get that stale position from
        // the X server: keep the cursor clear of the middle of the screen.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 10, GetSystemMetrics(SM_CYSCREEN) - 10);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        for (DWORD waited = 0; waited < kWaitMs && !dialog_; waited += 50) {
            for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w && !dialog_;
                 w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
                DWORD processId = 0;
                GetWindowThreadProcessId(w, &processId);
                if (processId == info.dwProcessId && IsWindowVisible(w)) dialog_ = w;
            }
            if (!dialog_ && WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) break;
        }
        PumpMessages();
    }
    // Ends a program that is still running with its Cancel command.
    ~CSkyperchProcess() {
        if (!process_) return;
        if (dialog_) PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
        if (!WaitPumping()) TerminateProcess(process_, 99);
        CloseHandle(process_);
    }
    CSkyperchProcess(const CSkyperchProcess&) = delete;
    CSkyperchProcess& operator=(const CSkyperchProcess&) = delete;

    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(int id) const {
        char text[512] = "";
        SendMessageA(Control(id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::wstring WideText(int id) const {
        wchar_t text[512] = L"";
        SendMessageW(Control(id), WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Waits until the control shows text, or a while; returns what it shows then.
    std::string WaitForText(int id, const std::string& text) const {
        for (int i = 0; i < 100 && Text(id) != text; ++i) {
            Sleep(20);
            PumpMessages();
        }
        return Text(id);
    }
    POINT CentreOf(int id) const {
        RECT rect{};
        GetWindowRect(Control(id), &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    void PressFinder() { Send(IDC_FINDER, WM_LBUTTONDOWN, MK_LBUTTON); }
    void DragTo(POINT position) {
        SetCursorPos(position.x, position.y);
        // Under Wine the new position reaches other processes through the X server a
        // little later; the finder must not read the old one.
        for (int i = 0; i < 100; ++i) {
            POINT now{};
            GetCursorPos(&now);
            if (now.x == position.x && now.y == position.y) break;
            Sleep(20);
        }
        Sleep(100);
        // The finder reads the cursor position itself; the message's coordinates are unused.
        Send(IDC_FINDER, WM_MOUSEMOVE, MK_LBUTTON);
    }
    void ReleaseFinder() { Send(IDC_FINDER, WM_LBUTTONUP, 0); }
    void ClickChange() { Send(IDC_CHANGE, BM_CLICK, 0); }

    // Waits for the program to end; returns its exit code, or STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs = kWaitMs) {
        WaitPumping(timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    static const DWORD kWaitMs = 20000;

    // Skyperch erases its frame as it ends, and drawing on a window of ours can need our
    // thread under Wine: our messages are handled while we wait.
    bool WaitPumping(DWORD timeoutMs = kWaitMs) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            const DWORD result = MsgWaitForMultipleObjects(1, &process_, FALSE, 100, QS_ALLINPUT);
            if (result == WAIT_OBJECT_0) return true;
            PumpMessages();
        }
        return false;
    }

    void Send(int id, UINT message, WPARAM wParam) {
        SendMessageA(Control(id), message, wParam, 0);
        PumpMessages();
    }

    HANDLE process_ = nullptr;
    HWND dialog_ = nullptr;
};
