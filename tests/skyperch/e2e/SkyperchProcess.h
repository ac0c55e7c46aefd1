#pragma once
// The real Skyperch.exe, started by the test and worked through its windows the way a
// user would: the finder gets its button and mouse messages while the cursor is moved
// with SetCursorPos, texts are read with WM_GETTEXT, "Change" is clicked with BM_CLICK.
#include <windows.h>

#include <string>

#include "UniqueHandle.h"

class CSkyperchProcess {
public:
    // Starts the program named by the environment variable SKYPERCH_EXE and waits for
    // its dialog; Dialog() is null when it did not appear.
    CSkyperchProcess();
    // Ends a program that is still running with its Cancel command.
    ~CSkyperchProcess();
    CSkyperchProcess(const CSkyperchProcess&) = delete;
    CSkyperchProcess& operator=(const CSkyperchProcess&) = delete;

    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(int id) const;
    POINT CentreOf(int id) const;

    void PressFinder();
    void DragTo(POINT position);
    void ReleaseFinder();
    void ClickChange();

    // Waits for the program to end; returns its exit code, or STILL_ACTIVE.
    DWORD WaitForExit();

    DWORD ThreadId() const { return threadId_; }

private:
    CUniqueHandle process_;
    CUniqueHandle thread_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND dialog_ = nullptr;
};

std::string WindowText(HWND window);
