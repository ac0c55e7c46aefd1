#pragma once
// Options of the extension cleaner: the extensions to delete and whether selected folders
// are searched with their sub-folders.
#include <windows.h>

#include "../framework/DialogImpl.h"
#include "resource.h"

class CExtDlg : public CDialogImpl<CExtDlg> {
public:
    enum { IDD = IDD_EXTDLG };
    static constexpr int kExtensionTextSize = 1024;
    static constexpr const char* kDefaultExtensions = ".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo";

    char m_extensions[kExtensionTextSize] = {};
    int m_subFolders = 1;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    LRESULT OnInitDialog();
    void OnOk();
};
