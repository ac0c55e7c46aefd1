#include "WindowFinder.h"

#include "WindowDC.h"
#include "resource.h"

namespace {

WindowId Id(HWND window) { return reinterpret_cast<WindowId>(window); }
HWND Handle(WindowId id) { return reinterpret_cast<HWND>(id); }

}  // namespace

void CWindowFinder::Attach(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongA(control, GWL_WNDPROC));
    if (!previousProc_) return;
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongA(control, GWL_WNDPROC, reinterpret_cast<LONG>(&CWindowFinder::FinderProc));
}

void CWindowFinder::RecordExcludedWindows(HWND ownDialog) {
    ownDialog_ = ownDialog;
    RefreshExcludedWindows();
}

// Looked up again at every pick: Explorer may have restarted since, with new windows.
void CWindowFinder::RefreshExcludedWindows() {
    excluded_.ownDialog = Id(ownDialog_);
    excluded_.desktop = Id(GetDesktopWindow());
    excluded_.programManager = Id(FindWindowA("Progman", "Program Manager"));
    // The taskbar's title is empty, which a null name would not require.
    excluded_.taskbar = Id(FindWindowA("Shell_TrayWnd", ""));
}

LRESULT CALLBACK CWindowFinder::FinderProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowFinder*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    const WNDPROC previous = self->previousProc_;
    switch (message) {
        case WM_LBUTTONDOWN:
            self->OnButtonDown(control);
            return 0;
        case WM_MOUSEMOVE:
            if (self->dragging_) self->OnMouseMove(control);
            return 0;
        case WM_LBUTTONUP:
            if (self->dragging_) self->OnButtonUp(control);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongA(control, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
            SetWindowLongPtrA(control, GWLP_USERDATA, 0);
            break;
    }
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

void CWindowFinder::ShowIcon(HWND control, int iconId) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId));
    SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void CWindowFinder::OnButtonDown(HWND control) {
    RefreshExcludedWindows();
    ShowIcon(control, IDI_FINDER_EMPTY);
    SetCapture(control);
    dragging_ = true;
    SetCursor(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_FINDER_TARGET)));
}

void CWindowFinder::OnMouseMove(HWND control) {
    POINT position{};
    GetCursorPos(&position);
    HWND underCursor = WindowFromPoint(position);
    HWND root = underCursor ? GetAncestor(underCursor, GA_ROOT) : nullptr;
    char standingClass[256] = "";
    if (underCursor) GetClassNameA(root ? root : underCursor, standingClass, sizeof(standingClass));
    HWND candidate = Handle(CFinderRules::Candidate(Id(underCursor), Id(root), standingClass, excluded_));
    if (!CFinderRules::NeedsUpdate(Id(candidate), Id(picked_))) return;

    if (picked_) ToggleFrame(picked_);
    picked_ = candidate;
    ToggleFrame(picked_);

    char className[256] = "";
    if (picked_) GetClassNameA(picked_, className, sizeof(className));
    SetDlgItemTextA(GetParent(control), IDC_CLASS_TEXT, className);
    pickChanged_();
}

void CWindowFinder::OnButtonUp(HWND control) {
    ShowIcon(control, IDI_FINDER_FULL);
    ReleaseCapture();
    dragging_ = false;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void CWindowFinder::ToggleFrame(HWND window) {
    if (!window || !IsWindow(window)) return;
    CWindowDC dc(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    if (IsRectEmpty(&rect)) return;
    const FrameBands frame = CFinderRules::Frame(rect.right, rect.bottom);
    for (int i = 0; i < frame.count; ++i) {
        const PatBltBand& band = frame.bands[i];
        PatBlt(dc.Get(), band.x, band.y, band.width, band.height, DSTINVERT);
    }
}
