#include "WindowFinder.h"

#include "DpiScale.h"
#include "ThreadDpiAwareness.h"
#include "WindowDC.h"
#include "resource.h"

namespace {

WindowId Id(HWND window) { return reinterpret_cast<WindowId>(window); }
HWND Handle(WindowId id) { return reinterpret_cast<HWND>(id); }

// A window class name has at most 256 characters; one more for the terminator.
const int kClassNameCapacity = 256 + 1;
// The finder's pictures are drawn for 32 pixels at 100 %.
const int kFinderPictureSize = 32;

std::wstring ClassNameOf(HWND window) {
    wchar_t name[kClassNameCapacity] = L"";
    const int length = window ? GetClassNameW(window, name, kClassNameCapacity) : 0;
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

WindowIdentity IdentityOf(HWND window) {
    DWORD processId = 0;
    const DWORD threadId = window ? GetWindowThreadProcessId(window, &processId) : 0;
    return {Id(window), processId, threadId};
}

PixelRect Pixels(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void ShowIcon(HWND control, HICON icon) { SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0); }

}  // namespace

void CWindowFinder::Attach(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (!previousProc_) return;
    control_ = control;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowFinder::FinderProc));
    LoadPictures();
}

void CWindowFinder::RecordExcludedWindows(HWND ownDialog) {
    ownDialog_ = ownDialog;
    RefreshExcludedWindows();
}

void CWindowFinder::OnDpiChanged() {
    if (control_) LoadPictures();
}

// The template's icon is the shared one at the system's size; these follow the monitor.
void CWindowFinder::LoadPictures() {
    const int size = CDpiScale::IconSize(kFinderPictureSize, dpi_.ForWindow(control_));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto icon = [&](int id) {
        return CUniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
    };
    CUniqueIcon full = icon(IDI_FINDER_FULL);
    CUniqueIcon empty = icon(IDI_FINDER_EMPTY);
    targetCursor_ = CUniqueCursor(
        static_cast<HCURSOR>(LoadImageW(instance, MAKEINTRESOURCEW(IDC_FINDER_TARGET), IMAGE_CURSOR, size, size, 0)));
    // The control shows the new icon before the old one is destroyed.
    ShowIcon(control_, dragging_ ? empty.Get() : full.Get());
    fullIcon_ = std::move(full);
    emptyIcon_ = std::move(empty);
    if (dragging_) SetCursor(targetCursor_.Get());
}

// Looked up again at every pick: Explorer may have restarted since, with new windows.
void CWindowFinder::RefreshExcludedWindows() {
    excluded_.ownDialog = Id(ownDialog_);
    excluded_.desktop = Id(GetDesktopWindow());
    excluded_.programManager = Id(FindWindowW(L"Progman", L"Program Manager"));
    // The taskbar's title is empty, which a null name would not require.
    excluded_.taskbar = Id(FindWindowW(L"Shell_TrayWnd", L""));
}

LRESULT CALLBACK CWindowFinder::FinderProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowFinder*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    const WNDPROC previous = self->previousProc_;
    switch (message) {
        case WM_LBUTTONDOWN:
            self->OnButtonDown(control);
            return 0;
        case WM_MOUSEMOVE:
            if (self->dragging_) self->OnMouseMove(control);
            return 0;
        case WM_LBUTTONUP:
            if (self->dragging_) self->EndDrag(control);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (Alt+Tab, a window that popped up): the
            // button's release will never come here.
            if (self->dragging_) self->EndDrag(control);
            break;
        case WM_DESTROY:
            self->OnControlDestroyed(control);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            SetWindowLongPtrW(control, GWLP_USERDATA, 0);
            break;
    }
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

void CWindowFinder::OnButtonDown(HWND control) {
    RefreshExcludedWindows();
    ShowIcon(control, emptyIcon_.Get());
    SetCapture(control);
    dragging_ = true;
    SetCursor(targetCursor_.Get());
}

