#pragma once
// The display functions that only newer Windows has, looked up once at run time so that
// the program still starts where they are missing: GetDpiForWindow and
// GetSystemMetricsForDpi (Windows 10 1607) fall back to the system DPI,
// GetWindowDpiAwarenessContext and SetThreadDpiAwarenessContext (likewise) to the
// program's own awareness, and DwmGetWindowAttribute's visible frame bounds to the window
// rectangle.
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
    // The DPI awareness the window was made with; null where the system cannot say.
    DPI_AWARENESS_CONTEXT WindowAwareness(HWND window) const;
    // Sets the calling thread's DPI awareness and returns the one it had; null where the
    // system cannot, and nothing changed.
    DPI_AWARENESS_CONTEXT SetThreadAwareness(DPI_AWARENESS_CONTEXT awareness) const;

private:
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetWindowDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

    int systemDpi_;
    CUniqueLibrary dwm_;
    GetDpiForWindowFn getDpiForWindow_ = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi_ = nullptr;
    DwmGetWindowAttributeFn dwmGetWindowAttribute_ = nullptr;
    GetWindowDpiAwarenessContextFn getWindowDpiAwarenessContext_ = nullptr;
    SetThreadDpiAwarenessContextFn setThreadDpiAwarenessContext_ = nullptr;
};
