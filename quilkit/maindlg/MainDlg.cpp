#include "MainDlg.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/LanguageTable.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "ExtensionRegistrar.h"
#include "HidepathDlg.h"
#include "VexVersion.h"

namespace {

// The registration line's first words: where the extension is registered.
UINT StateText(const CExtensionRegistrar::Registrations& now) {
    if (now.allUsers && now.thisUser) return IDS_LINE_FOR_BOTH;
    if (now.allUsers) return IDS_LINE_FOR_ALL_USERS;
    return now.thisUser ? IDS_LINE_FOR_THIS_USER : IDS_LINE_NOT_INSTALLED;
}

std::wstring Text(UINT id) { return _Module.Texts().Text(id); }

// Why Install or Uninstall did nothing; `failedText` when the extension said it failed.
std::wstring FailureText(CExtensionRegistrar::Outcome outcome, const wchar_t* exportName, UINT failedText) {
    switch (outcome) {
        case CExtensionRegistrar::Outcome::LibraryMissing:
            return _Module.Texts().Format(IDS_NOT_FOUND, {L"FlintPop64.dll"});
        case CExtensionRegistrar::Outcome::ExportMissing:
            return _Module.Texts().Format(IDS_NOT_FOUND, {exportName});
        case CExtensionRegistrar::Outcome::OthersCanChange:
            return Text(IDS_NOT_FOR_ALL_USERS);
        case CExtensionRegistrar::Outcome::ElevationRefused:
            return Text(IDS_ELEVATION_REFUSED);
        case CExtensionRegistrar::Outcome::NotStarted:
            return Text(IDS_ELEVATION_NOT_STARTED);
        case CExtensionRegistrar::Outcome::Succeeded:
        case CExtensionRegistrar::Outcome::Failed:
            break;
    }
    return Text(failedText);
}

// From build 22000 on, whatever version number Windows tells the program.
bool OnWindows11() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwBuildNumber = 22000;
    return VerifyVersionInfoW(&version, VER_BUILDNUMBER, VerSetConditionMask(0, VER_BUILDNUMBER, VER_GREATER_EQUAL)) !=
           FALSE;
}

}  // namespace

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
        case WM_DPICHANGED:
            // The dialog manager lays the template out again; the icons are ours to size.
            SetIcons(LOWORD(wParam));
            return FALSE;
    }
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog() {
    CenterWindow();
    SetIcons(CDpi::ForWindow(m_hWnd));

    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    ApplyLanguageText(m_hWnd, IDC_STATIC_INSTALLER, kTextInstaller);
    ApplyLanguageText(m_hWnd, IDC_INSTALL, kTextInstall);
    ApplyLanguageText(m_hWnd, IDC_UNINSTALL, kTextUninstall);
    m_forAllUsers = CExtensionRegistrar::InstallsForAllUsers();
    ShowRegistration();
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
            Install();
            ShowRegistration();
            return TRUE;
        case IDC_UNINSTALL:
            if (code != BN_CLICKED) return FALSE;
            Uninstall();
            ShowRegistration();
            return TRUE;
        case IDC_HIDEMARU:
            if (code != BN_CLICKED) return FALSE;
            ShowEditorPathDialog();
            return TRUE;
    }
    return FALSE;
}

void CMainDlg::Install() {
    if (!m_forAllUsers && CExtensionRegistrar::MachineRegistrationIsThisCopy()) {
        MessageBoxW(m_hWnd, Text(IDS_ALREADY_FOR_ALL).c_str(), L"VexQuilkit", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_forAllUsers) {
        const CExtensionRegistrar::Outcome outcome =
            CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Register);
        // The place changed since the dialog opened: the next Install is the user's.
        if (outcome == CExtensionRegistrar::Outcome::OthersCanChange)
            m_forAllUsers = CExtensionRegistrar::InstallsForAllUsers();
        Report(outcome, L"DllRegisterServer", IDS_INSTALL_FAILED, IDS_INSTALLED_FOR_ALL);
    } else
        Report(CExtensionRegistrar::CallUserExport(RegistrationStep::Register), L"DllInstall", IDS_INSTALL_FAILED,
               IDS_INSTALLED_FOR_YOU);
}

