// The release as a user gets it (scripts/test-package.sh names it in VEX_PACKAGE_*): upgrade over a loaded
// extension, use, uninstall keeping the settings, a newer version kept, a folder outside Program Files refused.
#include <shlobj.h>
#include <wincrypt.h>
#include <wrl/client.h>

#include <algorithm>

#include "ShellTestSupport.h"
#include "VexVersion.h"
#include "resource.h"

using Microsoft::WRL::ComPtr;
using namespace shelltest;

namespace {

const std::string kUninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kUninstallKey = kUninstallRoot + "\\VexQuilkit";
const std::string kClassKey = std::string("Software\\Classes\\CLSID\\") + kFlintPopClsid;

std::string Variable(const char* name) {
    char value[1024] = "";
    EXPECT_NE(0u, GetEnvironmentVariableA(name, value, sizeof(value))) << name << " is not set";
    return value;
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    const std::string folder = driver::Utf8(path ? path : L"");
    CoTaskMemFree(path);
    return folder;
}

DWORD MachineNumber(const std::string& key, const char* value) {
    DWORD number = 0, size = sizeof(number);
    RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number, &size);
    return number;
}

bool SameBytes(const std::string& file, const std::string& other) {
    return driver::ReadFile(file) == driver::ReadFile(other);
}

// Runs a command line (a quoted program and its arguments) to its end.
int RunToEnd(const std::string& commandLine) {
    const size_t end = commandLine.find('"', 1);
    return driver::WaitForExit(
        driver::Start(commandLine.substr(1, end - 1), commandLine.substr(std::min(end + 2, commandLine.size()))),
        120000);
}

std::string VersionString(const std::string& file, const std::string& name) {
    std::string data(GetFileVersionInfoSizeA(file.c_str(), nullptr), '\0');
    void* text = nullptr;
    UINT length = 0;
    if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, DWORD(data.size()), &data[0]) ||
        !VerQueryValueA(data.data(), ("\\StringFileInfo\\040904B0\\" + name).c_str(), &text, &length))
        return "<none>";
    return static_cast<const char*>(text);
}

// What the installer shows in a language: NSIS's own texts (its title and welcome page)
// and ours (the question before a newer version is replaced, the licence page's line).
struct SetupTexts {
    std::string title, welcome, newerInstalled, licenceKept;
};
const SetupTexts kEnglish = {
    std::string("VexQuilkit ") + VEX_VERSION_TEXT + " Setup", "Welcome to VexQuilkit " VEX_VERSION_TEXT " Setup",
    "VexQuilkit 9.9.9 is installed, which is newer", "VexQuilkit is free software under this licence"};
// VexQuilkit 1.1.0 セットアップ / VexQuilkit 1.1.0 セットアップへようこそ /
// より新しい VexQuilkit 9.9.9 がインストールされています /
// VexQuilkit はこのライセンスのもとで使えるフリー ソフトウェアです
const SetupTexts kJapanese = {
    std::string("VexQuilkit ") + VEX_VERSION_TEXT + " \u30bb\u30c3\u30c8\u30a2\u30c3\u30d7",
    "VexQuilkit " VEX_VERSION_TEXT " \u30bb\u30c3\u30c8\u30a2\u30c3\u30d7\u3078\u3088\u3046\u3053\u305d",
    "\u3088\u308a\u65b0\u3057\u3044 VexQuilkit 9.9.9 "
    "\u304c\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u3055\u308c\u3066\u3044\u307e\u3059",
    "VexQuilkit \u306f\u3053\u306e\u30e9\u30a4\u30bb\u30f3\u30b9\u306e\u3082\u3068\u3067\u4f7f\u3048\u308b"
    "\u30d5\u30ea\u30fc \u30bd\u30d5\u30c8\u30a6\u30a7\u30a2\u3067\u3059"};

