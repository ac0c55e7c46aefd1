#pragma once
// Options of the extension cleaner: the extensions to delete and whether selected folders
// are searched with their sub-folders.
#include <windows.h>

#include "../framework/OptionsDlgImpl.h"
#include "resource.h"

class CExtDlg : public COptionsDlgImpl<CExtDlg> {
public:
    enum { IDD = IDD_EXTDLG };
    static constexpr int kExtensionTextSize = 1024;
    static constexpr const char* kDefaultExtensions = ".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo";

    char m_extensions[kExtensionTextSize + 1] = {};
    int m_subFolders = 1;

private:
    friend class COptionsDlgImpl<CExtDlg>;
    LRESULT OnInitDialog();
    void OnOk();
};
