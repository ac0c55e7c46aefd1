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

// The message boxes' texts where this copy does not, or may not, register for all users.
// 全ユーザーには登録しませんでした: 管理者以外のユーザーがこのフォルダーまたは上位のフォルダーを変更できます。
const LineText kNotForAllUsers = {
    L"Not installed for all users: users other than administrators can change this folder or a folder above it.",
    "\x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x82\xCD\x93\x6F\x98\x5E\x82\xB5\x82\xDC\x82\xB9\x82\xF1\x82\xC5"
    "\x82\xB5\x82\xBD: \x8A\xC7\x97\x9D\x8E\xD2\x88\xC8\x8A\x4F\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xAA\x82\xB1"
    "\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xDC\x82\xBD\x82\xCD\x8F\xE3\x88\xCA\x82\xCC\x83\x74\x83\x48"
    "\x83\x8B\x83\x5F\x81\x5B\x82\xF0\x95\xCF\x8D\x58\x82\xC5\x82\xAB\x82\xDC\x82\xB7\x81\x42"};
// このユーザーの登録を解除しました。
// 全ユーザーには別のフォルダーから登録されています:
const LineText kInstalledFromAnotherFolder = {
    L"The context menu is installed for all users from another folder:",
    "\x91\x53\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xC9\x82\xCD\x95\xCA\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B"
    "\x82\xA9\x82\xE7\x93\x6F\x98\x5E\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7:"};
// 解除するには、そのフォルダーの VexQuilkit.exe で [解除] をクリックするか、
// [設定] > [アプリ] で VexQuilkit をアンインストールしてください。
const LineText kUninstallThere = {
    L"To uninstall it, click Uninstall in VexQuilkit.exe in that folder, or uninstall VexQuilkit in Settings > Apps.",
    "\x89\xF0\x8F\x9C\x82\xB7\x82\xE9\x82\xC9\x82\xCD\x81\x41\x82\xBB\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B"
    "\x82\xCC VexQuilkit.exe \x82\xC5 [\x89\xF0\x8F\x9C] "
    "\x82\xF0\x83\x4E\x83\x8A\x83\x62\x83\x4E\x82\xB7\x82\xE9\x82\xA9"
    "\x81\x41[\x90\xDD\x92\xE8] > [\x83\x41\x83\x76\x83\x8A] \x82\xC5 VexQuilkit "
    "\x82\xF0\x83\x41\x83\x93\x83\x43\x83\x93"
    "\x83\x58\x83\x67\x81\x5B\x83\x8B\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42"};

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
    if (!m_forAllUsers && CExtensionRegistrar::MachineRegistrationIsThisCopy()) {
        MessageBoxW(m_hWnd, TextOf(kAlreadyForAll).c_str(), L"VexQuilkit", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_forAllUsers) {
        const CExtensionRegistrar::Outcome outcome =
            CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Register);
        // The place changed since the dialog opened: the next Install is the user's.
        if (outcome == CExtensionRegistrar::Outcome::OthersCanChange)
            m_forAllUsers = CExtensionRegistrar::InstallsForAllUsers();
        Report(outcome, L"DllRegisterServer not found...", L"Install failed...", kInstalledForAll);
    } else
        Report(CExtensionRegistrar::CallUserExport(RegistrationStep::Register), L"DllInstall not found...",
               L"Install failed...", kInstalledForYou);
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
            Report(outcome, L"DllInstall not found...", L"Uninstall failed...", kRemovedForYou);
            return;
        }
    }
    if (!CExtensionRegistrar::MachineRegistrationIsThisCopy()) {
        ReportAnotherCopy(now.thisUser);
        return;
    }
    Report(CExtensionRegistrar::RunElevated(m_hWnd, RegistrationStep::Unregister), L"DllUnregisterServer not found...",
           L"Uninstall failed...", now.thisUser ? kRemovedForBoth : kRemovedForAll);
}

// Which copy is registered for all users, and how to remove it.
void CMainDlg::ReportAnotherCopy(bool uninstalledForThisUser) {
    std::wstring text = uninstalledForThisUser ? TextOf(kRemovedForYou) + L"\r\n\r\n" : std::wstring();
    text += TextOf(kInstalledFromAnotherFolder) + L"\r\n" + ParentFolder(CExtensionRegistrar::MachineExtension()) +
            L"\r\n\r\n" + TextOf(kUninstallThere);
    MessageBoxW(m_hWnd, text.c_str(), uninstalledForThisUser ? L"Success" : L"Error", MB_OK);
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
    SendMessageW(GetDlgItem(IDC_UNINSTALL), BCM_SETSHIELD, 0,
                 now.allUsers && CExtensionRegistrar::MachineRegistrationIsThisCopy());
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
        case CExtensionRegistrar::Outcome::OthersCanChange:
            MessageBoxW(m_hWnd, TextOf(kNotForAllUsers).c_str(), L"Error", MB_OK);
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
