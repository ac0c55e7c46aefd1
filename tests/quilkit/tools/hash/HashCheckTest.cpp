// The hash checker (mode 3) end to end with Save Checksums As..., and the Japanese captions
// of all three tools.
#include "ToolTestSupport.h"

#include <wincrypt.h>

#include <algorithm>

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

// Mode 3 on `paths` with the boxes `ticked` and `expected` typed in; the finished run.
Outcome RunHashes(const driver::TempFolder& folder, const std::vector<std::string>& paths,
                  const std::vector<int>& ticked, const std::string& expected = "") {
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, paths);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return {};
    for (int box : ticked) driver::SetCheck(dialog, box, true);
    if (!expected.empty()) driver::SetItemText(dialog, IDC_EXPECTED, expected);
    return FinishRun(app, dialog);
}

// Look-alike names, names outside any code page, double-byte names whose second byte is the
// backslash in code page 932 (ソース.txt, 表.txt: the batch's Rich Text must keep each
// character whole) and a path of several hundred characters: every file once, with its own
// digest. (That no link is followed is the walk's, which every tool shares.)
void HashEveryName() {
    driver::TempFolder folder;
    const std::string top = folder / "top", outside = folder / "outside";
    const std::string deep = MakeTreeWithDeepFolder(top, outside, 500);
    const std::vector<std::pair<std::string, std::string>> files = {
        {top + "\\cafe.txt", "plain"},
        {top + "\\caf\xC3\xA9.txt", "accent"},
        {top + "\\\xF0\x9F\x98\x80.txt", "smile"},
        {top + "\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "nihongo"},
        {top + "\\" + driver::FromCodePage(932, "\x83\x5C\x81\x5B\x83\x58.txt"), "source"},
        {top + "\\" + driver::FromCodePage(932, "\x95\x5C.txt"), "table"},
        {deep + "\\deep.txt", "deep"}};
    for (const auto& [path, content] : files) driver::WriteFile(path, content);

    const Outcome run = RunHashes(folder, {top}, {});
    for (const auto& [path, content] : files) {
        const std::string line = "<G>\"" + path + "\"</G> MD5:" + PlatformDigest(content, CALG_MD5) + "\r\n";
        EXPECT_NE(run.marked.find(line), std::string::npos) << line << "\nin\n" << run.marked;
    }
    EXPECT_EQ(std::count(run.marked.begin(), run.marked.end(), '\n'), 7 + 2);
    EXPECT_NE(run.marked.find("<G>---\r\n" + driver::TextOf(IDS_SUMMARY_ALL_SUCCESS) + "\r\n</G>"), std::string::npos)
        << run.marked;
}

}  // namespace

TEST(HashRun, EveryNameEveryLength) { HashEveryName(); }

TEST(HashRunJapanese, EveryNameEveryLength) { HashEveryName(); }

TEST(HashDialog, LabelsEscapeKeepsItOpenCloseBoxRunsNothing) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "abc");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {folder / "a.txt"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SHA256), "SHA256");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SHA512), "SHA512");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_EXPECTED), "Expected:");
    driver::PressEscape(dialog);
    driver::Click(dialog, IDC_SHA1);  // posted after the key: once checked, the key was handled
    for (int i = 0; i < 400 && !driver::IsChecked(dialog, IDC_SHA1); ++i) Sleep(50);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Esc closed the dialog";
    CloseWithoutRun(app, dialog);
}

