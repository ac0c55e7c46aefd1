#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "Driver.h"
#include "framework/Handles.h"
#include "run/FileMoleImpl.h"
#include "log/RunFeed.h"
#include "run/ToolRun.h"
#include "BlockingCalls.h"
#include "tools/hash/EngineHash.h"
#include "tools/verify/Engine_ChecksumVerify.h"

namespace {

using Calls = std::vector<std::string>;

// The lines a run wrote to `feed` (in English, from the program's own string table linked
// into this one), those of failures and notices marked.
std::string TakeLines(CRunFeed& feed) {
    const char* const marks[] = {"", "", "[red]", "[notice]"};  // by LogFormat
    std::vector<LogEntry> batch;
    std::string lines;
    for (bool more = true; more;) {
        more = feed.Take(batch, 1000);
        for (const LogEntry& entry : batch) lines += marks[int(entry.format)] + driver::Utf8(entry.text);
    }
    return lines;
}

// Records every call; fails the paths that contain "fail", stops the run at those that contain "stop".
class RecordingEngine : public CFileMoleImpl {
public:
    RecordingEngine(CLogSink& log, CStopRequest& stop) : CFileMoleImpl(log, stop), m_request(stop) {}
    ResultCode OnFile(const std::wstring& path) override { return Record("file ", path); }
    ResultCode OnFolder(const std::wstring& path) override { return Record("folder ", path); }
    Calls calls;

private:
    ResultCode Record(const char* kind, const std::wstring& path) {
        calls.push_back(kind + driver::Utf8(path));
        if (path.find(L"stop") != std::wstring::npos) return m_request.Request(), kResultStopped;
        return path.find(L"fail") != std::wstring::npos ? kResultFail : kResultOk;
    }
    CStopRequest& m_request;
};

// Wine keeps the hidden flag faithfully (read-only follows the Unix mode), so it shows attribute changes.
bool IsHidden(const std::string& path) {
    return GetFileAttributesW(driver::LongPath(path).c_str()) & FILE_ATTRIBUTE_HIDDEN;
}

class Walker : public ::testing::Test {
protected:
    // Creates the folders (names ending in a backslash) and empty files, in order.
    void Make(std::initializer_list<const char*> names) {
        for (const std::string name : names)
            name.back() == '\\' ? void(CreateDirectoryW(driver::LongPath(m_root / name).c_str(), nullptr))
                                : driver::WriteFile(m_root / name, "");
    }

    int Walk(const std::string& path, int subFolders) { return m_engine.WalkFolder(driver::Wide(path), subFolders); }

    size_t IndexOf(const std::string& call) const {
        return size_t(std::find(m_engine.calls.begin(), m_engine.calls.end(), call) - m_engine.calls.begin());
    }

