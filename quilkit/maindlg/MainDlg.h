#pragma once
// The dialog of mode 0: installs or uninstalls the shell extension and opens the
// editor-path dialog. Modeless; Esc and the close box end the program.
#include <windows.h>

#include "framework/DialogImpl.h"
#include "framework/MessageLoop.h"
#include "ExtensionRegistrar.h"
#include "resource.h"

class CMainDlg : public CDialogImpl<CMainDlg>, public CMessageFilter, public CIdleHandler {
public:
    enum { IDD = IDD_MAINDLG };

    BOOL PreTranslateMessage(MSG* msg) override { return IsDialogMessageW(m_hWnd, msg); }
    BOOL OnIdle() override { return FALSE; }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    LRESULT OnInitDialog();
    void OnDestroy();
    BOOL OnCommand(int id, int code);
    void Register(RegistrationStep step, const wchar_t* missingText, const wchar_t* failedText);
    void SetIcon(int widthMetric, int heightMetric, WPARAM which);
};
