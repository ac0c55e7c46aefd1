// The editor-path dialog of the real program, opened with the main dialog's
// "&Hidemaru.exe" button, and what it leaves in the settings store.
#include <windows.h>

#include <gtest/gtest.h>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "resource.h"

using namespace shelltest;

namespace {

const std::string kExamplePath = "C:\\Tools\\Hidemaru\\Hidemaru.exe";

class HidepathDlgFixture : public testing::Test {
protected:
    void SetUp() override {
        m_app = driver::Start(driver::QuilkitExe(), "");
        m_main = driver::WaitForWindow(m_app, "VexQuilkit");
        ASSERT_NE(nullptr, m_main);
    }
    void TearDown() override {
        if (m_main) driver::Close(m_main);
        EXPECT_EQ(2, driver::WaitForExit(m_app));
    }

    HWND OpenDialog() {
        driver::Click(m_main, IDC_HIDEMARU);
        HWND dialog = driver::WaitForWindow(m_app, "Hidemaru.exe");
        if (dialog) {
            EXPECT_EQ(m_main, GetWindow(dialog, GW_OWNER));
        }
        return dialog;
    }

    // Waits until the modal dialog has gone and the main dialog takes input again.
    void WaitUntilClosed(HWND dialog) {
        const DWORD start = GetTickCount();
        while ((IsWindow(dialog) || !IsWindowEnabled(m_main)) && GetTickCount() - start < 20000) Sleep(50);
        EXPECT_FALSE(IsWindow(dialog)) << "the editor-path dialog stayed open";
    }

    std::string Field(HWND dialog) { return driver::GetItemText(dialog, IDC_EDITORPATH); }

    driver::Process m_app;
    HWND m_main = nullptr;
};

}  // namespace

TEST_F(HidepathDlgFixture, FirstUseShowsAnEmptyFieldAndCreatesTheKeyWithoutTheValue) {
    DeleteSettingsKey();
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", Field(dialog));
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_FALSE(ReadStoredValue().present);
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_FALSE(ReadStoredValue().present);
}

TEST_F(HidepathDlgFixture, OKStoresTheTextWithItsTerminatorAndTheNextOpeningShowsIt) {
    DeleteSettingsKey();
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    driver::SetItemText(dialog, IDC_EDITORPATH, kExamplePath);
    driver::Click(dialog, IDOK);
    WaitUntilClosed(dialog);

    const StoredValue value = ReadStoredValue();
    ASSERT_TRUE(value.present);
    EXPECT_EQ(DWORD(REG_SZ), value.type);
    EXPECT_EQ(31u, value.bytes.size());
    EXPECT_EQ(kExamplePath + std::string(1, '\0'), value.bytes);

    dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(kExamplePath, Field(dialog));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
}

TEST_F(HidepathDlgFixture, OKWithAnEmptyFieldStoresAnEmptyString) {
    StoreEditorPath(kExamplePath);
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    driver::SetItemText(dialog, IDC_EDITORPATH, "");
    driver::Click(dialog, IDOK);
    WaitUntilClosed(dialog);
    EXPECT_EQ(std::string(1, '\0'), ReadStoredValue().bytes);
}

TEST_F(HidepathDlgFixture, A519CharacterValueIsShownWholeAndALongerOneNotAtAll) {
    const std::string longest = "C:\\" + std::string(516, 'x');
    StoreEditorPath(longest);
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(longest, Field(dialog));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);

    StoreEditorPath(longest + "y");
    dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", Field(dialog));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
    // Looking did not change it.
    EXPECT_EQ(longest + "y" + std::string(1, '\0'), ReadStoredValue().bytes);
}

TEST_F(HidepathDlgFixture, TypingIsLimitedToWhatOKCanStore) {
    DeleteSettingsKey();
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(519, SendMessageA(GetDlgItem(dialog, IDC_EDITORPATH), EM_GETLIMITTEXT, 0, 0));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
}

TEST_F(HidepathDlgFixture, CancelEscapeAndTheCloseBoxStoreNothing) {
    StoreEditorPath(kExamplePath);
    const std::string before = ReadStoredValue().bytes;
    for (int way = 0; way < 3; ++way) {
        HWND dialog = OpenDialog();
        ASSERT_NE(nullptr, dialog);
        driver::SetItemText(dialog, IDC_EDITORPATH, "C:\\changed.exe");
        if (way == 0) driver::Click(dialog, IDCANCEL);
        if (way == 1) driver::PressEscape(dialog);
        if (way == 2) driver::Close(dialog);
        WaitUntilClosed(dialog);
        EXPECT_EQ(before, ReadStoredValue().bytes) << "way " << way;
    }
}

TEST_F(HidepathDlgFixture, SearchShowsTheOpenFileDialogAndItsCancelKeepsTheField) {
    StoreEditorPath(kExamplePath);
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    driver::Click(dialog, IDC_SEARCH);
    HWND open = driver::WaitForWindow(m_app, "Open");
    ASSERT_NE(nullptr, open);
    EXPECT_EQ(dialog, GetWindow(open, GW_OWNER));
    driver::Command(open, IDCANCEL);
    const DWORD start = GetTickCount();
    while (IsWindow(open) && GetTickCount() - start < 20000) Sleep(50);
    EXPECT_EQ(kExamplePath, Field(dialog));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
}

TEST_F(HidepathDlgFixture, TheSearchButtonKeepsItsEnglishCaption) {
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Search", driver::GetItemText(dialog, IDC_SEARCH));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
}

// Run with LC_ALL=ja_JP.UTF-8.
TEST_F(HidepathDlgFixture, JapaneseSearchCaption) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    HWND dialog = OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("\x8E\x51\x8F\xC6", driver::GetItemText(dialog, IDC_SEARCH));  // 参照
    EXPECT_EQ("Hidemaru.exe", driver::GetText(dialog));
    EXPECT_EQ("OK", driver::GetItemText(dialog, IDOK));
    EXPECT_EQ("Cancel", driver::GetItemText(dialog, IDCANCEL));
    driver::Click(dialog, IDCANCEL);
    WaitUntilClosed(dialog);
}
