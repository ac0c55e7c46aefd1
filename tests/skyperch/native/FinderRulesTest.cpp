// The finder's pure rules: which window becomes the candidate, when the display is
// updated, and which pixels the inverted frame covers (checked on a pixel-grid model of
// PatBlt with DSTINVERT, which clips to the window).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FinderRules.h"

namespace {

const WindowId kOwnDialog = 0x100;
const WindowId kDesktop = 0x200;
const WindowId kProgman = 0x300;
const WindowId kTaskbar = 0x400;
const ExcludedWindows kExcluded{kOwnDialog, kDesktop, kProgman, kTaskbar};

TEST(CandidateRule, NothingUnderTheCursorIsNone) { EXPECT_EQ(0u, CFinderRules::Candidate(0, 0x500, kExcluded)); }

TEST(CandidateRule, ChildWindowPicksItsTopLevelAncestor) {
    EXPECT_EQ(0x500u, CFinderRules::Candidate(0x501, 0x500, kExcluded));
}

TEST(CandidateRule, WindowStandsWhenItsAncestorIsUnknown) {
    EXPECT_EQ(0x501u, CFinderRules::Candidate(0x501, 0, kExcluded));
}

TEST(CandidateRule, EveryExcludedWindowGivesNone) {
    for (WindowId excluded : {kOwnDialog, kDesktop, kProgman, kTaskbar}) {
        EXPECT_EQ(0u, CFinderRules::Candidate(excluded, excluded, kExcluded)) << excluded;
        EXPECT_EQ(0u, CFinderRules::Candidate(excluded + 1, excluded, kExcluded)) << "child of " << excluded;
        EXPECT_EQ(0u, CFinderRules::Candidate(excluded, 0, kExcluded)) << "no ancestor " << excluded;
    }
}

TEST(CandidateRule, HandlesNotFoundExcludeNothing) {
    const ExcludedWindows onlyDialog{kOwnDialog, kDesktop, 0, 0};
    EXPECT_EQ(kProgman, CFinderRules::Candidate(kProgman, kProgman, onlyDialog));
    EXPECT_EQ(kTaskbar, CFinderRules::Candidate(kTaskbar, kTaskbar, onlyDialog));
    EXPECT_EQ(0u, CFinderRules::Candidate(kOwnDialog, kOwnDialog, onlyDialog));
}

TEST(UpdateRule, OnlyAChangedCandidateUpdates) {
    EXPECT_FALSE(CFinderRules::NeedsUpdate(0x500, 0x500));
    EXPECT_FALSE(CFinderRules::NeedsUpdate(0, 0));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0x500, 0x600));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0, 0x600));
    EXPECT_TRUE(CFinderRules::NeedsUpdate(0x500, 0));
}

// Counts how often each pixel of a width x height window was inverted.
class PixelGrid {
public:
    PixelGrid(int width, int height) : width_(width), height_(height), flips_(size_t(width) * height, 0) {}

    // GDI's rule for a negative extent: the rectangle is mirrored about x (or y), so it
    // holds x itself and stops short of x + width, as Wine's gdi32 does it as well.
    static void Span(int origin, int extent, int& first, int& end) {
        first = extent < 0 ? origin + extent + 1 : origin;
        end = extent < 0 ? origin + 1 : origin + extent;
    }

    void Invert(const PatBltBand& band) {
        int left, right, top, bottom;
        Span(band.x, band.width, left, right);
        Span(band.y, band.height, top, bottom);
        left = std::max(0, left);
        right = std::min(width_, right);
        top = std::max(0, top);
        bottom = std::min(height_, bottom);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) ++flips_[size_t(y) * width_ + x];
    }

    void Toggle() {
        const FrameBands frame = CFinderRules::Frame(width_, height_);
        for (int i = 0; i < frame.count; ++i) Invert(frame.bands[i]);
    }

    int Flips(int x, int y) const { return flips_[size_t(y) * width_ + x]; }
    bool OnFrame(int x, int y) const { return x < 3 || y < 3 || x >= width_ - 3 || y >= height_ - 3; }

private:
    int width_;
    int height_;
    std::vector<int> flips_;
};

TEST(FrameBands, EmptyWindowGetsNoBands) {
    EXPECT_EQ(0, CFinderRules::Frame(0, 0).count);
    EXPECT_EQ(0, CFinderRules::Frame(0, 40).count);
    EXPECT_EQ(0, CFinderRules::Frame(40, 0).count);
    EXPECT_EQ(0, CFinderRules::Frame(-5, 40).count);
}

TEST(FrameBands, OneToggleInvertsEachFramePixelExactlyOnceFromSixPixelsUp) {
    for (int w = 6; w <= 24; ++w)
        for (int h = 6; h <= 24; ++h) {
            PixelGrid grid(w, h);
            grid.Toggle();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(grid.OnFrame(x, y) ? 1 : 0, grid.Flips(x, y)) << w << "x" << h << " at " << x << "," << y;
        }
}

TEST(FrameBands, TwoTogglesRestoreEveryPixelWhateverTheSize) {
    for (int w = 1; w <= 24; ++w)
        for (int h = 1; h <= 24; ++h) {
            PixelGrid grid(w, h);
            grid.Toggle();
            grid.Toggle();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(0, grid.Flips(x, y) % 2) << w << "x" << h << " at " << x << "," << y;
        }
}

TEST(FrameBands, ThinWindowIsCoveredWithOverlappingBands) {
    // Under 6 pixels high the top and bottom bands overlap, so some pixels are inverted
    // twice in one toggle; every row is still reached.
    bool overlapSeen = false;
    for (int h = 1; h < 6; ++h) {
        PixelGrid grid(20, h);
        grid.Toggle();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 20; ++x) overlapSeen |= grid.Flips(x, y) > 1;
        // The top and bottom bands alone cover every row of a window this low.
        for (int y = 0; y < h; ++y) EXPECT_GE(grid.Flips(10, y), 1) << "height " << h << " row " << y;
    }
    EXPECT_TRUE(overlapSeen);
}

}  // namespace
