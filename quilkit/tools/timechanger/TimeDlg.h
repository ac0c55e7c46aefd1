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

    // The fixed moment's box switches the pickers off; the rest goes to the options map.
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class COptionsDlgImpl<CTimeDlg>;
    LRESULT OnInitDialog();
    void OnOk();
    // The pickers take input only while the fixed moment is not chosen.
    void EnablePickers();

    HWND m_datePicker = nullptr;
    HWND m_timePicker = nullptr;
};
