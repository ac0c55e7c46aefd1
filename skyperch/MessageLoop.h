#pragma once
#include <windows.h>

// The thread's message loop; a registered dialog is offered every message first, for its
// keyboard navigation.
class CMessageLoop {
public:
    void SetDialog(HWND dialog) { dialog_ = dialog; }

    // Runs until WM_QUIT and returns its exit code.
    int Run();

private:
    HWND dialog_ = nullptr;
};
