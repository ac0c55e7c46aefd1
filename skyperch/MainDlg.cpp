#include "MainDlg.h"

#include <algorithm>
#include <iterator>

#include "resource.h"

namespace {

const UINT_PTR kStateTimer = 1;
const UINT kStateCheckMs = 100;
const int kStateChecks = 50;
// How often a pick is looked at: Change is switched off soon after the window has closed.
const UINT_PTR kPickTimer = 2;
const UINT kPickCheckMs = 500;

// InternalGetWindowText sends no message: a hung window cannot hang us.
std::wstring TitleOf(HWND window) {
    wchar_t title[CFinderRules::kLongestTitle + 2] = {};
    const int length = InternalGetWindowText(window, title, int(std::size(title)));
    return std::wstring(title, size_t(std::max(length, 0)));
}

std::u16string Utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

bool IsTopMost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace

CMainDlg::CMainDlg(CMessageLoop& loop, const LanguageRecord* language, const CUiTexts& texts)
    : loop_(loop),
      labelsFromRecord_(language != nullptr),
      texts_(Texts(language)),
      finder_(dpi_, texts.Text(IDS_PICK_GONE), [this] { RefreshTypeText(); }) {}

std::array<std::wstring, kLanguageTextCount> CMainDlg::Texts(const LanguageRecord* language) {
    std::array<std::wstring, kLanguageTextCount> texts;
    for (int slot = 0; slot < kLanguageTextCount; ++slot)
        texts[slot] = CLanguageTable::Text(language, static_cast<LanguageSlot>(slot));
    return texts;
}

BOOL CMainDlg::OnInitDialog() {
    CenterInWorkArea();
    SetIcons(dpi_.ForWindow(m_hWnd));
    loop_.SetDialog(m_hWnd);
    finder_.Attach(m_hWnd, IDC_FINDER);
    ApplyLanguageTexts();
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    finder_.RecordExcludedWindows(m_hWnd);
    SetTimer(m_hWnd, kPickTimer, kPickCheckMs, nullptr);
    return TRUE;
}

void CMainDlg::OnCommand(int id) {
    switch (id) {
        case IDOK:
            DestroyWindow(m_hWnd);
            PostQuitMessage(1);
            break;
        case IDCANCEL:
            DestroyWindow(m_hWnd);
            PostQuitMessage(2);
            break;
        case IDC_CHANGE:
            ChangeTopMost();
            break;
    }
}

void CMainDlg::OnDestroy() {
    KillTimer(m_hWnd, kStateTimer);
    KillTimer(m_hWnd, kPickTimer);
    loop_.SetDialog(nullptr);
}

void CMainDlg::OnDpiChanged(int dpi) {
    SetIcons(dpi);
    finder_.OnDpiChanged();
}

// The picked window's thread applies Change when it gets to it; until then the type text
// shows the old state, and once it has, the window may lie above our dialog.
void CMainDlg::OnTimer(UINT_PTR id) {
    if (id == kPickTimer && finder_.Picked()) finder_.ConfirmPicked();
    if (id != kStateTimer) return;
    if (!finder_.ConfirmPicked()) {
        KillTimer(m_hWnd, kStateTimer);
        return;
    }
    const bool applied = IsTopMost(finder_.Picked()) == awaitedTopMost_;
    if (applied) SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RefreshTypeText();
    if (applied || --stateChecksLeft_ <= 0) KillTimer(m_hWnd, kStateTimer);
}

void CMainDlg::CenterInWorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT dialog{};
    GetWindowRect(m_hWnd, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    // Kept inside the work area; a dialog larger than the area keeps its top-left corner.
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max(static_cast<int>(area.left), std::min(x, static_cast<int>(area.right) - width));
    y = std::max(static_cast<int>(area.top), std::min(y, static_cast<int>(area.bottom) - height));
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// At the sizes of the monitor the dialog is on; the window shows the new icons before the
// old ones are destroyed.
void CMainDlg::SetIcons(int dpi) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto load = [&](int width, int height) {
        return CUniqueIcon(static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDI_SKYPERCH), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    };
    CUniqueIcon big = load(dpi_.SystemMetric(SM_CXICON, dpi), dpi_.SystemMetric(SM_CYICON, dpi));
    CUniqueIcon smallIcon = load(dpi_.SystemMetric(SM_CXSMICON, dpi), dpi_.SystemMetric(SM_CYSMICON, dpi));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(smallIcon);
}

void CMainDlg::ApplyLanguageTexts() {
    if (!labelsFromRecord_) return;
    SetDlgItemTextW(m_hWnd, IDC_FINDER_LABEL, texts_[kFinderLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_CLASS_LABEL, texts_[kClassLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_TYPE_LABEL, texts_[kTypeLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_CHANGE, texts_[kChangeButtonText].c_str());
}

// The title beside the class, and Change only while there is a window to change.
void CMainDlg::RefreshTypeText() {
    HWND picked = finder_.Picked();
    const bool topMost = IsTopMost(picked);
    SetDlgItemTextW(m_hWnd, IDC_TYPE_TEXT, texts_[topMost ? kTopMostText : kNotTopMostText].c_str());
    const std::u16string title = picked ? CFinderRules::TitleLine(Utf16(TitleOf(picked))) : std::u16string();
    SetDlgItemTextW(m_hWnd, IDC_TITLE_TEXT, std::wstring(title.begin(), title.end()).c_str());
    EnableWindow(GetDlgItem(m_hWnd, IDC_CHANGE), picked != nullptr);
}

void CMainDlg::ChangeTopMost() {
    // A picked window that has closed since, or a new window that got its handle, is
    // never changed.
    if (!finder_.ConfirmPicked()) return;
    HWND picked = finder_.Picked();
    const bool wasTopMost = IsTopMost(picked);
    // Asynchronous: the window's own thread does it, so a hung program cannot hang us.
    SetWindowPos(picked, wasTopMost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    // The picked window may just have become top-most; keep our dialog above it.
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RefreshTypeText();
    awaitedTopMost_ = !wasTopMost;
    stateChecksLeft_ = kStateChecks;
    SetTimer(m_hWnd, kStateTimer, kStateCheckMs, nullptr);
}