    driver::TempFolder m_root;
    CRunFeed m_log;
    CStopRequest m_stop;
    RecordingEngine m_engine{m_log, m_stop};
};

// Pre-order, one backslash between names, and no attribute changed of an entry, the folder or its parent.
TEST_F(Walker, PreOrderWithTrailingBackslashesWithAndWithoutSubFolders) {
    Make({"top\\", "top\\a.txt", "top\\sub\\", "top\\sub\\b.txt", "top\\sub\\deeper\\", "top\\sub\\deeper\\c.txt"});
    const std::string top = m_root / "top\\";
    const std::vector<std::string> hidden = {m_root / "top\\a.txt", m_root / "top", m_root.Path()};
    for (const std::string& path : hidden) SetFileAttributesW(driver::LongPath(path).c_str(), FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(Walk(m_root / "top", 1), 0);
    for (const std::string& path : hidden) EXPECT_TRUE(IsHidden(path)) << path;
    SetFileAttributesW(driver::LongPath(m_root.Path()).c_str(), FILE_ATTRIBUTE_NORMAL);
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

// Each selected path handed on in turn: one that is not there is named by the walk, whatever
// the tool; a link is skipped, unless the tool works on the folder alone.
TEST_F(Walker, SharedRunHandsEachPathOnAndStops) {
    Make({"top\\", "top\\a.txt", "selected.txt", "stop.txt", "outside\\", "outside\\victim.txt"});
    const driver::UnixLink out(m_root / "outside", m_root / "out");
    WalkOptions folderOnly;
    folderOnly.folders = FolderHandling::FolderOnly;
    EXPECT_EQ(WalkPathList(m_engine, {driver::Wide(m_root / "out")}, folderOnly).failures, 0);
    EXPECT_EQ(m_engine.calls, Calls{"folder " + (m_root / "out")});
    m_engine.calls.clear();
    SetFileAttributesW(driver::LongPath(m_root / "selected.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::vector<std::wstring> paths;
    for (const char* name : {"selected.txt", "top", "gone.txt", "no\\such.txt", "out", "stop.txt", "top", "gone.txt"})
        paths.push_back(driver::Wide(m_root / name));
    const RunTally tally = WalkPathList(m_engine, paths, WalkOptions{});
    EXPECT_EQ(tally.failures, 2);
    // A stop from the engine leaves that path and the rest undone.
    EXPECT_EQ(tally.notDone, 3);
    EXPECT_EQ(m_engine.calls, (Calls{"file " + (m_root / "selected.txt"), "folder " + (m_root / "top\\"),
                                     "file " + (m_root / "top\\a.txt"), "file " + (m_root / "stop.txt")}));
    EXPECT_EQ(TakeLines(m_log), "[red]Not found - " + (m_root / "gone.txt") + "\r\n[red]Not found - " +
                                    (m_root / "no\\such.txt") + "\r\nLink skipped - " + (m_root / "out") + "\r\n");
    // A selected file is handed over as it is, its attributes untouched.
    EXPECT_TRUE(IsHidden(m_root / "selected.txt"));

    // Once stopped, a walk ends before its first entry.
    m_engine.calls.clear();
    EXPECT_EQ(Walk(m_root / "top", 1), 0);
    EXPECT_TRUE(m_engine.WasCutShort());
    EXPECT_TRUE(m_engine.calls.empty());
}

// Failures add up: the engine's, a folder that cannot be listed (named with its reason and
// never reported done), a file or a missing folder walked as a folder; an empty one is none.
TEST_F(Walker, FailuresAddUpAndAFolderThatCannotBeListedIsNamedWithItsReason) {
    Make({"top\\", "top\\a.txt", "top\\fail.txt", "top\\failsub\\", "top\\held\\", "top\\held\\b.txt", "top\\empty\\"});
    const std::string top = m_root / "top\\";
    // Wine lets root list any folder whatever its Unix mode; a folder another program
    // holds without sharing cannot be opened for listing, there as on Windows.
    UniqueFile held(CreateFileW(driver::LongPath(top + "held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(held);

    EXPECT_EQ(Walk(top, 1), 3);
    Calls sorted = m_engine.calls;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Calls{"file " + top + "a.txt", "file " + top + "fail.txt", "folder " + top,
                             "folder " + top + "empty\\", "folder " + top + "failsub\\"}));
    EXPECT_EQ(TakeLines(m_log),
              "[red]Cannot list - " + top + "held\\ (" + driver::SystemReason(ERROR_SHARING_VIOLATION) + ")\r\n");
    m_engine.calls.clear();
    for (const std::string& path : {top + "held", top + "a.txt", m_root / "missing-fail"})
        EXPECT_EQ(Walk(path, 1), 1) << path;
    EXPECT_TRUE(m_engine.calls.empty());
}

// 600 levels on a 128 KB stack: a walk that recursed, 592 bytes of find record a level,
// overflows it. At the foot, far beyond MAX_PATH, names outside the code page arrive whole
// and look-alikes stay apart: "cafe.txt" is never taken for "café.txt".
DWORD WINAPI WalkDeepTree(void* context) {
    auto* walker = static_cast<std::pair<RecordingEngine*, std::wstring>*>(context);
    return DWORD(walker->first->WalkFolder(walker->second, 1));
}

TEST_F(Walker, AChainOfHundredsOfFoldersIsWalkedOnASmallStackAndItsNamesArriveWhole) {
    std::string deep = m_root / "top";
    ASSERT_TRUE(CreateDirectoryW(driver::LongPath(deep).c_str(), nullptr));
    std::vector<std::string> chain;
    while (chain.size() < 600) {
        deep += "\\d";
        ASSERT_TRUE(CreateDirectoryW(driver::LongPath(deep).c_str(), nullptr)) << chain.size();
        chain.push_back(deep);
    }
    Calls files;
    for (const char* name : {"cafe.txt", "caf\xC3\xA9.txt", "\xF0\x9F\x98\x80.txt", "\xE6\x97\xA5\xE6\x9C\xAC.txt"}) {
        driver::WriteFile(deep + "\\" + name, "");
        files.push_back("file " + deep + "\\" + name);
    }

    std::pair<RecordingEngine*, std::wstring> context(&m_engine, driver::Wide(m_root / "top"));
    UniqueHandle thread(
        CreateThread(nullptr, 128 * 1024, WalkDeepTree, &context, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 120000), WAIT_OBJECT_0);
    DWORD failures = 1;
    GetExitCodeThread(thread.Get(), &failures);
    EXPECT_EQ(failures, 0u);
    ASSERT_EQ(m_engine.calls.size(), chain.size() + 1 + files.size());
    EXPECT_EQ(m_engine.calls[chain.size()], "folder " + chain.back() + "\\");
    EXPECT_TRUE(std::is_permutation(files.begin(), files.end(), m_engine.calls.end() - files.size()));

    // The chain goes from its bottom up, rather than by the driver's recursive clean-up.
    for (const std::string& file : files) DeleteFileW(driver::LongPath(file.substr(5)).c_str());
    for (auto level = chain.rbegin(); level != chain.rend(); ++level)
        RemoveDirectoryW(driver::LongPath(*level).c_str());
}

// Several hundred files of mixed sizes (empty, within the first chunk, across chunks), in
// folders and sub-folders, with a missing path and a link among them. Every fifth entry of
// its MD5SUMS is wrong, every ninth names no file.
std::vector<std::wstring> MakeMixedTree(const driver::TempFolder& root) {
    std::mt19937 random(30);
    std::string sums;
    const char* folders[] = {"tree", "tree\\a", "tree\\a\\deep", "tree\\b"};
    for (const char* folder : folders) CreateDirectoryW(driver::LongPath(root / folder).c_str(), nullptr);
    for (int i = 0; i < 320; ++i) {
        const std::string name = std::string(folders[i % 4]).substr(4) + "\\f" + std::to_string(i) + ".bin";
        const size_t size = i % 40 == 0 ? CFileHasher::kChunkSize + random() % (3 * CFileHasher::kChunkSize)
                                        : (i % 7 == 0 ? 0 : random() % 70000);
        std::string bytes(size, '\0');
        for (char& byte : bytes) byte = char(random());
        driver::WriteFile(root / "tree" + name, bytes);
        CAnyDigest digest(DigestKind::Md5);
        digest.Init();
        digest.Update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        std::string entry = (i % 9 == 0 ? "gone" : "") + name;
        std::replace(entry.begin(), entry.end(), '\\', '/');
        sums += (i % 5 == 0 ? std::string(32, 'a') : LowercaseHex(digest.Finish())) + "  " + entry.substr(1) + "\n";
    }
    driver::WriteFile(root / "tree\\MD5SUMS", sums);
    return {driver::Wide(root / "tree"), driver::Wide(root / "missing.bin"), driver::Wide(root / "tree\\a\\f1.bin")};
}

// Several files read at once give the lines, counts and digests of one at a time.
TEST_F(Walker, SeveralFilesAtOnceWriteTheLogOfOneAtATime) {
    const std::vector<std::wstring> paths = MakeMixedTree(m_root);
    const driver::UnixLink link(m_root / "tree\\b", m_root / "tree\\a\\link");
    // What a run leaves: its lines, its counts and the digests it kept.
    const auto run = [&](bool verify, size_t workers) {
        CRunFeed log;
        auto kept = std::make_shared<CRunChecksums>();
        kept->SetSelection(paths);
        const RunTally tally =
            verify ? VerifyChecksums(paths, workers)(log, m_stop)
                   : HashCheckJob(paths, WalkOptions{}, {DigestKind::Md5, DigestKind::Sha1}, kept,
                                  "d41d8cd98f00b204e9800998ecf8427e", ChecksumAlgorithm::Md5, workers)(log, m_stop);
        return std::tuple(TakeLines(log), log.Progress().files, log.Progress().failures, tally.failures, tally.notDone,
                          kept->Text(L"\n"));
    };
    for (const bool verify : {false, true}) {
        const auto one = run(verify, 1);
        const auto [lines, files, failed, failures, notDone, digests] = one;
        // The empty files match the expected digest, the rest fail; nothing is left undone.
        EXPECT_TRUE(files > failed + 30 && failed > 30 && files + failed > 300) << files << ", " << failed;
        EXPECT_EQ(notDone, 0);
        for (const size_t workers : {2, 5}) EXPECT_TRUE(run(verify, workers) == one) << verify << ": " << workers;
    }
}

class BlockingCalls : public Walker {
protected:
    void SetUp() override { ASSERT_TRUE(m_seam.Complete()); }
    seam::Installed m_seam;
};

CToolRun::Job HashJob(const std::vector<std::wstring>& paths) {
    return [paths](CLogSink& log, const CStopRequest& stop) {
        CEngineHash engine(log, stop, {DigestKind::Md5});
        return WalkPathList(engine, paths, WalkOptions{});
    };
}

// Each call that may wait on a share: Stop cancels it, and the worker is in a read there, so
// that where nothing can cancel it Close lets the worker go in time.
TEST_F(BlockingCalls, StopCancelsEveryCallThatWaitsAndTheEndOfTheProgramIsBounded) {
    Make({"stuck\\", "stuck\\a.txt", "stuck\\SHA256SUMS", "stuck\\notes.asc", "stuck\\app.iso"});
    driver::WriteFile(m_root / "stuck\\SHA256SUMS", "d41d8cd98f00b204e9800998ecf8427e  a.txt\n");
    const std::wstring stuck = driver::Wide(m_root / "stuck"), tree = MakeMixedTree(m_root).front();
    const CToolRun::Job severalAtOnce = HashCheckJob({tree}, WalkOptions{}, {DigestKind::Md5},
                                                     std::make_shared<CRunChecksums>(), "", ChecksumAlgorithm::Md5, 3);
    const std::string stopped = "[notice]Stopped\r\n[notice]---\r\nStopped - ";
    const std::string counts = "0 files done, 0 failed, 1 of the selected paths not finished, 0 bytes read\r\n";
    const struct {
        const char* what;
        seam::Call call;
        const wchar_t* path;
        CToolRun::Job job;
        std::string before = {};  // what the run wrote before the call that waits
        bool several = false;     // files done before the stop vary: only the summary is known
    } cases[] = {
        {"hash: a selected path's attributes", seam::Call::Attributes, L"stuck", HashJob({stuck})},
        {"hash: a folder's listing", seam::Call::FindFirst, L"stuck\\*", HashJob({stuck})},
        {"hash: a folder's next entries", seam::Call::FindNext, L"stuck", HashJob({stuck})},
        // The walk meets the signature notes.asc before SHA256SUMS.
        {"verify: a checksum file's attributes", seam::Call::AttributesEx, L"SHA256SUMS", VerifyChecksums({stuck}),
         "Signature not checked - " + driver::Utf8(stuck) + "\\notes.asc\r\n"},
        {"verify: the head of an .asc file", seam::Call::Create, L"notes.asc",
         VerifyChecksums({stuck + L"\\notes.asc"})},
        {"verify: the listing beside a download", seam::Call::FindFirst, L"stuck\\*",
         VerifyChecksums({stuck + L"\\app.iso"})},
        // Several files read at once: the waiting open is on a thread beside the walk.
        {"hash: an open beside the walk", seam::Call::Create, L"f200.bin", severalAtOnce, {}, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        seam::BlockedCall blocked(m_seam, test.call, test.path, true);
        ASSERT_TRUE(blocked.Ready());
        CToolRun run;
        run.Feed().SetConsumer(nullptr, 0);
        run.Start(test.job);
        EXPECT_TRUE(m_seam.WaitUntilEntered());
        EXPECT_TRUE(run.IsWorkerReading());  // what the deadline of Close asks before it lets the worker go
        // Stopped as the log's Stop and its timer do: the wait is cancelled, the run ends within 2 s.
        const ULONGLONG start = GetTickCount64();
        std::string lines;
        run.RequestStop();
        while (!run.Feed().Progress().finished && GetTickCount64() - start < 6000) {
            lines += TakeLines(run.Feed());
            Sleep(50);
            run.CancelBlockedRead();
        }
        EXPECT_LT(GetTickCount64() - start, 2000u);
        lines += TakeLines(run.Feed());
        EXPECT_TRUE(run.StopAndJoin(1000));
        if (!test.several) {
            EXPECT_EQ(lines, test.before + stopped + counts);
            continue;
        }
        // The summary ends the log and names the path not done, not the file that waited.
        const size_t summary = lines.rfind(stopped);
        ASSERT_NE(summary, std::string::npos) << lines;
        EXPECT_NE(lines.find(" 0 failed, 1 of the selected paths not finished, ", summary), std::string::npos)
            << lines.substr(summary);
        EXPECT_EQ(lines.substr(lines.size() - 6), "read\r\n");
        EXPECT_EQ(lines.find("f200.bin"), std::string::npos);
    }
}

// A checksum file whose data is not on this computer is named, never opened (that would download it).
TEST_F(BlockingCalls, AChecksumFileThatIsACloudPlaceholderIsNamedAndNeverOpened) {
    Make({"walk\\", "beside\\", "beside\\app.iso"});
    driver::WriteFile(m_root / "walk\\cloud.sha256", "d41d8cd98f00b204e9800998ecf8427e  x\n");
    driver::WriteFile(m_root / "walk\\cloud.asc", "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n");
    driver::WriteFile(m_root / "beside\\app.iso.sha256sum", "d41d8cd98f00b204e9800998ecf8427e  app.iso\n");
    seam::g_elsewhere = {L"cloud.sha256", L"cloud.asc", L"app.iso.sha256sum"};
    const auto elsewhere = [&](const char* name) { return "[red]Not on this computer - " + (m_root / name) + "\r\n"; };
    const struct {
        const char* selected;
        std::string lines;
    } cases[] = {
        {"walk\\cloud.sha256", elsewhere("walk\\cloud.sha256")},
        {"walk\\cloud.asc", elsewhere("walk\\cloud.asc")},
        {"walk", elsewhere("walk\\cloud.asc") + elsewhere("walk\\cloud.sha256")},
        {"beside\\app.iso", elsewhere("beside\\app.iso.sha256sum") + "[red]No checksum file lists - " +
                                (m_root / "beside\\app.iso") + "\r\n"},
    };
    for (const auto& test : cases) {
        const RunTally tally = VerifyChecksums({driver::Wide(m_root / test.selected)})(m_log, m_stop);
        const std::string lines = TakeLines(m_log);
        // The walk meets the folder's entries in the order the file system keeps.
        EXPECT_EQ(lines.size(), test.lines.size()) << lines;
        for (size_t start = 0, end; (end = test.lines.find('\n', start)) != std::string::npos; start = end + 1)
            EXPECT_NE(lines.find(test.lines.substr(start, end + 1 - start)), std::string::npos) << lines;
        EXPECT_EQ(tally.failures, int(std::count(test.lines.begin(), test.lines.end(), '\n'))) << test.selected;
    }
    EXPECT_TRUE(seam::g_opened.empty()) << driver::Utf8(seam::g_opened.front());
}

}  // namespace
