#include "HashDlg.h"

#include "framework/LanguageTable.h"

LRESULT CHashDlg::OnInitDialog() {
    CenterWindow();
    SetCheck(IDC_MD5, m_md5 != 0);
    SetCheck(IDC_SHA1, m_sha1 != 0);
    SetCheck(IDC_SHA256, m_sha256 != 0);
    SetCheck(IDC_SUBFOLDERS, m_subFolders != 0);
    ApplyLanguageText(m_hWnd, IDC_SUBFOLDERS, kTextSubFolders);
    return TRUE;
}

void CHashDlg::OnOk() {
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    m_md5 = IsChecked(IDC_MD5) ? 1 : 0;
    m_sha1 = IsChecked(IDC_SHA1) ? 1 : 0;
    m_sha256 = IsChecked(IDC_SHA256) ? 1 : 0;
    EndDialog(IDOK);
}
