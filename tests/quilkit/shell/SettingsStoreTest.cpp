// The settings store and the drop-taking edit field, in-process.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "maindlg/FileSelectEdit.h"
#include "maindlg/SettingsStore.h"

using namespace shelltest;

namespace {

std::string ReadThroughStore() {
    CSettingsStore store;
    char buffer[CSettingsStore::kReadBytes + 1];
    if (!store.Open()) return "<cannot open>";
    return store.ReadEditorPath(buffer, sizeof(buffer)) ? std::string(buffer) : "<cannot read>";
}

}  // namespace

TEST(SettingsStore, OpeningCreatesTheKeyWithoutTheValue) {
    DeleteSettingsKey();
    ASSERT_FALSE(SettingsKeyExists());
    CSettingsStore store;
    ASSERT_TRUE(store.Open());
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_FALSE(ReadStoredValue().present);
    EXPECT_EQ("<cannot read>", ReadThroughStore());
}

TEST(SettingsStore, WritesTheTextWithItsTerminator) {
    DeleteSettingsKey();
    CSettingsStore store;
    ASSERT_TRUE(store.Open());
    ASSERT_TRUE(store.WriteEditorPath("C:\\Tools\\Hidemaru\\Hidemaru.exe"));
    const StoredValue value = ReadStoredValue();
    ASSERT_TRUE(value.present);
    EXPECT_EQ(DWORD(REG_SZ), value.type);
    EXPECT_EQ(31u, value.bytes.size());
    EXPECT_EQ(std::string("C:\\Tools\\Hidemaru\\Hidemaru.exe", 31), value.bytes);
    EXPECT_EQ("C:\\Tools\\Hidemaru\\Hidemaru.exe", ReadThroughStore());
}

TEST(SettingsStore, AnEmptyTextIsStoredAsAnEmptyString) {
    DeleteSettingsKey();
    CSettingsStore store;
    ASSERT_TRUE(store.Open());
    ASSERT_TRUE(store.WriteEditorPath(""));
    EXPECT_EQ(std::string(1, '\0'), ReadStoredValue().bytes);
    EXPECT_EQ("", ReadThroughStore());
}

TEST(SettingsStore, ReadsA519CharacterPathWholeAndNothingLonger) {
    const std::string longest(519, 'a');
    StoreEditorPath(longest);
    EXPECT_EQ(longest, ReadThroughStore());

    StoreEditorPath(longest + "b");
    EXPECT_EQ("<cannot read>", ReadThroughStore());
}

TEST(SettingsStore, AValueWithoutTerminatorEndsAtItsLastByte) {
    WriteStoredValue("C:\\x.exe");
    EXPECT_EQ("C:\\x.exe", ReadThroughStore());
}

namespace {

// An edit control of the test's own, as the dialog template makes it.
class EditFixture : public testing::Test {
protected:
    void SetUp() override {
        m_edit = CreateWindowExA(0, "EDIT", "typed", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, m_edit);
    }
    void TearDown() override {
        if (IsWindow(m_edit)) DestroyWindow(m_edit);
    }

    bool AcceptsFiles() const { return (GetWindowLongA(m_edit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

    std::string Text() const {
        char text[1024] = "";
        GetWindowTextA(m_edit, text, sizeof(text));
        return text;
    }

    // A drop as the shell hands it over: DROPFILES followed by the names, each ending in
    // a NUL, and one more NUL.
    static HDROP MakeDrop(const std::vector<std::string>& paths) {
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& path : paths) size += path.size() + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = FALSE;
        char* names = reinterpret_cast<char*>(drop + 1);
        for (const std::string& path : paths) {
            memcpy(names, path.c_str(), path.size() + 1);
            names += path.size() + 1;
        }
        GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
    }

    HWND m_edit = nullptr;
};

}  // namespace

TEST_F(EditFixture, AttachingRegistersForDropsAndDetachingWithdraws) {
    ASSERT_FALSE(AcceptsFiles());
    {
        CFileSelectEdit edit;
        ASSERT_TRUE(edit.SubclassWindow(m_edit));
        EXPECT_TRUE(AcceptsFiles());
    }
    EXPECT_FALSE(AcceptsFiles());
}

TEST_F(EditFixture, ADropOfSeveralFilesPutsTheFirstPathInTheField) {
    CFileSelectEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(m_edit));
    const HDROP drop = MakeDrop({"C:\\Tools\\Hide maru\\Hidemaru.exe", "C:\\b.exe", "C:\\c"});
    EXPECT_EQ(0, SendMessageA(m_edit, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
    EXPECT_EQ("C:\\Tools\\Hide maru\\Hidemaru.exe", Text());
}

TEST_F(EditFixture, AFolderDropGivesItsPathAndReplacesTheTypedText) {
    CFileSelectEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(m_edit));
    ASSERT_EQ("typed", Text());
    SendMessageA(m_edit, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\windows"})), 0);
    EXPECT_EQ("C:\\windows", Text());
}

TEST_F(EditFixture, OtherMessagesReachTheEditAndTheEditOutlivesTheObject) {
    {
        CFileSelectEdit edit;
        ASSERT_TRUE(edit.SubclassWindow(m_edit));
        SetWindowTextA(m_edit, "through the edit");
        EXPECT_EQ("through the edit", Text());
    }
    // The edit's own procedure is back: a drop is no longer taken.
    const HDROP drop = MakeDrop({"C:\\x"});
    SendMessageA(m_edit, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ("through the edit", Text());
    DragFinish(drop);
}
