// The hash checker (mode 3) end to end with Save Checksums As...
#include "ToolTestSupport.h"

#include <wincrypt.h>

#include <algorithm>
#include <functional>

using namespace tooltest;

namespace {

// Bytes that differ along the whole content, so that a lost or repeated chunk shows.
std::string Pattern(size_t size) {
    std::string content(size, '\0');
    uint32_t state = 0x12345678u + uint32_t(size);
    for (char& c : content) c = char((state = state * 1103515245u + 12345u) >> 24);
    return content;
}

// The digest in hex from the platform's own crypto provider (CALG_MD5, _SHA1, _SHA_256).
std::string PlatformDigest(const std::string& content, ALG_ID algorithm) {
    BYTE digest[32];
    DWORD size = sizeof(digest);
    EXPECT_TRUE(CryptHashCertificate(0, algorithm, 0, reinterpret_cast<const BYTE*>(content.data()),
                                     DWORD(content.size()), digest, &size));
    std::string text;
    for (DWORD i = 0; i < size; ++i) text += {"0123456789ABCDEF"[digest[i] >> 4], "0123456789ABCDEF"[digest[i] & 15]};
    return text;
}

const std::string kBlake3OfAbc = "6437B3AC38465133FFB63B75273A8DB548C558465D79DB03FD359C6CD5BD9D85";
const std::string kSha256OfAbc = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
const std::string kSha512OfAbc =
    "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A"
    "9AC94FA54CA49F";

// Attributes, write time and content.
std::string State(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(driver::LongPath(path).c_str(), GetFileExInfoStandard, &data);
    return std::to_string(data.dwFileAttributes) + " " + std::to_string(data.ftLastWriteTime.dwLowDateTime) + " " +
           std::to_string(data.ftLastWriteTime.dwHighDateTime) + " " + driver::ReadFile(path);
}

}  // namespace

