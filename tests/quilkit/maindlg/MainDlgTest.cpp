// The main dialog's Install and Uninstall against libraries of ours placed beside a copy
// of VexQuilkit.exe, and how the dialog ends.
#include "ShellTestSupport.h"
#include "resource.h"

using namespace shelltest;

// Clicks the button and answers the message box it brings up; returns once the box has gone.
static std::string ClickAndRead(const driver::Process& app, HWND dialog, int button) {
    driver::Click(dialog, button);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    for (int i = 0; i < 400 && driver::FindWindowOf(app, box.caption, 0); ++i) continue;
    return box.caption + ": " + box.text;
}

TEST(MainDlg, InstallAndUninstallReportWhatTheLibraryBesideTheProgramSays) {
    const std::string notFound = "Error: FlintPop64.dll not found...", success = "Success: Success!";
    const struct {
        const char* stub;
        bool onlyInCurrentFolder;
        std::string install, uninstall;
    } rows[] = {
        {nullptr, false, notFound, notFound},
        {"stub_no_exports", false, "Error: DllRegisterServer not found...", "Error: DllUnregisterServer not found..."},
        {"stub_register_ok", false, success, "Error: Uninstall failed..."},   // S_OK, E_FAIL
        {"stub_register_fails", false, "Error: Install failed...", success},  // E_FAIL, S_OK
        {"stub_s_false", false, success, success},
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
