#pragma once
// The window finder: the dialog's icon control with a window procedure put in front of
// the static control's own.
//
// Press the left button on the icon and drag: while the button is held the finder owns
// the mouse capture, so every mouse move and the release come here wherever the cursor
// is. The top-level window under the cursor (not our dialog, the desktop, the program
// manager or the taskbar) becomes the picked window: its frame is inverted and the
// dialog shows its class name and top-most state. The frame and the pick outlive the
// release; the next pick toggles the frame off again. WM_LBUTTONDOWN, WM_MOUSEMOVE and
// WM_LBUTTONUP are always answered with 0 and never reach the control's own procedure;
// everything else does. The previous procedure is put back when the control is
// destroyed.
#include <windows.h>

#include <functional>

#include "FinderRules.h"

class CWindowFinder {
public:
    explicit CWindowFinder(std::function<void()> pickChanged) : pickChanged_(std::move(pickChanged)) {}
    CWindowFinder(const CWindowFinder&) = delete;
    CWindowFinder& operator=(const CWindowFinder&) = delete;

    void Attach(HWND dialog, int controlId);
    void RecordExcludedWindows(HWND ownDialog);

    HWND Picked() const { return picked_; }

    // Inverts the frame of a window; the same call draws and erases it.
    static void ToggleFrame(HWND window);

private:
    static LRESULT CALLBACK FinderProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    void OnButtonDown(HWND control);
    void OnMouseMove(HWND control);
    void OnButtonUp(HWND control);
    void RefreshExcludedWindows();
    static void ShowIcon(HWND control, int iconId);

    std::function<void()> pickChanged_;
    HWND picked_ = nullptr;
    bool dragging_ = false;
    WNDPROC previousProc_ = nullptr;
    HWND ownDialog_ = nullptr;
    ExcludedWindows excluded_;
};
