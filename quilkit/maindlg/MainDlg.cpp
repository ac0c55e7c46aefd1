#include "MainDlg.h"

#include "../startup/LanguageTable.h"

BOOL CMainDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog() {
    CenterWindow();
    SetIcon(SM_CXICON, SM_CYICON, ICON_BIG);
    SetIcon(SM_CXSMICON, SM_CYSMICON, ICON_SMALL);

    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    ApplyLanguageText(m_hWnd, IDC_STATIC_INSTALLER, kTextInstaller);
    ApplyLanguageText(m_hWnd, IDC_INSTALL, kTextInstall);
    ApplyLanguageText(m_hWnd, IDC_UNINSTALL, kTextUninstall);
    return TRUE;
}

void CMainDlg::OnDestroy() {
    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

BOOL CMainDlg::OnCommand(int id, int /*code*/) {
    switch (id) {
        case IDOK:
            PostQuitMessage(1);
            return TRUE;
        case IDCANCEL:
            PostQuitMessage(2);
            return TRUE;
    }
    return FALSE;
}

void CMainDlg::SetIcon(int widthMetric, int heightMetric, WPARAM which) {
    // The window keeps using the icon, so it lives as long as the process.
    HANDLE icon = LoadImageA(_Module.Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR);
    SendMessageA(m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}