TEST(ToolDialogsJapanese, CaptionsAreJapanese) {
    // In code page 932: サブフォルダーを含める; 削除したい拡張子を|で区切って入力してください; 期待値:;
    // クリップボードから; 64 桁の期待値は SHA256 として、BLAKE3 をオンにしたときは BLAKE3 として照合します。;
    // 日付:; 時刻:; 2000/4/1 00:00:00に設定.
    const char* subFolders = "\x83\x54\x83\x75\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xF0\x8A\xDC\x82\xDF\x82\xE9";
    const struct {
        int mode, id;
        const char* text;
    } captions[] = {
        {2, IDC_SUBFOLDERS, subFolders},
        {2, IDC_STATIC_EXTENSIONS,
         "\x8D\xED\x8F\x9C\x82\xB5\x82\xBD\x82\xA2\x8A\x67\x92\xA3\x8E\x71\x82\xF0\x7C\x82\xC5\x8B\xE6\x90\xD8\x82"
         "\xC1\x82\xC4\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2"},
        {3, IDC_SUBFOLDERS, subFolders},
        {3, IDC_STATIC_EXPECTED, "\x8A\xFA\x91\xD2\x92\x6C\x3A"},
        {3, IDC_STATIC_PASTED, "\x83\x4E\x83\x8A\x83\x62\x83\x76\x83\x7B\x81\x5B\x83\x68\x82\xA9\x82\xE7"},
        {3, IDC_STATIC_BLAKE3_NOTE,
         "64 \x8C\x85\x82\xCC\x8A\xFA\x91\xD2\x92\x6C\x82\xCD SHA256 \x82\xC6\x82\xB5\x82\xC4\x81\x41"
         "BLAKE3 \x82\xF0\x83\x49\x83\x93\x82\xC9\x82\xB5\x82\xBD\x82\xC6\x82\xAB\x82\xCD BLAKE3 "
         "\x82\xC6\x82\xB5\x82\xC4\x8F\xC6\x8D\x87\x82\xB5\x82\xDC\x82\xB7\x81\x42"},
        {4, IDC_SUBFOLDERS, subFolders},
        {4, IDC_STATIC_DATE, "\x93\xFA\x95\x74\x3A"},
        {4, IDC_STATIC_TIME, "\x8E\x9E\x8D\x8F\x3A"},
        {4, IDC_FIXEDTIME, "2000/4/1 00:00:00\x82\xC9\x90\xDD\x92\xE8"},
    };
    for (int mode : {2, 3, 4}) {
        driver::TempFolder folder;
        driver::Process app;
        HWND dialog = StartTool(app, folder, mode, {folder.Path()});
        ASSERT_NE(dialog, nullptr) << mode;
        for (const auto& caption : captions) {
            if (caption.mode != mode) continue;
            EXPECT_EQ(driver::GetItemText(dialog, caption.id), driver::FromCodePage(932, caption.text))
                << mode << " " << caption.id;
        }
        CloseWithoutRun(app, dialog);
    }
}

// Sizes around the reading chunk (1 MiB, read side by side by three digest threads) and
// past the ring of four chunks.
TEST(HashRun, AllThreeDigestsAroundTheChunkSizesWithCountedFailures) {
    driver::TempFolder folder;
    std::vector<std::string> paths = {folder / "missing", folder / "gone", folder / "empty"};
    driver::WriteFile(paths[2], "");
    std::string expected = "<R>Not found - </R>" + paths[0] + "\r\n<R>Not found - </R>" + paths[1] + "\r\n<G>\"" +
                           paths[2] +
                           "\"</G> MD5:D41D8CD98F00B204E9800998ECF8427E SHA1:DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"
                           " SHA256:E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855\r\n";
    for (size_t size : {8192, (1 << 20) - 1, 1 << 20, (1 << 20) + 1, (5 << 20) + 3}) {
        paths.push_back(folder / std::to_string(size));
        driver::WriteFile(paths.back(), Pattern(size));
        expected += "<G>\"" + paths.back() + "\"</G> MD5:" + PlatformDigest(Pattern(size), CALG_MD5) +
                    " SHA1:" + PlatformDigest(Pattern(size), CALG_SHA1) +
                    " SHA256:" + PlatformDigest(Pattern(size), CALG_SHA_256) + "\r\n";
    }
    const Outcome run = RunHashes(folder, paths, {IDC_MD5, IDC_SHA1, IDC_SHA256});
    EXPECT_EQ(run.marked, expected + "<R>---\r\nError: 2\r\n</R>");
    EXPECT_EQ(run.status.rfind("Done: 8 files, 2 failed, 8.0 MB read in ", 0), 0u) << run.status;
    EXPECT_EQ(run.exitCode, 0);
}

// Attributes, write time and content.
static std::string State(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return std::to_string(data.dwFileAttributes) + " " + std::to_string(data.ftLastWriteTime.dwLowDateTime) + " " +
           std::to_string(data.ftLastWriteTime.dwHighDateTime) + " " + driver::ReadFile(path);
}

