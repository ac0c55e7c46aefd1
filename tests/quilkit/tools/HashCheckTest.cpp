// The hash checker (mode 3) end to end: the real program on a list file, its options
// dialog worked from outside, its log read back with formats.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "resource.h"

using namespace tooltest;

namespace {

constexpr int kHashMode = 3;

// Content whose bytes differ along the whole file, so that a lost or repeated chunk
// changes the digest.
std::string Pattern(size_t size) {
    std::string content(size, '\0');
    uint32_t state = 0x12345678u + uint32_t(size);
    for (char& c : content) {
        state = state * 1103515245u + 12345u;
        c = char(state >> 24);
    }
    return content;
}

struct Options {
    bool md5 = false;
    bool sha1 = false;
    bool subFolders = true;
};

RunResult HashRun(const driver::TempFolder& folder, const std::vector<std::string>& paths, const Options& options) {
    driver::Process app = StartTool(folder, kHashMode, paths);
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    if (!dialog) return {};
    driver::SetCheck(dialog, IDC_MD5, options.md5);
    driver::SetCheck(dialog, IDC_SHA1, options.sha1);
    driver::SetCheck(dialog, IDC_SUBFOLDERS, options.subFolders);
    driver::Click(dialog, IDOK);
    return FinishRun(app);
}

std::string Md5Line(const std::string& path, const std::string& content) {
    return "\"" + path + "\" MD5:" + PlatformDigest(content, CALG_MD5);
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

void WaitUntilGone(HWND window) {
    for (int i = 0; i < 400 && IsWindow(window) && IsWindowVisible(window); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(window) && IsWindowVisible(window)) << "the dialog stayed open";
}

}  // namespace

// ---- The options dialog ----

TEST(HashDialog, OpensWithSubFoldersCheckedAndNoDigestChosen) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kHashMode, {});
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(driver::IsChecked(dialog, IDC_MD5));
    EXPECT_FALSE(driver::IsChecked(dialog, IDC_SHA1));
    EXPECT_TRUE(driver::IsChecked(dialog, IDC_SUBFOLDERS));
    EXPECT_EQ(driver::GetItemText(dialog, IDC_MD5), "MD5");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SHA1), "SHA1");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS), "include sub-dir");
    EXPECT_EQ(driver::GetItemText(dialog, IDOK), "OK");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), driver::WaitForWindow(app, "Log"));
    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

TEST(HashDialog, CloseBoxWritesNothingAndLeavesTheLogOpen) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "abc");
    driver::Process app = StartTool(folder, kHashMode, {folder / "a.txt"});
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, "Log");
    driver::Close(dialog);
    WaitUntilGone(dialog);
    EXPECT_TRUE(IsWindowVisible(log));
    EXPECT_EQ(driver::ReadLogText(log), "");
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

TEST(HashDialog, EscapeLeavesItOpen) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "abc");
    driver::Process app = StartTool(folder, kHashMode, {folder / "a.txt"});
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    ASSERT_NE(dialog, nullptr);
    driver::PressEscape(dialog);
    // Posted after the key, so once the box shows checked the key has been handled.
    driver::Click(dialog, IDC_SHA1);
    for (int i = 0; i < 400 && !driver::IsChecked(dialog, IDC_SHA1); ++i) Sleep(50);
    ASSERT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
    EXPECT_TRUE(driver::IsChecked(dialog, IDC_SHA1));
    driver::Click(dialog, IDOK);
    const RunResult run = FinishRun(app);
    EXPECT_EQ(ResultLines(run.text),
              std::vector<std::string>{"\"" + (folder / "a.txt") + "\" SHA1:" + PlatformDigest("abc", CALG_SHA1)});
    EXPECT_EQ(run.exitCode, 0);
}

TEST(HashDialogJapanese, SubFolderCaptionIsJapanese) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kHashMode, {});
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    ASSERT_NE(dialog, nullptr);
    // サブディレクトリも検索 in code page 932.
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS),
              "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8C\x83\x4E\x83\x67\x83\x8A\x82\xE0\x8C\x9F\x8D\xF5");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_MD5), "MD5");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SHA1), "SHA1");
    EXPECT_EQ(driver::GetText(dialog), kHashTitle);
    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

// ---- Digests ----

