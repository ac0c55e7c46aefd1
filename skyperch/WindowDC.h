#pragma once
#include <windows.h>

// The device context of a whole window (title bar and borders included), released on
// scope exit.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    ~CWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
