// The main dialog's Install and Uninstall (stand-in and real extension, this user or all) and its line.
#include <windows.h>
#include <sddl.h>

#include "framework/LanguageTable.h"
#include "text/UiTexts.h"
#include "DisplayScale.h"
#include "ShellTestSupport.h"
#include "VexVersion.h"
#include "resource.h"

using namespace shelltest;

// Under Wine the prefix's folders are administrators' alone (as Program Files), /tmp everyone's.
static const std::string kFolderOthersCanChange = "Z:\\tmp";

// VexQuilkit.exe and the real flintpop64.dll in `folder`; the DLL's path.
static std::string CopyProgram(const std::string& folder) {
    const std::string built = driver::QuilkitExe();
    Copy(built, folder + "\\VexQuilkit.exe");
    Copy(built.substr(0, built.rfind('\\')) + "\\flintpop64.dll", folder + "\\flintpop64.dll");
    return folder + "\\flintpop64.dll";
}

// The file the planted stub library makes when it is loaded; none yet.
static std::string PlantedMarker() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    DeleteFileA((temp + std::string("vex-planted-riched20")).c_str());
    return temp + std::string("vex-planted-riched20");
}

// Clicks the button and answers the message box it brings up; returns once the box has gone.
static std::string ClickAndRead(const driver::Process& app, HWND dialog, int button) {
    driver::Click(dialog, button);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    for (int i = 0; i < 400 && driver::FindWindowOf(app, box.caption, 0); ++i) continue;
    return box.caption + ": " + box.text;
}

// From a folder others can change Install registers for this user alone, in-process,
// through the extension's DllInstall.
TEST(MainDlg, InstallAndUninstallReportWhatTheLibraryBesideTheProgramSays) {
    const std::string notFound = "Error: FlintPop64.dll not found...",
                      installed = "Success: The context menu is installed for you.",
                      removed = "Success: The context menu is removed for you.";
    const struct {
        const char* stub;
        bool onlyInCurrentFolder;
        std::string install, uninstall;
    } rows[] = {
        {nullptr, false, notFound, notFound},
        {"stub_no_exports", false, "Error: DllInstall not found...", "Error: DllInstall not found..."},
        {"stub_register_ok", false, installed, "Error: Uninstall failed..."},  // S_OK, E_FAIL
        {"stub_register_fails", false, "Error: Install failed...", removed},   // E_FAIL, S_OK
        {"stub_s_false", false, installed, removed},
        {"stub_register_ok", true, notFound, notFound},  // the current folder is not searched
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.stub ? row.stub : "none") +
                     (row.onlyInCurrentFolder ? " in the current folder" : ""));
        driver::TempFolder program(kFolderOthersCanChange), current;
        Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
        if (row.stub) Copy(StubDll(row.stub), (row.onlyInCurrentFolder ? current : program) / "flintpop64.dll");
        driver::Process app = driver::Start(program / "VexQuilkit.exe", "", current.Path());
        HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
        EXPECT_EQ(row.install, ClickAndRead(app, dialog, IDC_INSTALL));
        EXPECT_EQ(row.uninstall, ClickAndRead(app, dialog, IDC_UNINSTALL));
        // Esc and the close box both end the program with code 2.
        (&row - rows) % 2 ? driver::PressEscape(dialog) : driver::Close(dialog);
        EXPECT_EQ(2, driver::WaitForExit(app));
    }
}

