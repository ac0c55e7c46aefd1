#include "HidepathDlg.h"

#include "framework/FileDialog.h"
#include "text/WideText.h"
#include "framework/LanguageTable.h"
#include "SettingsStore.h"

namespace {

const wchar_t kSearchFilter[] = L"Hidemaru (Hidemaru.exe)\0*.exe\0All File (*.*)\0*.*\0";

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
    // The template's 520 would cut a long path: the field takes any the system does.
    SendMessageW(GetDlgItem(IDC_EDITORPATH), EM_LIMITTEXT, CSettingsStore::kMaxPathChars, 0);
    ApplyLanguageText(m_hWnd, IDC_SEARCH, kTextSearch);

    CSettingsStore store;
    std::wstring path;
    if (store.Open() && store.ReadEditorPath(path)) SetDlgItemTextW(m_hWnd, IDC_EDITORPATH, path.c_str());

    m_edit.SubclassWindow(GetDlgItem(IDC_EDITORPATH));
    return TRUE;
}

void CHidepathDlg::OnSearch() {
    CFileDialog dialog(L"exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST, kSearchFilter);
    if (dialog.DoModal(GetActiveWindow()) == IDOK) SetDlgItemTextW(m_hWnd, IDC_EDITORPATH, dialog.FileName().c_str());
}

void CHidepathDlg::OnOK() {
    m_path = WindowText(GetDlgItem(IDC_EDITORPATH));

    CSettingsStore store;
    if (store.Open()) store.WriteEditorPath(m_path);
    EndDialog(IDOK);
}

INT_PTR ShowEditorPathDialog() {
    CHidepathDlg dialog;
    return dialog.DoModal(GetActiveWindow());
}
