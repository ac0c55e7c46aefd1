// Modes 1 and 5 of the real program, with recorders of ours in place of the command
// interpreter and the editor: the exact command lines they are started with.
#include <windows.h>

#include <gtest/gtest.h>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "resource.h"

using namespace shelltest;

namespace {

class LauncherFixture : public testing::Test {
protected:
    LauncherFixture() : m_recording(m_folder / "record.txt") {
        m_source = m_folder / "src";
        CreateDirectoryA(m_source.c_str(), nullptr);
        driver::WriteFile(m_source + "\\main.c", "int main() {}\n");
        m_interpreter = m_folder / "cmd.exe";
        CopyOrFail(RecorderExe(), m_interpreter);
        m_editor = m_folder / "Hidemaru.exe";
        CopyOrFail(RecorderExe(), m_editor);
    }

    // Runs the program to its end, which modes 1 and 5 reach without a window.
    void RunToEnd(const std::string& arguments) {
        driver::Process app = driver::Start(driver::QuilkitExe(), arguments);
        EXPECT_EQ(0, driver::WaitForExit(app));
    }

    std::string PromptFor(const std::string& folder) const { return m_interpreter + " /K pushd \"" + folder + "\""; }

    driver::TempFolder m_folder;
    Recording m_recording;
    std::string m_source;
    std::string m_interpreter;
    std::string m_editor;
};

}  // namespace

TEST_F(LauncherFixture, PromptOpensInTheFolderOfASelectedFile) {
    ComspecOverride comspec(m_interpreter);
    RunToEnd("/M1 " + m_source + "\\main.c");
    EXPECT_EQ(PromptFor(m_source), m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, PromptOpensInASelectedFolderAsItIs) {
    ComspecOverride comspec(m_interpreter);
    RunToEnd("/M1 " + m_source);
    EXPECT_EQ(PromptFor(m_source), m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, PromptOpensAtADriveRoot) {
    ComspecOverride comspec(m_interpreter);
    RunToEnd("-m1 C:\\");
    EXPECT_EQ(PromptFor("C:\\"), m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, OnlyTheFirstPathCounts) {
    ComspecOverride comspec(m_interpreter);
    const std::string list = m_folder / "list.txt";
    driver::WriteFile(list, m_source + "\\main.c\r\n" + m_folder.Path() + "\r\n");
    RunToEnd("/M1 /L \"" + list + "\"");
    EXPECT_EQ(PromptFor(m_source), m_recording.WaitForRecord().commandLine);
    EXPECT_EQ(1u, m_recording.Records().size());
    EXPECT_FALSE(driver::FileExists(list));
}

TEST_F(LauncherFixture, AFolderWithBlanksFromAListFileStaysOnePath) {
    ComspecOverride comspec(m_interpreter);
    const std::string spaced = m_folder / "My Project Files";
    CreateDirectoryA(spaced.c_str(), nullptr);
    const std::string list = m_folder / "list.txt";
    driver::WriteFile(list, spaced + "\r\n");
    RunToEnd("/M1 /L \"" + list + "\"");
    EXPECT_EQ(PromptFor(spaced), m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, PromptWithAnEmptyPathListStartsNothing) {
    ComspecOverride comspec(m_interpreter);
    RunToEnd("/M1");
    EXPECT_TRUE(m_recording.NothingStarted("cmd.exe"));
}

TEST_F(LauncherFixture, EditorStartsFromTheStoredPath) {
    StoreEditorPath(m_editor);
    RunToEnd("/M5 " + m_source + "\\main.c");
    EXPECT_EQ(m_editor + " /g /d\"" + m_source + "\"", m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, EditorFallsBackToTheFirstBuiltInPlace) {
    StoreEditorPath(m_folder / "missing\\Hidemaru.exe");
    // Wine makes no 8.3 name PROGRA~1, so the first built-in place is made literally.
    ScopedFolder programs("C:\\Progra~1");
    ScopedFolder place("C:\\Progra~1\\Hidemaru");
    CopyOrFail(RecorderExe(), place.Path() + "\\Hidemaru.exe");
    // A dialog would keep the program from ending.
    RunToEnd("/M5 " + m_source);
    EXPECT_EQ("C:\\Progra~1\\Hidemaru\\Hidemaru.exe /g /d\"" + m_source + "\"",
              m_recording.WaitForRecord().commandLine);
}

TEST_F(LauncherFixture, EditorFallsBackToTheSecondBuiltInPlace) {
    DeleteSettingsKey();
    ScopedFolder place("C:\\Program Files (x86)\\Hidemaru");
    CopyOrFail(RecorderExe(), place.Path() + "\\Hidemaru.exe");
    RunToEnd("/M5 " + m_source);
    // Wine puts quotes around a program name with blanks that it found by trying, so the
    // unquoted command line shows as the program found and its arguments.
    const Recording::Record record = m_recording.WaitForRecord();
    EXPECT_EQ(0, lstrcmpiA((place.Path() + "\\Hidemaru.exe").c_str(), record.image.c_str())) << record.image;
    EXPECT_EQ("/g /d\"" + m_source + "\"", record.arguments);
    // Reading the setting created the key, and nothing was written to it.
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_FALSE(ReadStoredValue().present);
}

TEST_F(LauncherFixture, EditorAsksForThePathAndRetriesWithTheNewOne) {
    DeleteSettingsKey();
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M5 " + m_source + "\\main.c");
    HWND dialog = driver::WaitForWindow(app, "Hidemaru.exe");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", driver::GetItemText(dialog, IDC_EDITORPATH));
    driver::SetItemText(dialog, IDC_EDITORPATH, m_editor);
    driver::Click(dialog, IDOK);
    EXPECT_EQ(0, driver::WaitForExit(app));
    EXPECT_EQ(m_editor + " /g /d\"" + m_source + "\"", m_recording.WaitForRecord().commandLine);
    EXPECT_EQ(m_editor + std::string(1, '\0'), ReadStoredValue().bytes);
}

TEST_F(LauncherFixture, EditorCancelledGivesTheErrorAndStartsNothing) {
    StoreEditorPath(m_folder / "missing\\Hidemaru.exe");
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M5 " + m_source);
    HWND dialog = driver::WaitForWindow(app, "Hidemaru.exe");
    ASSERT_NE(nullptr, dialog);
    driver::Click(dialog, IDCANCEL);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    EXPECT_EQ("Hidemaru.exe not found...", box.text);
    EXPECT_EQ("Error", box.caption);
    EXPECT_EQ(0, driver::WaitForExit(app));
    EXPECT_TRUE(m_recording.NothingStarted("Hidemaru.exe"));
}

TEST_F(LauncherFixture, EditorWithAnEmptyPathListStartsNothingAndAsksNothing) {
    StoreEditorPath(m_editor);
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M5");
    EXPECT_EQ(0, driver::WaitForExit(app));
    EXPECT_TRUE(m_recording.NothingStarted("Hidemaru.exe"));
}