std::string TextsWithin(HWND window) {
    std::string texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) {
            *reinterpret_cast<std::string*>(lParam) += driver::GetText(child) + "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Polls until the setup window shows `part` somewhere in its pages.
bool Shows(HWND setup, const std::string& part) {
    for (int i = 0; i < 200; ++i, Sleep(100))
        if (TextsWithin(setup).find(part) != std::string::npos) return true;
    return false;
}

std::string ShortcutTarget(const std::string& link, std::string& arguments) {
    ComPtr<IShellLinkW> shortcut;
    ComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = L"", given[MAX_PATH] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shortcut))) &&
        SUCCEEDED(shortcut.As(&file)) && SUCCEEDED(file->Load(driver::Wide(link).c_str(), STGM_READ))) {
        shortcut->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        shortcut->GetArguments(given, MAX_PATH);
    }
    arguments = driver::Utf8(given);
    return driver::Utf8(target);
}

// The process of the first window with that title, which must run `image`.
driver::Process ProcessOfWindow(const char* title, const std::string& image) {
    HWND window = nullptr;
    for (int i = 0; i < 400 && !(window = FindWindowA(nullptr, title)); ++i) Sleep(50);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    char path[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    if (process) QueryFullProcessImageNameA(process, 0, path, &size);
    EXPECT_EQ(0, lstrcmpiA(path, image.c_str())) << path;
    return driver::Process(process, id);
}

class Package : public testing::Test {
protected:
    void Install(const std::string& setup, const std::string& version) {
        EXPECT_EQ(0, RunToEnd("\"" + setup + "\" /S"));
        EXPECT_EQ(version, MachineString(kUninstallKey, "DisplayVersion"));
        int entries = 0;
        HKEY uninstall = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot.c_str(), 0, KEY_READ, &uninstall);
        char name[256];
        for (DWORD i = 0, size = sizeof(name); !RegEnumKeyExA(uninstall, i, name, &size, 0, 0, 0, 0);
             ++i, size = sizeof(name))
            entries += MachineString(kUninstallRoot + "\\" + name, "DisplayName") == "VexQuilkit";
        RegCloseKey(uninstall);
        EXPECT_EQ(1, entries);
    }

    void Uninstall() {
        EXPECT_EQ(0, RunToEnd(MachineString(kUninstallKey, "QuietUninstallString")));
        // The uninstaller goes on in a copy of itself; the uninstall entry goes last.
        for (int i = 0; i < 600 && MachineKeyExists(kUninstallKey); ++i) Sleep(100);
        EXPECT_FALSE(MachineKeyExists(kUninstallKey));
    }

    void ExpectInstalled() {
        for (const char* file : {"VexQuilkit.exe", "flintpop64.dll", "Skyperch.exe"}) {
            EXPECT_EQ(VEX_VERSION_TEXT, VersionString(m_folder + "\\" + file, "ProductVersion")) << file;
            EXPECT_EQ(VEX_COPYRIGHT, VersionString(m_folder + "\\" + file, "LegalCopyright")) << file;
        }
        EXPECT_NE(std::string::npos, driver::ReadFile(m_folder + "\\LICENSE.txt").find(VEX_COPYRIGHT));
        EXPECT_TRUE(driver::FileExists(m_folder + "\\uninstall.exe"));
        EXPECT_EQ(m_folder + "\\flintpop64.dll", MachineString(kClassKey + "\\InprocServer32"));
        const std::pair<const char*, std::string> values[] = {
            {"DisplayName", "VexQuilkit"},
            {"Publisher", VEX_COMPANY_NAME},
            {"DisplayIcon", m_folder + "\\VexQuilkit.exe"},
            {"InstallLocation", m_folder},
            {"UninstallString", "\"" + m_folder + "\\uninstall.exe\""},
            {"QuietUninstallString", "\"" + m_folder + "\\uninstall.exe\" /S"}};
        for (const auto& value : values) EXPECT_EQ(value.second, MachineString(kUninstallKey, value.first));
        for (const char* flag : {"NoModify", "NoRepair"}) EXPECT_EQ(1u, MachineNumber(kUninstallKey, flag)) << flag;
        const size_t programKb = driver::ReadFile(m_folder + "\\VexQuilkit.exe").size() / 1024;
        EXPECT_GT(MachineNumber(kUninstallKey, "EstimatedSize"), programKb);
        for (const char* program : {"VexQuilkit", "Skyperch"}) {
            std::string arguments = "<none>";
            EXPECT_EQ(m_folder + "\\" + program + ".exe",
                      ShortcutTarget(m_shortcuts + "\\" + program + ".lnk", arguments));
            EXPECT_EQ("", arguments) << program;
        }
    }

    // The hash item of the extension, loaded as Explorer loads it, on one file.
    void HashThroughTheExtension() {
        driver::TempFolder folder;
        driver::WriteFile(folder / "abc.txt", "abc");
        const ComPtr<IContextMenu> menu =
            ContextMenu(nullptr, ShellSelection(driver::Wide(folder.Path()), {L"abc.txt"}).Get());
        ASSERT_NE(nullptr, menu.Get());
        ASSERT_EQ(S_OK, InvokeItem(menu.Get(), 2));

        driver::Process app = ProcessOfWindow(driver::CaptionOf(IDD_HASHDLG).c_str(), m_folder + "\\VexQuilkit.exe");
        HWND options = driver::WaitForWindow(app, driver::CaptionOf(IDD_HASHDLG));
        driver::SetCheck(options, IDC_MD5, true);
        driver::Click(options, IDOK);
        HWND log = driver::WaitForWindow(app, "Log");
        const std::string text = driver::WaitForLogText(log, "All Success!");
        EXPECT_NE(std::string::npos, text.find("900150983CD24FB0D6963F7D28E17F72")) << text;
        driver::Close(log);
        EXPECT_EQ(0, driver::WaitForExit(app));
    }

    void ExpectAsksBeforeReplacingANewerOne(const SetupTexts& texts);

    const std::string m_folder = KnownFolder(FOLDERID_ProgramFiles) + "\\VexQuilkit";
    const std::string m_shortcuts = KnownFolder(FOLDERID_CommonPrograms);
};

