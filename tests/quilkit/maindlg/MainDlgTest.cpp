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

// A RICHED20.DLL planted beside the program (a Downloads folder) is not the one it loads.
TEST(MainDlg, APlantedRichEditBesideTheProgramIsNotLoaded) {
    driver::TempFolder program;
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    Copy(StubDll("riched20"), program / "RICHED20.DLL");
    char temp[MAX_PATH] = "";  // where the planted library, once loaded, leaves its mark
    GetTempPathA(MAX_PATH, temp);
    const std::string marker = temp + std::string("vex-planted-riched20");
    DeleteFileA(marker.c_str());
    // Run with WINEDLLOVERRIDES riched20=n,b: Wine otherwise prefers its own riched20
    // wherever a copy lies, where Windows takes the first copy on the search path.
    driver::Process app =
        driver::Start(program / "VexQuilkit.exe", "/M3 \"" + (program / "VexQuilkit.exe") + "\"", program.Path());
    HWND log = driver::WaitForWindow(app, "Log");
    driver::Close(driver::WaitForWindow(app, driver::CaptionOf(IDD_HASHDLG)));
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(driver::FileExists(marker)) << "the planted library was loaded";
}

namespace {

const std::string kServerKey = std::string("Software\\Classes\\CLSID\\") + kFlintPopClsid + "\\InprocServer32";

std::string Line(HWND dialog) { return driver::GetItemText(dialog, IDC_REGISTRATION); }

// The text `id` in the user's language, `value` (this build's version) for its %1.
std::string VersionLine(int id, const std::string& value = VEX_VERSION_TEXT) {
    std::string text = driver::TextOf(id);
    return text.replace(text.find("%1"), 2, value);
}

// A message box's title and text as ClickAndRead gives them, in the user's language.
std::string Said(int title, const std::string& text) { return driver::TextOf(title) + ": " + text; }

}  // namespace

