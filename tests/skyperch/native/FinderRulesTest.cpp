// The finder's pure rules: which window becomes the candidate, when the display is
// updated, and which pixels the inverted frame covers.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "FinderRules.h"

namespace {

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
    const char16_t* const shellClasses[] = {u"Progman", u"WorkerW", u"Shell_TrayWnd", u"Shell_SecondaryTrayWnd"};
    for (size_t i = 0; i < std::size(shellClasses); ++i) {
        EXPECT_EQ(0u, CFinderRules::Candidate(0x701, 0x700, shellClasses[i], excluded)) << i;
        EXPECT_EQ(0u, CFinderRules::Candidate(0x700, 0, shellClasses[i], ExcludedWindows{})) << i;
    }
    EXPECT_EQ(0x700u, CFinderRules::Candidate(0x701, 0x700, u"WorkerWindow", excluded));
    // Whole UTF-16 units count: U+0150 and U+5757 cut to one byte would read "Progman"
    // and "WorkerW".
    EXPECT_EQ(0x700u, CFinderRules::Candidate(0x701, 0x700, u"\u0150rogman", excluded));
    EXPECT_EQ(0x700u, CFinderRules::Candidate(0x701, 0x700, u"\u5757orkerW", excluded));

    EXPECT_FALSE(CFinderRules::NeedsUpdate(0x500, 0x500));
    EXPECT_FALSE(CFinderRules::NeedsUpdate(0, 0));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0x500, 0x600));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0, 0x600));
}

// How often PatBlt with DSTINVERT, clipped to a width x height window, inverts each pixel
// for one toggle of the frame. A negative extent mirrors the rectangle about its origin:
// it holds the origin and stops short of origin + extent (GDI and Wine's gdi32 alike).
std::vector<int> FlipsOfOneToggle(int width, int height) {
    std::vector<int> flips(size_t(width) * height, 0);
    const FrameBands frame = CFinderRules::Frame(width, height);
    for (int i = 0; i < frame.count; ++i) {
        const PatBltBand& b = frame.bands[i];
        const int left = std::max(0, b.width < 0 ? b.x + b.width + 1 : b.x);
        const int right = std::min(width, b.width < 0 ? b.x + 1 : b.x + b.width);
        const int top = std::max(0, b.height < 0 ? b.y + b.height + 1 : b.y);
        const int bottom = std::min(height, b.height < 0 ? b.y + 1 : b.y + b.height);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) ++flips[size_t(y) * width + x];
    }
    return flips;
}

TEST(FinderRules, OneToggleInvertsEachFramePixelExactlyOnceFromSixPixelsUp) {
    const int t = CFinderRules::kFrameThickness;
    for (int w = 6; w <= 24; ++w)
        for (int h = 6; h <= 24; ++h) {
            const std::vector<int> flips = FlipsOfOneToggle(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool onFrame = x < t || y < t || x >= w - t || y >= h - t;
                    ASSERT_EQ(onFrame ? 1 : 0, flips[size_t(y) * w + x]) << w << "x" << h << " at " << x << "," << y;
                }
        }
}

}  // namespace
