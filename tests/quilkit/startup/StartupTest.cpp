#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "Driver.h"
#include "resource.h"

namespace {

using namespace driver;

// The close box and Esc end with 2, OK with 1; a list file is read and deleted also without
// a mode, wherever /L stands.
TEST(Startup, MainDialogEndsWithItsCodeAndReadsAListFileWithoutAMode) {
    TempFolder folder;
    const std::string list = folder / "list with blanks.txt";
    WriteFile(list, "C:\\a\r\nC:\\b\r\n");
    const std::tuple<std::string, void (*)(HWND), int> runs[] = {
        {"", Close, 2},
        // Esc reaches the modeless dialog through the message loop's dialog-key filter.
        {"/X -M7 -", PressEscape, 2},
        {"", [](HWND dialog) { Command(dialog, IDOK); }, 1},
        {"\"" + list + "\" /L", Close, 2},
    };
    for (const auto& [arguments, end, code] : runs) {
        Process app = Start(QuilkitExe(), arguments);
        HWND dialog = WaitForWindow(app, "VexQuilkit");
        ASSERT_TRUE(dialog) << arguments;
        EXPECT_EQ(GetItemText(dialog, IDC_INSTALL), "&Install");
        EXPECT_EQ(GetItemText(dialog, IDC_UNINSTALL), "&Uninstall");
        EXPECT_EQ(GetItemText(dialog, IDC_STATIC_INSTALLER), "Shell Extension Installer");
        end(dialog);
        EXPECT_EQ(WaitForExit(app), code) << arguments;
    }
    EXPECT_FALSE(FileExists(list));
}

TEST(Startup, JapaneseCaptionsForLocale0411) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x0411u) << "run with LC_ALL=ja_JP.UTF-8";
    Process app = Start(QuilkitExe(), "");
    HWND dialog = WaitForWindow(app, "VexQuilkit");
    ASSERT_TRUE(dialog);
    // 右クリックメニュー, 登録(&I), 解除(&U) in code page 932: the English accelerators kept.
    EXPECT_EQ(GetItemText(dialog, IDC_STATIC_INSTALLER),
              FromCodePage(932, "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B"));
    EXPECT_EQ(GetItemText(dialog, IDC_INSTALL), FromCodePage(932, "\x93\x6F\x98\x5E(&I)"));
    EXPECT_EQ(GetItemText(dialog, IDC_UNINSTALL), FromCodePage(932, "\x89\xF0\x8F\x9C(&U)"));
    EXPECT_EQ(GetItemText(dialog, IDC_HIDEMARU), "&Hidemaru.exe");
    Close(dialog);
    EXPECT_EQ(WaitForExit(app), 2);
}

// Before any window, in the user's language: run in either language.
TEST(Startup, RichEditMissingShowsTheErrorAndKeepsTheListFile) {
    TempFolder folder;
    const std::string list = folder / "list.txt";
    WriteFile(list, "C:\\a\r\n");
    Process app = Start(QuilkitExe(), "/M3 /L \"" + list + "\"");
    const MessageBoxText box = AnswerMessageBox(app);
    EXPECT_EQ(box.caption, TextOf(IDS_TITLE_ERROR));
    EXPECT_EQ(box.text, TextOf(IDS_RICHEDIT_MISSING));
    EXPECT_EQ(WaitForExit(app), 0);
    EXPECT_TRUE(FileExists(list));
}

// The registration step ("runas", often the silent installer's) needs no rich edit library,
// shows no window and reports through its exit code alone. From a folder others can change
// (under Wine, /tmp) it loads no DLL found there; the planted stub would mark its load.
TEST(Startup, RichEditMissingRegistrationStepEndsWithItsCodeAndNoWindow) {
    const std::string built = QuilkitExe(), stubs = VEX_STUB_FOLDER;
    // Others can change its folder, the DLL put beside it, the exit codes of the two steps.
    const std::tuple<bool, std::string, int, int> rows[] = {
        {false, "", 101, 101},                                // no flintpop64.dll beside it
        {false, stubs + "\\stub_register_ok.dll", 100, 103},  // S_OK, E_FAIL
        {false, built.substr(0, built.rfind('\\')) + "\\flintpop64.dll", 100, 100},
        {true, stubs + "\\riched20.dll", 104, 104}};
    char temp[MAX_PATH] = "";
    const std::string marker = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "vex-planted-riched20";
    DeleteFileA(marker.c_str());
    for (const auto& [othersCanChange, extension, registered, unregistered] : rows) {
        TempFolder closed, open("Z:\\tmp");
        const std::string copy = (othersCanChange ? open : closed) / "VexQuilkit.exe";
        ASSERT_TRUE(CopyFileA(built.c_str(), copy.c_str(), FALSE));
        if (!extension.empty()) {
            const std::string beside = copy.substr(0, copy.rfind('\\')) + "\\flintpop64.dll";
            ASSERT_TRUE(CopyFileA(extension.c_str(), beside.c_str(), FALSE));
        }
        for (const auto& [step, code] : {std::pair{"/Register", registered}, {"/Unregister", unregistered}}) {
            Process app = Start(copy, step);
            bool shown = false;
            while (WaitForSingleObject(app.Handle(), 20) == WAIT_TIMEOUT && !shown) shown = FindWindowOf(app, "", 0);
            EXPECT_FALSE(shown) << step << " showed a window";
            EXPECT_EQ(code, WaitForExit(app)) << step << " " << extension;
        }
    }
    EXPECT_FALSE(FileExists(marker)) << "it loaded a DLL others could have put there";
    DeleteFileA(marker.c_str());
}

}  // namespace
