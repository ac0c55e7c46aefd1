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

// The registration line's and the outcomes' texts.
using LineText = CMainDlg::LineText;
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
// 登録は全ユーザーに追加します (管理者として)。
const LineText kInstallsForAllUsers = {
    L"Install adds the menu for all users, as administrator.",
    "\x93\x6F\x98\x5E\x82\xCD\x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x92\xC7\x89\xC1\x82\xB5\x82\xDC"
    "\x82\xB7 (\x8A\xC7\x97\x9D\x8E\xD2\x82\xC6\x82\xB5\x82\xC4)\x81\x42"};
// 登録はこのユーザーだけに追加します: 他のユーザーもこのフォルダーのファイルを変更できるためです。
const LineText kInstallsForThisUser = {
    L"Install adds the menu for you only: other users can change files in this folder.",
    "\x93\x6F\x98\x5E\x82\xCD\x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xBE\x82\xAF\x82\xC9\x92"
    "\xC7\x89\xC1\x82\xB5\x82\xDC\x82\xB7: \x91\xBC\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xE0\x82\xB1"
    "\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x95"
    "\xCF\x8D\x58\x82\xC5\x82\xAB\x82\xE9\x82\xBD\x82\xDF\x82\xC5\x82\xB7\x81\x42"};

// What a successful Install or Uninstall did, and for whom.
// 右クリックメニューをこのユーザーに登録しました。
const LineText kInstalledForYou = {
    L"The context menu is installed for you.",
    "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B\x82\xF0\x82\xB1\x82\xCC\x83"
    "\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42"};
// 右クリックメニューはこのフォルダーから全ユーザーに登録済みです。
const LineText kAlreadyForAll = {
    L"The context menu is already installed for all users from this folder.",
    "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B\x82\xCD\x82\xB1\x82"
    "\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xA9\x82\xE7\x91\x53\x83\x86\x81\x5B\x83\x55"
    "\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x8D\xCF\x82\xDD\x82\xC5\x82\xB7\x81\x42"};
// 右クリックメニューを全ユーザーに登録しました。
const LineText kInstalledForAll = {
    L"The context menu is installed for all users.",
    "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B\x82\xF0\x91\x53\x83\x86\x81"
    "\x5B\x83\x55\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42"};
// このユーザーの右クリックメニューの登録を解除しました。
const LineText kRemovedForYou = {
    L"The context menu is removed for you.",
    "\x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xCC\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83"
    "\x81\x83\x6A\x83\x85\x81\x5B\x82\xCC\x93\x6F\x98\x5E\x82\xF0\x89\xF0\x8F\x9C\x82\xB5\x82\xDC\x82\xB5"
    "\x82\xBD\x81\x42"};
// 全ユーザーの右クリックメニューの登録を解除しました。
const LineText kRemovedForAll = {
    L"The context menu is removed for all users.",
    "\x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xCC\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83"
    "\x6A\x83\x85\x81\x5B\x82\xCC\x93\x6F\x98\x5E\x82\xF0\x89\xF0\x8F\x9C\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
    "\x81\x42"};
// このユーザーと全ユーザーの右クリックメニューの登録を解除しました。
const LineText kRemovedForBoth = {
    L"The context menu is removed for you and for all users.",
    "\x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC6\x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82"
    "\xCC\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B\x82\xCC\x93\x6F\x98\x5E"
    "\x82\xF0\x89\xF0\x8F\x9C\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42"};

std::wstring TextOf(const LineText& text) {
    return LanguageTexts() ? FromCodePage(932, text.japanese) : std::wstring(text.english);
}

const LineText& StateText(const CExtensionRegistrar::Registrations& now) {
    if (now.allUsers && now.thisUser) return kInstalledForBoth;
    if (now.allUsers) return kInstalledForAllUsers;
    return now.thisUser ? kInstalledForThisUser : kNotInstalled;
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
    if (!m_forAllUsers && CExtensionRegistrar::AllUsersLoadFromHere()) {
        MessageBoxW(m_hWnd, TextOf(kAlreadyForAll).c_str(), L"VexQuilkit", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_forAllUsers)
        Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Register), L"DllRegisterServer not found...",
               L"Install failed...", kInstalledForAll);
    else
        Report(CExtensionRegistrar::CallUserExport(RegistrationStep::Register), L"DllInstall not found...",
               L"Install failed...", kInstalledForYou);
}

// Removes whichever registration there is, the current user's without elevation. With
// neither, the user's is "removed", so that a missing DLL is still reported.
void CMainDlg::Uninstall() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    if (now.thisUser || !now.allUsers) {
        const CExtensionRegistrar::Outcome outcome = CExtensionRegistrar::CallUserExport(RegistrationStep::Unregister);
        if (outcome != CExtensionRegistrar::Outcome::Succeeded || !now.allUsers) {
            Report(outcome, L"DllInstall not found...", L"Uninstall failed...", kRemovedForYou);
            return;
        }
    }
    Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Unregister), L"DllUnregisterServer not found...",
           L"Uninstall failed...", now.thisUser ? kRemovedForBoth : kRemovedForAll);
}

// The version, where the extension is registered, and what Install does from here; the
// buttons that will ask for administrator rights carry the shield.
void CMainDlg::ShowRegistration() {
    const CExtensionRegistrar::Registrations now = CExtensionRegistrar::Current();
    const std::wstring line = TextOf(kVersion) + Widen(VEX_VERSION_TEXT) + TextOf(StateText(now)) + L"\r\n" +
                              TextOf(m_forAllUsers ? kInstallsForAllUsers : kInstallsForThisUser);
    SetDlgItemTextW(m_hWnd, IDC_REGISTRATION, line.c_str());
    SendMessageW(GetDlgItem(IDC_INSTALL), BCM_SETSHIELD, 0, m_forAllUsers);
    SendMessageW(GetDlgItem(IDC_UNINSTALL), BCM_SETSHIELD, 0, now.allUsers);
}

void CMainDlg::Report(CExtensionRegistrar::Outcome outcome, const wchar_t* missingText, const wchar_t* failedText,
                      const LineText& done) {
    switch (outcome) {
        case CExtensionRegistrar::Outcome::Succeeded:
            MessageBoxW(m_hWnd, TextOf(done).c_str(), L"Success", MB_OK);
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
