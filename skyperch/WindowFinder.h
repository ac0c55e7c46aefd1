#pragma once
// The window finder: the dialog's icon control with a window procedure put in front of
// the static control's own.
//
// Press the left button on the icon and drag: while the button is held the finder owns
// the mouse capture, so every mouse move and the release come here wherever the cursor
// is. The top-level window under the cursor (not our dialog, the desktop, the program
// manager or the taskbar) becomes the picked window: its visible bounds get an inverted
// frame and the dialog shows its class name and top-most state. The pick outlives the
// release, the frame does not: the release, a lost capture (which ends the drag as a
// release would), the next pick and the control's end erase it. The finder measures in
// physical pixels, whatever the scale of the monitor the window is on, and draws the frame
// in the picked window's own coordinates (those of its DPI awareness). WM_LBUTTONDOWN,
// WM_MOUSEMOVE and WM_LBUTTONUP are always answered with 0 and never reach the
// control's own procedure; everything else does. The previous procedure is put back
// when the control is destroyed.
#include <windows.h>

#include <functional>
#include <string>

#include "DpiFunctions.h"
#include "FinderRules.h"
#include "UniqueCursor.h"
#include "UniqueIcon.h"

class CWindowFinder {
public:
    // goneText is the class line once the picked window has gone.
    CWindowFinder(const CDpiFunctions& dpi, std::wstring goneText, std::function<void()> pickChanged)
        : dpi_(dpi), goneText_(std::move(goneText)), pickChanged_(std::move(pickChanged)) {}
    CWindowFinder(const CWindowFinder&) = delete;
    CWindowFinder& operator=(const CWindowFinder&) = delete;

    void Attach(HWND dialog, int controlId);
    void RecordExcludedWindows(HWND ownDialog);
    // Loads the finder's icons and cursor again for the control's monitor.
    void OnDpiChanged();

    HWND Picked() const { return reinterpret_cast<HWND>(picked_.window); }
    // True while the picked window is still the one that was picked. A window that has
    // closed, or whose handle now belongs to another window, is no longer picked: the
    // pick is cleared and the class line says so. False with no pick at all.
    bool ConfirmPicked();

private:
    struct DrawnFrame {
        HWND window = nullptr;
        FrameBands bands;
    };

    static LRESULT CALLBACK FinderProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    void OnButtonDown(HWND control);
    void OnMouseMove(HWND control);
    void EndDrag(HWND control);
    void OnControlDestroyed(HWND control);
    void Pick(HWND candidate);
    bool StillPicked() const;
    void DrawFrame();
    void EraseFrame();
    void Invert(const DrawnFrame& frame) const;
    void RefreshExcludedWindows();
    void LoadPictures();

    const CDpiFunctions& dpi_;
    const std::wstring goneText_;
    std::function<void()> pickChanged_;
    WindowIdentity picked_;
    DrawnFrame drawn_;
    bool dragging_ = false;
    HWND control_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    HWND ownDialog_ = nullptr;
    ExcludedWindows excluded_;
    CUniqueIcon fullIcon_;
    CUniqueIcon emptyIcon_;
    CUniqueCursor targetCursor_;
};