TEST(HashDigests, NeitherBoxCheckedComputesMd5Only) {
    driver::TempFolder folder;
    const std::string content = Pattern(100);
    driver::WriteFile(folder / "one.bin", content);
    const RunResult run = HashRun(folder, {folder / "one.bin"}, Options{});

    std::vector<driver::TextRun> expected = Success("\"" + (folder / "one.bin") + "\"");
    expected.push_back(Plain(" MD5:" + PlatformDigest(content, CALG_MD5) + "\r\n"));
    for (const driver::TextRun& run2 : Success(SuccessSummary())) expected.push_back(run2);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(HashDigests, SizesAroundTheChunkAndALargeFileMatchAnIndependentDigest) {
    driver::TempFolder folder;
    const std::vector<size_t> sizes = {0, 1, 8191, 8192, 8193, 3 * 8192 + 17, 5 * 1024 * 1024 + 3};
    std::vector<std::string> paths;
    std::vector<std::string> expected;
    for (size_t size : sizes) {
        const std::string path = folder / ("size" + std::to_string(size) + ".bin");
        const std::string content = Pattern(size);
        driver::WriteFile(path, content);
        paths.push_back(path);
        expected.push_back("\"" + path + "\" MD5:" + PlatformDigest(content, CALG_MD5) +
                           " SHA1:" + PlatformDigest(content, CALG_SHA1));
    }
    const RunResult run = HashRun(folder, paths, Options{true, true, true});
    EXPECT_EQ(ResultLines(run.text), expected);
    EXPECT_NE(run.text.find(SuccessSummary()), std::string::npos) << run.text;
    EXPECT_EQ(run.exitCode, 0);
}

TEST(HashDigests, EmptyFileGivesThePublishedDigestsMd5First) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "empty", "");
    const RunResult run = HashRun(folder, {folder / "empty"}, Options{true, true, true});

    std::vector<driver::TextRun> expected = Success("\"" + (folder / "empty") + "\"");
    expected.push_back(
        Plain(" MD5:D41D8CD98F00B204E9800998ECF8427E SHA1:DA39A3EE5E6B4B0D3255BFEF95601890AFD80709\r\n"));
    for (const driver::TextRun& summary : Success(SuccessSummary())) expected.push_back(summary);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
}

TEST(HashDigests, Sha1AloneWritesNoMd5) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "x.txt", "The quick brown fox");
    const RunResult run = HashRun(folder, {folder / "x.txt"}, Options{false, true, true});
    EXPECT_EQ(ResultLines(run.text), std::vector<std::string>{"\"" + (folder / "x.txt") + "\" SHA1:" +
                                                              PlatformDigest("The quick brown fox", CALG_SHA1)});
}

// ---- Failures ----

TEST(HashFailures, UnreadableFileAndMissingPathAreCountedRedLines) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "held.txt", "held open");
    driver::WriteFile(folder / "fine.txt", "fine");
    LockedFile held(folder / "held.txt");
    ASSERT_TRUE(held.IsOpen());
    const RunResult run =
        HashRun(folder, {folder / "held.txt", folder / "missing.txt", folder / "fine.txt"}, Options{});

    std::vector<driver::TextRun> expected =
        Error("\"" + (folder / "held.txt") + "\" Error...\r\n\"" + (folder / "missing.txt") + "\" Error...\r\n");
    for (const driver::TextRun& line : Success("\"" + (folder / "fine.txt") + "\"")) expected.push_back(line);
    expected.push_back(Plain(" MD5:" + PlatformDigest("fine", CALG_MD5) + "\r\n"));
    for (const driver::TextRun& summary : Error(ErrorSummary(2))) expected.push_back(summary);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
    EXPECT_EQ(run.exitCode, 0);
}

