// The main dialog's Install and Uninstall against libraries of ours placed beside a copy
// of VexQuilkit.exe, and how the dialog ends; the registration of the real extension for
// this user or for all, and the dialog's line that says which.
#include "ShellTestSupport.h"
#include "VexVersion.h"
#include "resource.h"

using namespace shelltest;

// Clicks the button and answers the message box it brings up; returns once the box has gone.
static std::string ClickAndRead(const driver::Process& app, HWND dialog, int button) {
    driver::Click(dialog, button);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    for (int i = 0; i < 400 && driver::FindWindowOf(app, box.caption, 0); ++i) continue;
    return box.caption + ": " + box.text;
}

// Wine reports every folder as owned by the user who runs it, as Windows does a folder
// in the user's profile: from there Install registers for this user alone, in-process,
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
        driver::TempFolder program, current;
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
}

// A RICHED20.DLL planted beside the program (a Downloads folder) is not the one it loads.
TEST(MainDlg, APlantedRichEditBesideTheProgramIsNotLoaded) {
    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    Copy(StubDll("riched20"), program / "RICHED20.DLL");
    char marker[MAX_PATH + 32] = "";
    GetTempPathA(MAX_PATH, marker);
    lstrcatA(marker, "vex-planted-riched20");
    DeleteFileA(marker);
    // Run with WINEDLLOVERRIDES riched20=n,b: Wine otherwise prefers its own riched20
    // wherever a copy lies, where Windows takes the first copy on the search path.
    driver::Process app =
        driver::Start(program / "VexQuilkit.exe", "/M3 \"" + (program / "VexQuilkit.exe") + "\"", program.Path());
    HWND log = driver::WaitForWindow(app, "Log");
    ASSERT_NE(log, nullptr);
    driver::Close(driver::WaitForWindow(app, "Hash Checker - Quillkit"));
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(driver::FileExists(marker)) << "the planted library was loaded";
    DeleteFileA(marker);
}

namespace {

const std::string kServerKey = "Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}\\InprocServer32";

// The registration line, both its lines.
std::string Line(HWND dialog) { return driver::GetItemText(dialog, IDC_REGISTRATION); }

}  // namespace

TEST(MainDlg, InstallFromAUserWritableFolderRegistersForThisUserOnlyAndTheLineSaysWhere) {
    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    const std::string built = driver::QuilkitExe(), dll = program / "flintpop64.dll";
    Copy(built.substr(0, built.rfind('\\')) + "\\flintpop64.dll", dll);
    const std::string version = std::string("Version ") + VEX_VERSION_TEXT,
                      here = "\r\nInstall adds the menu for you only: other users can change files in this folder.";
    RegDeleteTreeA(HKEY_CURRENT_USER, kServerKey.substr(0, kServerKey.rfind('\\')).c_str());

    driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", not installed" + here, Line(dialog));
    EXPECT_EQ("Success: The context menu is installed for you.", ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ(dll, UserString(kServerKey));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    for (const char* type : {"*", "Directory", "Directory\\Background"})
        EXPECT_EQ("{1035D880-537A-4B6D-A84F-9E7212E661DC}",
                  UserString(std::string("Software\\Classes\\") + type + "\\shellex\\ContextMenuHandlers\\FlintPop"));
    EXPECT_EQ(version + ", installed for this user" + here, Line(dialog));

    // Registered for all users as well, by the installer's elevated step: Uninstall
    // removes both, the machine's through the elevated instance.
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Register")));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
    app = driver::Start(program / "VexQuilkit.exe", "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", installed for all users and this user" + here, Line(dialog));
    EXPECT_EQ("Success: The context menu is removed for you and for all users.",
              ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", UserString(kServerKey));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_EQ(version + ", not installed" + here, Line(dialog));

    EXPECT_EQ(100, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Register")));
    driver::PressEscape(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
    app = driver::Start(program / "VexQuilkit.exe", "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(version + ", installed for all users" + here, Line(dialog));
    // Registered for all users from this very folder: Install adds no second registration.
    EXPECT_EQ("VexQuilkit: The context menu is already installed for all users from this folder.",
              ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ("<missing>", UserString(kServerKey));
    EXPECT_EQ("Success: The context menu is removed for all users.", ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// Run with LC_ALL=ja_JP.UTF-8.
TEST(MainDlg, JapaneseRegistrationLine) {
    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    // バージョン 1.1.0 未登録 /
    // 登録はこのユーザーだけに追加します: 他のユーザーもこのフォルダーのファイルを変更できるためです。
    EXPECT_EQ(std::string("\u30d0\u30fc\u30b8\u30e7\u30f3 ") + VEX_VERSION_TEXT + " \u672a\u767b\u9332\r\n" +
                  driver::FromCodePage(932,
                                       "\x93\x6F\x98\x5E\x82\xCD\x82\xB1\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B"
                                       "\x82\xBE\x82\xAF\x82\xC9\x92\xC7\x89\xC1\x82\xB5\x82\xDC\x82\xB7: \x91\xBC"
                                       "\x82\xCC\x83\x86\x81\x5B\x83\x55\x81\x5B\x82\xE0\x82\xB1\x82\xCC\x83\x74"
                                       "\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B"
                                       "\x82\xF0\x95\xCF\x8D\x58\x82\xC5\x82\xAB\x82\xE9\x82\xBD\x82\xDF\x82\xC5"
                                       "\x82\xB7\x81\x42"),
              Line(dialog));
    // 右クリックメニューをこのユーザーに登録しました。
    Copy(StubDll("stub_s_false"), program / "flintpop64.dll");
    EXPECT_EQ("Success: " + driver::FromCodePage(932,
                                                 "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A"
                                                 "\x83\x85\x81\x5B\x82\xF0\x82\xB1\x82\xCC\x83\x86\x81\x5B"
                                                 "\x83\x55\x81\x5B\x82\xC9\x93\x6F\x98\x5E\x82\xB5\x82\xDC"
                                                 "\x82\xB5\x82\xBD\x81\x42"),
              ClickAndRead(app, dialog, IDC_INSTALL));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}