TEST(HashRun, ByDefaultMd5OfEveryFileBelowAndNothingOnDiskChanges) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "sub").c_str(), nullptr);
    const std::vector<std::string> names = {"plain", "readonly", "sub\\hidden", "sub\\both"};
    const DWORD attributes[] = {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                                FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM};
    std::vector<std::string> before;
    for (size_t i = 0; i < names.size(); ++i) {
        driver::WriteFile(folder / names[i], names[i]);
        ASSERT_TRUE(SetFileAttributesA((folder / names[i]).c_str(), attributes[i]));
        ASSERT_EQ(GetFileAttributesA((folder / names[i]).c_str()) & attributes[i], attributes[i]) << names[i];
        before.push_back(State(folder / names[i]));
    }
    const Outcome run = RunHashes(folder, {folder.Path()}, {});
    EXPECT_EQ(std::count(run.text.begin(), run.text.end(), '\n'), long(names.size() + 2)) << run.text;
    EXPECT_NE(run.text.find("\r\n---\r\nAll Success!\r\n"), std::string::npos) << run.text;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string path = folder / names[i];
        EXPECT_NE(run.text.find("\"" + path + "\" MD5:" + PlatformDigest(names[i], CALG_MD5) + "\r\n"),
                  std::string::npos)
            << path;
        EXPECT_EQ(State(path), before[i]) << path;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(HashRun, AReadErrorAfterTheFirstChunkIsAFailureLine) {
    driver::TempFolder folder;
    PipeFile pipe;
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {pipe.Path()});
    ASSERT_NE(dialog, nullptr);
    driver::Click(dialog, IDOK);
    pipe.Serve(Pattern(8192));
    pipe.Break();
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked, "<R>\"" + pipe.Path() + "\" Error...\r\n---\r\nError: 1\r\n</R>");
    EXPECT_EQ(run.exitCode, 0);
}

// A file whose reading the test holds up: meanwhile the window answers another program,
// repaints and shows the progress; Stop cancels the read that waits for more, and the
// summary names what was left.
TEST(HashRun, DuringALongReadTheLogAnswersShowsProgressAndStops) {
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

    const std::string status = driver::WaitForStatus(log, "1 file, 0 failed, 24.0 KB read, ");
    EXPECT_NE(status.find(" - " + pipe.Path()), std::string::npos) << status;
    EXPECT_GE(driver::RoundTripMs(log, 1000), 0) << "the log does not answer";
    HWND text = GetDlgItem(log, IDC_LOG);
    InvalidateRect(text, nullptr, FALSE);
    RECT dirty;
    for (int i = 0; i < 100 && GetUpdateRect(text, &dirty, FALSE); ++i) Sleep(20);
    EXPECT_FALSE(GetUpdateRect(text, &dirty, FALSE)) << "the log does not repaint";
    EXPECT_NE(driver::ReadLogText(log).find("\"" + (folder / "first") + "\" MD5:"), std::string::npos);

    driver::Command(log, ID_LOG_STOP);
    // The summary and the status bar give the same counts, and what was not done.
    const std::string stopped = driver::WaitForStatus(log, "Stopped: ");
    const std::string counts = stopped.substr(9, stopped.rfind(" in ") - 9);
    // A pipe is no file on disk: the total is not known beforehand.
    EXPECT_EQ(counts, "1 file done, 0 failed, 2 of the selected paths not finished, 24.0 KB read");
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked, "<G>\"" + (folder / "first") + "\"</G> MD5:900150983CD24FB0D6963F7D28E17F72\r\n" +
                              "<R>Stopped\r\n---\r\nStopped - " + counts + "\r\n</R>");
    EXPECT_EQ(run.verdict, "Stopped: 1 file done, the rest not done");
    EXPECT_EQ(run.exitCode, 0);
}

// Stopped during a read, in Japanese: the stop's mark, the summary and the status bar give
// the same counts in Japanese words; the verdict says what was left.
TEST(HashRunJapanese, AStopIsSaidInJapanese) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "first", "abc");
    PipeFile pipe;
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {folder / "first", pipe.Path(), folder / "after"});
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::Click(dialog, IDOK);
    pipe.Serve(Pattern(3 * 8192));
    driver::WaitForStatus(log, "1 個のファイル、失敗 0 件、24.0 KB 読み取り、");
    driver::Command(log, ID_LOG_STOP);
    const std::string counts = "1 個のファイルを処理済み、失敗 0 件、選択したパスのうち 2 個が未完了、24.0 KB 読み取り";
    EXPECT_EQ(driver::WaitForStatus(log, "中止: ").rfind("中止: " + counts + " (", 0), 0u);
    const Outcome run = FinishRun(app, nullptr);
    EXPECT_EQ(run.marked, "<G>\"" + (folder / "first") + "\"</G> MD5:900150983CD24FB0D6963F7D28E17F72\r\n" +
                              "<R>中止しました\r\n---\r\n中止 - " + counts + "\r\n</R>");
    EXPECT_EQ(run.verdict, "中止: 1 個のファイルを処理済み、残りは未処理");
    EXPECT_EQ(run.title.rfind("ログ - ハッシュを確認 - first", 0), 0u) << run.title;
    EXPECT_EQ(run.exitCode, 0);
}

