#include "FinderRules.h"

#include <algorithm>
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

PixelRect CFinderRules::FrameArea(const PixelRect& window, const PixelRect* visible) {
    PixelRect area = window;
    if (visible) {
        const PixelRect clipped{std::max(window.left, visible->left), std::max(window.top, visible->top),
                                std::min(window.right, visible->right), std::min(window.bottom, visible->bottom)};
        if (clipped.left < clipped.right && clipped.top < clipped.bottom) area = clipped;
    }
    return {area.left - window.left, area.top - window.top, area.right - window.left, area.bottom - window.top};
}

namespace {

// value * to / from, rounded to the nearest integer (halves away from zero); from > 0.
int Rescale(int value, int to, int from) {
    const long long product = static_cast<long long>(value) * to;
    const long long half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : -((-product + half) / from));
}

}  // namespace

PixelRect CFinderRules::InOwnCoordinates(const PixelRect& area, const PixelRect& physical, const PixelRect& own) {
    const int physicalWidth = physical.right - physical.left, physicalHeight = physical.bottom - physical.top;
    const int ownWidth = own.right - own.left, ownHeight = own.bottom - own.top;
    if (physicalWidth <= 0 || physicalHeight <= 0 || ownWidth <= 0 || ownHeight <= 0) return area;
    return {Rescale(area.left, ownWidth, physicalWidth), Rescale(area.top, ownHeight, physicalHeight),
            Rescale(area.right, ownWidth, physicalWidth), Rescale(area.bottom, ownHeight, physicalHeight)};
}

FrameBands CFinderRules::Frame(const PixelRect& area, int thickness) {
    FrameBands frame;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return frame;
    const int t = std::max(1, thickness);
    // All extents positive: GDI mirrors a rectangle with a negative extent about its
    // origin (it holds x and stops short of x + width), which would leave gaps in the
    // left side and the bottom-left corner. The side bands cover only the rows between
    // the top and bottom bands, so no pixel of an area at least 2t high is inverted
    // twice in one toggle; lower areas get no side bands.
    const int sideHeight = height > 2 * t ? height - 2 * t : 0;
    const int x = area.left, y = area.top;
    frame.bands = {{
        {x, y, width, t},
        {x, y + t, t, sideHeight},
        {x + width - t, y + t, t, sideHeight},
        {x, y + height - t, width, t},
    }};
    frame.count = 4;
    return frame;
}

bool CFinderRules::IsSameWindow(const WindowIdentity& picked, bool alive, const WindowIdentity& now) {
    return picked.window != 0 && alive && now.window == picked.window && now.processId == picked.processId &&
           now.threadId == picked.threadId;
}

std::u16string CFinderRules::TitleLine(std::u16string_view title) {
    if (title.size() <= kLongestTitle) return u"\"" + std::u16string(title) + u"\"";
    size_t cut = kLongestTitle;
    if (title[cut - 1] >= 0xD800 && title[cut - 1] <= 0xDBFF) --cut;  // a lead surrogate stays with its trail
    return u"\"" + std::u16string(title.substr(0, cut)) + u"\u2026\"";
}
