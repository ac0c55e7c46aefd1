#pragma once
#include <windows.h>

// Centres a window over its owner, or over the screen's work area when it has none or
// the owner is hidden or minimised; keeps it inside the work area. Moves, never resizes.
void CenterWindowOverOwner(HWND window);