// VexQuilkit runs as the user who starts it; the registration runs in an instance of its
// own started with "runas", which reports through its exit code and shows nothing.
TEST(MainDlg, OnlyTheRegistrationStepRunsElevatedInAnInstanceOfItsOwn) {
    HMODULE image = LoadLibraryExA(driver::QuilkitExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;

    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    Copy(StubDll("stub_register_ok"), program / "flintpop64.dll");  // S_OK, E_FAIL
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Register")));
    EXPECT_EQ(103, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Unregister")));

    // The elevated step judges its place itself: from a folder others can change, where
    // any user could have put the DLL, it loads nothing (this one marks its load).
    driver::TempFolder open(kFolderOthersCanChange);
    Copy(driver::QuilkitExe(), open / "VexQuilkit.exe");
    Copy(StubDll("riched20"), open / "flintpop64.dll");
    const std::string marker = PlantedMarker();
    EXPECT_EQ(104, driver::WaitForExit(driver::Start(open / "VexQuilkit.exe", "/Register")));
    EXPECT_EQ(104, driver::WaitForExit(driver::Start(open / "VexQuilkit.exe", "/Unregister")));
    EXPECT_FALSE(driver::FileExists(marker)) << "the elevated step loaded a DLL others could have put there";
    DeleteFileA(marker.c_str());
}

// A RICHED20.DLL planted beside the program (a Downloads folder) is not the one it loads.
TEST(MainDlg, APlantedRichEditBesideTheProgramIsNotLoaded) {
    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    Copy(StubDll("riched20"), program / "RICHED20.DLL");
    const std::string marker = PlantedMarker();
    // Run with WINEDLLOVERRIDES riched20=n,b: Wine otherwise prefers its own riched20
    // wherever a copy lies, where Windows takes the first copy on the search path.
    driver::Process app =
        driver::Start(program / "VexQuilkit.exe", "/M3 \"" + (program / "VexQuilkit.exe") + "\"", program.Path());
    HWND log = driver::WaitForWindow(app, "Log");
    ASSERT_NE(log, nullptr);
    driver::Close(driver::WaitForWindow(app, driver::CaptionOf(IDD_HASHDLG)));
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(driver::FileExists(marker)) << "the planted library was loaded";
    DeleteFileA(marker.c_str());
}

namespace {

const std::string kServerKey = "Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}\\InprocServer32";

// The registration line, both its lines.
std::string Line(HWND dialog) { return driver::GetItemText(dialog, IDC_REGISTRATION); }

}  // namespace

TEST(MainDlg, InstallFromAFolderOthersCanChangeRegistersForThisUserOnlyAndTheLineSaysWhere) {
    driver::TempFolder program(kFolderOthersCanChange);
    const std::string dll = CopyProgram(program.Path());
    const std::string version = std::string("Version ") + VEX_VERSION_TEXT,
                      here = "\r\nInstall adds the menu for you only: other users can change files in this folder.";
    RegDeleteTreeA(HKEY_CURRENT_USER, kServerKey.substr(0, kServerKey.rfind('\\')).c_str());

    driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", not installed" + here, Line(dialog));
    EXPECT_EQ("Success: The context menu is installed for you.", ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ(dll, UserString(kServerKey));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_EQ(version + ", installed for this user" + here, Line(dialog));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));

    // Registered for all users as well, from another copy (the installer's): Uninstall
    // here removes this user's registration and names that copy, elevating nothing.
    driver::TempFolder installed;
    const std::string installedDll = CopyProgram(installed.Path());
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(installed / "VexQuilkit.exe", "/Register")));
    const std::string anotherCopy = "The context menu is installed for all users from another folder:\r\n" +
                                    installed.Path() +
                                    "\r\n\r\nTo uninstall it, click Uninstall in VexQuilkit.exe in that folder, or "
                                    "uninstall VexQuilkit in Settings > Apps.";
    app = driver::Start(program / "VexQuilkit.exe", "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", installed for all users and this user" + here, Line(dialog));
    EXPECT_EQ("Success: The context menu is removed for you.\r\n\r\n" + anotherCopy,
              ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", UserString(kServerKey));
    EXPECT_EQ(version + ", installed for all users" + here, Line(dialog));
    EXPECT_EQ("Error: " + anotherCopy, ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ(installedDll, MachineString(kServerKey));
    driver::PressEscape(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
    // Nor does this copy's elevated step remove it.
    EXPECT_EQ(104, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Unregister")));
    EXPECT_EQ(installedDll, MachineString(kServerKey));

    // The registered copy says so, and removes it through its elevated instance.
    app = driver::Start(installed / "VexQuilkit.exe", "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", installed for all users\r\nInstall adds the menu for all users, as administrator.",
              Line(dialog));
    EXPECT_EQ("Success: The context menu is removed for all users.", ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// The registration for all users names the folder as the file system resolves it, not
// the link the program was started through; from there it is this copy's to remove.
TEST(MainDlg, TheRegistrationForAllUsersNamesTheFinalPath) {
    driver::TempFolder installed;
    CreateDirectoryA((installed / "real").c_str(), nullptr);
    const std::string dll = CopyProgram(installed / "real");
    driver::UnixLink link(installed / "real", installed / "link");
    const std::string program = installed / "link\\VexQuilkit.exe";
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(program, "/Register")));
    EXPECT_EQ(dll, MachineString(kServerKey));
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(program, "/Unregister")));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
}

// The elevated step judges the place again: a folder opened to everyone after the dialog
// decided is refused, nothing is registered, and Install is from then on this user's.
TEST(MainDlg, TheElevatedStepRefusesAFolderOpenedToOthersMeanwhile) {
    driver::TempFolder installed;
    CopyProgram(installed.Path());
    driver::Process app = driver::Start(installed / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_NE(std::string::npos, Line(dialog).find("\r\nInstall adds the menu for all users, as administrator."));
    // Wine makes Everyone's full control the Unix mode 777.
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everyone,
                                                                     nullptr));
    EXPECT_TRUE(SetFileSecurityA(installed.Path().c_str(), DACL_SECURITY_INFORMATION, everyone));
    LocalFree(everyone);
    EXPECT_EQ(
        "Error: Not installed for all users: users other than administrators can change this folder or a folder "
        "above it.",
        ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_NE(
        std::string::npos,
        Line(dialog).find("\r\nInstall adds the menu for you only: other users can change files in this folder."));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// Japanese for exactly 0x0411 (Wine makes every Japanese Unix locale that, so the others are given here).
TEST(MainDlg, ALocaleOtherThan0411KeepsEnglish) {
    const driver::ProgramResources program(driver::QuilkitExe());
    ASSERT_TRUE(program.Get());
    const struct {
        LCID locale;
        const char* error;
    } rows[] = {{0x0411, "\u30a8\u30e9\u30fc"},  // エラー
                {0x0011, "Error"},               // Japanese, no country
                {0x10411, "Error"},              // Japanese (Japan), Unicode order
                {0x40411, "Error"},              // Japanese (Japan), radical and stroke order
                {0x0409, "Error"},
                {0x0804, "Error"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.locale);
        EXPECT_EQ(row.error,
                  driver::Utf8(CUiTexts(program.Get(), CUiTexts::LanguageFor(row.locale)).Text(IDS_TITLE_ERROR)));
        EXPECT_EQ(row.locale == 0x0411, FindLanguageRecord(row.locale) != nullptr);
    }
}

// Run with LC_ALL=ja_JP.UTF-8: the line and the message boxes, their titles too.
TEST(MainDlg, JapaneseRegistrationLineAndMessages) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string error = "\u30a8\u30e9\u30fc: ", done = "\u5b8c\u4e86: ";  // エラー, 完了
    driver::TempFolder program(kFolderOthersCanChange);
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    // バージョン 1.1.0、未登録 / [登録] はこのユーザーだけに追加します。
    // 他のユーザーもこのフォルダーのファイルを変更できるためです。
    EXPECT_EQ("\u30d0\u30fc\u30b8\u30e7\u30f3 " + std::string(VEX_VERSION_TEXT) +
                  "\u3001\u672a\u767b\u9332\r\n[\u767b\u9332] \u306f\u3053\u306e\u30e6\u30fc\u30b6\u30fc\u3060\u3051"
                  "\u306b\u8ffd\u52a0\u3057\u307e\u3059\u3002\u4ed6\u306e\u30e6\u30fc\u30b6\u30fc\u3082\u3053\u306e"
                  "\u30d5\u30a9\u30eb\u30c0\u30fc\u306e\u30d5\u30a1\u30a4\u30eb\u3092\u5909\u66f4\u3067\u304d\u308b"
                  "\u305f\u3081\u3067\u3059\u3002",
              Line(dialog));
    // FlintPop64.dll が見つかりません。
    EXPECT_EQ(error + "FlintPop64.dll \u304c\u898b\u3064\u304b\u308a\u307e\u305b\u3093\u3002",
              ClickAndRead(app, dialog, IDC_INSTALL));

    // Registered for all users from another copy: Uninstall here names it.
    driver::TempFolder installed;
    CopyProgram(installed.Path());
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(installed / "VexQuilkit.exe", "/Register")));
    // 右クリックメニューは別のフォルダーから全ユーザーに登録されています: / 解除するには、そのフォルダーの
    // VexQuilkit.exe で [解除] をクリックするか、[設定] > [アプリ] で VexQuilkit をアンインストールしてください。
    EXPECT_EQ(error +
                  "\u53f3\u30af\u30ea\u30c3\u30af\u30e1\u30cb\u30e5\u30fc\u306f\u5225\u306e\u30d5\u30a9\u30eb\u30c0"
                  "\u30fc\u304b\u3089\u5168\u30e6\u30fc\u30b6\u30fc\u306b\u767b\u9332\u3055\u308c\u3066\u3044\u307e"
                  "\u3059:\r\n" +
                  installed.Path() +
                  "\r\n\r\n\u89e3\u9664\u3059\u308b\u306b\u306f\u3001\u305d\u306e\u30d5\u30a9\u30eb\u30c0\u30fc\u306e "
                  "VexQuilkit.exe \u3067 [\u89e3\u9664] \u3092\u30af\u30ea\u30c3\u30af\u3059\u308b\u304b\u3001"
                  "[\u8a2d\u5b9a] > [\u30a2\u30d7\u30ea] \u3067 VexQuilkit \u3092\u30a2\u30f3\u30a4\u30f3\u30b9"
                  "\u30c8\u30fc\u30eb\u3057\u3066\u304f\u3060\u3055\u3044\u3002",
              ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(installed / "VexQuilkit.exe", "/Unregister")));
    // 右クリックメニューをこのユーザーに登録しました。
    Copy(StubDll("stub_s_false"), program / "flintpop64.dll");
    EXPECT_EQ(done +
                  "\u53f3\u30af\u30ea\u30c3\u30af\u30e1\u30cb\u30e5\u30fc\u3092\u3053\u306e\u30e6\u30fc\u30b6\u30fc"
                  "\u306b\u767b\u9332\u3057\u307e\u3057\u305f\u3002",
              ClickAndRead(app, dialog, IDC_INSTALL));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// On Windows 11 (build 22000) a third line says the first menu is the installer's; with the longest
