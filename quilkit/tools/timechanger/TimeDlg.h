#pragma once
// Options of the file-time changer: the moment from the two pickers or the fixed moment,
// and whether selected folders are walked with their contents.
#include <windows.h>

#include "framework/OptionsDlgImpl.h"
#include "resource.h"

class CTimeDlg : public COptionsDlgImpl<CTimeDlg> {
public:
    enum { IDD = IDD_TIMEDLG };

    SYSTEMTIME m_time = {};  // local time, filled on OK
    int m_fixedTime = 0;
    int m_subFolders = 1;

private:
    friend class COptionsDlgImpl<CTimeDlg>;
    LRESULT OnInitDialog();
    void OnOk();

    HWND m_datePicker = nullptr;
    HWND m_timePicker = nullptr;
};
