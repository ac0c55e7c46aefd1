#include "MainDlg.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/LanguageTable.h"
#include "text/WideText.h"
#include "ExtensionRegistrar.h"
#include "HidepathDlg.h"
#include "VexVersion.h"

namespace {

// The registration line's texts: English, and code page 932 bytes for Japanese.
struct LineText {
    const wchar_t* english;
    const char* japanese;
};
const LineText kInstalledForAllUsers = {
    L", installed for all users",
    " \x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x8D\xCF\x82\xDD"};  // 全ユーザーに登録済み
const LineText kInstalledForThisUser = {L", installed for this user",
                                        " \x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x8D"
                                        "\xCF\x82\xDD"};  // このユーザーに登録済み
const LineText kInstalledForBoth = {
    L", installed for all users and this user",
    " \x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC6\x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9"
    "\x93\x6F\x98\x5E\x8D\xCF\x82\xDD"};  // 全ユーザーとこのユーザーに登録済み
const LineText kNotInstalled = {L", not installed", " \x96\xA2\x93\x6F\x98\x5E"};      // 未登録
const LineText kVersion = {L"Version ", "\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93 "};  // バージョン
const LineText kInstallsForAllUsers = {
    L"Install here: for all users (as administrator)",
    "\x82\xB1\x82\xB1\x82\xA9\x82\xE7\x93\x6F\x98\x5E: \x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B "
    "(\x8A\xC7\x97\x9D\x8E\xD2)"};  // ここから登録: 全ユーザー (管理者)
const LineText kInstallsForThisUser = {
    L"Install here: for this user only",
    "\x82\xB1\x82\xB1\x82\xA9\x82\xE7\x93\x6F\x98\x5E: \x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B"
    "\x82\xCC\x82\xDD"};  // ここから登録: このユーザーのみ

std::wstring TextOf(const LineText& text) {
    return LanguageTexts() ? FromCodePage(932, text.japanese) : std::wstring(text.english);
}

const LineText& StateText(const CExtensionRegistrar::Registrations& now) {
    if (now.allUsers && now.thisUser) return kInstalledForBoth;
    if (now.allUsers) return kInstalledForAllUsers;
    return now.thisUser ? kInstalledForThisUser : kNotInstalled;
}

// Windows 11's first context menu lists only commands of a package, which the installer registers.
const LineText kWindows11NeedsInstaller = {
    L"Windows 11's first menu needs the installer",
    "Windows 11 "
    "\x82\xCC\x8D\xC5\x8F\x89\x82\xCC\x83\x81\x83\x6A\x83\x85\x81\x5B\x82\xC9\x82\xCD\x83\x43\x83\x93\x83\x58\x83\x67"
    "\x81\x5B\x83\x89\x81\x5B\x82\xAA\x95\x4B\x97\x76"};  // Windows 11 の最初のメニューにはインストーラーが必要

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
    if (m_forAllUsers)
        Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Register), L"DllRegisterServer not found...",
               L"Install failed...");
    else
        Report(CExtensionRegistrar::CallUserExport(RegistrationStep::Register), L"DllInstall not found...",
               L"Install failed...");
}

// Removes whichever registration there is, the current user's without elevation. With
// neither, the user's is "removed", so that a missing DLL is still reported.
void CMainDlg::Uninstall() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    if (now.thisUser || !now.allUsers) {
        const CExtensionRegistrar::Outcome outcome = CExtensionRegistrar::CallUserExport(RegistrationStep::Unregister);
        if (outcome != CExtensionRegistrar::Outcome::Succeeded || !now.allUsers) {
            Report(outcome, L"DllInstall not found...", L"Uninstall failed...");
            return;
        }
    }
    Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Unregister), L"DllUnregisterServer not found...",
           L"Uninstall failed...");
}

// The version, where the extension is registered, and what Install does from here; the
// buttons that will ask for administrator rights carry the shield.
void CMainDlg::ShowRegistration() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    std::wstring line = TextOf(kVersion) + Widen(VEX_VERSION_TEXT) + TextOf(StateText(now)) + L"\r\n" +
                        TextOf(m_forAllUsers ? kInstallsForAllUsers : kInstallsForThisUser);
    // Install adds the classic menu, which Windows 11 keeps under "Show more options".
    if (OnWindows11()) line += L"\r\n" + TextOf(kWindows11NeedsInstaller);
    SetDlgItemTextW(m_hWnd, IDC_REGISTRATION, line.c_str());
    SendMessageW(GetDlgItem(IDC_INSTALL), BCM_SETSHIELD, 0, m_forAllUsers);
    SendMessageW(GetDlgItem(IDC_UNINSTALL), BCM_SETSHIELD, 0, now.allUsers);
}

void CMainDlg::Report(CExtensionRegistrar::Outcome outcome, const wchar_t* missingText, const wchar_t* failedText) {
    switch (outcome) {
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