TEST(HashFailures, ReadErrorAfterTheFirstChunkIsAFailure) {
    driver::TempFolder folder;
    // A pipe that delivers one full chunk and is then disconnected: the second read fails
    // (ERROR_PIPE_NOT_CONNECTED), which is a read error, not the end of the data.
    const std::string pipeName = "\\\\.\\pipe\\vex-hash-" + std::to_string(GetCurrentProcessId());
    UniqueFile pipe(CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                     PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr));
    ASSERT_TRUE(pipe);
    driver::Process app = StartTool(folder, kHashMode, {pipeName});
    HWND dialog = driver::WaitForWindow(app, kHashTitle);
    ASSERT_NE(dialog, nullptr);
    driver::Click(dialog, IDOK);

    UniqueHandle connected(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped = {};
    overlapped.hEvent = connected.Get();
    if (!ConnectNamedPipe(pipe.Get(), &overlapped)) {
        const DWORD error = GetLastError();
        ASSERT_TRUE(error == ERROR_PIPE_CONNECTED || error == ERROR_IO_PENDING) << error;
        if (error == ERROR_IO_PENDING) {
            ASSERT_EQ(WaitForSingleObject(connected.Get(), driver::kDefaultTimeoutMs), WAIT_OBJECT_0)
                << "the hash checker never opened the pipe";
        }
    }
    const std::string chunk = Pattern(8192);
    OVERLAPPED write = {};
    write.hEvent = connected.Get();
    ResetEvent(connected.Get());
    DWORD written = 0;
    if (!WriteFile(pipe.Get(), chunk.data(), DWORD(chunk.size()), &written, &write)) {
        ASSERT_TRUE(GetOverlappedResult(pipe.Get(), &write, &written, TRUE));
    }
    ASSERT_EQ(written, chunk.size());
    // Returns once the reader has taken every byte, so the disconnect cuts no data.
    FlushFileBuffers(pipe.Get());
    DisconnectNamedPipe(pipe.Get());

    const RunResult run = FinishRun(app);
    EXPECT_EQ(ResultLines(run.text), std::vector<std::string>{"\"" + pipeName + "\" Error..."});
    EXPECT_NE(run.text.find(ErrorSummary(1)), std::string::npos) << run.text;
    EXPECT_EQ(run.exitCode, 0);
}

// ---- Folders ----

TEST(HashFolders, WithoutSubFoldersOnlyDirectFilesAreHashed) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "sub").c_str(), nullptr);
    driver::WriteFile(folder / "top.txt", "top");
    driver::WriteFile(folder / "sub\\deep.txt", "deep");
    const RunResult run = HashRun(folder, {folder.Path()}, Options{false, false, false});
    EXPECT_EQ(ResultLines(run.text), std::vector<std::string>{Md5Line(folder / "top.txt", "top")});
    EXPECT_NE(run.text.find(SuccessSummary()), std::string::npos) << run.text;
}

TEST(HashFolders, WithSubFoldersEveryFileIsHashed) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "sub").c_str(), nullptr);
    CreateDirectoryA((folder / "sub\\deeper").c_str(), nullptr);
    driver::WriteFile(folder / "top.txt", "top");
    driver::WriteFile(folder / "sub\\deep.txt", "deep");
    driver::WriteFile(folder / "sub\\deeper\\deepest.txt", "deepest");
    const RunResult run = HashRun(folder, {folder.Path() + "\\"}, Options{});
    EXPECT_EQ(Sorted(ResultLines(run.text)),
              Sorted({Md5Line(folder / "top.txt", "top"), Md5Line(folder / "sub\\deep.txt", "deep"),
                      Md5Line(folder / "sub\\deeper\\deepest.txt", "deepest")}));
}

TEST(HashFolders, NothingOnDiskChanges) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "sub").c_str(), nullptr);
    const std::vector<std::string> files = {folder / "plain.txt", folder / "readonly.txt", folder / "hidden.txt",
                                            folder / "sub\\system.txt", folder / "sub\\both.txt"};
    const std::vector<DWORD> attributes = {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                                           FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
    SYSTEMTIME old = {};
    old.wYear = 2011;
    old.wMonth = 5;
    old.wDay = 6;
    old.wHour = 7;
    const FILETIME oldTime = ToFileTime(old);
    for (size_t i = 0; i < files.size(); ++i) {
        driver::WriteFile(files[i], "content " + std::to_string(i));
        SetStamps(files[i], oldTime);
        SetAttributes(files[i], attributes[i]);
    }
    std::vector<DWORD> before;
    for (size_t i = 0; i < files.size(); ++i) {
        before.push_back(Attributes(files[i]));
        ASSERT_EQ(before[i] & attributes[i], attributes[i]) << files[i] << ": the attributes did not take";
    }
    const DWORD subBefore = Attributes(folder / "sub");

    const RunResult run = HashRun(folder, {folder.Path()}, Options{true, true, true});
    EXPECT_EQ(ResultLines(run.text).size(), files.size()) << run.text;
    EXPECT_NE(run.text.find(SuccessSummary()), std::string::npos) << run.text;

    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(Attributes(files[i]), before[i]) << files[i];
        EXPECT_EQ(driver::ReadFile(files[i]), "content " + std::to_string(i)) << files[i];
        EXPECT_EQ(Format(ReadStamps(files[i]).write), Format(oldTime)) << files[i];
        SetAttributes(files[i], FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(Attributes(folder / "sub"), subBefore);
}
