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
    // Ends the dialog with IDOK, IDCANCEL, kEscape, kEnter or kCloseBox, and waits until it
    // has gone.
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

// OK and Enter (OK is the default button) store what was typed; Cancel, Esc and the close
// box leave what was stored.
TEST_F(Settings, TheDialogStoresThePathOnOKOnly) {
    const std::string example = "C:\\Tools\\Hidemaru\\Hidemaru.exe", typed = "C:\\Editors\\Hidemaru.exe";
    DeleteSettingsKey();
    HWND dialog = Open();
    EXPECT_EQ("", driver::GetItemText(dialog, IDC_EDITORPATH));
    EXPECT_EQ("Search", driver::GetItemText(dialog, IDC_SEARCH));
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dialog, DM_GETDEFID, 0, 0));
    EXPECT_EQ("<no value>", StoredValue());  // the key was made
    driver::SetItemText(dialog, IDC_EDITORPATH, typed);
    End(dialog, kEnter);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(typed + '\0', StoredValue());
    dialog = Open();
    driver::SetItemText(dialog, IDC_EDITORPATH, example);
    End(dialog, IDOK);
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

// Run with LC_ALL=ja_JP.UTF-8, where the user locale is 0x0411.
TEST_F(Settings, JapaneseSearchCaption) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    HWND dialog = Open();
    EXPECT_EQ(driver::FromCodePage(932, "\x8E\x51\x8F\xC6"), driver::GetItemText(dialog, IDC_SEARCH));  // 参照
    End(dialog, IDCANCEL);
}

TEST(FileSelectEdit, ADropReplacesTheTextWithTheFirstPath) {
    HWND field = CreateWindowExA(0, "EDIT", "typed", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr, nullptr, nullptr);
    const std::string names = std::string("C:\\Hide maru\\Hidemaru.exe") + '\0' + "C:\\b.exe" + '\0' + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    memcpy(files + 1, names.data(), names.size());
    GlobalUnlock(drop);
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
