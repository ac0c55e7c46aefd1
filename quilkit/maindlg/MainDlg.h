#pragma once
// The dialog of mode 0: installs or uninstalls the shell extension and opens the
// editor-path dialog; a line under the buttons gives the version, where the extension is
// registered and what Install does from here. Modeless; Esc and the close box end the
// program.
#include <windows.h>

#include "framework/DialogImpl.h"
#include "framework/Handles.h"
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
    void Install();
    void Uninstall();
    void ReportAnotherCopy(bool uninstalledForThisUser);
    // `exportName`: the extension's function that was to be called; the texts are
    // identifiers of the string table.
    void Report(CExtensionRegistrar::Outcome outcome, const wchar_t* exportName, UINT failedText, UINT doneText);
    void ShowRegistration();
    void SetIcons(int dpi);

    // Decided once, from where the program lives: Install registers for every user
    // (elevated) or for the current user only.
    bool m_forAllUsers = false;

    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
};
