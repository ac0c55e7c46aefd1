#pragma once
// Options of the hash checker: which digests, and whether selected folders are searched
// with their sub-folders. It has no Cancel button; Escape does not close it.
#include <windows.h>

#include "../framework/DialogImpl.h"
#include "resource.h"

class CHashDlg : public CDialogImpl<CHashDlg> {
public:
    enum { IDD = IDD_HASHDLG };

    int m_subFolders = 1;
    int m_md5 = 0;
    int m_sha1 = 0;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    LRESULT OnInitDialog();
    void OnOk();
};
