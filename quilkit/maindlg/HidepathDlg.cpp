#include "HidepathDlg.h"

#include "../framework/FileDialog.h"
#include "../startup/LanguageTable.h"
#include "SettingsStore.h"

namespace {

const char kSearchFilter[] = "Hidemaru (Hidemaru.exe)\0*.exe\0All File (*.*)\0*.*\0";

}  // namespace

BOOL CHidepathDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_SEARCH:
                    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
                    OnSearch();
                    return TRUE;
                case IDOK:
                    OnOK();
                    return TRUE;
                case IDCANCEL:
                    EndDialog(0);
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(0);
            return TRUE;
    }
    return FALSE;
}

LRESULT CHidepathDlg::OnInitDialog() {
    CenterWindow();
    // One less than the template's 520, so that what is typed is what OK stores and
    // what the next opening can read back.
    SendMessageA(GetDlgItem(IDC_EDITORPATH), EM_LIMITTEXT, CSettingsStore::kMaxPathChars, 0);
    ApplyLanguageText(m_hWnd, IDC_SEARCH, kTextSearch);

    CSettingsStore store;
    char path[CSettingsStore::kReadBytes + 1];
    if (store.Open() && store.ReadEditorPath(path, sizeof(path))) SetDlgItemTextA(m_hWnd, IDC_EDITORPATH, path);

    m_edit.SubclassWindow(GetDlgItem(IDC_EDITORPATH));
    return TRUE;
}

void CHidepathDlg::OnSearch() {
    CFileDialog dialog("exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST, kSearchFilter);
    if (dialog.DoModal(GetActiveWindow()) == IDOK) SetDlgItemTextA(m_hWnd, IDC_EDITORPATH, dialog.FileName());
}

void CHidepathDlg::OnOK() {
    GetDlgItemTextA(m_hWnd, IDC_EDITORPATH, m_path, sizeof(m_path));

    CSettingsStore store;
    if (store.Open()) store.WriteEditorPath(m_path);
    EndDialog(IDOK);
}

INT_PTR ShowEditorPathDialog() {
    CHidepathDlg dialog;
    return dialog.DoModal(GetActiveWindow());
}
