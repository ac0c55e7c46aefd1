// The extension cleaner (mode 2) end to end: the real program on a list file; deleted
// files are looked up in Wine's trash.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "resource.h"

using namespace tooltest;

namespace {

constexpr int kCleanerMode = 2;

RunResult CleanerRun(const driver::TempFolder& folder, const std::vector<std::string>& paths,
                     const std::string* extensions, bool subFolders = true) {
    driver::Process app = StartTool(folder, kCleanerMode, paths);
    HWND dialog = driver::WaitForWindow(app, kCleanerTitle);
    if (!dialog) return {};
    if (extensions) driver::SetItemText(dialog, IDC_EXTENSIONS, *extensions);
    driver::SetCheck(dialog, IDC_SUBFOLDERS, subFolders);
    driver::Click(dialog, IDOK);
    return FinishRun(app);
}

RunResult CleanerRun(const driver::TempFolder& folder, const std::vector<std::string>& paths,
                     const std::string& extensions, bool subFolders = true) {
    return CleanerRun(folder, paths, &extensions, subFolders);
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Each file exists, with the content it was written with (its own name).
void WriteFiles(const driver::TempFolder& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) driver::WriteFile(folder / name, name);
}

void ExpectDeleted(const std::string& path, const std::string& content) {
    EXPECT_FALSE(driver::FileExists(path)) << path;
    const std::string trashed = TrashedCopyOf(path);
    ASSERT_FALSE(trashed.empty()) << path << " is not in the trash";
    EXPECT_EQ(driver::ReadFile(trashed), content) << trashed;
}

void ExpectKept(const std::string& path, const std::string& content) {
    EXPECT_TRUE(driver::FileExists(path)) << path;
    EXPECT_EQ(driver::ReadFile(path), content) << path;
}

}  // namespace

// ---- The options dialog ----

TEST(CleanerDialog, OpensWithTheDefaultListAndSubFoldersChecked) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kCleanerMode, {});
    HWND dialog = driver::WaitForWindow(app, kCleanerTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_EXTENSIONS), ".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_EXTENSIONS), "Type extension to delete files.");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS), "Include sub-folders");
    EXPECT_TRUE(driver::IsChecked(dialog, IDC_SUBFOLDERS));
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_EXTENSIONS), EM_GETLIMITTEXT, 0, 0), 1024);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), driver::WaitForWindow(app, "Log"));
    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

TEST(CleanerDialog, CloseBoxDeletesNothingAndWritesNothing) {
    driver::TempFolder folder;
    WriteFiles(folder, {"a.obj"});
    driver::Process app = StartTool(folder, kCleanerMode, {folder / "a.obj"});
    HWND dialog = driver::WaitForWindow(app, kCleanerTitle);
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, "Log");
    driver::PressEscape(dialog);
    driver::Close(dialog);
    for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(driver::ReadLogText(log), "");
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    ExpectKept(folder / "a.obj", "a.obj");
}

TEST(CleanerDialogJapanese, PromptAndSubFolderCaptionsAreJapanese) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kCleanerMode, {});
    HWND dialog = driver::WaitForWindow(app, kCleanerTitle);
    ASSERT_NE(dialog, nullptr);
    // 削除したい拡張子を|で区切って入力してください and サブディレクトリも検索, code page 932.
    EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_EXTENSIONS),
              "\x8D\xED\x8F\x9C\x82\xB5\x82\xBD\x82\xA2\x8A\x67\x92\xA3\x8E\x71\x82\xF0\x7C\x82\xC5\x8B\xE6\x90\xD8\x82"
              "\xC1\x82\xC4\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS),
              "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8C\x83\x4E\x83\x67\x83\x8A\x82\xE0\x8C\x9F\x8D\xF5");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_EXTENSIONS), ".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo");
    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

// ---- Which files go ----

