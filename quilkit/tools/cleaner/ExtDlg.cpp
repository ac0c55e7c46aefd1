#include "ExtDlg.h"

#include "text/WideText.h"
#include "framework/LanguageTable.h"

LRESULT CExtDlg::OnInitDialog() {
    CenterWindow();
    HWND edit = GetDlgItem(IDC_EXTENSIONS);
    SendMessageW(edit, EM_LIMITTEXT, kExtensionTextSize, 0);
    SetWindowTextW(edit, m_extensions.c_str());
    SetCheck(IDC_SUBFOLDERS, m_subFolders != 0);
    ApplyLanguageText(m_hWnd, IDC_STATIC_EXTENSIONS, kTextExtensionPrompt);
    ApplyLanguageText(m_hWnd, IDC_SUBFOLDERS, kTextSubFolders);
    return TRUE;
}

// Preview reads the options as OK does.
BOOL CExtDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PREVIEW) {
        m_preview = true;
        OnOk();
        return TRUE;
    }
    return COptionsDlgImpl<CExtDlg>::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

void CExtDlg::OnOk() {
    // All that the field holds: a list cut by one character could end in ".c" where the
    // user typed ".cs".
    m_extensions = WindowText(GetDlgItem(IDC_EXTENSIONS));
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    EndDialog(IDOK);
}
