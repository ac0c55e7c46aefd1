#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "startup/PathList.h"
#include "tools/FileMoleImpl.h"
#include "tools/LogSink.h"
#include "tools/ToolRun.h"

namespace {

// Records every call; fails the files and folders whose names contain "fail".
class RecordingEngine : public CFileMoleImpl {
public:
    ResultCode OnFile(const char* path) override { return Record("file", path); }
    ResultCode OnFolder(const char* path) override { return Record("folder", path); }

    std::vector<std::string> calls;

private:
    ResultCode Record(const char* kind, const char* path) {
        calls.push_back(std::string(kind) + " " + path);
        return strstr(path, "fail") ? kResultFail : kResultOk;
    }
};

class RecordingLog : public CLogSink {
public:
    void AppendSuccess(const char* text) override { lines += "[green]" + std::string(text); }
    void AppendError(const char* text) override { lines += "[red]" + std::string(text); }
    void AppendLine(const char* text) override { lines += std::string(text) + "\r\n"; }
    std::string lines;
};

class Walker : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        m_root = std::string(temp) + "vexwalk" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_root.c_str(), nullptr);
        SetOpenLog(&m_log);
        ThePathList().Clear();
    }
    void TearDown() override {
        SetOpenLog(nullptr);
        ThePathList().Clear();
        RemoveTree(m_root);
    }

    std::string Make(const std::string& relative, bool folder = false) {
        const std::string path = m_root + "\\" + relative;
        if (folder) {
            CreateDirectoryA(path.c_str(), nullptr);
        } else {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
        return path;
    }

    int Walk(const std::string& path, int subFolders, EntryAttributes attributes = EntryAttributes::Normalise) {
        char buffer[CFileMoleImpl::kPathBufferSize];
        lstrcpynA(buffer, path.c_str(), sizeof(buffer));
        return m_engine.WalkFolder(buffer, subFolders, attributes);
    }

    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..") continue;
                const std::string child = path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(path.c_str());
    }

    size_t IndexOf(const std::string& call) const {
        auto it = std::find(m_engine.calls.begin(), m_engine.calls.end(), call);
        EXPECT_NE(it, m_engine.calls.end()) << call;
        return size_t(it - m_engine.calls.begin());
    }

    std::string m_root;
    RecordingEngine m_engine;
    RecordingLog m_log;
};

TEST_F(Walker, PreOrderWithTrailingBackslashesAndSubFolders) {
    Make("top", true);
    Make("top\\a.txt");
    Make("top\\sub", true);
    Make("top\\sub\\b.txt");
    Make("top\\sub\\deeper", true);
    Make("top\\sub\\deeper\\c.txt");

    EXPECT_EQ(Walk(m_root + "\\top", 1), 0);
    const std::string top = m_root + "\\top\\";
    const std::set<std::string> expected = {"folder " + top,
                                            "file " + top + "a.txt",
                                            "folder " + top + "sub\\",
                                            "file " + top + "sub\\b.txt",
                                            "folder " + top + "sub\\deeper\\",
                                            "file " + top + "sub\\deeper\\c.txt"};
    EXPECT_EQ(std::set<std::string>(m_engine.calls.begin(), m_engine.calls.end()), expected);
    EXPECT_EQ(m_engine.calls.size(), expected.size());
    EXPECT_EQ(m_engine.calls.front(), "folder " + top);
    // A sub-folder's whole subtree comes right after its own OnFolder, in one piece.
    const size_t sub = IndexOf("folder " + top + "sub\\");
    const size_t subtree[] = {IndexOf("file " + top + "sub\\b.txt"), IndexOf("folder " + top + "sub\\deeper\\"),
                              IndexOf("file " + top + "sub\\deeper\\c.txt")};
    EXPECT_EQ(*std::min_element(std::begin(subtree), std::end(subtree)), sub + 1);
    EXPECT_EQ(*std::max_element(std::begin(subtree), std::end(subtree)), sub + 3);
    EXPECT_EQ(subtree[2], subtree[1] + 1);
}

TEST_F(Walker, WithoutSubFoldersOnlyDirectFiles) {
    Make("top", true);
    Make("top\\a.txt");
    Make("top\\sub", true);
    Make("top\\sub\\b.txt");
    EXPECT_EQ(Walk(m_root + "\\top\\", 0), 0);
    EXPECT_EQ(m_engine.calls,
              (std::vector<std::string>{"folder " + m_root + "\\top\\", "file " + m_root + "\\top\\a.txt"}));
}