TEST(CleanerMatching, TheDefaultListDeletesItsNineExtensionsToTheTrashAndNothingElse) {
    driver::TempFolder folder;
    const std::vector<std::string> listed = {"a.aps", "a.ncb", "a.obj", "a.pch", "a.pdb",
                                             "a.ilk", "a.map", "a.idb", "a.suo"};
    const std::vector<std::string> others = {"a.cpp", "a.exe", "a.objx", "a.lib"};
    WriteFiles(folder, listed);
    WriteFiles(folder, others);
    const RunResult run = CleanerRun(folder, {folder.Path()}, nullptr);

    std::vector<std::string> expected;
    for (const std::string& name : listed) expected.push_back("Delete - " + (folder / name));
    EXPECT_EQ(Sorted(ResultLines(run.text)), Sorted(expected));
    for (const std::string& name : listed) ExpectDeleted(folder / name, name);
    for (const std::string& name : others) ExpectKept(folder / name, name);
    EXPECT_EQ(run.exitCode, 0);
}

TEST(CleanerMatching, DeletionLinesAreGreenPrefixesWithPlainPaths) {
    driver::TempFolder folder;
    WriteFiles(folder, {"one.obj", "two.obj"});
    const RunResult run = CleanerRun(folder, {folder / "one.obj", folder / "two.obj"}, ".obj");
    std::vector<driver::TextRun> expected = Success("Delete - ");
    expected.push_back(Plain(folder / "one.obj" + "\r\n"));
    expected.push_back(Success("Delete - ")[0]);
    expected.push_back(Plain(folder / "two.obj" + "\r\n"));
    expected.push_back(Success(SuccessSummary())[0]);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
}

TEST(CleanerMatching, CaseOfLettersDoesNotMatter) {
    driver::TempFolder folder;
    WriteFiles(folder, {"Main.OBJ", "main.pdb", "keep.txt"});
    const RunResult run = CleanerRun(folder, {folder.Path()}, ".obj|.PDB");
    EXPECT_EQ(Sorted(ResultLines(run.text)),
              Sorted({"Delete - " + (folder / "Main.OBJ"), "Delete - " + (folder / "main.pdb")}));
    ExpectDeleted(folder / "Main.OBJ", "Main.OBJ");
    ExpectDeleted(folder / "main.pdb", "main.pdb");
    ExpectKept(folder / "keep.txt", "keep.txt");
}

TEST(CleanerMatching, TheExtensionIsWhatFollowsTheLastDot) {
    driver::TempFolder folder;
    WriteFiles(folder, {"archive.tar.gz", "other.tar.gz", ".pdb", "Makefile", "notes.obj old", "x.obj"});
    // ".tar.gz" can never match; "obj" lacks its dot; " .obj" and ".obj " carry a space.
    const RunResult run = CleanerRun(
        folder,
        {folder / "archive.tar.gz", folder / ".pdb", folder / "Makefile", folder / "notes.obj old", folder / "x.obj"},
        ".gz|.pdb|.tar.gz|obj| .obj|.obj |.old");
    EXPECT_EQ(ResultLines(run.text),
              (std::vector<std::string>{"Delete - " + (folder / "archive.tar.gz"), "Delete - " + (folder / ".pdb")}));
    ExpectDeleted(folder / "archive.tar.gz", "archive.tar.gz");
    ExpectDeleted(folder / ".pdb", ".pdb");
    for (const char* name : {"other.tar.gz", "Makefile", "notes.obj old", "x.obj"}) ExpectKept(folder / name, name);
}

TEST(CleanerMatching, ANameEndingInADotMatchesOnlyASingleDot) {
    driver::TempFolder folder;
    // Windows strips a trailing dot from a file name, so these names cannot exist: a
    // deletion attempt (its failure line) shows which entry matched.
    const RunResult withDot = CleanerRun(folder, {folder / "gone.", folder / "gone.obj."}, ".obj|.");
    EXPECT_EQ(ResultLines(withDot.text),
              (std::vector<std::string>{"Failed - " + (folder / "gone."), "Failed - " + (folder / "gone.obj.")}));
    const RunResult withoutDot = CleanerRun(folder, {folder / "gone.", folder / "gone.obj."}, ".obj");
    EXPECT_EQ(withoutDot.text, SuccessSummary());
}

