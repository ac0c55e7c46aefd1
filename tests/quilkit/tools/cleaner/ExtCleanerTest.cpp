// The extension cleaner (mode 2) end to end; deleted files are looked for in Wine's trash.
#include <shlwapi.h>

#include <algorithm>
#include <map>
#include <set>

#include "ToolTestSupport.h"

using namespace tooltest;

// The contents of the files in the trash of Wine's user (its Unix home as "\??\Z:\root").
static std::set<std::string> TrashContents() {
    char home[MAX_PATH] = "";
    if (GetEnvironmentVariableA("WINEHOMEDIR", home, sizeof(home)) < 4) return {};
    const std::string files = std::string(home + 4) + "\\.local\\share\\Trash\\files\\";
    std::set<std::string> contents;
    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA((files + "*").c_str(), &entry));
    for (bool more = find.IsValid(); more; more = FindNextFileA(find.Get(), &entry))
        contents.insert(driver::ReadFile(files + entry.cFileName));
    return contents;
}

TEST(CleanerRun, TheDefaultListSendsItsFilesToTheTrashAndNamesWhatIsNotThere) {
    driver::TempFolder folder;
    const std::string tag = " " + std::to_string(GetTickCount64());  // the trash outlives runs and folders' names
    const std::vector<std::string> kept = {"a.cpp", "a.objx", "a.lib"};
    // Not there, whatever the extension: a typo is no success ("gone.obj." made absolute names
    // "gone.obj"). A file deep beyond MAX_PATH goes like any other.
    const std::string deep = MakeTreeWithDeepFolder(folder / "top", 400) + "\\deep.obj";
    driver::WriteFile(deep, "deep");
    std::vector<std::string> paths = {folder / "missing.obj", folder / "missing.txt", folder / "gone.obj.", deep};
    std::string expected = "<R>Not found - </R>" + paths[0] + "\r\n<R>Not found - </R>" + paths[1] +
                           "\r\n<R>Not found - </R>" + (folder / "gone.obj") + "\r\n<G>Delete - </G>" + deep + "\r\n";
    for (const std::string& name : kept) driver::WriteFile(paths.emplace_back(folder / name), name + tag);
    for (const char* extension : {".aps", ".ncb", ".obj", ".pch", ".pdb", ".ilk", ".map", ".idb", ".suo"}) {
        paths.push_back(folder / ("a" + std::string(extension)));
        driver::WriteFile(paths.back(), paths.back() + tag);
        expected += "<G>Delete - </G>" + paths.back() + "\r\n";
    }
    driver::Process app;
    HWND dialog = StartTool(app, folder, 2, paths);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_EXTENSIONS), ".aps|.ncb|.obj|.pch|.pdb|.ilk|.map|.idb|.suo");
    const Outcome run = FinishRun(app, dialog);
    EXPECT_EQ(run.marked, expected + "<R>---\r\nError: 3\r\n</R>");
    EXPECT_EQ(run.status.rfind("Done: 16 looked at, 10 deleted, 3 failed in ", 0), 0u) << run.status;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(driver::FileExists(deep));
    const std::set<std::string> trash = TrashContents();
    for (size_t i = 4 + kept.size(); i < paths.size(); ++i) {
        EXPECT_FALSE(driver::FileExists(paths[i])) << paths[i];
        EXPECT_EQ(trash.count(paths[i] + tag), 1u) << paths[i] << " is not in the trash";
    }
    for (const std::string& name : kept) EXPECT_EQ(driver::ReadFile(folder / name), name + tag);
}

// A list file that cannot be read, and so nothing to work on: two failures, no dialog.
TEST(CleanerRun, AMissingListFileAndAnEmptySelectionAreFailures) {
    driver::TempFolder folder;
    const std::string list = folder / "gone.lst";
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M2 /L \"" + list + "\"");
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked,
              "<R>List file not found - </R>" + list + "\r\n<R>Nothing selected\r\n---\r\nError: 2\r\n</R>");
    EXPECT_EQ(run.exitCode, 0);
}