TEST_F(Walker, FailureCounts) {
    Make("top", true);
    Make("top\\fail1.txt");
    Make("top\\fail2.txt");
    Make("top\\ok.txt");
    Make("top\\failsub", true);  // its OnFolder fails: one more
    EXPECT_EQ(Walk(m_root + "\\top", 1), 3);

    // Not a folder: one failure, no call.
    m_engine.calls.clear();
    EXPECT_EQ(Walk(m_root + "\\top\\ok.txt", 1), 1);
    EXPECT_TRUE(m_engine.calls.empty());

    // A folder that cannot be enumerated counts once, also when its OnFolder failed.
    EXPECT_EQ(Walk(m_root + "\\missing-fail", 1), 1);
    EXPECT_EQ(m_engine.calls.back(), "folder " + m_root + "\\missing-fail\\");
}

// Wine keeps the hidden flag faithfully (read-only follows the Unix mode, which means
// little to root), so the walks are checked by it.
DWORD Flags(const std::string& path) { return GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN; }

TEST_F(Walker, EntriesGetNormalAttributesButTheFolderAndItsParentKeepTheirs) {
    Make("top", true);
    const std::string file = Make("top\\hidden.txt");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((m_root + "\\top").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(m_root.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(Flags(m_root + "\\top"), DWORD(FILE_ATTRIBUTE_HIDDEN));

    EXPECT_EQ(Walk(m_root + "\\top", 1, EntryAttributes::Keep), 0);
    EXPECT_EQ(Flags(file), DWORD(FILE_ATTRIBUTE_HIDDEN));

    EXPECT_EQ(Walk(m_root + "\\top", 1), 0);
    EXPECT_EQ(Flags(file), 0u);
    // "." and ".." are not entries: the walked folder and its parent are left alone.
    EXPECT_EQ(Flags(m_root + "\\top"), DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Flags(m_root), DWORD(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(Walker, PathsTooLongForTheBuffersAreNamedAndCounted) {
    // Build a folder whose path leaves room for the folder but not for a long entry name.
    std::string folder = m_root;
    while (folder.size() < MAX_PATH - 40) {
        folder += "\\" + std::string(std::min<size_t>(30, MAX_PATH - 40 - folder.size() + 1), 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    const std::string name(60, 'n');
    const std::string longPath = folder + "\\" + name;
    // Windows' own limit would refuse this name; create it through the Unix side.
    const std::string unlimited = "\\\\?\\" + longPath;
    const std::wstring wide(unlimited.begin(), unlimited.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) GTEST_SKIP() << "cannot create a path over MAX_PATH here";
    CloseHandle(file);
    Make(folder.substr(m_root.size() + 1) + "\\ok.txt");

    EXPECT_EQ(Walk(folder, 0), 1);
    EXPECT_NE(m_log.lines.find("[red]Path too long - " + longPath + "\r\n"), std::string::npos) << m_log.lines;
    EXPECT_EQ(m_engine.calls.back(), "file " + folder + "\\ok.txt");
}

TEST_F(Walker, SharedRunHandsFilesToOnFileAndFoldersByTheirHandling) {
    Make("top", true);
    Make("top\\a.txt");
    const std::string selected = Make("selected.txt");
    SetFileAttributesA(selected.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ThePathList().Add(selected.c_str());
    ThePathList().Add((m_root + "\\top").c_str());
    ThePathList().Add((m_root + "\\gone-fail.txt").c_str());
    ThePathList().Add("");

    EXPECT_EQ(WalkPathList(m_engine, WalkOptions{}), 1);
    EXPECT_EQ(m_engine.calls, (std::vector<std::string>{"file " + selected, "folder " + m_root + "\\top\\",
                                                        "file " + m_root + "\\top\\a.txt",
                                                        "file " + m_root + "\\gone-fail.txt", "file "}));
    // A selected file is handed over as it is, attributes untouched.
    EXPECT_EQ(Flags(selected), DWORD(FILE_ATTRIBUTE_HIDDEN));

    m_engine.calls.clear();
    WalkOptions folderOnly;
    folderOnly.folders = FolderHandling::FolderOnly;
    ThePathList().Clear();
    ThePathList().Add((m_root + "\\top").c_str());
    EXPECT_EQ(WalkPathList(m_engine, folderOnly), 0);
    EXPECT_EQ(m_engine.calls, std::vector<std::string>{"folder " + m_root + "\\top"});
    SetFileAttributesA(selected.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Walker, SummaryLines) {
    WriteSummary(0);
    EXPECT_EQ(m_log.lines, "[green]---\r\nAll Success!\r\n");
    m_log.lines.clear();
    WriteSummary(4);
    EXPECT_EQ(m_log.lines, "[red]---\r\nError: 4\r\n");
}

}  // namespace
