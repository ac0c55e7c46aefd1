#include "WindowFinder.h"

#include <string>

#include "WindowDC.h"
#include "resource.h"

namespace {

WindowId Id(HWND window) { return reinterpret_cast<WindowId>(window); }
HWND Handle(WindowId id) { return reinterpret_cast<HWND>(id); }

// A window class name has at most 256 characters; one more for the terminator.
const int kClassNameCapacity = 256 + 1;

std::wstring ClassNameOf(HWND window) {
    wchar_t name[kClassNameCapacity] = L"";
    const int length = window ? GetClassNameW(window, name, kClassNameCapacity) : 0;
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

void CWindowFinder::Attach(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (!previousProc_) return;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindowFinder::FinderProc));
}

void CWindowFinder::RecordExcludedWindows(HWND ownDialog) {
    ownDialog_ = ownDialog;
    RefreshExcludedWindows();
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
            if (self->dragging_) self->OnButtonUp(control);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            SetWindowLongPtrW(control, GWLP_USERDATA, 0);
            break;
    }
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

void CWindowFinder::ShowIcon(HWND control, int iconId) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId));
    SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void CWindowFinder::OnButtonDown(HWND control) {
    RefreshExcludedWindows();
    ShowIcon(control, IDI_FINDER_EMPTY);
    SetCapture(control);
    dragging_ = true;
    SetCursor(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_FINDER_TARGET)));
}

void CWindowFinder::OnMouseMove(HWND control) {
    POINT position{};
    GetCursorPos(&position);
    HWND underCursor = WindowFromPoint(position);
    HWND root = underCursor ? GetAncestor(underCursor, GA_ROOT) : nullptr;
    const std::wstring standingClass = ClassNameOf(root ? root : underCursor);
    HWND candidate =
        Handle(CFinderRules::Candidate(Id(underCursor), Id(root), Utf16(standingClass).c_str(), excluded_));
    if (!CFinderRules::NeedsUpdate(Id(candidate), Id(picked_))) return;

    if (picked_) ToggleFrame(picked_);
    picked_ = candidate;
    ToggleFrame(picked_);

    // The candidate is the window that stands, so its class is already known.
    SetDlgItemTextW(GetParent(control), IDC_CLASS_TEXT, picked_ ? standingClass.c_str() : L"");
    pickChanged_();
}

void CWindowFinder::OnButtonUp(HWND control) {
    ShowIcon(control, IDI_FINDER_FULL);
    ReleaseCapture();
    dragging_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
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