// By default MD5 of every file below, whatever its attributes, nothing on disk changed, each
// name whole: look-alikes, outside any code page, with a second byte that is the backslash in
// code page 932 (ソース.txt, 表.txt: the Rich Text must keep it), several hundred characters.
TEST(HashRunJapanese, EveryNameEveryLengthAnyAttributesNothingChanges) {
    driver::TempFolder folder;
    const std::string top = folder / "top", deep = MakeTreeWithDeepFolder(top, 500);
    const std::vector<std::pair<std::string, std::string>> files = {
        {top + "\\cafe.txt", "plain"},
        {top + "\\caf\xC3\xA9.txt", "accent"},
        {top + "\\\xF0\x9F\x98\x80.txt", "smile"},
        {top + "\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "nihongo"},
        {top + "\\" + driver::FromCodePage(932, "\x83\x5C\x81\x5B\x83\x58.txt"), "source"},
        {top + "\\" + driver::FromCodePage(932, "\x95\x5C.txt"), "table"},
        {deep + "\\deep.txt", "deep"}};
    const DWORD attributes[] = {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                                FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM};
    std::vector<std::string> before;
    for (size_t i = 0; i < files.size(); ++i) {
        driver::WriteFile(files[i].first, files[i].second);
        ASSERT_TRUE(SetFileAttributesW(driver::LongPath(files[i].first).c_str(), attributes[i % 4]));
        before.push_back(State(files[i].first));
    }
    driver::Process app;
    const Outcome run = FinishRun(app, StartTool(app, folder, 3, {top}));
    for (size_t i = 0; i < files.size(); ++i) {
        const auto& [path, content] = files[i];
        ExpectLines(run.marked, {"<G>\"" + path + "\"</G> MD5:" + PlatformDigest(content, CALG_MD5) + "\r\n"});
        EXPECT_EQ(State(path), before[i]) << path;
        SetFileAttributesW(driver::LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(std::count(run.marked.begin(), run.marked.end(), '\n'), 7 + 2);
    ExpectLines(run.marked, {"<G>---\r\n" + driver::TextOf(IDS_SUMMARY_ALL_SUCCESS) + "\r\n</G>"});
}

// Sizes around the reading chunk (1 MiB, read side by side by three digest threads) and
// past the ring of four chunks; last, a read error after the first chunk is a failure line.
TEST(HashRun, AllThreeDigestsAroundTheChunkSizesWithCountedFailures) {
    driver::TempFolder folder;
    std::vector<std::string> paths = {folder / "missing", folder / "gone"};
    std::string expected = "<R>Not found - </R>" + paths[0] + "\r\n<R>Not found - </R>" + paths[1] + "\r\n";
    for (size_t size : {0, 8192, (1 << 20) - 1, 1 << 20, (1 << 20) + 1, (5 << 20) + 3}) {
        driver::WriteFile(paths.emplace_back(folder / std::to_string(size)), Pattern(size));
        expected += "<G>\"" + paths.back() + "\"</G> MD5:" + PlatformDigest(Pattern(size), CALG_MD5) +
                    " SHA1:" + PlatformDigest(Pattern(size), CALG_SHA1) +
                    " SHA256:" + PlatformDigest(Pattern(size), CALG_SHA_256) + "\r\n";
    }
    PipeFile pipe;
    paths.push_back(pipe.Path());
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, paths);
    ASSERT_NE(dialog, nullptr);
    for (int box : {IDC_MD5, IDC_SHA1, IDC_SHA256}) driver::SetCheck(dialog, box, true);
    driver::Click(dialog, IDOK);
    pipe.Serve(Pattern(8192));
    pipe.Break();
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked, expected + "<R>\"" + pipe.Path() + "\" Error...\r\n---\r\nError: 3\r\n</R>");
    EXPECT_EQ(run.status.rfind("Done: 9 files, 3 failed, 8.0 MB read in ", 0), 0u) << run.status;
    EXPECT_EQ(run.exitCode, 0);
}

// What a hash run stopped during its second file says, in the program's language.
struct StopWords {
    std::string progress, stopped, counts, line, summary, verdict, title;
};

// The second selected path is a pipe that serves three chunks and then waits (no total known
// beforehand); `whileReading` looks at the log meanwhile, then Stop ends the run. The summary
// and the status bar give the same counts and what was not done.
void StopDuringALongRead(const StopWords& words, const std::function<void(HWND, const std::string&)>& whileReading) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "first", "abc");
    driver::WriteFile(folder / "after", "never read");
    PipeFile pipe;
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {folder / "first", pipe.Path(), folder / "after"});
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::Click(dialog, IDOK);
    pipe.Serve(Pattern(3 * 8192));
    const std::string status = driver::WaitForStatus(log, words.progress);
    EXPECT_NE(status.find(" - " + pipe.Path()), std::string::npos) << status;
    whileReading(log, folder / "first");
    driver::Command(log, ID_LOG_STOP);
    const std::string stopped = driver::WaitForStatus(log, words.stopped);
    EXPECT_EQ(stopped.rfind(words.stopped + words.counts, 0), 0u) << stopped;
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked, "<G>\"" + (folder / "first") + "\"</G> MD5:900150983CD24FB0D6963F7D28E17F72\r\n<R>" +
                              words.line + "\r\n---\r\n" + words.summary + words.counts + "\r\n</R>");
    EXPECT_EQ(run.verdict, words.verdict);
    EXPECT_EQ(run.title.rfind(words.title, 0), 0u) << run.title;
    EXPECT_EQ(run.exitCode, 0);
}

TEST(HashRun, DuringALongReadTheLogAnswersShowsProgressAndStops) {
    StopDuringALongRead({"1 file, 0 failed, 24.0 KB read, ", "Stopped: ",
                         "1 file done, 0 failed, 2 of the selected paths not finished, 24.0 KB read", "Stopped",
                         "Stopped - ", "Stopped: 1 file done, the rest not done", "Log - Check Hashes - first"},
                        [](HWND log, const std::string& first) {
                            EXPECT_GE(driver::RoundTripMs(log, 1000), 0) << "the log does not answer";
                            HWND text = GetDlgItem(log, IDC_LOG);
                            InvalidateRect(text, nullptr, FALSE);
                            RECT dirty;
                            for (int i = 0; i < 100 && GetUpdateRect(text, &dirty, FALSE); ++i) Sleep(20);
                            EXPECT_FALSE(GetUpdateRect(text, &dirty, FALSE)) << "the log does not repaint";
                            EXPECT_NE(driver::ReadLogText(log).find("\"" + first + "\" MD5:"), std::string::npos);
                        });
}