TEST(CleanerMatching, DoubledAndTrailingSeparatorsAndRepeatsAddNothing) {
    driver::TempFolder folder;
    WriteFiles(folder, {"a.obj", "b.pdb", "c.aps"});
    const RunResult run =
        CleanerRun(folder, {folder / "a.obj", folder / "b.pdb", folder / "c.aps"}, "|.obj||.pdb|.obj|");
    EXPECT_EQ(ResultLines(run.text),
              (std::vector<std::string>{"Delete - " + (folder / "a.obj"), "Delete - " + (folder / "b.pdb")}));
    ExpectKept(folder / "c.aps", "c.aps");
    EXPECT_NE(run.text.find(SuccessSummary()), std::string::npos) << run.text;
}

TEST(CleanerMatching, AnEmptyListDeletesNothing) {
    driver::TempFolder folder;
    WriteFiles(folder, {"a.obj", "b.pdb"});
    const RunResult run = CleanerRun(folder, {folder.Path()}, "");
    EXPECT_EQ(run.text, SuccessSummary());
    EXPECT_EQ(Describe(run.runs), Describe(Success(SuccessSummary())));
    ExpectKept(folder / "a.obj", "a.obj");
    ExpectKept(folder / "b.pdb", "b.pdb");
    EXPECT_EQ(run.exitCode, 0);
}

// ---- Folders ----

TEST(CleanerFolders, AFolderNamedLikeAnExtensionIsEnteredNotDeleted) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "build.obj").c_str(), nullptr);
    WriteFiles(folder, {"top.obj", "build.obj\\inner.obj", "build.obj\\inner.cpp"});
    const RunResult run = CleanerRun(folder, {folder.Path()}, ".obj");
    EXPECT_EQ(Sorted(ResultLines(run.text)),
              Sorted({"Delete - " + (folder / "top.obj"), "Delete - " + (folder / "build.obj\\inner.obj")}));
    EXPECT_NE(Attributes(folder / "build.obj") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    ExpectDeleted(folder / "build.obj\\inner.obj", "build.obj\\inner.obj");
    ExpectKept(folder / "build.obj\\inner.cpp", "build.obj\\inner.cpp");
}

TEST(CleanerFolders, WithoutSubFoldersOnlyDirectFilesAreChecked) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "build.obj").c_str(), nullptr);
    WriteFiles(folder, {"top.obj", "build.obj\\inner.obj"});
    const RunResult run = CleanerRun(folder, {folder.Path() + "\\"}, ".obj", false);
    EXPECT_EQ(ResultLines(run.text), std::vector<std::string>{"Delete - " + (folder / "top.obj")});
    ExpectDeleted(folder / "top.obj", "top.obj");
    ExpectKept(folder / "build.obj\\inner.obj", "build.obj\\inner.obj");
}

// ---- Failures ----

TEST(CleanerFailures, AFailedDeletionIsARedCountedLine) {
    driver::TempFolder folder;
    WriteFiles(folder, {"fine.obj"});
    const RunResult run =
        CleanerRun(folder, {folder / "missing.obj", folder / "missing.txt", folder / "fine.obj"}, ".obj");
    std::vector<driver::TextRun> expected = Error("Failed - ");
    expected.push_back(Plain(folder / "missing.obj" + "\r\n"));
    expected.push_back(Success("Delete - ")[0]);
    expected.push_back(Plain(folder / "fine.obj" + "\r\n"));
    expected.push_back(Error(ErrorSummary(1))[0]);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
    EXPECT_EQ(run.exitCode, 0);
}