// second line all three fit.
void ExpectWindows11Line(const std::string& line) {
    const char* const key = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    const std::string usual = MachineString(key, "CurrentBuild");
    driver::TempFolder program(kFolderOthersCanChange);
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    const driver::ProgramResources resources(program / "VexQuilkit.exe");
    for (const std::string& build : {std::string("22000"), usual}) {
        for (const char* value : {"CurrentBuild", "CurrentBuildNumber"})
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, value, REG_SZ, build.c_str(), DWORD(build.size() + 1));
        driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
        HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
        const std::string text = Line(dialog);
        EXPECT_EQ(build != usual, text.find("\r\n" + line) != std::string::npos) << build << ": " << text;
        if (build != usual) driver::ExpectTextsFit(dialog, resources.Get(), IDD_MAINDLG, "main dialog on Windows 11");
        driver::Close(dialog);
        EXPECT_EQ(2, driver::WaitForExit(app));
    }
}

TEST(MainDlg, OnWindows11TheLineSaysTheFirstMenuNeedsTheInstaller) {
    ExpectWindows11Line("Windows 11's first menu needs the installer");
}

// Run with LC_ALL=ja_JP.UTF-8.
TEST(MainDlg, JapaneseWindows11Line) {
    // Windows 11 の最初のメニューにはインストーラーが必要です
    ExpectWindows11Line(
        "Windows 11 \u306e\u6700\u521d\u306e\u30e1\u30cb\u30e5\u30fc\u306b\u306f\u30a4\u30f3\u30b9"
        "\u30c8\u30fc\u30e9\u30fc\u304c\u5fc5\u8981\u3067\u3059");
}