namespace {

// Puts `text` on the clipboard for as long as it lives: a digest left there would be
// filled into every later hash dialog.
class ClipboardText {
public:
    explicit ClipboardText(const std::wstring& text) {
        if (!OpenClipboard(nullptr)) {
            ADD_FAILURE() << "the clipboard cannot be opened";
            return;
        }
        EmptyClipboard();
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            memcpy(GlobalLock(memory), text.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        }
        CloseClipboard();
    }
    ~ClipboardText() {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
};

const std::string kSha256OfAbc = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
const std::string kSha512OfAbc =
    "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A"
    "9AC94FA54CA49F";

}  // namespace

// A digest on the clipboard is one file's: it fills Expected, and the dialog says where
// it came from, for one selected file only; a folder or several files are hashed without.
TEST(HashDialog, AClipboardDigestFillsExpectedForOneSelectedFileOnly) {
    driver::TempFolder folder;
    const std::string files = folder / "files", a = files + "\\a.txt", b = files + "\\b.txt";
    ASSERT_TRUE(CreateDirectoryA(files.c_str(), nullptr));
    driver::WriteFile(a, "abc");
    driver::WriteFile(b, "abd");
    const ClipboardText pasted(L" \t" + driver::Wide(kSha256OfAbc) + L"\r\n");
    std::string lower = kSha256OfAbc;
    for (char& c : lower) c = char(tolower(c));
    const struct {
        std::vector<std::string> paths;
        bool filled;
    } cases[] = {{{a}, true}, {{a, b}, false}, {{files}, false}};
    for (const auto& [paths, filled] : cases) {
        driver::Process app;
        HWND dialog = StartTool(app, folder, 3, paths);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(driver::GetItemText(dialog, IDC_EXPECTED), filled ? lower : "") << paths.size();
        EXPECT_EQ(driver::IsChecked(dialog, IDC_SHA256), filled);
        EXPECT_EQ(bool(IsWindowVisible(GetDlgItem(dialog, IDC_STATIC_PASTED))), filled) << paths.size();
        EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_PASTED), "from the clipboard");
        const Outcome run = FinishRun(app, dialog);
        EXPECT_EQ(run.marked.find("Matches - SHA256") != std::string::npos, filled) << run.marked;
        EXPECT_NE(run.marked.find("<G>---\r\nAll Success!\r\n</G>"), std::string::npos) << run.marked;
    }
    // Typed for two files, it fails the one that differs, whose own line is red too.
    const Outcome run = RunHashes(folder, {a, b}, {}, lower);
    EXPECT_EQ(run.marked, "<G>\"" + a + "\"</G> SHA256:" + kSha256OfAbc + "\r\n<G>Matches - SHA256</G>\r\n<R>\"" + b +
                              "\"</R> SHA256:" + PlatformDigest("abd", CALG_SHA_256) +
                              "\r\n<R>Does not match - SHA256</R>\r\n<R>---\r\nError: 1\r\n</R>");
    EXPECT_EQ(run.verdict, "1 of 2 failed");
    EXPECT_EQ(run.title, "Log - Check Hashes - a.txt");
}

