#pragma once
// The editor-path dialog: shows the stored editor path, lets the user type, search or
// drop a new one, and stores it on OK. Modal; Cancel, Esc and the close box store nothing.
#include <windows.h>

#include <string>

#include "framework/DialogImpl.h"
#include "FileSelectEdit.h"
#include "resource.h"

class CHidepathDlg : public CDialogImpl<CHidepathDlg> {
public:
    enum { IDD = IDD_HIDEPATHDLG };

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The text confirmed with OK.
    const std::wstring& Path() const { return m_path; }

private:
    LRESULT OnInitDialog();
    void OnSearch();
    void OnOK();

    std::wstring m_path;
    CFileSelectEdit m_edit;
};

// Runs the dialog modally, owned by the active window. IDOK after OK (the path is then
// stored), 0 after Cancel, Esc or the close box, -1 when it cannot be shown.
INT_PTR ShowEditorPathDialog();
