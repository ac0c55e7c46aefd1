#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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
    const struct {
        std::string arguments;
        void (*end)(HWND);
        int code;
    } runs[] = {
        {"", Close, 2},
        // Esc reaches the modeless dialog through the message loop's dialog-key filter.
        {"/X -M7 -", PressEscape, 2},
        {"", [](HWND dialog) { Command(dialog, IDOK); }, 1},
        {"\"" + list + "\" /L", Close, 2},
    };
    for (const auto& run : runs) {
        Process app = Start(QuilkitExe(), run.arguments);
        HWND dialog = WaitForWindow(app, "VexQuilkit");
        ASSERT_TRUE(dialog) << run.arguments;
        EXPECT_EQ(GetItemText(dialog, IDC_INSTALL), "&Install");
        EXPECT_EQ(GetItemText(dialog, IDC_UNINSTALL), "&Uninstall");
        EXPECT_EQ(GetItemText(dialog, IDC_STATIC_INSTALLER), "Shell Extension Installer");
        run.end(dialog);
        EXPECT_EQ(WaitForExit(app), run.code) << run.arguments;
    }
    EXPECT_FALSE(FileExists(list));
}

TEST(Startup, JapaneseCaptionsForLocale0411) {
    ASSERT_EQ(GetUserDefaultLCID(), 0x0411u) << "run with LC_ALL=ja_JP.UTF-8";
    Process app = Start(QuilkitExe(), "");
    HWND dialog = WaitForWindow(app, "VexQuilkit");
    ASSERT_TRUE(dialog);
    // 右クリックメニュー, 登録, 解除 in code page 932.
    EXPECT_EQ(GetItemText(dialog, IDC_STATIC_INSTALLER),
              FromCodePage(932, "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B"));
    // 登録(&I), 解除(&U): the English accelerators kept
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

// The elevated step, often the silent installer's, needs no rich edit library and shows
// no window: its outcome is the exit code alone.
TEST(Startup, RichEditMissingRegistrationStepEndsWithItsCodeAndNoWindow) {
    TempFolder program;
    const std::string copy = program / "VexQuilkit.exe", built = QuilkitExe();
    ASSERT_TRUE(CopyFileA(built.c_str(), copy.c_str(), FALSE));
    const auto run = [&copy](const char* step) {
        Process app = Start(copy, step);
        bool shown = false;
        while (WaitForSingleObject(app.Handle(), 20) == WAIT_TIMEOUT && !shown) shown = FindWindowOf(app, "", 0);
        EXPECT_FALSE(shown) << step << " showed a window";
        return WaitForExit(app);
    };
    EXPECT_EQ(101, run("/Register"));  // no flintpop64.dll beside it
    EXPECT_EQ(101, run("/Unregister"));
    ASSERT_TRUE(CopyFileA((built.substr(0, built.rfind('\\')) + "\\flintpop64.dll").c_str(),
                          (program / "flintpop64.dll").c_str(), FALSE));
    // The extension's own registration reports through the code (its keys: MainDlg's cases).
    EXPECT_EQ(100, run("/Register"));
    EXPECT_EQ(100, run("/Unregister"));
}

}  // namespace