const std::string kActiveSetupKey = "Software\\Microsoft\\Active Setup\\Installed Components\\VexTools.VexQuilkit";

// The certificate's serial number as certutil takes it: hexadecimal, most significant first.
std::string SerialNumber(const std::string& certificateFile) {
    const std::string der = driver::ReadFile(certificateFile);
    PCCERT_CONTEXT certificate =
        CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), DWORD(der.size()));
    if (!certificate) return "<no certificate in " + certificateFile + ">";
    std::string hex;
    const CRYPT_INTEGER_BLOB& serial = certificate->pCertInfo->SerialNumber;
    for (DWORD i = serial.cbData; i-- > 0;) {
        char digits[3];
        wsprintfA(digits, "%02X", serial.pbData[i]);
        hex += digits;
    }
    CertFreeCertificateContext(certificate);
    return hex;
}

std::vector<std::string> ToolCommands(const std::string& log) {
    std::vector<std::string> commands;
    for (const Record& record : Records(log)) commands.push_back(record.commandLine);
    return commands;
}

}  // namespace

// Windows 11: the menu's certificate trusted and its package registered (this account, Active Setup for the
// others) through recorded stand-ins for certutil and PowerShell, dropped again on reinstall and uninstall.
TEST_F(Package, OnWindows11TheMenuPackageIsTrustedRegisteredAndRemovedAndOnWindows10Not) {
    driver::TempFolder records;
    const std::string system = KnownFolder(FOLDERID_System), log = records / "records.txt";
    const std::string usualBuild = MachineString(kCurrentVersionKey, "CurrentBuild");
    const std::string certutil = system + "\\certutil.exe",
                      powershell = system + "\\WindowsPowerShell\\v1.0\\powershell.exe";
    SHCreateDirectoryExA(nullptr, (system + "\\WindowsPowerShell\\v1.0").c_str(), nullptr);
    Copy(RecorderExe(), certutil);
    Copy(RecorderExe(), powershell);
    RecordTo(log);
    SetWindowsBuild("22000");

    const std::string setup = Variable("VEX_PACKAGE_SETUP");
    ASSERT_NO_FATAL_FAILURE(Install(setup, VEX_VERSION_TEXT));
    const std::string serial = SerialNumber(m_folder + "\\VexQuilkit.cer");
    EXPECT_EQ(driver::ReadFile(Variable("VEX_PACKAGE_CERTIFICATE")), driver::ReadFile(m_folder + "\\VexQuilkit.cer"));
    EXPECT_EQ(driver::ReadFile(Variable("VEX_PACKAGE_MSIX")), driver::ReadFile(m_folder + "\\VexQuilkit.msix"));
    const std::string addStore = "\"" + certutil + "\" -f -addstore TrustedPeople \"" + m_folder + "\\VexQuilkit.cer\"";
    const std::string dropStore = "\"" + certutil + "\" -delstore TrustedPeople " + serial;
    const std::string shell = "\"" + powershell + "\" -NoProfile -NonInteractive -ExecutionPolicy Bypass -Command ";
    const std::string add =
        shell + "\"Add-AppxPackage -Path '" + m_folder + "\\VexQuilkit.msix' -ExternalLocation '" + m_folder + "'\"";
    EXPECT_EQ((std::vector<std::string>{addStore, add}), ToolCommands(log));
    EXPECT_EQ(add, MachineString(kActiveSetupKey, "StubPath"));
    std::string activeSetupVersion = VEX_VERSION_TEXT;  // Active Setup's form: 1,1,0
    std::replace(activeSetupVersion.begin(), activeSetupVersion.end(), '.', ',');
    EXPECT_EQ(activeSetupVersion, MachineString(kActiveSetupKey, "Version"));
    EXPECT_EQ(activeSetupVersion, UserString(kActiveSetupKey, "Version"));  // this account has it already

    // Again over itself: the certificate it had goes before its own goes in.
    ASSERT_NO_FATAL_FAILURE(Install(setup, VEX_VERSION_TEXT));
    EXPECT_EQ((std::vector<std::string>{addStore, add, dropStore, addStore, add}), ToolCommands(log));

    Uninstall();
    const std::string remove =
        shell + "\"Get-AppxPackage -AllUsers -Name VexTools.VexQuilkit | Remove-AppxPackage -AllUsers\"";
    EXPECT_EQ((std::vector<std::string>{addStore, add, dropStore, addStore, add, remove, dropStore}),
              ToolCommands(log));
    EXPECT_FALSE(MachineKeyExists(kActiveSetupKey));
    EXPECT_FALSE(driver::FileExists(m_folder + "\\VexQuilkit.msix"));
    EXPECT_FALSE(driver::FileExists(m_folder + "\\VexQuilkit.cer"));

    SetWindowsBuild("19045");
    ASSERT_NO_FATAL_FAILURE(Install(setup, VEX_VERSION_TEXT));
    EXPECT_FALSE(driver::FileExists(m_folder + "\\VexQuilkit.msix"));
    EXPECT_FALSE(MachineKeyExists(kActiveSetupKey));
    Uninstall();
    EXPECT_EQ(7u, ToolCommands(log).size()) << "Windows 10 ran a tool of Windows 11's menu";

    SetWindowsBuild(usualBuild);
    RecordTo("");
    DeleteFileA(certutil.c_str());
    DeleteFileA(powershell.c_str());
}

