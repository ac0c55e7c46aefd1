#pragma once
#include <windows.h>

// The device context of the whole screen, released on scope exit.
class CScreenDC {
public:
    CScreenDC() : dc_(GetDC(nullptr)) {}
    ~CScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;

    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
};
