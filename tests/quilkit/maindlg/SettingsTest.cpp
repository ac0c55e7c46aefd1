// The editor path: the dialog of the real program, opened with the main dialog's
// "&Hidemaru.exe" button, what it leaves in the registry, and its drop-taking field.
#include <shlobj.h>

#include "ShellTestSupport.h"
#include "maindlg/FileSelectEdit.h"
#include "resource.h"

using namespace shelltest;

namespace {

constexpr int kEscape = -1, kCloseBox = -2, kEnter = -3;

class Settings : public testing::Test {
protected:
    void SetUp() override { m_main = driver::WaitForWindow(m_app, "VexQuilkit"); }
    void TearDown() override {
        driver::Close(m_main);
        EXPECT_EQ(2, driver::WaitForExit(m_app));
    }
    HWND Open() {
        driver::Click(m_main, IDC_HIDEMARU);
        return driver::WaitForWindow(m_app, "Hidemaru.exe");
    }
    // Ends the dialog with IDOK, IDCANCEL, kEscape, kEnter or kCloseBox; returns once it has gone.
    static void End(HWND dialog, int how) {
        if (how == kEscape) driver::PressEscape(dialog);
        if (how == kEnter) driver::PressEnter(dialog);
        if (how == kCloseBox) driver::Close(dialog);
        if (how == IDOK || how == IDCANCEL) driver::Click(dialog, how);
        for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(50);
    }

    driver::Process m_app = driver::Start(driver::QuilkitExe(), "");
    HWND m_main = nullptr;
};

}  // namespace

// Run in either language: the dialog's words are the program's texts.
TEST_F(Settings, TheDialogStoresAnExistingPathOnOKOnly) {
    driver::TempFolder folder;
    const std::string example = folder / "Hidemaru.exe", noSuchFile = driver::TextOf(IDS_EDITOR_NO_SUCH_FILE);
    driver::WriteFile(example, "editor");
    DeleteSettingsKey();
    HWND dialog = Open();
    EXPECT_EQ("", driver::GetItemText(dialog, IDC_EDITORPATH));
    EXPECT_EQ(driver::TextOf(IDS_EDITOR_PATH), driver::GetItemText(dialog, IDC_STATIC_EDITORREASON));
    EXPECT_EQ("<no value>", StoredValue());  // the key was made
    // A file that is not there, or a folder, is refused: the dialog says so and stays.
    for (const std::string& refused : {folder / "Hidemaru.ex", folder.Path()}) {
        driver::SetItemText(dialog, IDC_EDITORPATH, refused);
        driver::Click(dialog, IDOK);
        std::string reason;
        for (int i = 0; i < 100 && reason != noSuchFile; ++i, Sleep(50))
            reason = driver::GetItemText(dialog, IDC_STATIC_EDITORREASON);
        EXPECT_EQ(noSuchFile, reason) << refused;
        EXPECT_TRUE(IsWindowVisible(dialog)) << refused;
        EXPECT_EQ("<no value>", StoredValue()) << refused;
        driver::SetItemText(dialog, IDC_STATIC_EDITORREASON, "");
    }
    // OK is the default button: Enter in the field stores what was typed (the editor's
    // search at mode 5 proves OK's click).
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dialog, DM_GETDEFID, 0, 0));
    driver::SetItemText(dialog, IDC_EDITORPATH, example);
    End(dialog, kEnter);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(example + '\0', StoredValue());

    for (int how : {IDCANCEL, kEscape, kCloseBox}) {
        dialog = Open();
        EXPECT_EQ(example, driver::GetItemText(dialog, IDC_EDITORPATH));
        driver::SetItemText(dialog, IDC_EDITORPATH, "C:\\changed.exe");
        End(dialog, how);
        EXPECT_EQ(example + '\0', StoredValue()) << how;
    }

    // A path far beyond the template's 520 characters is shown whole.
    const std::string longPath = "C:\\" + std::string(900, 'x');
    StoreEditorPath(longPath);
    dialog = Open();
    EXPECT_EQ(longPath, driver::GetItemText(dialog, IDC_EDITORPATH));
    End(dialog, IDCANCEL);
}

TEST(FileSelectEdit, ADropReplacesTheTextWithTheFirstPath) {
    HWND field = CreateWindowExA(0, "EDIT", "typed", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
    HGLOBAL drop = DroppedPaths({L"C:\\Hide maru\\Hidemaru.exe", L"C:\\b.exe"});
    {
        CFileSelectEdit edit;
        ASSERT_TRUE(edit.SubclassWindow(field));
        EXPECT_TRUE(GetWindowLongA(field, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        SendMessageA(field, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_EQ("C:\\Hide maru\\Hidemaru.exe", driver::GetText(field));
    }
    EXPECT_FALSE(GetWindowLongA(field, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);  // withdrawn on letting go
    DestroyWindow(field);
}