void CWindowFinder::OnMouseMove(HWND) {
    POINT position{};
    GetPhysicalCursorPos(&position);
    HWND underCursor = WindowFromPhysicalPoint(position);
    HWND root = underCursor ? GetAncestor(underCursor, GA_ROOT) : nullptr;
    const std::wstring standingClass = ClassNameOf(root ? root : underCursor);
    HWND candidate =
        Handle(CFinderRules::Candidate(Id(underCursor), Id(root), Utf16(standingClass).c_str(), excluded_));
    // A pick that has gone is cleared first: its handle may now be the candidate's.
    if (picked_.window) ConfirmPicked();
    if (!CFinderRules::NeedsUpdate(Id(candidate), picked_.window)) return;

    Pick(candidate);
    // The candidate is the window that stands, so its class is already known.
    SetDlgItemTextW(ownDialog_, IDC_CLASS_TEXT, candidate ? standingClass.c_str() : L"");
    pickChanged_();
}

void CWindowFinder::Pick(HWND candidate) {
    EraseFrame();
    picked_ = IdentityOf(candidate);
    DrawFrame();
}

// The release of the button, or the loss of the capture that stands for it.
void CWindowFinder::EndDrag(HWND control) {
    // Cleared first: ReleaseCapture sends WM_CAPTURECHANGED back here.
    dragging_ = false;
    ShowIcon(control, fullIcon_.Get());
    if (GetCapture() == control) ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EraseFrame();
}

void CWindowFinder::OnControlDestroyed(HWND control) {
    if (dragging_) EndDrag(control);
    EraseFrame();
    // Drawing on another program's window can wait in the window system's output until
    // this thread next waits for messages, which an ending program may never do: one
    // wait that returns at once sends the erase out.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    // The icons this finder owns are about to be destroyed with it.
    ShowIcon(control, nullptr);
    control_ = nullptr;
}

bool CWindowFinder::StillPicked() const {
    HWND window = Handle(picked_.window);
    const bool alive = window && IsWindow(window);
    return CFinderRules::IsSameWindow(picked_, alive, alive ? IdentityOf(window) : WindowIdentity{});
}

bool CWindowFinder::ConfirmPicked() {
    if (!picked_.window) return false;
    if (StillPicked()) return true;
    // Nothing of a frame on a gone window is ours to erase any more.
    drawn_ = {};
    picked_ = {};
    SetDlgItemTextW(ownDialog_, IDC_CLASS_TEXT, goneText_.c_str());
    pickChanged_();
    return false;
}

// Measured in physical pixels, where the visible bounds are given, then taken into the
// window's own coordinates: a window that is not per-monitor aware on a scaled monitor
// draws in smaller ones, which Windows stretches. The thickness follows the window's DPI.
void CWindowFinder::DrawFrame() {
    HWND window = Handle(picked_.window);
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect)) return;
    RECT visible{};
    const bool hasVisible = dpi_.VisibleBounds(window, visible);
    const PixelRect visiblePixels = Pixels(visible);
    const PixelRect area = CFinderRules::FrameArea(Pixels(rect), hasVisible ? &visiblePixels : nullptr);
    RECT own = rect;
    {
        CThreadDpiAwareness awareness(dpi_, window);
        if (!GetWindowRect(window, &own)) return;
    }
    const PixelRect ownArea = CFinderRules::InOwnCoordinates(area, Pixels(rect), Pixels(own));
    drawn_ = {window, CFinderRules::Frame(ownArea, CDpiScale::FrameThickness(dpi_.ForWindow(window)))};
    Invert(drawn_);
}

// Erases exactly what was drawn, wherever the window has moved or whatever its scale is now.
void CWindowFinder::EraseFrame() {
    if (drawn_.window && StillPicked()) Invert(drawn_);
    drawn_ = {};
}

void CWindowFinder::Invert(const DrawnFrame& frame) const {
    CThreadDpiAwareness awareness(dpi_, frame.window);
    CWindowDC dc(frame.window);
    if (!dc.Get()) return;
    for (int i = 0; i < frame.bands.count; ++i) {
        const PatBltBand& band = frame.bands.bands[i];
        PatBlt(dc.Get(), band.x, band.y, band.width, band.height, DSTINVERT);
    }
}