TEST(HashRunJapanese, AStopIsSaidInJapanese) {
    StopDuringALongRead(
        {"1 個のファイル、失敗 0 件、24.0 KB 読み取り、",
         "中止: ", "1 個のファイルを処理済み、失敗 0 件、選択したパスのうち 2 個が未完了、24.0 KB 読み取り",
         "中止しました", "中止 - ", "中止: 1 個のファイルを処理済み、残りは未処理", "ログ - ハッシュを確認 - first"},
        [](HWND, const std::string&) {});
}

// A digest on the clipboard is one file's: it fills Expected, and the dialog says where
// it came from, for one selected file only; a folder or several files are hashed without.
// Typed for two files, it fails the one that differs, whose own line is red too.
TEST(HashDialog, AClipboardDigestFillsExpectedForOneSelectedFileOnly) {
    driver::TempFolder folder;
    const std::string files = folder / "files", a = files + "\\a.txt", b = files + "\\b.txt";
    ASSERT_TRUE(CreateDirectoryA(files.c_str(), nullptr));
    driver::WriteFile(a, "abc");
    driver::WriteFile(b, "abd");
    const ClipboardText pasted(L" \t" + driver::Wide(kSha256OfAbc) + L"\r\n");
    const std::string lower = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const struct {
        std::vector<std::string> paths;
        bool filled;
    } cases[] = {{{a}, true}, {{files}, false}, {{a, b}, false}};
    for (const auto& [paths, filled] : cases) {
        driver::Process app;
        HWND dialog = StartTool(app, folder, 3, paths);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(driver::GetItemText(dialog, IDC_EXPECTED), filled ? lower : "") << paths.size();
        EXPECT_EQ(driver::IsChecked(dialog, IDC_SHA256), filled);
        EXPECT_EQ(bool(IsWindowVisible(GetDlgItem(dialog, IDC_STATIC_PASTED))), filled) << paths.size();
        if (paths.size() == 2) driver::SetItemText(dialog, IDC_EXPECTED, lower);
        const Outcome run = FinishRun(app, dialog);
        if (paths.size() < 2) {
            EXPECT_EQ(run.marked.find("Matches - SHA256") != std::string::npos, filled) << run.marked;
            EXPECT_NE(run.marked.find("<G>---\r\nAll Success!\r\n</G>"), std::string::npos) << run.marked;
            continue;
        }
        EXPECT_EQ(run.marked, "<G>\"" + a + "\"</G> SHA256:" + kSha256OfAbc + "\r\n<G>Matches - SHA256</G>\r\n<R>\"" +
                                  b + "\"</R> SHA256:" + PlatformDigest("abd", CALG_SHA_256) +
                                  "\r\n<R>Does not match - SHA256</R>\r\n<R>---\r\nError: 1\r\n</R>");
        EXPECT_EQ(run.verdict, "1 of 2 failed");
        EXPECT_EQ(run.title, "Log - Check Hashes - a.txt");
    }
}

