#pragma once
// The display functions that only newer Windows has, looked up once at run time so that
// the program still starts where they are missing: GetDpiForWindow and
// GetSystemMetricsForDpi (Windows 10 1607) fall back to the system DPI, and
// DwmGetWindowAttribute's visible frame bounds to the window rectangle.
#include <windows.h>

#include "UniqueLibrary.h"

class CDpiFunctions {
public:
    CDpiFunctions();
    CDpiFunctions(const CDpiFunctions&) = delete;
    CDpiFunctions& operator=(const CDpiFunctions&) = delete;

    // The DPI of the monitor the window is on, or the system DPI.
    int ForWindow(HWND window) const;
    int SystemDpi() const { return systemDpi_; }
    // A metric (SM_CXICON...) at dpi; the system DPI's metric where Windows cannot scale it.
    int SystemMetric(int index, int dpi) const;
    // The window's visible bounds on the screen, without the invisible resize borders
    // that Windows 10 counts in the window rectangle; false where the system cannot say.
    bool VisibleBounds(HWND window, RECT& bounds) const;

private:
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

    int systemDpi_;
    CUniqueLibrary dwm_;
    GetDpiForWindowFn getDpiForWindow_ = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi_ = nullptr;
    DwmGetWindowAttributeFn dwmGetWindowAttribute_ = nullptr;
};
