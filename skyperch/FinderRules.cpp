#include "FinderRules.h"

#include <string_view>

bool CFinderRules::IsShellClass(const char16_t* className) {
    if (!className) return false;
    static const char16_t* const kShellClasses[] = {u"Progman", u"WorkerW", u"Shell_TrayWnd",
                                                    u"Shell_SecondaryTrayWnd"};
    const std::u16string_view name(className);
    for (const char16_t* shellClass : kShellClasses)
        if (name == shellClass) return true;
    return false;
}

WindowId CFinderRules::Candidate(WindowId underCursor, WindowId root, const char16_t* className,
                                 const ExcludedWindows& excluded) {
    if (underCursor == 0) return 0;
    WindowId candidate = root != 0 ? root : underCursor;
    if (IsShellClass(className)) candidate = 0;
    if (candidate == excluded.ownDialog) candidate = 0;
    if (candidate == excluded.desktop) candidate = 0;
    if (candidate == excluded.programManager) candidate = 0;
    if (candidate == excluded.taskbar) candidate = 0;
    return candidate;
}

FrameBands CFinderRules::Frame(int width, int height) {
    FrameBands frame;
    if (width <= 0 || height <= 0) return frame;
    const int t = kFrameThickness;
    // All extents positive: GDI mirrors a rectangle with a negative extent about its
    // origin (it holds x and stops short of x + width), which would leave gaps in the
    // left side and the bottom-left corner. The side bands cover only the rows between
    // the top and bottom bands, so no pixel of a window at least 2t high is inverted
    // twice in one toggle; lower windows get no side bands.
    const int sideHeight = height > 2 * t ? height - 2 * t : 0;
    frame.bands = {{
        {0, 0, width, t},
        {0, t, t, sideHeight},
        {width - t, t, t, sideHeight},
        {0, height - t, width, t},
    }};
    frame.count = 4;
    return frame;
}
