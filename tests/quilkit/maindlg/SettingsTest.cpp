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

TEST_F(Settings, TheDialogStoresAnExistingPathOnOKOnly) {
    driver::TempFolder folder;
    const std::string example = folder / "Hidemaru.exe";
    driver::WriteFile(example, "editor");
    DeleteSettingsKey();
    HWND dialog = Open();
    EXPECT_EQ("", driver::GetItemText(dialog, IDC_EDITORPATH));
    EXPECT_EQ("Search", driver::GetItemText(dialog, IDC_SEARCH));
    EXPECT_EQ("Path of Hidemaru.exe:", driver::GetItemText(dialog, IDC_STATIC_EDITORREASON));
    EXPECT_EQ("<no value>", StoredValue());  // the key was made
    // A file that is not there, or a folder, is refused: the dialog says so and stays.
    for (const std::string& refused : {folder / "Hidemaru.ex", folder.Path()}) {
        driver::SetItemText(dialog, IDC_EDITORPATH, refused);
        driver::Click(dialog, IDOK);
        std::string reason;
        for (int i = 0; i < 100 && reason.rfind("No such file.", 0) != 0; ++i, Sleep(50))
            reason = driver::GetItemText(dialog, IDC_STATIC_EDITORREASON);
        EXPECT_EQ("No such file. Type the path of Hidemaru.exe, or Search for it:", reason) << refused;
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

// Run with LC_ALL=ja_JP.UTF-8, where the user locale is 0x0411.
TEST_F(Settings, JapaneseSearchCaption) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    HWND dialog = Open();
    EXPECT_EQ(driver::FromCodePage(932, "\x8E\x51\x8F\xC6"), driver::GetItemText(dialog, IDC_SEARCH));  // 参照
    EXPECT_EQ(driver::FromCodePage(932, "Hidemaru.exe \x82\xCC\x83\x70\x83\x58:"),  // Hidemaru.exe のパス:
              driver::GetItemText(dialog, IDC_STATIC_EDITORREASON));
    driver::SetItemText(dialog, IDC_EDITORPATH, "C:\\no such folder\\Hidemaru.exe");
    driver::Click(dialog, IDOK);
    // このファイルはありません。Hidemaru.exe のパスを入力するか、[参照] で選んでください。
    const std::string missing =
        "\u3053\u306e\u30d5\u30a1\u30a4\u30eb\u306f\u3042\u308a\u307e\u305b\u3093\u3002Hidemaru.exe \u306e"
        "\u30d1\u30b9\u3092\u5165\u529b\u3059\u308b\u304b\u3001[\u53c2\u7167] \u3067\u9078\u3093\u3067\u304f"
        "\u3060\u3055\u3044\u3002";
    std::string reason;
    for (int i = 0; i < 100 && reason != missing; ++i, Sleep(50))
        reason = driver::GetItemText(dialog, IDC_STATIC_EDITORREASON);
    EXPECT_EQ(missing, reason);
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