// Each dialog opens as the last run confirmed it, and with the first run's defaults when
// nothing is kept; the expected digest, which belongs to one file, is never kept.
TEST(ToolDialogs, TheLastChoicesAreKeptFromOneRunToTheNext) {
    struct Box {
        int id;
        bool first;
    };
    const std::string extensions = ".tmp;1|.b%ak", digest = "900150983cd24fb0d6963f7d28e17f72";
    const struct {
        int mode;
        const char* value;
        std::vector<Box> boxes;
    } tools[] = {
        {2, "Cleaner", {{IDC_SUBFOLDERS, true}}},
        {3,
         "HashChecker",
         {{IDC_SUBFOLDERS, true},
          {IDC_MD5, false},
          {IDC_SHA1, false},
          {IDC_SHA256, false},
          {IDC_SHA512, false},
          {IDC_BLAKE3, false}}},
        {4, "TimeChanger", {{IDC_SUBFOLDERS, true}, {IDC_FIXEDTIME, false}}},
    };
    const ClipboardText pasted(L"");
    for (const auto& [mode, value, boxes] : tools) {
        driver::TempFolder folder;
        CreateDirectoryA((folder / "empty").c_str(), nullptr);
        driver::Process app;
        HWND dialog = StartTool(app, folder, mode, {folder / "empty"});
        ASSERT_NE(dialog, nullptr) << mode;
        EXPECT_EQ(StoredChoices(value), "<none>");
        for (const Box& box : boxes) {
            EXPECT_EQ(driver::IsChecked(dialog, box.id), box.first) << mode << " " << box.id;
            driver::SetCheck(dialog, box.id, !box.first);
        }
        if (mode == 2) driver::SetItemText(dialog, IDC_EXTENSIONS, extensions);
        if (mode == 3) driver::SetItemText(dialog, IDC_EXPECTED, digest);
        FinishRun(app, dialog);

        dialog = StartTool(app, folder, mode, {folder / "empty"}, Choices::Keep);
        ASSERT_NE(dialog, nullptr) << mode;
        for (const Box& box : boxes) EXPECT_EQ(driver::IsChecked(dialog, box.id), !box.first) << mode << " " << box.id;
        const int kept = mode == 2 ? IDC_EXTENSIONS : IDC_EXPECTED;  // the digest is not
        if (mode != 4) {
            EXPECT_EQ(driver::GetItemText(dialog, kept), mode == 2 ? extensions : "") << mode;
        }
        EXPECT_EQ(StoredChoices(value).find(digest), std::string::npos) << StoredChoices(value);
        CloseWithoutRun(app, dialog);
    }
}

TEST(HashDialog, ATypedDigestChoosesItsAlgorithmAndAWrongLengthKeepsTheDialogOpen) {
    driver::TempFolder folder;
    const std::string a = folder / "a.txt";
    driver::WriteFile(a, "abc");
    const ClipboardText pasted(L"not a digest");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {a});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_EXPECTED), "");
    driver::SetItemText(dialog, IDC_EXPECTED, kSha512OfAbc.substr(1));
    driver::Click(dialog, IDOK);
    const driver::MessageBoxText box = driver::AnswerMessageBox(app);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_NE(box.text.find("128 (SHA512)"), std::string::npos) << box.text;
    EXPECT_TRUE(IsWindowVisible(dialog));
    // Upper case in groups, as gpg --print-md prints it and download pages show it (its other
    // forms are the parser's), the MD5 box checked as well: SHA-512 is computed and compared.
    // The box the digest ticked is not kept for the next run; the user's own is.
    std::string groups;
    for (size_t i = 0; i < kSha512OfAbc.size(); i += 8) groups += (i ? " " : "") + kSha512OfAbc.substr(i, 8);
    driver::SetItemText(dialog, IDC_EXPECTED, groups);
    driver::SetCheck(dialog, IDC_MD5, true);
    const Outcome run = FinishRun(app, dialog);
    EXPECT_EQ(run.marked, "<G>\"" + a + "\"</G> MD5:900150983CD24FB0D6963F7D28E17F72 SHA512:" + kSha512OfAbc +
                              "\r\n<G>Matches - SHA512</G>\r\n<G>---\r\nAll Success!\r\n</G>");
    const std::string kept = StoredChoices("HashChecker");
    EXPECT_TRUE(kept.find("sha512=0") != std::string::npos && kept.find("md5=1") != std::string::npos) << kept;
}

