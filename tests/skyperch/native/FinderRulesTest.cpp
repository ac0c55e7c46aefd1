// The finder's pure rules: which window becomes the candidate, when the display is
// updated, and which pixels the inverted frame covers.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "DpiScale.h"
#include "FinderRules.h"

namespace {

using Rect = std::array<int, 4>;
Rect Edges(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

TEST(FinderRules, CandidateIsTheRootUnlessExcludedAndOnlyANewOneUpdates) {
    const ExcludedWindows excluded{0x100, 0x200, 0x300, 0x400};
    EXPECT_EQ(0u, CFinderRules::Candidate(0, 0x500, u"", excluded));
    EXPECT_EQ(0x500u, CFinderRules::Candidate(0x501, 0x500, u"Notepad", excluded)) << "a child picks its root";
    EXPECT_EQ(0x501u, CFinderRules::Candidate(0x501, 0, u"Notepad", excluded)) << "no root: the window stands";
    for (WindowId id : {0x100u, 0x200u, 0x300u, 0x400u}) {
        EXPECT_EQ(0u, CFinderRules::Candidate(id, id, u"", excluded)) << id;
        EXPECT_EQ(0u, CFinderRules::Candidate(id + 1, id, u"", excluded)) << "child of " << id;
        EXPECT_EQ(0u, CFinderRules::Candidate(id, 0, u"", excluded)) << "no root " << id;
    }
    // Program Manager and taskbar not found: nothing else is excluded for them.
    EXPECT_EQ(0x300u, CFinderRules::Candidate(0x300, 0x300, u"Notepad", ExcludedWindows{0x100, 0x200, 0, 0}));
    // The desktop's windows and the taskbars by their class, whatever their handles are
    // now: a WorkerW made "Change"-able would put the desktop over every window.
    for (const char16_t* shell : {u"Progman", u"WorkerW", u"Shell_TrayWnd", u"Shell_SecondaryTrayWnd"}) {
        EXPECT_EQ(0u, CFinderRules::Candidate(0x701, 0x700, shell, excluded)) << testing::PrintToString(shell);
        EXPECT_EQ(0u, CFinderRules::Candidate(0x700, 0, shell, ExcludedWindows{})) << testing::PrintToString(shell);
    }
    // Whole UTF-16 units count: U+0150 and U+5757 cut to one byte would read "Progman"
    // and "WorkerW".
    for (const char16_t* other : {u"WorkerWindow", u"\u0150rogman", u"\u5757orkerW"})
        EXPECT_EQ(0x700u, CFinderRules::Candidate(0x701, 0x700, other, excluded)) << testing::PrintToString(other);

    EXPECT_FALSE(CFinderRules::NeedsUpdate(0x500, 0x500) || CFinderRules::NeedsUpdate(0, 0));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0x500, 0x600) && CFinderRules::NeedsUpdate(0, 0x600));
}

// Each pixel of the area's border `thickness` wide is inverted once by one toggle of the
// frame, nothing else, as PatBlt with DSTINVERT clipped to a width x height window does it.
// A negative extent mirrors the rectangle about its origin: it holds the origin and stops
// short of origin + extent (GDI and Wine's gdi32 alike).
void ExpectFrameOn(int width, int height, int thickness, const PixelRect& area) {
    std::vector<int> flips(size_t(width) * height, 0);
    const FrameBands frame = CFinderRules::Frame(area, thickness);
    for (int i = 0; i < frame.count; ++i) {
        const PatBltBand& b = frame.bands[i];
        const int left = std::max(0, b.width < 0 ? b.x + b.width + 1 : b.x);
        const int right = std::min(width, b.width < 0 ? b.x + 1 : b.x + b.width);
        const int top = std::max(0, b.height < 0 ? b.y + b.height + 1 : b.y);
        const int bottom = std::min(height, b.height < 0 ? b.y + 1 : b.y + b.height);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) ++flips[size_t(y) * width + x];
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inArea = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            const bool onFrame = inArea && (x < area.left + thickness || y < area.top + thickness ||
                                            x >= area.right - thickness || y >= area.bottom - thickness);
            ASSERT_EQ(onFrame ? 1 : 0, flips[size_t(y) * width + x])
                << thickness << " thick, " << width << "x" << height << " at " << x << "," << y;
        }
}

TEST(FinderRules, OneToggleInvertsEachFramePixelExactlyOnceAtEveryThickness) {
    for (int t : {3, 4, 5, 6})
        for (int w = 2 * t; w <= 24; ++w)
            for (int h = 2 * t; h <= 24; ++h) ExpectFrameOn(w, h, t, PixelRect{0, 0, w, h});
    EXPECT_EQ(0, CFinderRules::Frame(PixelRect{5, 5, 5, 20}, 3).count) << "empty area";
}

// Windows 10 counts invisible resize borders in the window rectangle: the frame goes on
// the visible bounds, in the coordinates of the window's own device context.
TEST(FinderRules, FrameAreaIsTheVisibleBoundsOnTheWindowElseTheWholeWindow) {
    const PixelRect window{100, 50, 420, 290};
    const PixelRect visible{107, 50, 413, 283};
    EXPECT_EQ(Edges(CFinderRules::FrameArea(window, &visible)), (Rect{7, 0, 313, 233}));
    EXPECT_EQ(Edges(CFinderRules::FrameArea(window, nullptr)), (Rect{0, 0, 320, 240}));
    // Bounds reaching past the window are cut to it; bounds off the window are not used.
    const PixelRect wider{90, 40, 430, 300}, elsewhere{1000, 1000, 1200, 1100}, empty{200, 100, 200, 100};
    for (const PixelRect& bounds : {wider, elsewhere, empty})
        EXPECT_EQ(Edges(CFinderRules::FrameArea(window, &bounds)), (Rect{0, 0, 320, 240})) << bounds.left;

    // The bands lie on the area, not on the window's edge.
    ExpectFrameOn(40, 30, 4, PixelRect{5, 2, 35, 27});
}

