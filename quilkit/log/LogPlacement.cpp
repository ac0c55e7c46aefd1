#include "LogPlacement.h"

#include <algorithm>
#include <cwchar>

namespace {

MONITORINFO MonitorOf(const RECT& rect) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

RECT FitInto(const RECT& rect, const RECT& area) {
    const LONG width = std::min(rect.right - rect.left, area.right - area.left);
    const LONG height = std::min(rect.bottom - rect.top, area.bottom - area.top);
    const LONG left = std::clamp(rect.left, area.left, area.right - width);
    const LONG top = std::clamp(rect.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

}  // namespace

std::wstring PlacementText(const LogPlacement& placement) {
    const RECT& r = placement.normal;
    return std::to_wstring(r.left) + L',' + std::to_wstring(r.top) + L',' + std::to_wstring(r.right) + L',' +
           std::to_wstring(r.bottom) + L',' + (placement.maximised ? L'1' : L'0');
}

std::optional<LogPlacement> ParsePlacement(std::wstring_view text) {
    // A bounded copy: swscanf needs a terminated string.
    if (text.size() > 80) return std::nullopt;
    const std::wstring copy(text);
    long left, top, right, bottom;
    int maximised;
    wchar_t rest;
    if (swscanf(copy.c_str(), L"%ld,%ld,%ld,%ld,%d%lc", &left, &top, &right, &bottom, &maximised, &rest) != 5)
        return std::nullopt;
    if (right <= left || bottom <= top || (maximised != 0 && maximised != 1)) return std::nullopt;
    LogPlacement placement;
    placement.normal = {left, top, right, bottom};
    placement.maximised = maximised == 1;
    return placement;
}

RECT KeptOnMonitor(const RECT& rect) {
    const RECT caption = {rect.left, rect.top, rect.right, rect.top + GetSystemMetrics(SM_CYCAPTION)};
    if (MonitorFromRect(&caption, MONITOR_DEFAULTTONULL)) return rect;
    return FitInto(rect, MonitorOf(rect).rcWork);
}

RECT FirstPlace(HWND window, int width, int height) {
    RECT current;
    GetWindowRect(window, &current);
    const RECT work = MonitorOf(current).rcWork;
    width = std::min<LONG>(width, work.right - work.left);
    height = std::min<LONG>(height, work.bottom - work.top);
    const LONG left = work.left + (work.right - work.left - width) / 2;
    const LONG top = work.top + (work.bottom - work.top - height) / 2;
    return {left, top, left + width, top + height};
}

LogPlacement PlacementOf(HWND window) {
    WINDOWPLACEMENT place = {};
    place.length = sizeof(place);
    GetWindowPlacement(window, &place);
    LogPlacement placement;
    placement.maximised = place.showCmd == SW_SHOWMAXIMIZED ||
                          (place.showCmd == SW_SHOWMINIMIZED && (place.flags & WPF_RESTORETOMAXIMIZED));
    if (!IsZoomed(window) && !IsIconic(window)) {
        GetWindowRect(window, &placement.normal);
        return placement;
    }
    // The restored rectangle comes in workspace coordinates: the work area's corner is 0, 0.
    const MONITORINFO monitor = MonitorOf(place.rcNormalPosition);
    placement.normal = place.rcNormalPosition;
    OffsetRect(&placement.normal, monitor.rcWork.left - monitor.rcMonitor.left,
               monitor.rcWork.top - monitor.rcMonitor.top);
    return placement;
}
