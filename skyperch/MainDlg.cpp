#include "MainDlg.h"

#include <algorithm>

#include "resource.h"

CMainDlg::CMainDlg(CMessageLoop& loop, const LanguageRecord* language)
    : loop_(loop), labelsFromRecord_(language != nullptr), finder_([this] { RefreshTypeText(); }) {
    for (int slot = 0; slot < kLanguageTextCount; ++slot)
        texts_[slot] = CLanguageTable::Text(language, static_cast<LanguageSlot>(slot));
}

BOOL CMainDlg::OnInitDialog() {
    CenterInWorkArea();
    SetIcons();
    loop_.SetDialog(m_hWnd);
    finder_.Attach(m_hWnd, IDC_FINDER);
    ApplyLanguageTexts();
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    finder_.RecordExcludedWindows(m_hWnd);
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

void CMainDlg::OnDestroy() { loop_.SetDialog(nullptr); }

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

void CMainDlg::SetIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    bigIcon_ = CUniqueIcon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SKYPERCH), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                      GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    smallIcon_ = CUniqueIcon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SKYPERCH), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void CMainDlg::ApplyLanguageTexts() {
    if (!labelsFromRecord_) return;
    SetDlgItemTextW(m_hWnd, IDC_FINDER_LABEL, texts_[kFinderLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_CLASS_LABEL, texts_[kClassLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_TYPE_LABEL, texts_[kTypeLabelText].c_str());
    SetDlgItemTextW(m_hWnd, IDC_CHANGE, texts_[kChangeButtonText].c_str());
}

void CMainDlg::RefreshTypeText() {
    const LONG exStyle = GetWindowLongW(finder_.Picked(), GWL_EXSTYLE);
    const bool topMost = (exStyle & WS_EX_TOPMOST) != 0;
    SetDlgItemTextW(m_hWnd, IDC_TYPE_TEXT, texts_[topMost ? kTopMostText : kNotTopMostText].c_str());
}

void CMainDlg::ChangeTopMost() {
    HWND picked = finder_.Picked();
    if (!picked) return;
    const LONG exStyle = GetWindowLongW(picked, GWL_EXSTYLE);
    HWND insertAfter = (exStyle & WS_EX_TOPMOST) ? HWND_NOTOPMOST : HWND_TOPMOST;
    SetWindowPos(picked, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The picked window may just have become top-most; keep our dialog above it.
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RefreshTypeText();
}
