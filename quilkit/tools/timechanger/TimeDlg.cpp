#include "TimeDlg.h"

#include <commctrl.h>

#include "framework/LanguageTable.h"

LRESULT CTimeDlg::OnInitDialog() {
    CenterWindow();
    m_datePicker = GetDlgItem(IDC_DATEPICKER);
    m_timePicker = GetDlgItem(IDC_TIMEPICKER);
    SetCheck(IDC_FIXEDTIME, m_fixedTime != 0);
    SetCheck(IDC_SUBFOLDERS, m_subFolders != 0);
    ApplyLanguageText(m_hWnd, IDC_FIXEDTIME, kTextFixedTime);
    ApplyLanguageText(m_hWnd, IDC_SUBFOLDERS, kTextSubFolders);
    EnablePickers();
    return TRUE;
}

BOOL CTimeDlg::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_FIXEDTIME && HIWORD(wParam) == BN_CLICKED) {
        EnablePickers();
        return TRUE;
    }
    return COptionsDlgImpl<CTimeDlg>::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

void CTimeDlg::EnablePickers() {
    const BOOL enable = !IsChecked(IDC_FIXEDTIME);
    EnableWindow(m_datePicker, enable);
    EnableWindow(m_timePicker, enable);
}

void CTimeDlg::OnOk() {
    m_time = SYSTEMTIME{};
    SendMessageW(m_datePicker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_time));
    SYSTEMTIME timeOfDay = {};
    SendMessageW(m_timePicker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&timeOfDay));
    m_time.wHour = timeOfDay.wHour;
    m_time.wMinute = timeOfDay.wMinute;
    m_time.wSecond = timeOfDay.wSecond;
    // The date picker carries the milliseconds of the moment it opened; the user chose
    // whole seconds.
    m_time.wMilliseconds = 0;
    m_fixedTime = IsChecked(IDC_FIXEDTIME) ? 1 : 0;
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    EndDialog(IDOK);
}
