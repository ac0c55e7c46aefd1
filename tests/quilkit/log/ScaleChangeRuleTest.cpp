// How the log's rectangle follows a change of scale, where Wine cannot show one: a log
// left on a monitor of another scale than the one it is made on opens there at the size
// it was left at, session after session; one the user drags there takes Windows' size.
#include <gtest/gtest.h>

#include <utility>

#include "log/ScaleChangeRule.h"

namespace {

// Windows' linear suggestion for a window that comes from `from` to `to` DPI at `rect`.
ScreenRect Suggested(const ScreenRect& rect, int from, int to) {
    return {rect.left, rect.top, rect.left + (rect.right - rect.left) * to / from,
            rect.top + (rect.bottom - rect.top) * to / from};
}

bool Same(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// One session: the log is made at the primary monitor's `primaryDpi` and placed at
// `stored` on a monitor of `storedDpi`; Windows changes its scale inside that move, asking
// first for the size at the new scale where it does (Windows 10 1703 on), and suggests
// the size it was told or its own. What the window then has is stored at close.
ScreenRect Session(const ScreenRect& stored, int primaryDpi, int storedDpi, bool asksForSize) {
    CScaleChangeRule rule;
    rule.BeginPlacing(stored);
    long width = 0, height = 0;
    const ScreenRect suggested = asksForSize && rule.KeptSize(width, height)
                                     ? ScreenRect{stored.left, stored.top, stored.left + width, stored.top + height}
                                     : Suggested(stored, primaryDpi, storedDpi);
    const ScreenRect window = rule.RectAfterChange(suggested);
    rule.EndPlacing();
    return window;
}

TEST(LogScaleChange, AStoredPlaceKeepsItsSizeOnAMonitorOfAnotherScaleSessionAfterSession) {
    const ScreenRect left = {1930, 40, 2830, 640};
    for (const auto& [primary, stored] : {std::pair{96, 144}, {144, 96}, {120, 192}, {96, 96}}) {
        for (const bool asksForSize : {true, false}) {
            ScreenRect place = left;
            for (int session = 0; session < 3; ++session) place = Session(place, primary, stored, asksForSize);
            EXPECT_TRUE(Same(place, left)) << primary << " -> " << stored << (asksForSize ? " asked: " : ": ")
                                           << place.right - place.left << " x " << place.bottom - place.top;
        }
    }
}

TEST(LogScaleChange, OutsideItsPlacingTheWindowTakesWhatWindowsSuggests) {
    CScaleChangeRule rule;
    const ScreenRect dragged = {100, 100, 1000, 700};
    const ScreenRect suggested = Suggested(dragged, 96, 144);
    long width = 0, height = 0;
    // Before any placing, after it, and with no placing at all.
    EXPECT_FALSE(rule.KeptSize(width, height));
    EXPECT_TRUE(Same(rule.RectAfterChange(suggested), suggested));
    rule.BeginPlacing(dragged);
    EXPECT_TRUE(rule.KeptSize(width, height));
    EXPECT_EQ(width, 900);
    EXPECT_EQ(height, 600);
    EXPECT_TRUE(Same(rule.RectAfterChange(suggested), dragged));
    rule.EndPlacing();
    EXPECT_FALSE(rule.KeptSize(width, height));
    EXPECT_TRUE(Same(rule.RectAfterChange(suggested), suggested));
}

}  // namespace