// A window not per-monitor aware on a scaled monitor is measured in physical pixels and framed
// in its own coordinates (its window DC's); drawn where measured, bands fell outside it.
TEST(FinderRules, TheFrameLiesOnTheWindowInItsOwnCoordinates) {
    const std::tuple<const char*, PixelRect, PixelRect, PixelRect, PixelRect> cases[] = {
        // area, physical, own, framed
        {"per-monitor aware: the same", {7, 0, 1493, 1193}, {0, 0, 1500, 1200}, {0, 0, 1500, 1200}, {7, 0, 1493, 1193}},
        {"unaware at 150 %", {7, 0, 1493, 1193}, {300, 150, 1800, 1350}, {200, 100, 1200, 900}, {5, 0, 995, 795}},
        {"system aware (144) at 120 %", {9, 0, 831, 621}, {0, 0, 840, 630}, {0, 0, 1050, 788}, {11, 0, 1039, 777}},
        {"at 125 %, halves rounded away", {2, 2, 998, 798}, {0, 0, 1000, 800}, {0, 0, 800, 640}, {2, 2, 798, 638}},
        {"no extent: kept", {3, 3, 9, 9}, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 3, 9, 9}},
        // The whole window maps onto the whole window, whatever the rounding.
        {"unaware at 200 %", {0, 0, 640, 480}, {-1280, 0, -640, 480}, {-640, 0, -320, 240}, {0, 0, 320, 240}},
        {"unaware at 175 %", {0, 0, 1755, 1226}, {0, 0, 1755, 1226}, {0, 0, 1003, 701}, {0, 0, 1003, 701}},
        {"unaware at 250 %", {0, 0, 2507, 1752}, {0, 0, 2507, 1752}, {0, 0, 1003, 701}, {0, 0, 1003, 701}},
    };
    for (const auto& [what, area, physical, own, framed] : cases)
        EXPECT_EQ(Edges(CFinderRules::InOwnCoordinates(area, physical, own)), Edges(framed)) << what;
}

// A handle alone does not make the same window: Windows gives a closed window's handle to
// new windows.
TEST(FinderRules, ThePickIsTheSameWindowOnlyAliveWithItsProcessAndThread) {
    const WindowIdentity picked{0x500, 1200, 3400};
    EXPECT_TRUE(CFinderRules::IsSameWindow(picked, true, picked));
    EXPECT_FALSE(CFinderRules::IsSameWindow(picked, false, picked)) << "closed";
    EXPECT_FALSE(CFinderRules::IsSameWindow(picked, true, WindowIdentity{0x500, 1300, 3400})) << "other process";
    EXPECT_FALSE(CFinderRules::IsSameWindow(picked, true, WindowIdentity{0x500, 1200, 3500})) << "other thread";
    EXPECT_FALSE(CFinderRules::IsSameWindow(picked, true, WindowIdentity{0x600, 1200, 3400})) << "other handle";
    EXPECT_FALSE(CFinderRules::IsSameWindow(WindowIdentity{}, true, WindowIdentity{})) << "nothing picked";
}

// The sizes Windows itself uses at 100 to 300 %; a DPI that could not be read is 100 %, a
// scale below 100 % never loses the frame, nothing stays nothing.
TEST(DpiScale, IconSizesAndFrameThicknessFollowTheDpi) {
    using Sizes = std::array<int, 4>;  // DPI, icon, small icon, frame
    for (const auto& [dpi, icon, smallIcon, frame] :
         {Sizes{96, 32, 16, 3}, Sizes{120, 40, 20, 4}, Sizes{144, 48, 24, 5}, Sizes{168, 56, 28, 5},
          Sizes{192, 64, 32, 6}, Sizes{288, 96, 48, 9}, Sizes{0, 32, 16, 3}, Sizes{-5, 32, 16, 3},
          Sizes{12, 4, 2, 1}}) {
        EXPECT_EQ(icon, CDpiScale::IconSize(32, dpi)) << dpi;
        EXPECT_EQ(smallIcon, CDpiScale::IconSize(16, dpi)) << dpi;
        EXPECT_EQ(frame, CDpiScale::FrameThickness(dpi)) << dpi;
    }
    EXPECT_EQ(0, CDpiScale::Scale(0, 192));
}

// The title line: quoted whole up to the longest, else cut with an ellipsis, and never
// between the halves of a surrogate pair.
TEST(FinderRules, TheTitleLineIsQuotedAndALongTitleIsCutWhole) {
    const size_t longest = CFinderRules::kLongestTitle;
    const std::u16string fits(longest, u'a'), pairAtCut = std::u16string(longest - 1, u'a') + u"\U0001F600b";
    using TitleCase = std::pair<std::u16string, std::u16string>;
    for (const auto& [title, line] :
         {TitleCase{u"", u"\"\""}, TitleCase{u" ", u"\" \""},
          TitleCase{u"Untitled - Notepad", u"\"Untitled - Notepad\""}, TitleCase{fits, u"\"" + fits + u"\""},
          TitleCase{fits + u"b", u"\"" + fits + u"\u2026\""},
          TitleCase{pairAtCut, u"\"" + std::u16string(longest - 1, u'a') + u"\u2026\""}})
        EXPECT_TRUE(CFinderRules::TitleLine(title) == line) << title.size();
}

}  // namespace
