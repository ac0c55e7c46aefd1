// The main dialog of the real program: Install and Uninstall against libraries of ours
// placed beside a copy of VexQuilkit.exe, the editor-path button, and how it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "resource.h"

using namespace shelltest;

namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (processId == search->first && lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF))
        search->second = true;
    return !search->second;
}

// Whether a message box of the process still exists (visible or on its way out).
bool MessageBoxExists(const driver::Process& app) {
    std::pair<DWORD, bool> search(app.Id(), false);
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// A copy of VexQuilkit.exe alone in a folder of its own, optionally with a library of
// ours as its flintpop64.dll.
class MainDlgFixture : public testing::Test {
protected:
    std::string ProgramCopy(const std::string& stub = "") {
        const std::string exe = m_folder / "VexQuilkit.exe";
        CopyOrFail(driver::QuilkitExe(), exe);
        if (!stub.empty()) CopyOrFail(stub, m_folder / "flintpop64.dll");
        return exe;
    }

    // Clicks the button, reads the message box it brings up and answers it; returns when
    // the box has gone and the dialog takes input again.
    driver::MessageBoxText ClickAndRead(const driver::Process& app, HWND dialog, int button) {
        driver::Click(dialog, button);
        const driver::MessageBoxText box = driver::AnswerMessageBox(app);
        const DWORD start = GetTickCount();
        while ((MessageBoxExists(app) || !IsWindowEnabled(dialog)) &&
               GetTickCount() - start < DWORD(driver::kDefaultTimeoutMs))
            Sleep(50);
        EXPECT_FALSE(MessageBoxExists(app)) << "the message box stayed open";
        return box;
    }

    void ExpectButtons(const std::string& exe, const std::string& install, const std::string& installCaption,
                       const std::string& uninstall, const std::string& uninstallCaption,
                       const std::string& workingFolder = "") {
        driver::Process app = driver::Start(exe, "", workingFolder);
        HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
        ASSERT_NE(nullptr, dialog);
        driver::MessageBoxText box = ClickAndRead(app, dialog, IDC_INSTALL);
        EXPECT_EQ(install, box.text);
        EXPECT_EQ(installCaption, box.caption);
        box = ClickAndRead(app, dialog, IDC_UNINSTALL);
        EXPECT_EQ(uninstall, box.text);
        EXPECT_EQ(uninstallCaption, box.caption);
        // The dialog is still there and still answers after each box.
        EXPECT_TRUE(IsWindowVisible(dialog));
        driver::Close(dialog);
        EXPECT_EQ(2, driver::WaitForExit(app));
    }

    driver::TempFolder m_folder;
};

}  // namespace

TEST_F(MainDlgFixture, WithoutTheLibraryBothButtonsSayItIsNotFound) {
    ExpectButtons(ProgramCopy(), "FlintPop64.dll not found...", "Error", "FlintPop64.dll not found...", "Error");
}

TEST_F(MainDlgFixture, ALibraryWithoutTheExportsNamesTheMissingExport) {
    ExpectButtons(ProgramCopy(StubDll("stub_no_exports")), "DllRegisterServer not found...", "Error",
                  "DllUnregisterServer not found...", "Error");
}

TEST_F(MainDlgFixture, EachButtonCallsItsOwnExportAndReportsItsResult) {
    // DllRegisterServer returns S_OK and DllUnregisterServer E_FAIL.
    ExpectButtons(ProgramCopy(StubDll("stub_register_ok")), "Success!", "Success", "Uninstall failed...", "Error");
}

TEST_F(MainDlgFixture, AFailedRegistrationSaysInstallFailed) {
    // DllRegisterServer returns E_FAIL and DllUnregisterServer S_OK.
    ExpectButtons(ProgramCopy(StubDll("stub_register_fails")), "Install failed...", "Error", "Success!", "Success");
}

TEST_F(MainDlgFixture, SFalseCountsAsSuccess) {
    ExpectButtons(ProgramCopy(StubDll("stub_s_false")), "Success!", "Success", "Success!", "Success");
}

TEST_F(MainDlgFixture, ALibraryInTheCurrentFolderOnlyIsNotLoaded) {
    const std::string exe = ProgramCopy();
    driver::TempFolder current;
    CopyOrFail(StubDll("stub_register_ok"), current / "flintpop64.dll");
    ExpectButtons(exe, "FlintPop64.dll not found...", "Error", "FlintPop64.dll not found...", "Error", current.Path());
}

TEST_F(MainDlgFixture, EscapeEndsTheProgramWithCode2) {
    driver::Process app = driver::Start(ProgramCopy(), "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    ASSERT_NE(nullptr, dialog);
    driver::PressEscape(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

TEST_F(MainDlgFixture, TheCloseBoxEndsTheProgramWithCode2) {
    driver::Process app = driver::Start(ProgramCopy(), "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    ASSERT_NE(nullptr, dialog);
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

TEST_F(MainDlgFixture, TheTemplateCaptionsStayInOtherLocales) {
    driver::Process app = driver::Start(ProgramCopy(), "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Shell Extension Installer", driver::GetItemText(dialog, IDC_STATIC_INSTALLER));
    EXPECT_EQ("&Install", driver::GetItemText(dialog, IDC_INSTALL));
    EXPECT_EQ("&Uninstall", driver::GetItemText(dialog, IDC_UNINSTALL));
    EXPECT_EQ("&Hidemaru.exe", driver::GetItemText(dialog, IDC_HIDEMARU));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// With the real extension beside the program, Install and Uninstall really register it.
TEST_F(MainDlgFixture, TheRealExtensionInstallsAndUninstalls) {
    const std::string exe = ProgramCopy(BinFolder() + "\\flintpop64.dll");
    const char* clsidKey = "Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}\\InprocServer32";
    driver::Process app = driver::Start(exe, "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    ASSERT_NE(nullptr, dialog);

    driver::MessageBoxText box = ClickAndRead(app, dialog, IDC_INSTALL);
    EXPECT_EQ("Success!", box.text);
    char server[MAX_PATH] = "";
    LONG size = sizeof(server);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_LOCAL_MACHINE, clsidKey, server, &size));
    EXPECT_EQ(m_folder / "flintpop64.dll", std::string(server));

    box = ClickAndRead(app, dialog, IDC_UNINSTALL);
    EXPECT_EQ("Success!", box.text);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_LOCAL_MACHINE, clsidKey, 0, KEY_READ, &key));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}

// Run with LC_ALL=ja_JP.UTF-8: the user locale is then 0x0411.
TEST_F(MainDlgFixture, JapaneseCaptionsReplaceTheInstallerTexts) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    driver::Process app = driver::Start(ProgramCopy(), "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    ASSERT_NE(nullptr, dialog);
    // 右クリックメニュー, 登録, 解除 in code page 932.
    EXPECT_EQ("\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B",
              driver::GetItemText(dialog, IDC_STATIC_INSTALLER));
    EXPECT_EQ("\x93\x6F\x98\x5E", driver::GetItemText(dialog, IDC_INSTALL));
    EXPECT_EQ("\x89\xF0\x8F\x9C", driver::GetItemText(dialog, IDC_UNINSTALL));
    EXPECT_EQ("&Hidemaru.exe", driver::GetItemText(dialog, IDC_HIDEMARU));
    EXPECT_EQ("VexQuilkit", driver::GetText(dialog));
    driver::Close(dialog);
    EXPECT_EQ(2, driver::WaitForExit(app));
}