// Each dialog opens as the last run confirmed it, else with the first run's defaults; the
// expected digest (one file's) is never kept. The close box runs nothing. 64 digits are BLAKE3
// when its box is checked (else SHA-256), whose result follows SHA512's.
TEST(ToolDialogs, TheLastChoicesAreKeptFromOneRunToTheNext) {
    const std::string extensions = ".tmp;1|.b%ak";
    const struct {
        int mode;
        const char* value;
        std::vector<int> boxes;  // on the first run only the sub-folders' box is ticked
    } tools[] = {{2, "Cleaner", {IDC_SUBFOLDERS}},
                 {3, "HashChecker", {IDC_SUBFOLDERS, IDC_MD5, IDC_SHA1, IDC_SHA256, IDC_SHA512, IDC_BLAKE3}},
                 {4, "TimeChanger", {IDC_SUBFOLDERS, IDC_FIXEDTIME}}};
    const ClipboardText pasted(L"");
    for (const auto& [mode, value, boxes] : tools) {
        driver::TempFolder folder;
        CreateDirectoryA((folder / "files").c_str(), nullptr);
        driver::WriteFile(folder / "files\\a.txt", "abc");
        driver::Process app;
        HWND dialog = StartTool(app, folder, mode, {folder / "files"});
        ASSERT_NE(dialog, nullptr) << mode;
        EXPECT_EQ(StoredChoices(value), "<none>");
        for (int box : boxes) {
            EXPECT_EQ(driver::IsChecked(dialog, box), box == IDC_SUBFOLDERS) << mode << " " << box;
            driver::SetCheck(dialog, box, box != IDC_SUBFOLDERS);
        }
        if (mode == 2) driver::SetItemText(dialog, IDC_EXTENSIONS, extensions);
        if (mode == 3) driver::SetItemText(dialog, IDC_EXPECTED, kBlake3OfAbc);
        const Outcome first = FinishRun(app, dialog);
        if (mode == 3)
            ExpectLines(first.marked,
                        {" SHA512:" + kSha512OfAbc + " BLAKE3:" + kBlake3OfAbc + "\r\n<G>Matches - BLAKE3</G>\r\n"});
        const std::string named = folder / "files\\a.b%ak";
        if (mode == 2) driver::WriteFile(named, "");
        dialog = StartTool(app, folder, mode, {folder / "files"}, Choices::Keep);
        ASSERT_NE(dialog, nullptr) << mode;
        for (int box : boxes) EXPECT_EQ(driver::IsChecked(dialog, box), box != IDC_SUBFOLDERS) << mode << " " << box;
        const int kept = mode == 2 ? IDC_EXTENSIONS : IDC_EXPECTED;  // the digest is not
        if (mode != 4) {
            EXPECT_EQ(driver::GetItemText(dialog, kept), mode == 2 ? extensions : "") << mode;
        }
        std::string stored = StoredChoices(value);
        for (char& c : stored) c = char(toupper(c));
        EXPECT_EQ(stored.find(kBlake3OfAbc.substr(0, 16)), std::string::npos) << stored;
        CloseWithoutRun(app, dialog);
        EXPECT_EQ(driver::FileExists(named), mode == 2);
    }
}

// Esc does not close the dialog; the MD5 box the user ticks stays beside the typed digest's.
TEST(HashDialog, ATypedDigestChoosesItsAlgorithmAndAWrongLengthKeepsTheDialogOpen) {
    driver::TempFolder folder;
    const std::string a = folder / "a.txt";
    driver::WriteFile(a, "abc");
    const ClipboardText pasted(L"not a digest");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {a});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_EXPECTED), "");
    driver::PressEscape(dialog);
    driver::Click(dialog, IDC_MD5);  // posted after the key: once checked, the key was handled
    for (int i = 0; i < 400 && !driver::IsChecked(dialog, IDC_MD5); ++i) Sleep(50);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc closed the dialog";
    driver::SetItemText(dialog, IDC_EXPECTED, kSha512OfAbc.substr(1));
    driver::Click(dialog, IDOK);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_NE(box.text.find("128 (SHA512)"), std::string::npos) << box.text;
    EXPECT_TRUE(IsWindowVisible(dialog));
    // Upper case in groups, as gpg --print-md prints it (its other forms are the parser's): SHA-512
    // is computed and compared. The box the digest ticked is not kept; the user's own is.
    std::string groups;
    for (size_t i = 0; i < kSha512OfAbc.size(); i += 8) groups += (i ? " " : "") + kSha512OfAbc.substr(i, 8);
    driver::SetItemText(dialog, IDC_EXPECTED, groups);
    const Outcome run = FinishRun(app, dialog);
    EXPECT_EQ(run.marked, "<G>\"" + a + "\"</G> MD5:900150983CD24FB0D6963F7D28E17F72 SHA512:" + kSha512OfAbc +
                              "\r\n<G>Matches - SHA512</G>\r\n<G>---\r\nAll Success!\r\n</G>");
    const std::string kept = StoredChoices("HashChecker");
    EXPECT_TRUE(kept.find("sha512=0") != std::string::npos && kept.find("md5=1") != std::string::npos) << kept;
}