TEST_F(Package, InstallsOverAnOlderVersionRunsAndUninstallsLeavingTheSettings) {
    CoInitialize(nullptr);
    const std::string extension = m_folder + "\\flintpop64.dll";
    ASSERT_NO_FATAL_FAILURE(Install(Variable("VEX_PACKAGE_OLD_SETUP"), Variable("VEX_PACKAGE_OLD_VERSION")));
    const std::string oldExtension = Variable("VEX_PACKAGE_OLD_EXTENSION");
    ASSERT_TRUE(SameBytes(oldExtension, extension));

    // Explorer holds the old extension: the new one takes its place at the next restart.
    HMODULE held = LoadLibraryA(extension.c_str());
    ASSERT_NE(nullptr, held);
    ASSERT_NO_FATAL_FAILURE(Install(Variable("VEX_PACKAGE_SETUP"), VEX_VERSION_TEXT));
    FreeLibrary(held);
    EXPECT_TRUE(SameBytes(oldExtension, extension)) << "replaced while held";
    EXPECT_EQ(0, RunToEnd("\"" + KnownFolder(FOLDERID_System) + "\\wineboot.exe\" --restart"));
    EXPECT_TRUE(SameBytes(Variable("VEX_PACKAGE_EXTENSION"), extension)) << "not replaced at the restart";
    EXPECT_FALSE(driver::FileExists(extension + ".new"));

    ExpectInstalled();
    ASSERT_NO_FATAL_FAILURE(HashThroughTheExtension());

    StoreEditorPath("C:\\Editors\\Hidemaru.exe");
    // A registration of this user's, made from the installed folder, names a DLL that goes:
    // the uninstall takes it along.
    const std::string userServer = kClassKey + "\\InprocServer32";
    HMODULE registering = LoadLibraryA(extension.c_str());
    const auto dllInstall = reinterpret_cast<HRESULT(WINAPI*)(BOOL, PCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(registering, "DllInstall")));
    ASSERT_NE(nullptr, dllInstall);
    EXPECT_EQ(S_OK, dllInstall(TRUE, L"user"));
    FreeLibrary(registering);
    EXPECT_EQ(extension, UserString(userServer));
    Uninstall();
    EXPECT_EQ("<missing>", UserString(userServer));
    EXPECT_EQ("<missing>", UserString("Software\\Classes\\*\\shellex\\ContextMenuHandlers\\FlintPop"));
    EXPECT_FALSE(MachineKeyExists(kClassKey));
    EXPECT_FALSE(MachineKeyExists("Software\\Classes\\*\\shellex\\ContextMenuHandlers\\FlintPop"));
    for (const char* shortcut : {"VexQuilkit.lnk", "Skyperch.lnk"})
        EXPECT_FALSE(driver::FileExists(m_shortcuts + "\\" + shortcut)) << shortcut;
    EXPECT_EQ(std::string("C:\\Editors\\Hidemaru.exe") + '\0', StoredValue());
    // This process still holds the extension, as Explorer would: it and its folder go at
    // the restart.
    EXPECT_FALSE(driver::FileExists(m_folder + "\\VexQuilkit.exe"));
    EXPECT_TRUE(driver::FileExists(extension));
    CoUninitialize();
    EXPECT_EQ(0, RunToEnd("\"" + KnownFolder(FOLDERID_System) + "\\wineboot.exe\" --restart"));
    EXPECT_FALSE(driver::FileExists(m_folder));
}

