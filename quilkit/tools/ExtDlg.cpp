#include "ExtDlg.h"

#include "../startup/LanguageTable.h"

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
    // All that the field accepts, its terminator aside: a list cut by one character could
    // end in ".c" where the user typed ".cs".
    GetWindowTextA(GetDlgItem(IDC_EXTENSIONS), m_extensions, kExtensionTextSize + 1);
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    EndDialog(IDOK);
}
