#pragma once
// The finder's decisions, kept free of any platform call so that they build and are
// tested natively. Window handles are carried as opaque integers; 0 is "none". Class
// names are UTF-16 as Windows keeps them; char16_t has that width on every platform,
// where wchar_t has 32 bits on Linux.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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

// Edges in pixels; right and bottom are outside, as in a Windows RECT.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Who a window belongs to, taken when it is picked: a handle alone can be given to
// another window once the first one has closed.
struct WindowIdentity {
    WindowId window = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
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

    // The part of a window to frame, in the coordinates of its window device context
    // (the window's top-left corner at 0, 0): its visible bounds when the system gave
    // them (visible not null) and they lie on the window, else the whole window. Both
    // rectangles are in the same screen coordinates.
    static PixelRect FrameArea(const PixelRect& window, const PixelRect* visible);

    // `area`, measured in physical pixels on a window whose rectangle is `physical`, in the
    // window's own coordinates, where its rectangle is `own` (as a thread of the window's
    // DPI awareness reads it). Windows draws a window that is not per-monitor aware
    // stretched from those smaller coordinates, and its window device context takes them.
    // Each edge is scaled and rounded to the nearest pixel, so the window's own edges stay
    // its edges; a window with no extent keeps `area`.
    static PixelRect InOwnCoordinates(const PixelRect& area, const PixelRect& physical, const PixelRect& own);

    // The bands to invert around area, thickness pixels wide, in drawing order: top,
    // left, right, bottom; side bands are empty on an area under 2 x thickness high.
    // None for an empty area.
    static FrameBands Frame(const PixelRect& area, int thickness = kFrameThickness);

    // Whether the picked window is still the one that was picked: it exists (alive) and
    // belongs to the same process and thread as then.
    static bool IsSameWindow(const WindowIdentity& picked, bool alive, const WindowIdentity& now);

    // The picked window's title as the line beside its class shows it: in quotes, so that
    // an empty title or one of blanks is seen as such; a title of more than kLongestTitle
    // characters is cut there, with an ellipsis, never inside a surrogate pair.
    static constexpr size_t kLongestTitle = 200;
    static std::u16string TitleLine(std::u16string_view title);
};
