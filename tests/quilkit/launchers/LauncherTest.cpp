// Modes 1 and 5 of the real program, with recorders in place of the command interpreter
// and the editor: the exact command lines they are started with.
#include <shlobj.h>

#include "ShellTestSupport.h"
#include "resource.h"

using namespace shelltest;

namespace {

// Where this system keeps programs, with the editor's folder in it.
std::string ProgramFiles(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    const std::string folder = path ? driver::Utf8(path) : "";
    CoTaskMemFree(path);
    return folder + "\\Hidemaru";
}

// Removes the editor from `folder`, and the folders up to the first that is not empty. The
// recorder started from there may still be ending after writing its record, and a running
// program's file cannot be deleted: a place left behind would be found by every later case.
void RemoveEditorPlace(const std::string& folder) {
    const std::string exe = folder + "\\Hidemaru.exe";
    for (int i = 0; i < 200 && driver::FileExists(exe) && !DeleteFileA(exe.c_str()); ++i) Sleep(50);
    EXPECT_FALSE(driver::FileExists(exe)) << "still running: " << exe;
    for (std::string f = folder; RemoveDirectoryA(f.c_str()); f.erase(f.rfind('\\'))) continue;
}

// A recorder as the editor in `folder`; its path.
std::string PutEditor(const std::string& folder) {
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    Copy(RecorderExe(), folder + "\\Hidemaru.exe");
    return folder + "\\Hidemaru.exe";
}

class Launcher : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string& place : m_places) RemoveEditorPlace(place);  // whatever an earlier run left
        CreateDirectoryA(m_source.c_str(), nullptr);
        driver::WriteFile(m_source + "\\main.c", "");
        Copy(RecorderExe(), m_cmd);
        Copy(RecorderExe(), m_editor);
        RecordTo(m_log);
    }
    void TearDown() override {
        for (const std::string& place : m_places) RemoveEditorPlace(place);
        RecordTo("");
    }
    // Runs the program to its end and returns the command line of record `index`.
    std::string Run(const std::string& arguments, size_t index) {
        EXPECT_EQ(0, driver::WaitForExit(driver::Start(driver::QuilkitExe(), arguments)));
        return WaitForRecord(m_log, index).commandLine;
    }

    driver::TempFolder m_folder;
    std::string m_source = m_folder / "src", m_cmd = m_folder / "cmd.exe", m_editor = m_folder / "Hidemaru.exe";
    std::string m_log = m_folder / "records.txt";
    // The editor's built-in places, in the order they are looked in.
    const std::string m_places[3] = {ProgramFiles(FOLDERID_ProgramFilesX64), ProgramFiles(FOLDERID_ProgramFilesX86),
                                     "C:\\Progra~1\\Hidemaru"};
};

}  // namespace

TEST_F(Launcher, ThePromptOpensInTheFolderOfTheFirstPath) {
    char interpreter[MAX_PATH] = "";
    GetEnvironmentVariableA("comspec", interpreter, MAX_PATH);
    SetEnvironmentVariableA("comspec", m_cmd.c_str());
    const auto in = [&](const std::string& folder) { return "\"" + m_cmd + "\" /K pushd \"" + folder + "\""; };
    EXPECT_EQ(in(m_source), Run("/M1 " + m_source + "\\main.c", 0));
    EXPECT_EQ(in(m_source), Run("/M1 " + m_source, 1));
    EXPECT_EQ(in("C:\\"), Run("-m1 C:\\", 2));
    const std::string spaced = m_folder / "My Files", list = m_folder / "list.txt";
    CreateDirectoryA(spaced.c_str(), nullptr);
    driver::WriteFile(list, spaced + "\r\n" + m_source + "\\main.c\r\n");
    EXPECT_EQ(in(spaced), Run("/M1 /L \"" + list + "\"", 3));
    // Neither the list's second path nor an empty path list starts another.
    EXPECT_EQ(0, driver::WaitForExit(driver::Start(driver::QuilkitExe(), "/M1")));
    EXPECT_EQ(4u, RecordsWhenIdle(m_log, "cmd.exe"));

    // An interpreter in a folder with a blank, beside a planted My.exe, is the one started.
    const std::string spacedCmd = m_folder / "My Tools\\cmd.exe";
    CreateDirectoryA((m_folder / "My Tools").c_str(), nullptr);
    Copy(RecorderExe(), spacedCmd);
    Copy(RecorderExe(), m_folder / "My.exe");
    SetEnvironmentVariableA("comspec", spacedCmd.c_str());
    Run("/M1 " + m_source, 4);
    EXPECT_EQ(0, lstrcmpiA(spacedCmd.c_str(), Records(m_log)[4].image.c_str())) << Records(m_log)[4].image;
    SetEnvironmentVariableA("comspec", interpreter);
}

