// How the log's rectangle follows a change of scale, where Wine cannot show one: a log
// left on a monitor of another scale than the one it is made on opens there at the size
// it was left at, session after session; one the user drags there takes Windows' size.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "log/ScaleChangeRule.h"

namespace {

// Windows' linear suggestion for a window that comes from `from` to `to` DPI at `rect`.
ScreenRect Suggested(const ScreenRect& r, int from, int to) {
    return {r.left, r.top, r.left + (r.right - r.left) * to / from, r.top + (r.bottom - r.top) * to / from};
}

auto Tie(const ScreenRect& r) { return std::tie(r.left, r.top, r.right, r.bottom); }

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
            EXPECT_EQ(Tie(place), Tie(left)) << primary << " -> " << stored << (asksForSize ? ", asked" : "");
        }
    }
}

// Before its placing and after it, the window takes Windows' size; during it, the target's.
TEST(LogScaleChange, OutsideItsPlacingTheWindowTakesWhatWindowsSuggests) {
    CScaleChangeRule rule;
    const ScreenRect dragged = {100, 100, 1000, 700}, suggested = Suggested(dragged, 96, 144);
    for (int step = 0; step < 3; ++step) {
        if (step == 1) rule.BeginPlacing(dragged);
        if (step == 2) rule.EndPlacing();
        long width = 0, height = 0;
        EXPECT_EQ(rule.KeptSize(width, height), step == 1) << step;
        EXPECT_EQ(std::pair(width, height), step == 1 ? std::pair(900L, 600L) : std::pair(0L, 0L)) << step;
        EXPECT_EQ(Tie(rule.RectAfterChange(suggested)), Tie(step == 1 ? dragged : suggested)) << step;
    }
}

}  // namespace
