#include "DpiFunctions.h"

#include "DpiScale.h"

namespace {

// DWMWA_EXTENDED_FRAME_BOUNDS of dwmapi.h, which the program does not link against.
const DWORD kExtendedFrameBounds = 9;

template <class Function>
Function Lookup(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return CDpiScale::Normalised(dpi);
}

}  // namespace

CDpiFunctions::CDpiFunctions()
    : systemDpi_(ScreenDpi()), dwm_(LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    getDpiForWindow_ = Lookup<GetDpiForWindowFn>(user, "GetDpiForWindow");
    getSystemMetricsForDpi_ = Lookup<GetSystemMetricsForDpiFn>(user, "GetSystemMetricsForDpi");
    dwmGetWindowAttribute_ = Lookup<DwmGetWindowAttributeFn>(dwm_.Get(), "DwmGetWindowAttribute");
    getWindowDpiAwarenessContext_ = Lookup<GetWindowDpiAwarenessContextFn>(user, "GetWindowDpiAwarenessContext");
    setThreadDpiAwarenessContext_ = Lookup<SetThreadDpiAwarenessContextFn>(user, "SetThreadDpiAwarenessContext");
}

int CDpiFunctions::ForWindow(HWND window) const {
    const int dpi = getDpiForWindow_ && window ? static_cast<int>(getDpiForWindow_(window)) : 0;
    return dpi > 0 ? dpi : systemDpi_;
}

int CDpiFunctions::SystemMetric(int index, int dpi) const {
    if (getSystemMetricsForDpi_) return getSystemMetricsForDpi_(index, static_cast<UINT>(CDpiScale::Normalised(dpi)));
    return GetSystemMetrics(index);
}

bool CDpiFunctions::VisibleBounds(HWND window, RECT& bounds) const {
    if (!dwmGetWindowAttribute_) return false;
    RECT visible{};
    if (FAILED(dwmGetWindowAttribute_(window, kExtendedFrameBounds, &visible, sizeof(visible)))) return false;
    bounds = visible;
    return true;
}

DPI_AWARENESS_CONTEXT CDpiFunctions::WindowAwareness(HWND window) const {
    return getWindowDpiAwarenessContext_ && window ? getWindowDpiAwarenessContext_(window) : nullptr;
}

DPI_AWARENESS_CONTEXT CDpiFunctions::SetThreadAwareness(DPI_AWARENESS_CONTEXT awareness) const {
    return setThreadDpiAwarenessContext_ && awareness ? setThreadDpiAwarenessContext_(awareness) : nullptr;
}