// Without a recycle bin (Wine's trash cannot be made under a file) the shell asks before
// it destroys a file for good, and "No" keeps it.
TEST(CleanerRun, AFileTheRecycleBinCannotTakeIsNotDestroyedUnasked) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.obj", "keep");
    SetEnvironmentVariableW(L"XDG_DATA_HOME", L"/dev/null/no-trash");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 2, {folder / "a.obj"});
    SetEnvironmentVariableW(L"XDG_DATA_HOME", nullptr);
    ASSERT_NE(dialog, nullptr);
    driver::Click(dialog, IDOK);
    // Wine's own question; Windows words it its own way.
    HWND question = driver::WaitForWindow(app, "Confirm file deletion");
    ASSERT_NE(question, nullptr) << "no question";
    driver::Command(question, IDNO);
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.text, "Failed - " + (folder / "a.obj") + "\r\n---\r\nError: 1\r\n");
    EXPECT_EQ(driver::ReadFile(folder / "a.obj"), "keep");
}

TEST(CleanerRun, ClosingTheLogMidRunEndsAtOnceAndLeavesTheRestAsItWas) {
    driver::TempFolder folder;
    const std::string tag = " " + std::to_string(GetTickCount64());
    const int count = 1500;
    for (int i = 0; i < count; ++i)
        driver::WriteFile(folder / ("f" + std::to_string(i) + ".obj"), std::to_string(i) + tag);
    driver::Process app;
    HWND dialog = StartTool(app, folder, 2, {folder.Path()});
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::Click(dialog, IDOK);
    driver::WaitForLogText(log, "Delete - ");
    const DWORD closed = GetTickCount();
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app, 5000), 0);
    EXPECT_LT(GetTickCount() - closed, 2000u);

    // Every file is either where it was, whole, or in the trash: none half done, and the
    // run did not go on to the end.
    const std::set<std::string> trash = TrashContents();
    int left = 0;
    for (int i = 0; i < count; ++i) {
        const std::string path = folder / ("f" + std::to_string(i) + ".obj"), content = std::to_string(i) + tag;
        const bool there = driver::FileExists(path);
        left += there;
        EXPECT_TRUE(there ? driver::ReadFile(path) == content : trash.count(content) == 1)
            << path << (there ? " is not whole" : " is gone but not in the trash");
    }
    EXPECT_GT(left, 0) << "the run was not stopped";
    EXPECT_LT(left, count) << "the run had not begun";
}