// 64 digits are SHA-256 unless the BLAKE3 box is checked, whose result follows SHA512's.
TEST(HashDialog, SixtyFourDigitsAreBlake3WhenItsBoxIsChecked) {
    const std::string blake3OfAbc = "6437B3AC38465133FFB63B75273A8DB548C558465D79DB03FD359C6CD5BD9D85";
    driver::TempFolder folder;
    const std::string a = folder / "a.txt";
    driver::WriteFile(a, "abc");
    const ClipboardText pasted(L"");
    for (bool blake3 : {true, false}) {
        const Outcome run = RunHashes(
            folder, {a}, blake3 ? std::vector<int>{IDC_SHA512, IDC_BLAKE3} : std::vector<int>{IDC_SHA512}, blake3OfAbc);
        // The file's own line takes the colour of its outcome.
        const std::string mark = blake3 ? "G>" : "R>";
        const std::string line = "<" + mark + "\"" + a + "\"</" + mark + (blake3 ? "" : " SHA256:" + kSha256OfAbc) +
                                 " SHA512:" + kSha512OfAbc + (blake3 ? " BLAKE3:" + blake3OfAbc : "") + "\r\n";
        EXPECT_EQ(run.marked, blake3 ? line + "<G>Matches - BLAKE3</G>\r\n<G>---\r\nAll Success!\r\n</G>"
                                     : line + "<R>Does not match - SHA256</R>\r\n<R>---\r\nError: 1\r\n</R>");
    }
}

TEST(HashDialogJapanese, AWrongLengthIsToldInJapanese) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "abc");
    const ClipboardText pasted(L"");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {folder / "a.txt"});
    ASSERT_NE(dialog, nullptr);
    driver::SetItemText(dialog, IDC_EXPECTED, "0123");
    driver::Click(dialog, IDOK);
    // 期待するダイジェストは 16 進数 32、40、64、128 桁のどれかです。
    EXPECT_EQ(
        driver::AnswerMessageBox(app).text,
        driver::FromCodePage(932,
                             "\x8A\xFA\x91\xD2\x82\xB7\x82\xE9\x83\x5F\x83\x43\x83\x57\x83\x46\x83\x58\x83\x67\x82"
                             "\xCD\x20\x31\x36\x20\x90\x69\x90\x94\x20\x33\x32\x81\x41\x34\x30\x81\x41\x36\x34\x81"
                             "\x41\x31\x32\x38\x20\x8C\x85\x82\xCC\x82\xC7\x82\xEA\x82\xA9\x82\xC5\x82\xB7\x81\x42"));
    EXPECT_TRUE(IsWindowVisible(dialog));
    CloseWithoutRun(app, dialog);
}

namespace {

// Saves under `name` (in the dialog's folder) or a full path; waits for the file `written`.
void SaveAs(HWND save, const std::string& name, const std::string& written) {
    driver::SetItemText(save, kFileNameEdit, name);
    driver::Click(save, IDOK);
    for (int i = 0; i < 400 && !driver::FileExists(written); ++i) Sleep(50);
    EXPECT_TRUE(driver::FileExists(written)) << written;
}

void ExpectLines(const std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
}

// A read-only earlier file: the save says why it cannot replace it, leaves it as it was,
// and offers the dialog again, where another name saves.
void RefuseAReadOnlyFileAndSaveUnderAnotherName() {
    driver::TempFolder folder, lists;
    driver::WriteFile(folder / "a.txt", "one");
    const std::string earlier = folder / "checksums.sha256";
    driver::WriteFile(earlier, "old");
    ASSERT_TRUE(SetFileAttributesW(driver::Wide(earlier).c_str(), FILE_ATTRIBUTE_READONLY));
    driver::Process app;
    HWND log = HashToTheEnd(app, lists, {folder.Path()}, {IDC_SHA256}), save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(driver::GetItemText(save, kFileNameEdit), "checksums.sha256");
    driver::Click(save, IDOK);
    ConfirmReplace(app);
    // The question to replace goes first; the error follows it.
    HWND error = nullptr;
    for (int i = 0; i < 400 && !error; ++i, Sleep(50))
        if (HWND box = driver::WaitForMessageBox(app, 50);
            box && driver::GetText(box) == driver::TextOf(IDS_SAVE_ERROR_TITLE))
            error = box;
    ASSERT_NE(error, nullptr) << "no error message";
    const driver::MessageBoxText box = {driver::GetText(error), driver::GetItemText(error, 0xFFFF)};
    PostMessageW(error, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // に保存できません: / ファイルは読み取り専用です。
    EXPECT_EQ(
        box.text.substr(0, box.text.find("\n\n")),
        GetUserDefaultLCID() == 0x0411
            ? earlier +
                  " \xE3\x81\xAB\xE4\xBF\x9D\xE5\xAD\x98\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93:"
                  "\n\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x81\xAF\xE8\xAA\xAD\xE3\x81\xBF\xE5\x8F"
                  "\x96\xE3\x82\x8A\xE5\xB0\x82\xE7\x94\xA8\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"
            : "Cannot save " + earlier + ":\nThe file is read-only.");
    HWND again = driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_TITLE));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(driver::GetItemText(again, kFileNameEdit), "checksums.sha256");
    SaveAs(again, "other.sha256", folder / "other.sha256");
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_EQ(driver::ReadFile(earlier), "old");
    EXPECT_TRUE(GetFileAttributesW(driver::Wide(earlier).c_str()) & FILE_ATTRIBUTE_READONLY);
    ExpectLines(driver::ReadFile(folder / "other.sha256"), {" *a.txt\n", " *checksums.sha256\n"});
    SetFileAttributesW(driver::Wide(earlier).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

// A selected drive root: the file is proposed at the root, every name is whole, and both
// sha256sum -c and mode 6 read it. Saved on another drive, the names cannot be relative:
// the user is asked first, and No offers the dialog again.
TEST(HashSave, ADriveRootSavedAtItsRootAndVerified) {
    driver::TempFolder folder, lists, elsewhere;
    driver::WriteFile(folder / "a.txt", "one");
    ASSERT_TRUE(CreateDirectoryW(driver::Wide(folder / "sub").c_str(), nullptr));
    driver::WriteFile(folder / "sub\\b.txt", "two");
    const driver::MappedDrive drive(folder.Path());
    ASSERT_FALSE(drive.Root().empty());
    driver::Process app;
    HWND log = HashToTheEnd(app, lists, {drive.Root()}, {IDC_SHA256}), save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    SaveAs(save, "checksums.sha256", folder / "checksums.sha256");
    save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    driver::SetItemText(save, kFileNameEdit, elsewhere / "far.sha256");
    driver::Click(save, IDOK);
    HWND question = driver::WaitForMessageBox(app);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(driver::GetItemText(question, 0xFFFF)
                  .rfind("2 of the files are on another drive or share than the folder you save in", 0),
              0u)
        << driver::GetItemText(question, 0xFFFF);
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    HWND again = driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_TITLE));
    ASSERT_NE(again, nullptr);
    driver::Click(again, IDCANCEL);
    for (int i = 0; i < 100 && IsWindow(again); ++i) Sleep(50);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(driver::FileExists(elsewhere / "far.sha256"));

