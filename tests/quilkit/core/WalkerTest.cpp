#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Driver.h"
#include "tools/FileMoleImpl.h"
#include "tools/LogSink.h"
#include "tools/ToolRun.h"

namespace {

using Calls = std::vector<std::string>;

class RecordingLog : public CLogSink {
public:
    void AppendSuccess(const char* text) override { lines += "[green]" + std::string(text); }
    void AppendError(const char* text) override { lines += "[red]" + std::string(text); }
    void AppendLine(const char* text) override { lines += std::string(text) + "\r\n"; }
    std::string lines;
};

// Records every call; fails the paths that contain "fail".
class RecordingEngine : public CFileMoleImpl {
public:
    RecordingEngine(CLogSink& log, const CStopRequest& stop) : CFileMoleImpl(log, stop) {}
    ResultCode OnFile(const char* path) override { return Record("file ", path); }
    ResultCode OnFolder(const char* path) override { return Record("folder ", path); }
    Calls calls;

private:
    ResultCode Record(const char* kind, const char* path) {
        calls.push_back(kind + std::string(path));
        return strstr(path, "fail") ? kResultFail : kResultOk;
    }
};

// Wine keeps the hidden flag faithfully (read-only follows the Unix mode, which means
// little to root), so attribute changes are checked by it.
bool IsHidden(const std::string& path) { return GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN; }

class Walker : public ::testing::Test {
protected:
    // Creates the folders (names ending in a backslash) and empty files, in order.
    void Make(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const std::string path = m_root / name;
            if (path.back() == '\\')
                CreateDirectoryA(path.c_str(), nullptr);
            else
                driver::WriteFile(path, "");
        }
    }

    int Walk(const std::string& path, int subFolders) {
        char buffer[CFileMoleImpl::kPathBufferSize];
        lstrcpynA(buffer, path.c_str(), sizeof(buffer));
        return m_engine.WalkFolder(buffer, subFolders);
    }

    size_t IndexOf(const std::string& call) const {
        return size_t(std::find(m_engine.calls.begin(), m_engine.calls.end(), call) - m_engine.calls.begin());
    }

    driver::TempFolder m_root;
    RecordingLog m_log;
    CStopRequest m_stop;
    RecordingEngine m_engine{m_log, m_stop};
};

TEST_F(Walker, PreOrderWithTrailingBackslashesWithAndWithoutSubFolders) {
    Make({"top\\", "top\\a.txt", "top\\sub\\", "top\\sub\\b.txt", "top\\sub\\deeper\\", "top\\sub\\deeper\\c.txt"});
    const std::string top = m_root / "top\\";

    EXPECT_EQ(Walk(m_root / "top", 1), 0);
    Calls sorted = m_engine.calls;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted,
              (Calls{"file " + top + "a.txt", "file " + top + "sub\\b.txt", "file " + top + "sub\\deeper\\c.txt",
                     "folder " + top, "folder " + top + "sub\\", "folder " + top + "sub\\deeper\\"}));
    EXPECT_EQ(m_engine.calls.front(), "folder " + top);
    // A sub-folder's subtree follows its own OnFolder in one piece, whatever the order within.
    const size_t sub = IndexOf("folder " + top + "sub\\");
    const size_t b = IndexOf("file " + top + "sub\\b.txt"), deeper = IndexOf("folder " + top + "sub\\deeper\\");
    EXPECT_EQ(std::min(b, deeper), sub + 1);
    EXPECT_EQ(IndexOf("file " + top + "sub\\deeper\\c.txt"), deeper + 1);
    EXPECT_LE(std::max(b, deeper + 1), sub + 3);

    // Without sub-folders, a path that already ends in a backslash gets no second one.
    m_engine.calls.clear();
    EXPECT_EQ(Walk(top, 0), 0);
    EXPECT_EQ(m_engine.calls, (Calls{"folder " + top, "file " + top + "a.txt"}));
}