// A selected drive root: the file is proposed at the root, every name is whole, and both
// sha256sum -c and mode 6 read it. A read-only earlier file there: the save says why it
// cannot replace it, leaves it as it was, and offers the dialog again, where another name
// saves. Saved on another drive, the names cannot be relative: the user is asked first, and
// No offers the dialog again.
TEST(HashSave, ADriveRootSavedAtItsRootAndVerified) {
    driver::TempFolder folder, lists, elsewhere;
    driver::WriteFile(folder / "a.txt", "one");
    ASSERT_TRUE(CreateDirectoryW(driver::Wide(folder / "sub").c_str(), nullptr));
    driver::WriteFile(folder / "sub\\b.txt", "two");
    const std::string earlier = folder / "checksums.sha256";
    driver::WriteFile(earlier, "old");
    ASSERT_TRUE(SetFileAttributesW(driver::Wide(earlier).c_str(), FILE_ATTRIBUTE_READONLY));
    const driver::MappedDrive drive(folder.Path());
    ASSERT_FALSE(drive.Root().empty());
    driver::Process app;
    HWND log = HashToTheEnd(app, lists, {drive.Root()}, {IDC_SHA256}), save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(driver::GetItemText(save, kFileNameEdit), "checksums.sha256");
    driver::Click(save, IDOK);
    ConfirmReplace(app);
    // The question to replace goes first; the error follows it.
    HWND error = driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_ERROR_TITLE));
    ASSERT_NE(error, nullptr);
    const std::string reason = driver::GetItemText(error, 0xFFFF);
    PostMessageW(error, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(reason.substr(0, reason.find("\n\n")),
              "Cannot save " + drive.Root() + "checksums.sha256:\nThe file is read-only.");
    save = driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_TITLE));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(driver::GetItemText(save, kFileNameEdit), "checksums.sha256");
    driver::SetItemText(save, kFileNameEdit, "other.sha256");
    driver::Click(save, IDOK);
    for (int i = 0; i < 400 && !driver::FileExists(folder / "other.sha256"); ++i) Sleep(50);
    save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    driver::SetItemText(save, kFileNameEdit, elsewhere / "far.sha256");
    driver::Click(save, IDOK);
    HWND question = driver::WaitForMessageBox(app);
    ASSERT_NE(question, nullptr);
    const std::string asked = driver::GetItemText(question, 0xFFFF);
    EXPECT_EQ(asked.rfind("3 of the files are on another drive or share than the folder you save in", 0), 0u) << asked;
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    HWND again = driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_TITLE));
    ASSERT_NE(again, nullptr);
    driver::Click(again, IDCANCEL);
    for (int i = 0; i < 100 && IsWindow(again); ++i) Sleep(50);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(driver::FileExists(elsewhere / "far.sha256"));
    EXPECT_EQ(driver::ReadFile(earlier), "old");
    EXPECT_TRUE(GetFileAttributesW(driver::Wide(earlier).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(driver::Wide(earlier).c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string checked = RunShell(folder.Path(), "sha256sum -c other.sha256");
    ExpectLines(checked, {"a.txt: OK\n", "sub/b.txt: OK\n", "checksums.sha256: OK\n"});
    EXPECT_EQ(checked.substr(checked.size() - 7), "exit 0\n") << checked;
    ExpectLines(Verify({drive.Root() + "other.sha256"}),
                {"<G>OK - </G>" + drive.Root() + "a.txt\r\n", "<G>OK - </G>" + drive.Root() + "sub\\b.txt\r\n",
                 "<G>---\r\nAll Success!\r\n</G>"});
}
