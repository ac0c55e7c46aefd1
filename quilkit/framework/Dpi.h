#pragma once
// The scale of the monitor a window is on. The per-monitor functions exist from Windows
// 10 1607 on and are looked up on first use; where they are missing, the system's DPI
// and metrics stand in, as Windows then scales the program as a whole.
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
// Sent before WM_DPICHANGED from Windows 10 1703 on, to per-monitor (v2) aware windows.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

class CDpi {
public:
    static constexpr int kDefault = 96;

    // The DPI of the window's monitor, or the system's.
    static int ForWindow(HWND window);
    // A system metric (SM_CXICON...) at dpi.
    static int Metric(int index, int dpi);
    // The fonts of the window frame and status bar at dpi.
    static bool NonClientMetrics(NONCLIENTMETRICSW& metrics, int dpi);

    // The program's icon at the size of a metric pair (SM_CXICON, SM_CYICON) for dpi.
    static HICON LoadScaledIcon(HINSTANCE instance, int id, int widthMetric, int heightMetric, int dpi);
};