// The extension follows the last dot, in any case, between any separators (empty entries, a
// repeat, ".tar.gz" that never matches, "gz", blanks); all 1,024 characters of the field count
// (".cs", not ".c"); attributes do not matter and are kept; "." is the folder started in.
TEST(CleanerRun, TheLastDotAnyCaseTheWholeListAnyAttributesAndRelativePaths) {
    driver::TempFolder folder;
    std::string list = "|.OBJ||.pdb|.tar.gz|gz| .aps|.aps |.pdb|";
    while (list.size() + 4 < 1024) list += ".x" + std::string(list.size() % 2 ? "y" : "") + "|";
    list = list.substr(0, 1020) + "|.cs";  // 1,024 characters
    const DWORD hiddenReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
    const std::vector<std::string> gone = {"main.obj", "Two.Pdb", ".pdb", "y.cs"},
                                   kept = {"archive.tar.gz", "c.aps", "Makefile", "a.obj old",
                                           "x.objx",         "x.c",   "keep.txt"};
    for (const auto& names : {gone, kept})
        for (const std::string& name : names) driver::WriteFile(folder / name, name);
    for (const char* name : {"keep.txt", "y.cs"})
        ASSERT_TRUE(SetFileAttributesA((folder / name).c_str(), hiddenReadOnly));

    driver::Process app = driver::Start(driver::QuilkitExe(), "/M2 .", folder.Path());
    HWND dialog = driver::WaitForWindow(app, driver::CaptionOf(IDD_EXTDLG));
    ASSERT_NE(dialog, nullptr);
    driver::SetItemText(dialog, IDC_EXTENSIONS, list);
    const Outcome run = FinishRun(app, dialog);
    for (const std::string& name : gone) {
        EXPECT_NE(run.text.find("Delete - " + (folder / name) + "\r\n"), std::string::npos) << run.text;
        EXPECT_FALSE(driver::FileExists(folder / name)) << name;
    }
    EXPECT_EQ(std::count(run.text.begin(), run.text.end(), '\n'), long(gone.size() + 2)) << run.text;
    EXPECT_NE(run.text.find("\r\n---\r\nAll Success!\r\n"), std::string::npos) << run.text;
    for (const std::string& name : kept) EXPECT_EQ(driver::ReadFile(folder / name), name);
    EXPECT_EQ(GetFileAttributesA((folder / "keep.txt").c_str()) & hiddenReadOnly, hiddenReadOnly);
    SetFileAttributesA((folder / "keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Each of `paths` with its content, or "<gone>".
static std::map<std::string, std::string> Contents(const std::vector<std::string>& paths) {
    std::map<std::string, std::string> contents;
    for (const std::string& path : paths) contents[path] = driver::FileExists(path) ? driver::ReadFile(path) : "<gone>";
    return contents;
}

// The system's words for a size (Wine has no StrFormatByteSizeEx; the program falls back).
static std::string SizeText(uint64_t bytes) {
    wchar_t text[64] = L"";
    StrFormatByteSizeW(LONGLONG(bytes), text, 64);
    return driver::Utf8(text);
}

// Preview lists exactly what a run would delete, with sizes, and changes nothing; Delete
// These then deletes exactly those, naming one removed and one changed meanwhile.
TEST(CleanerPreview, ListsWhatWouldGoChangesNothingThenDeletesExactlyThose) {
    driver::TempFolder folder;
    const std::string top = folder / "top";
    CreateDirectoryW(driver::Wide(top).c_str(), nullptr);
    CreateDirectoryW(driver::Wide(top + "\\sub").c_str(), nullptr);
    const std::vector<std::string> listed = {top + "\\a.obj", top + "\\sub\\b.pdb", top + "\\sub\\c.obj",
                                             top + "\\sub\\d.ilk"},
                                   all = {listed[0], listed[1], listed[2], listed[3], top + "\\keep.cpp"};
    for (const std::string& path : listed) driver::WriteFile(path, std::string(path.size(), 'x'));
    driver::WriteFile(top + "\\keep.cpp", "int main;");
    const std::map<std::string, std::string> before = Contents(all);

    driver::Process app;
    HWND dialog = StartTool(app, folder, 2, {top});
    ASSERT_NE(dialog, nullptr);
    driver::Click(dialog, IDC_PREVIEW);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    EXPECT_EQ(driver::GetText(log), "Log - Clean Build Files - top");
    EXPECT_EQ(driver::WaitForRunEnd(log).rfind("Done: 5 looked at, 4 would be deleted, 0 failed in ", 0), 0u);
    std::string expected;
    uint64_t bytes = 0;
    for (const std::string& path : listed) {
        expected += "Would delete - " + path + " (" + SizeText(path.size()) + ")\r\n";
        bytes += path.size();
    }
    const std::string summary = "4 files, " + SizeText(bytes) + " would go to the Recycle Bin";
    EXPECT_EQ(driver::ReadLogText(log), expected + summary + "\r\n---\r\nAll Success!\r\n");
    EXPECT_EQ(driver::ReadVerdict(log), summary);
    EXPECT_EQ(Contents(all), before);

    ASSERT_TRUE(DeleteFileW(driver::Wide(listed[1]).c_str()));
    driver::WriteFile(listed[2], "changed since");
    driver::Command(log, ID_LOG_DELETE_THESE);
    const std::string text = driver::WaitForLogText(log, "---\r\nError: 2\r\n");
    EXPECT_NE(text.find("Gone since the preview - " + listed[1] + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Changed since the preview - " + listed[2] + "\r\n"), std::string::npos) << text;
    EXPECT_EQ(driver::WaitForRunEnd(log).rfind("Done: 4 looked at, 2 deleted, 2 failed in ", 0), 0u);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    std::map<std::string, std::string> after = before;
    for (size_t gone : {0, 1, 3}) after[listed[gone]] = "<gone>";
    after[listed[2]] = "changed since";
    EXPECT_EQ(Contents(all), after);
}