// Over a newer version it asks (No the default; silently it keeps the newer one, exit 1638); Yes goes on.
void Package::ExpectAsksBeforeReplacingANewerOne(const SetupTexts& texts) {
    const std::string newer = Variable("VEX_PACKAGE_NEWER_SETUP"), setup = Variable("VEX_PACKAGE_SETUP");
    ASSERT_NO_FATAL_FAILURE(Install(newer, "9.9.9"));
    EXPECT_EQ(1638, RunToEnd("\"" + setup + "\" /S"));
    EXPECT_EQ("9.9.9", MachineString(kUninstallKey, "DisplayVersion"));

    for (const int answer : {IDNO, IDYES}) {
        driver::Process app = driver::Start(setup, "");
        HWND box = driver::WaitForMessageBox(app);
        ASSERT_NE(nullptr, box);
        const std::string text = driver::GetItemText(box, 0xFFFF);
        EXPECT_NE(std::string::npos, text.find(texts.newerInstalled)) << text;
        // Yes and No, No the default button (Enter answers it).
        EXPECT_EQ(BS_PUSHBUTTON, GetWindowLongW(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK);
        EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        if (answer == IDNO) {
            EXPECT_EQ(1638, driver::WaitForExit(app));
            continue;
        }
        HWND wizard = driver::WaitForWindow(app, texts.title);
        EXPECT_TRUE(Shows(wizard, texts.welcome));
        driver::Click(wizard, IDOK);  // Next
        EXPECT_TRUE(Shows(wizard, "Permission is hereby granted, free of charge"));
        EXPECT_NE(std::string::npos, TextsWithin(wizard).find(VEX_COPYRIGHT));
        EXPECT_NE(std::string::npos, TextsWithin(wizard).find(texts.licenceKept));
        driver::Click(wizard, IDCANCEL);
        HWND quit = driver::WaitForMessageBox(app);
        ASSERT_NE(nullptr, quit);
        PostMessageW(quit, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        driver::WaitForExit(app);
    }
    EXPECT_EQ("9.9.9", MachineString(kUninstallKey, "DisplayVersion"));

    ASSERT_NO_FATAL_FAILURE(Install(newer, "9.9.9"));
    Uninstall();
}

TEST_F(Package, AsksBeforeAnOlderVersionReplacesANewerOne) { ExpectAsksBeforeReplacingANewerOne(kEnglish); }

// Run with LC_ALL=ja_JP.UTF-8: NSIS's pages and ours in Japanese, and the same
// installation, silently as well.
TEST_F(Package, JapaneseTextsAndTheSameInstallation) {
    CoInitialize(nullptr);  // the shortcuts are read through COM
    ASSERT_NO_FATAL_FAILURE(Install(Variable("VEX_PACKAGE_SETUP"), VEX_VERSION_TEXT));
    ExpectInstalled();
    Uninstall();
    CoUninitialize();
    ExpectAsksBeforeReplacingANewerOne(kJapanese);
}

// The installer registers for every user: a folder outside Program Files is refused before anything is copied.
TEST_F(Package, RefusesAFolderOutsideProgramFiles) {
    const std::string setup = Variable("VEX_PACKAGE_SETUP"), programFiles = KnownFolder(FOLDERID_ProgramFiles);
    for (const std::string& folder : {std::string("C:\\Tools\\VexQuilkit"), m_folder + "\\..\\..\\Tools", programFiles,
                                      programFiles + "x\\VexQuilkit"}) {
        // /D= takes the rest of the line, blanks and all, and no quotes.
        EXPECT_EQ(267, RunToEnd("\"" + setup + "\" /S /D=" + folder)) << folder;
        EXPECT_FALSE(MachineKeyExists(kUninstallKey)) << folder;
        EXPECT_FALSE(driver::FileExists("C:\\Tools")) << folder;
        EXPECT_FALSE(driver::FileExists(programFiles + "x")) << folder;
    }
}

// The folder page takes no folder outside Program Files either: it says why and stays.
TEST_F(Package, TheFolderPageRefusesAFolderOutsideProgramFiles) {
    driver::Process app = driver::Start(Variable("VEX_PACKAGE_SETUP"), "");
    HWND wizard = driver::WaitForWindow(app, std::string("VexQuilkit ") + VEX_VERSION_TEXT + " Setup");
    driver::Click(wizard, IDOK);  // Next: the licence
    ASSERT_TRUE(Shows(wizard, "Permission is hereby granted, free of charge"));
    driver::Click(wizard, IDOK);  // Next: the folder
    ASSERT_TRUE(Shows(wizard, m_folder));
    // The folder's edit box, on the page's own dialog inside the wizard.
    HWND edit = FindWindowExA(FindWindowExA(wizard, nullptr, "#32770", nullptr), nullptr, "Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    SetWindowTextA(edit, "C:\\Tools\\VexQuilkit");
    driver::Click(wizard, IDOK);  // Next
    HWND box = driver::WaitForMessageBox(app);
    ASSERT_NE(nullptr, box);
    const std::string text = driver::GetItemText(box, 0xFFFF);
    EXPECT_NE(std::string::npos, text.find("so it goes into a folder that only administrators can change")) << text;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(Shows(wizard, "C:\\Tools\\VexQuilkit"));  // still the folder page
    driver::Click(wizard, IDCANCEL);
    HWND quit = driver::WaitForMessageBox(app);
    ASSERT_NE(nullptr, quit);
    PostMessageW(quit, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    driver::WaitForExit(app);
    EXPECT_FALSE(driver::FileExists("C:\\Tools"));
    EXPECT_FALSE(MachineKeyExists(kUninstallKey));
}
