#pragma once
// The editor-path dialog: says why it asks, shows the stored editor path, lets the user
// type, search or drop a new one, and stores it on OK when it names an existing file (or
// is empty). Modal; Cancel, Esc and the close box store nothing.
#include <windows.h>

#include <string>

#include "framework/DialogImpl.h"
#include "FileSelectEdit.h"
#include "resource.h"

// Why the dialog opens: the main window's button, or an editor that could not be started.
enum class EditorPathReason { Change, NotFound };

class CHidepathDlg : public CDialogImpl<CHidepathDlg> {
public:
    enum { IDD = IDD_HIDEPATHDLG };

    explicit CHidepathDlg(EditorPathReason reason) : m_reason(reason) {}

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The text confirmed with OK.
    const std::wstring& Path() const { return m_path; }

private:
    LRESULT OnInitDialog();
    void OnSearch();
    void OnOK();
    void FocusPath();

    EditorPathReason m_reason;
    std::wstring m_path;
    CFileSelectEdit m_edit;
};

// Runs the dialog modally, owned by the active window. IDOK after OK (the path is then
// stored), 0 after Cancel, Esc or the close box, -1 when it cannot be shown.
INT_PTR ShowEditorPathDialog(EditorPathReason reason = EditorPathReason::Change);
