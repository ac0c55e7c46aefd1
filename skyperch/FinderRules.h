#pragma once
// The finder's decisions, kept free of any platform call so that they build and are
// tested natively. Window handles are carried as opaque integers; 0 is "none". Class
// names are UTF-16 as Windows keeps them; char16_t has that width on every platform,
// where wchar_t has 32 bits on Linux.
#include <array>
#include <cstdint>

using WindowId = std::uintptr_t;

struct ExcludedWindows {
    WindowId ownDialog = 0;
    WindowId desktop = 0;
    WindowId programManager = 0;
    WindowId taskbar = 0;
};

// A rectangle in PatBlt's terms (x, y, width, height).
struct PatBltBand {
    int x;
    int y;
    int width;
    int height;
};

struct FrameBands {
    int count = 0;
    std::array<PatBltBand, 4> bands{};
};

class CFinderRules {
public:
    static constexpr int kFrameThickness = 3;

    // underCursor is what WindowFromPoint gave, root its GA_ROOT ancestor (0 when that
    // lookup failed, in which case the window under the cursor stands); className is the
    // class of the window that stands, or null. The desktop's windows (the program
    // manager, the WorkerW hosts of the desktop's icons and wallpaper) and the taskbars
    // are never candidates, whatever their handles are now.
    static WindowId Candidate(WindowId underCursor, WindowId root, const char16_t* className,
                              const ExcludedWindows& excluded);
    static bool IsShellClass(const char16_t* className);

    static bool NeedsUpdate(WindowId candidate, WindowId picked) { return candidate != picked; }

    // The bands to invert on a window of outer size width x height, in drawing order:
    // top, left, right, bottom; side bands are empty on a window under 2t high. None for
    // an empty window.
    static FrameBands Frame(int width, int height);
};
