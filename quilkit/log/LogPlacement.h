#pragma once
// Where the log window opens: where the user left it, kept on a monitor that is there
// now, or the first time wide enough for a hash line with all three digests.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

struct LogPlacement {
    RECT normal = {};  // screen coordinates of the restored window
    bool maximised = false;
};

// The stored form: "left,top,right,bottom,maximised" in decimal.
std::wstring PlacementText(const LogPlacement& placement);
// Nothing for a text that is not one, or a rectangle with no area.
std::optional<LogPlacement> ParsePlacement(std::wstring_view text);

// `rect` as it is when its caption lies on a monitor; else moved into the work area of
// the nearest one, and made no larger than that work area.
RECT KeptOnMonitor(const RECT& rect);

// The first place of `window`: `width` x `height` pixels, no larger than the work area
// of the monitor it is on, centred in it.
RECT FirstPlace(HWND window, int width, int height);

// The window's restored rectangle in screen coordinates and whether it is maximised
// (or minimised from maximised).
LogPlacement PlacementOf(HWND window);
