#pragma once
// Options of the extension cleaner: the extensions to delete and whether selected folders
// are searched with their sub-folders.
#include <windows.h>

#include <string>

#include "framework/OptionsDlgImpl.h"
#include "resource.h"

class CExtDlg : public COptionsDlgImpl<CExtDlg> {
public:
    enum { IDD = IDD_EXTDLG };
    static constexpr int kExtensionTextSize = 1024;
    static constexpr const wchar_t* kDefaultExtensions = L".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo";

    std::wstring m_extensions = kDefaultExtensions;
    int m_subFolders = 1;
    // Ended with Preview: the run lists what it would delete and deletes nothing.
    bool m_preview = false;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class COptionsDlgImpl<CExtDlg>;
    LRESULT OnInitDialog();
    void OnOk();
};