// Found nowhere, the dialog says why it asks first, the typing goes to the path, and Cancel
// ends with an error. Run with LC_ALL=ja_JP.UTF-8: in the user's words.
TEST_F(Launcher, JapaneseEditorNotFound) {
    StoreEditorPath(m_folder / "missing\\Hidemaru.exe");
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M5 " + m_source);
    HWND asking = driver::WaitForWindow(app, "Hidemaru.exe");
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    EXPECT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(asking, nullptr), &thread));
    EXPECT_EQ(thread.hwndFocus, GetDlgItem(asking, IDC_EDITORPATH));
    EXPECT_EQ("Hidemaru.exe が見つかりません。パスを入力するか、[参照] で選んでください。",
              driver::GetItemText(asking, IDC_STATIC_EDITORREASON));
    driver::Click(asking, IDCANCEL);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    EXPECT_EQ("エラー: Hidemaru.exe が見つかりません。", box.caption + ": " + box.text);
    EXPECT_EQ(0, driver::WaitForExit(app));
    DeleteSettingsKey();
}

TEST_F(Launcher, TheEditorIsLookedForInTheStoredPathTheBuiltInPlacesAndThenAsked) {
    const std::string missing = m_folder / "missing\\Hidemaru.exe", inSource = "/g /d\"" + m_source + "\"";
    const std::string quotedEditor = "\"" + m_editor + "\"";
    StoreEditorPath(m_editor);
    EXPECT_EQ(quotedEditor + " " + inSource, Run("/M5 " + m_source + "\\main.c", 0));
    EXPECT_EQ(0, driver::WaitForExit(driver::Start(driver::QuilkitExe(), "/M5")));  // asks nothing

    // On first use the field is empty; OK stores the path and retries with it.
    DeleteSettingsKey();
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M5 " + m_source + "\\main.c");
    HWND dialog = driver::WaitForWindow(app, "Hidemaru.exe");
    EXPECT_EQ("", driver::GetItemText(dialog, IDC_EDITORPATH));
    driver::SetItemText(dialog, IDC_EDITORPATH, m_editor);
    driver::Click(dialog, IDOK);
    EXPECT_EQ(quotedEditor + " " + inSource, WaitForRecord(m_log, 1).commandLine);
    EXPECT_EQ(0, driver::WaitForExit(app));
    EXPECT_EQ(m_editor + '\0', StoredValue());

    // Program Files, by its long name, where 8.3 names are off; reading the setting made
    // the key and stored nothing.
    DeleteSettingsKey();
    const std::string programFiles = PutEditor(m_places[0]);
    ASSERT_EQ("C:\\Program Files\\Hidemaru\\Hidemaru.exe", programFiles);
    Run("/M5 " + m_source, 2);
    EXPECT_EQ(0, lstrcmpiA(programFiles.c_str(), Records(m_log)[2].image.c_str())) << Records(m_log)[2].image;
    EXPECT_EQ(inSource, Records(m_log)[2].arguments);
    EXPECT_EQ("<no value>", StoredValue());
    // The 64-bit Program Files before the 32-bit one.
    const std::string programFilesX86 = PutEditor(m_places[1]);
    StoreEditorPath(missing);
    EXPECT_EQ("\"" + programFiles + "\" " + inSource, Run("/M5 " + m_source, 3));
    RemoveEditorPlace(m_places[0]);
    EXPECT_EQ("\"" + programFilesX86 + "\" " + inSource, Run("/M5 " + m_source, 4));
    RemoveEditorPlace(m_places[1]);
    // Last, the short name of older versions, on a system that still makes one (Wine makes
    // no 8.3 name PROGRA~1: the folder is named so).
    const std::string legacy = PutEditor(m_places[2]);
    EXPECT_EQ("\"" + legacy + "\" " + inSource, Run("/M5 " + m_source, 5));
}