TEST_F(Walker, FailureCounts) {
    Make({"top\\", "top\\fail1.txt", "top\\fail2.txt", "top\\ok.txt", "top\\failsub\\"});
    EXPECT_EQ(Walk(m_root / "top", 1), 3);

    m_engine.calls.clear();
    EXPECT_EQ(Walk(m_root / "top\\ok.txt", 1), 1);  // not a folder
    EXPECT_TRUE(m_engine.calls.empty());

    // A folder that cannot be enumerated counts once, also when its OnFolder failed.
    EXPECT_EQ(Walk(m_root / "missing-fail", 1), 1);
    EXPECT_EQ(m_engine.calls.back(), "folder " + (m_root / "missing-fail\\"));
}

TEST_F(Walker, ChangesNoAttributeOfAnEntryTheFolderOrItsParent) {
    Make({"top\\", "top\\hidden.txt"});
    for (const std::string& path : {m_root / "top\\hidden.txt", m_root / "top", m_root.Path()})
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Walk(m_root / "top", 1), 0);
    for (const std::string& path : {m_root / "top\\hidden.txt", m_root / "top", m_root.Path()})
        EXPECT_TRUE(IsHidden(path)) << path;
    SetFileAttributesA(m_root.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Walker, PathsTooLongForTheBuffersAreNamedAndCounted) {
    // A folder that leaves room for itself but not for a 60-character entry name.
    std::string folder = m_root.Path();
    while (folder.size() < MAX_PATH - 40) {
        folder += "\\" + std::string(std::min<size_t>(30, MAX_PATH - 40 - folder.size() + 1), 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    const std::string longPath = folder + "\\" + std::string(60, 'n');
    // The ANSI functions refuse such a name; the wide ones with \\?\ make it.
    const std::string unlimited = "\\\\?\\" + longPath;
    const std::wstring wide(unlimited.begin(), unlimited.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    driver::WriteFile(folder + "\\ok.txt", "");

    EXPECT_EQ(Walk(folder, 0), 1);
    EXPECT_NE(m_log.lines.find("[red]Path too long - " + longPath + "\r\n"), std::string::npos) << m_log.lines;
    EXPECT_EQ(m_engine.calls.back(), "file " + folder + "\\ok.txt");
    DeleteFileW(wide.c_str());
}

TEST_F(Walker, SharedRunHandsEachPathOnAndWritesTheSummary) {
    Make({"top\\", "top\\a.txt", "selected.txt"});
    SetFileAttributesA((m_root / "selected.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const std::vector<std::string> paths = {m_root / "selected.txt", m_root / "top", m_root / "gone-fail.txt", ""};
    const int failures = WalkPathList(m_engine, paths, WalkOptions{});
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(m_engine.calls,
              (Calls{"file " + (m_root / "selected.txt"), "folder " + (m_root / "top\\"),
                     "file " + (m_root / "top\\a.txt"), "file " + (m_root / "gone-fail.txt"), "file "}));
    // A selected file is handed over as it is, its attributes untouched.
    EXPECT_TRUE(IsHidden(m_root / "selected.txt"));

    m_engine.calls.clear();
    WalkOptions folderOnly;
    folderOnly.folders = FolderHandling::FolderOnly;
    EXPECT_EQ(WalkPathList(m_engine, {m_root / "top"}, folderOnly), 0);
    EXPECT_EQ(m_engine.calls, Calls{"folder " + (m_root / "top")});

    // A stop request ends the run before the next path and the next entry.
    m_engine.calls.clear();
    m_stop.Request();
    EXPECT_EQ(WalkPathList(m_engine, paths, WalkOptions{}), 0);
    EXPECT_EQ(Walk(m_root / "top", 1), 0);
    EXPECT_TRUE(m_engine.calls.empty());

    WriteSummary(m_log, 0);
    WriteSummary(m_log, failures);
    EXPECT_EQ(m_log.lines, "[green]---\r\nAll Success!\r\n[red]---\r\nError: 1\r\n");
}

}  // namespace