    const std::string checked = RunShell(folder.Path(), "sha256sum -c checksums.sha256");
    ExpectLines(checked, {"a.txt: OK\n", "sub/b.txt: OK\n"});
    EXPECT_EQ(checked.substr(checked.size() - 7), "exit 0\n") << checked;
    driver::Process verify;
    const Outcome verified = FinishRun(verify, StartTool(verify, lists, 6, {drive.Root() + "checksums.sha256"}));
    ExpectLines(verified.marked, {"<G>OK - </G>" + drive.Root() + "a.txt\r\n",
                                  "<G>OK - </G>" + drive.Root() + "sub\\b.txt\r\n", "<G>---\r\nAll Success!\r\n</G>"});
}

// Saved outside the selected folder, the names go up to it: sha256sum -c there reads them.
TEST(HashSave, OutsideTheSelectedFolderTheNamesGoUpToIt) {
    driver::TempFolder folder, lists;
    const std::string top = folder / "top";
    ASSERT_TRUE(CreateDirectoryW(driver::Wide(top).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(driver::Wide(top + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(driver::Wide(folder / "out").c_str(), nullptr));
    driver::WriteFile(top + "\\a b.txt", "one");
    driver::WriteFile(top + "\\sub\\c.txt", "two");
    driver::Process app;
    HWND log = HashToTheEnd(app, lists, {top}, {IDC_SHA256}), save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    SaveAs(save, folder / "out\\sums.sha256", folder / "out\\sums.sha256");
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    const std::string checked = RunShell(folder / "out", "sha256sum -c sums.sha256");
    ExpectLines(checked, {"../top/a b.txt: OK\n", "../top/sub/c.txt: OK\n"});
    EXPECT_EQ(checked.substr(checked.size() - 7), "exit 0\n") << checked;
}

TEST(HashSave, AReadOnlyEarlierFileIsRefusedAndAnotherNameSaves) { RefuseAReadOnlyFileAndSaveUnderAnotherName(); }

TEST(HashSaveJapanese, AReadOnlyEarlierFileIsRefusedAndAnotherNameSaves) {
    RefuseAReadOnlyFileAndSaveUnderAnotherName();
}
