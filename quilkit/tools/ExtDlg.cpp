#include "ExtDlg.h"

#include "../startup/LanguageTable.h"

BOOL CExtDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK) return FALSE;
            OnOk();
            return TRUE;
        case WM_CLOSE:
            EndDialog(0);
            return TRUE;
    }
    return FALSE;
}

LRESULT CExtDlg::OnInitDialog() {
    CenterWindow();
    HWND edit = GetDlgItem(IDC_EXTENSIONS);
    SendMessageA(edit, EM_LIMITTEXT, kExtensionTextSize, 0);
    SetWindowTextA(edit, kDefaultExtensions);
    SetCheck(IDC_SUBFOLDERS, m_subFolders != 0);
    ApplyLanguageText(m_hWnd, IDC_STATIC_EXTENSIONS, kTextExtensionPrompt);
    ApplyLanguageText(m_hWnd, IDC_SUBFOLDERS, kTextSubFolders);
    return TRUE;
}

void CExtDlg::OnOk() {
    GetWindowTextA(GetDlgItem(IDC_EXTENSIONS), m_extensions, kExtensionTextSize);
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    EndDialog(IDOK);
}
