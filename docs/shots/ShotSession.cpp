#include "ShotSession.h"

#include <cstdio>

#include "Driver.h"

namespace {

constexpr int kShotTimeoutMs = 60000;

RECT Around(const std::vector<HWND>& windows, int margin) {
    RECT bounds = {};
    for (HWND window : windows) {
        RECT rect = {};
        if (IsWindowVisible(window) && GetWindowRect(window, &rect)) UnionRect(&bounds, &bounds, &rect);
    }
    if (!IsRectEmpty(&bounds)) InflateRect(&bounds, margin, margin);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    IntersectRect(&bounds, &bounds, &desktop);
    return bounds;
}

}  // namespace

bool CShotSession::Capture(const std::string& shot, const std::vector<HWND>& windows, int margin) {
    const std::string name = shot + m_suffix;
    // What the windows were last asked to draw reaches the X server a moment later.
    Sleep(700);
    const RECT rect = Around(windows, margin);
    if (IsRectEmpty(&rect)) return Fail(name, "no window to take");
    char text[80];
    snprintf(text, sizeof(text), "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
             rect.bottom - rect.top);
    // Renamed into place whole: the script never reads half a file.
    const std::string base = m_markers + "\\" + name;
    driver::WriteFile(base + ".part", text);
    if (!MoveFileExW(driver::Wide(base + ".part").c_str(), driver::Wide(base + ".rect").c_str(),
                     MOVEFILE_REPLACE_EXISTING))
        return Fail(name, "cannot write its marker");
    for (int waited = 0; waited < kShotTimeoutMs; waited += 50, Sleep(50))
        if (driver::FileExists(base + ".done")) return true;
    return Fail(name, "the script took no picture");
}

bool CShotSession::Fail(const std::string& name, const char* why) {
    fprintf(stderr, "shots: %s: %s\n", name.c_str(), why);
    ++m_failures;
    return false;
}
