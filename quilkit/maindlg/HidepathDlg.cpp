#include "HidepathDlg.h"

#include "framework/FileDialog.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "framework/LanguageTable.h"
#include "SettingsStore.h"

namespace {

// The open dialog's file types: pairs of name and pattern, each ending in a NUL, and one
// more NUL after the last.
std::wstring SearchFilter() {
    const CUiTexts& texts = _Module.Texts();
    return texts.Text(IDS_SEARCH_FILTER_EDITOR) + L'\0' + L"*.exe" + L'\0' + texts.Text(IDS_SEARCH_FILTER_ALL) + L'\0' +
           L"*.*" + L'\0' + L'\0';
}

// The line above the path.
std::wstring ReasonText(EditorPathReason reason) {
    return _Module.Texts().Text(reason == EditorPathReason::Change ? IDS_EDITOR_PATH : IDS_EDITOR_NOT_FOUND);
}

std::wstring MissingFileText() { return _Module.Texts().Text(IDS_EDITOR_NO_SUCH_FILE); }

// An empty path clears the setting; any other must name a file that is there, or mode 5
// would fail later without a word about why.
bool IsStorable(const std::wstring& path) {
    if (path.empty()) return true;
    const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

    SetDlgItemTextW(m_hWnd, IDC_STATIC_EDITORREASON, ReasonText(m_reason).c_str());
    m_edit.SubclassWindow(GetDlgItem(IDC_EDITORPATH));
    FocusPath();
    return FALSE;  // the focus is set
}

void CHidepathDlg::FocusPath() {
    HWND edit = GetDlgItem(IDC_EDITORPATH);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

void CHidepathDlg::OnSearch() {
    const std::wstring filter = SearchFilter();
    CFileDialog dialog(L"exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST, filter.c_str());
    if (dialog.DoModal(GetActiveWindow()) == IDOK) SetDlgItemTextW(m_hWnd, IDC_EDITORPATH, dialog.FileName().c_str());
}

void CHidepathDlg::OnOK() {
    const std::wstring typed = WindowText(GetDlgItem(IDC_EDITORPATH));
    if (!IsStorable(typed)) {
        SetDlgItemTextW(m_hWnd, IDC_STATIC_EDITORREASON, MissingFileText().c_str());
        FocusPath();
        return;
    }
    m_path = typed;

    CSettingsStore store;
    if (store.Open()) store.WriteEditorPath(m_path);
    EndDialog(IDOK);
}

INT_PTR ShowEditorPathDialog(EditorPathReason reason) {
    CHidepathDlg dialog(reason);
    return dialog.DoModal(GetActiveWindow());
}