// Removes the current user's registration without elevation, and the one for all users
// when it is this copy's. With neither, the user's is "removed", so that a missing DLL is
// still reported. Another copy's registration for all users is never touched from here:
// only that copy is elevated to remove it.
void CMainDlg::Uninstall() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    if (now.thisUser || !now.allUsers) {
        const CExtensionRegistrar::Outcome outcome = CExtensionRegistrar::CallUserExport(RegistrationStep::Unregister);
        if (outcome != CExtensionRegistrar::Outcome::Succeeded || !now.allUsers) {
            Report(outcome, L"DllInstall", IDS_UNINSTALL_FAILED, IDS_REMOVED_FOR_YOU);
            return;
        }
    }
    if (!CExtensionRegistrar::MachineRegistrationIsThisCopy()) {
        ReportAnotherCopy(now.thisUser);
        return;
    }
    Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Unregister), L"DllUnregisterServer",
           IDS_UNINSTALL_FAILED, now.thisUser ? IDS_REMOVED_FOR_BOTH : IDS_REMOVED_FOR_ALL);
}

// Which copy is registered for all users, and how to remove it.
void CMainDlg::ReportAnotherCopy(bool uninstalledForThisUser) {
    std::wstring text = uninstalledForThisUser ? Text(IDS_REMOVED_FOR_YOU) + L"\r\n\r\n" : std::wstring();
    text += _Module.Texts().Format(IDS_ANOTHER_COPY, {ParentFolder(CExtensionRegistrar::MachineExtension())});
    MessageBoxW(m_hWnd, text.c_str(), Text(uninstalledForThisUser ? IDS_TITLE_SUCCESS : IDS_TITLE_ERROR).c_str(),
                MB_OK);
}

// The version, where the extension is registered, and what Install does from here; the
// buttons that will ask for administrator rights carry the shield.
void CMainDlg::ShowRegistration() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    std::wstring line = _Module.Texts().Format(StateText(now), {Widen(VEX_VERSION_TEXT)}) + L"\r\n" +
                        Text(m_forAllUsers ? IDS_LINE_INSTALLS_FOR_ALL : IDS_LINE_INSTALLS_FOR_YOU);
    // Install adds the classic menu, which Windows 11 keeps under "Show more options": its
    // first menu lists only commands of a package, which the installer registers.
    if (OnWindows11()) line += L"\r\n" + Text(IDS_LINE_WINDOWS11);
    SetDlgItemTextW(m_hWnd, IDC_REGISTRATION, line.c_str());
    SendMessageW(GetDlgItem(IDC_INSTALL), BCM_SETSHIELD, 0, m_forAllUsers);
    SendMessageW(GetDlgItem(IDC_UNINSTALL), BCM_SETSHIELD, 0,
                 now.allUsers && CExtensionRegistrar::MachineRegistrationIsThisCopy());
}

void CMainDlg::Report(CExtensionRegistrar::Outcome outcome, const wchar_t* exportName, UINT failedText, UINT doneText) {
    if (outcome == CExtensionRegistrar::Outcome::Succeeded)
        MessageBoxW(m_hWnd, Text(doneText).c_str(), Text(IDS_TITLE_SUCCESS).c_str(), MB_OK);
    else
        MessageBoxW(m_hWnd, FailureText(outcome, exportName, failedText).c_str(), Text(IDS_TITLE_ERROR).c_str(), MB_OK);
}

// At the sizes of the monitor the dialog is on; the window shows the new icons before the
// old ones are destroyed.
void CMainDlg::SetIcons(int dpi) {
    UniqueIcon big(CDpi::LoadScaledIcon(_Module.Instance(), IDR_MAINFRAME, SM_CXICON, SM_CYICON, dpi));
    UniqueIcon smallIcon(CDpi::LoadScaledIcon(_Module.Instance(), IDR_MAINFRAME, SM_CXSMICON, SM_CYSMICON, dpi));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(smallIcon);
}