// From a folder others can change Install registers for this user alone. A copy registered
// for all users (the installer's) is named, and only its elevated step removes that
// registration, which judges the place again. Run in either language.
TEST(MainDlg, InstallFromAFolderOthersCanChangeRegistersForThisUserOnlyAndTheLineSaysWhere) {
    driver::TempFolder program(kFolderOthersCanChange);
    const std::string dll = CopyProgram(program.Path());
    const std::string here = "\r\n" + driver::TextOf(IDS_LINE_INSTALLS_FOR_YOU),
                      asAdministrator = "\r\n" + driver::TextOf(IDS_LINE_INSTALLS_FOR_ALL);
    RegDeleteTreeA(HKEY_CURRENT_USER, kServerKey.substr(0, kServerKey.rfind('\\')).c_str());

    driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(VersionLine(IDS_LINE_NOT_INSTALLED) + here, Line(dialog));
    EXPECT_EQ(Said(IDS_TITLE_SUCCESS, driver::TextOf(IDS_INSTALLED_FOR_YOU)), ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ(dll, UserString(kServerKey));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_EQ(VersionLine(IDS_LINE_FOR_THIS_USER) + here, Line(dialog));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));

    // Registered for all users as well, from another copy (the installer's) started through
    // a link to its folder: the registration names the folder the link resolves to. Uninstall
    // here removes this user's registration and names that copy, elevating nothing.
    driver::TempFolder installed;
    CreateDirectoryA((installed / "real").c_str(), nullptr);
    const std::string installedDll = CopyProgram(installed / "real"), linked = installed / "link\\VexQuilkit.exe";
    driver::UnixLink link(installed / "real", installed / "link");
    EXPECT_EQ(100, driver::WaitForExit(driver::Start(linked, "/Register")));
    const std::string anotherCopy = VersionLine(IDS_ANOTHER_COPY, installed / "real");
    app = driver::Start(program / "VexQuilkit.exe", "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(VersionLine(IDS_LINE_FOR_BOTH) + here, Line(dialog));
    EXPECT_EQ(Said(IDS_TITLE_SUCCESS, driver::TextOf(IDS_REMOVED_FOR_YOU) + "\r\n\r\n" + anotherCopy),
              ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", UserString(kServerKey));
    EXPECT_EQ(VersionLine(IDS_LINE_FOR_ALL_USERS) + here, Line(dialog));
    EXPECT_EQ(Said(IDS_TITLE_ERROR, anotherCopy), ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ(installedDll, MachineString(kServerKey));
    driver::PressEscape(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
    // Nor does this copy's elevated step remove it.
    EXPECT_EQ(104, driver::WaitForExit(driver::Start(program / "VexQuilkit.exe", "/Unregister")));
    EXPECT_EQ(installedDll, MachineString(kServerKey));

    // The registered copy, through the link as well, says so and removes it through its
    // elevated instance.
    app = driver::Start(linked, "");
    dialog = driver::WaitForWindow(app, "VexQuilkit");
    EXPECT_EQ(VersionLine(IDS_LINE_FOR_ALL_USERS) + asAdministrator, Line(dialog));
    EXPECT_EQ(Said(IDS_TITLE_SUCCESS, driver::TextOf(IDS_REMOVED_FOR_ALL)), ClickAndRead(app, dialog, IDC_UNINSTALL));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_EQ(VersionLine(IDS_LINE_NOT_INSTALLED) + asAdministrator, Line(dialog));
    // Its folder opened to everyone after the dialog decided (Wine makes Everyone's full
    // control the Unix mode 777): the elevated step refuses it, and Install is from then on
    // this user's.
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everyone,
                                                                     nullptr));
    EXPECT_TRUE(SetFileSecurityA((installed / "real").c_str(), DACL_SECURITY_INFORMATION, everyone));
    LocalFree(everyone);
    EXPECT_EQ(Said(IDS_TITLE_ERROR, driver::TextOf(IDS_NOT_FOR_ALL_USERS)), ClickAndRead(app, dialog, IDC_INSTALL));
    EXPECT_EQ("<missing>", MachineString(kServerKey));
    EXPECT_EQ(VersionLine(IDS_LINE_NOT_INSTALLED) + here, Line(dialog));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// Japanese for exactly 0x0411 (Wine makes every Japanese Unix locale that, so the others are given here).
TEST(MainDlg, ALocaleOtherThan0411KeepsEnglish) {
    const driver::ProgramResources program(driver::QuilkitExe());
    ASSERT_TRUE(program.Get());
    // Japanese (Japan); Japanese with no country; in Unicode order; in radical and stroke order.
    for (const LCID locale : {0x0411, 0x0011, 0x10411, 0x40411, 0x0409, 0x0804}) {
        SCOPED_TRACE(testing::Message() << std::hex << locale);
        EXPECT_EQ(locale == 0x0411 ? "\u30a8\u30e9\u30fc" : "Error",  // エラー
                  driver::Utf8(CUiTexts(program.Get(), CUiTexts::LanguageFor(locale)).Text(IDS_TITLE_ERROR)));
        EXPECT_EQ(locale == 0x0411, FindLanguageRecord(locale) != nullptr);
    }
}

// On Windows 11 (build 22000) a third line says the first menu is the installer's; with the
// longest second line all three fit. Run in either language.
TEST(MainDlg, OnWindows11TheLineSaysTheFirstMenuNeedsTheInstaller) {
    const std::string usual = MachineString(kCurrentVersionKey, "CurrentBuild"),
                      line = "\r\n" + driver::TextOf(IDS_LINE_WINDOWS11);
    driver::TempFolder program(kFolderOthersCanChange);
    Copy(driver::QuilkitExe(), program / "VexQuilkit.exe");
    const driver::ProgramResources resources(program / "VexQuilkit.exe");
    for (const std::string& build : {std::string("22000"), usual}) {
        SetWindowsBuild(build);
        driver::Process app = driver::Start(program / "VexQuilkit.exe", "");
        HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
        const std::string text = Line(dialog);
        EXPECT_EQ(build != usual, text.find(line) != std::string::npos) << build << ": " << text;
        if (build != usual) driver::ExpectTextsFit(dialog, resources.Get(), IDD_MAINDLG, "main dialog on Windows 11");
        driver::Close(dialog);
        EXPECT_EQ(2, driver::WaitForExit(app));
    }
}
