#pragma once
#include <windows.h>

#include "DpiFunctions.h"

// The calling thread in a window's DPI awareness for the length of a scope, so that the
// window's rectangle reads in the coordinates its window device context draws in. Where
// the system has no such functions, or the window has gone, nothing changes.
class CThreadDpiAwareness {
public:
    CThreadDpiAwareness(const CDpiFunctions& dpi, HWND window)
        : dpi_(dpi), previous_(dpi.SetThreadAwareness(dpi.WindowAwareness(window))) {}
    ~CThreadDpiAwareness() {
        if (previous_) dpi_.SetThreadAwareness(previous_);
    }
    CThreadDpiAwareness(const CThreadDpiAwareness&) = delete;
    CThreadDpiAwareness& operator=(const CThreadDpiAwareness&) = delete;

private:
    const CDpiFunctions& dpi_;
    DPI_AWARENESS_CONTEXT previous_;
};
