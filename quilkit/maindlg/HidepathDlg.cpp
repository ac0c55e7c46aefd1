#include "HidepathDlg.h"

#include "framework/FileDialog.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "framework/LanguageTable.h"
#include "SettingsStore.h"

namespace {

const wchar_t kSearchFilter[] = L"Hidemaru (Hidemaru.exe)\0*.exe\0All File (*.*)\0*.*\0";

// The line above the path. Japanese: Hidemaru.exe のパス: / Hidemaru.exe が見つかりません。
// パスを入力するか、参照で選んでください: / このファイルはありません。Hidemaru.exe のパスを入力す
// るか、参照で選んでください:
std::wstring ReasonText(EditorPathReason reason) {
    if (reason == EditorPathReason::Change)
        return EnglishOrJapanese(L"Path of Hidemaru.exe:", "Hidemaru.exe \x82\xCC\x83\x70\x83\x58:");
    return EnglishOrJapanese(L"Hidemaru.exe was not found. Type its path, or Search for it:",
                             "Hidemaru.exe \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42"
                             "\x83\x70\x83\x58\x82\xF0\x93\xFC\x97\xCD\x82\xB7\x82\xE9\x82\xA9\x81\x41\x8E\x51\x8F"
                             "\xC6\x82\xC5\x91\x49\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2:");
}

std::wstring MissingFileText() {
    return EnglishOrJapanese(L"No such file. Type the path of Hidemaru.exe, or Search for it:",
                             "\x82\xB1\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82"
                             "\xB9\x82\xF1\x81\x42Hidemaru.exe \x82\xCC\x83\x70\x83\x58\x82\xF0\x93\xFC\x97\xCD\x82"
                             "\xB7\x82\xE9\x82\xA9\x81\x41\x8E\x51\x8F\xC6\x82\xC5\x91\x49\x82\xF1\x82\xC5\x82\xAD"
                             "\x82\xBE\x82\xB3\x82\xA2:");
}

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
    CFileDialog dialog(L"exe", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST, kSearchFilter);
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
