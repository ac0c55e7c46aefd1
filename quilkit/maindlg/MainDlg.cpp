#include "MainDlg.h"

#include <commctrl.h>

#include "framework/Handles.h"
#include "framework/LanguageTable.h"
#include "ExtensionRegistrar.h"
#include "HidepathDlg.h"

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
    // Both buttons ask for administrator rights: they carry the shield.
    SendMessageW(GetDlgItem(IDC_INSTALL), BCM_SETSHIELD, 0, TRUE);
    SendMessageW(GetDlgItem(IDC_UNINSTALL), BCM_SETSHIELD, 0, TRUE);
    return TRUE;
}

void CMainDlg::OnDestroy() {
    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

BOOL CMainDlg::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            PostQuitMessage(1);
            return TRUE;
        case IDCANCEL:
            PostQuitMessage(2);
            return TRUE;
        case IDC_INSTALL:
            if (code != BN_CLICKED) return FALSE;
            Register(RegistrationStep::Register, L"DllRegisterServer not found...", L"Install failed...");
            return TRUE;
        case IDC_UNINSTALL:
            if (code != BN_CLICKED) return FALSE;
            Register(RegistrationStep::Unregister, L"DllUnregisterServer not found...", L"Uninstall failed...");
            return TRUE;
        case IDC_HIDEMARU:
            if (code != BN_CLICKED) return FALSE;
            ShowEditorPathDialog();
            return TRUE;
    }
    return FALSE;
}

void CMainDlg::Register(RegistrationStep step, const wchar_t* missingText, const wchar_t* failedText) {
    switch (CExtensionRegistrar::RunElevated(m_hWnd, step)) {
        case CExtensionRegistrar::Outcome::Succeeded:
            MessageBoxW(m_hWnd, L"Success!", L"Success", MB_OK);
            break;
        case CExtensionRegistrar::Outcome::LibraryMissing:
            MessageBoxW(m_hWnd, L"FlintPop64.dll not found...", L"Error", MB_OK);
            break;
        case CExtensionRegistrar::Outcome::ExportMissing:
            MessageBoxW(m_hWnd, missingText, L"Error", MB_OK);
            break;
        case CExtensionRegistrar::Outcome::Failed:
            MessageBoxW(m_hWnd, failedText, L"Error", MB_OK);
            break;
        case CExtensionRegistrar::Outcome::ElevationRefused:
            MessageBoxW(m_hWnd, L"Administrator rights are needed for this, and were not granted.", L"Error", MB_OK);
            break;
        case CExtensionRegistrar::Outcome::NotStarted:
            MessageBoxW(m_hWnd, L"VexQuilkit could not be started with administrator rights.", L"Error", MB_OK);
            break;
    }
}

void CMainDlg::SetIcon(int widthMetric, int heightMetric, WPARAM which) {
    // The window keeps using the icon, so it lives as long as the process.
    HANDLE icon = LoadImageW(_Module.Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR);
    SendMessageW(m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}
