// Checksum files end to end: a hash run's digests copied and saved, GNU's own tools
// checking what was saved, and mode 6 checking what GNU's tools wrote.
#include <windows.h>

#include <algorithm>

#include "ToolTestSupport.h"

using namespace tooltest;

namespace {

// Copy Checksums from a finished run's log: what it put on the clipboard, emptied first so
// that whatever an earlier copy left cannot pass for the checksums.
std::wstring CopyChecksums(HWND log) {
    std::wstring text;
    ClipboardText::Put(L"");
    driver::Command(log, ID_LOG_COPY_CHECKSUMS);
    for (int i = 0; i < 100 && text.empty(); ++i, Sleep(50)) {
        if (!OpenClipboard(nullptr)) continue;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

// Files with blanks and names outside any code page, one in a sub-folder.
const std::vector<std::pair<std::string, std::string>> kFiles = {
    {"a b.txt", "one"}, {"caf\xC3\xA9 \xF0\x9F\x98\x80.txt", "two"}, {"sub\\c.bin", "three"}};

void MakeFiles(const std::string& folder) {
    CreateDirectoryW(driver::Wide(folder + "\\sub").c_str(), nullptr);
    for (const auto& [name, content] : kFiles) driver::WriteFile(folder + "\\" + name, content);
}

}  // namespace

TEST(Checksums, AHashRunCopiesAndSavesWhatGnuToolsAndModeSixAccept) {
    driver::TempFolder folder;
    MakeFiles(folder.Path());
    // A checksum file saved by an earlier run, which this run hashes too.
    const std::string saved = folder / "checksums.sha512";
    driver::WriteFile(saved, "old checksums\n");
    driver::Process app;
    HWND log = HashToTheEnd(app, folder, {folder.Path()}, {IDC_SHA256, IDC_SHA512});
    ASSERT_NE(log, nullptr);
    const std::wstring copied = CopyChecksums(log);
    // One folder selected: the names are relative to it, in SHA-512, the strongest digest.
    EXPECT_NE(copied.find(driver::Wide(" *sub/c.bin\r\n")), std::wstring::npos) << driver::Utf8(copied);
    EXPECT_EQ(copied.find(L' '), 128u) << driver::Utf8(copied);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 4);

    HWND save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(driver::GetItemText(save, kFileNameEdit), "checksums.sha512");
    // Proposed inside the folder: the name alone saves over the earlier file.
    driver::Click(save, IDOK);
    ConfirmReplace(app);
    for (int i = 0; i < 100 && driver::ReadFile(saved) == "old checksums\n"; ++i) Sleep(50);
    ExpectLines(driver::WaitForLogText(log, "Saved - " + saved + "\r\n"), {"\r\nSaved - " + saved + "\r\n"});
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);

    // The same lines in UTF-8 with LF, but for the saved file's own.
    const std::string text = driver::ReadFile(saved);
    std::string expected = driver::Utf8(copied);
    expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
    const size_t own = expected.find(" *checksums.sha512\n"), start = expected.rfind('\n', own) + 1;
    expected.erase(start, expected.find('\n', own) + 1 - start);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(RunShell(folder.Path(), "ls | grep -c tmp; sha512sum -c checksums.sha512"),
              "0\na b.txt: OK\ncaf\xC3\xA9 \xF0\x9F\x98\x80.txt: OK\nsub/c.bin: OK\nexit 0\n")
        << text;

    // Mode 6 reads the saved file as it is.
    std::string verified;
    for (const auto& [name, content] : kFiles) verified += "<G>OK - </G>" + (folder / name) + "\r\n";
    EXPECT_EQ(Verify({saved}), verified + "<G>---\r\nAll Success!\r\n</G>");
}

// md5sum, sha1sum --tag, sha256sum -b and b3sum.
TEST(Checksums, ModeSixReadsWhatGnuToolsWriteAndNamesEveryFailure) {
    driver::TempFolder folder;
    MakeFiles(folder.Path());
    const std::string written = RunShell(
        folder.Path(),
        "md5sum 'a b.txt' sub/c.bin > sums.md5 && sha1sum --tag 'caf\xC3\xA9 \xF0\x9F\x98\x80.txt' > Tagged.SHA1 && "
        "sha256sum -b sub/c.bin 'a b.txt' > sub/../all.sha256 && b3sum sub/c.bin > B3SUMS && "
        "printf '; comment\\n\\n# another\\r\\n' >> sums.md5");
    ASSERT_EQ(written, "exit 0\n");
    driver::WriteFile(folder / "sub\\c.bin", "changed");
    driver::WriteFile(folder / "broken.sha256", "not a checksum line\n");
    DeleteFileW(driver::Wide(folder / "a b.txt").c_str());

    // The folder is searched for the files by their endings, in any case; a selected path
    // that is not there is named.
    const Outcome run = VerifyRun({folder.Path(), folder / "typo.md5"});
    const std::string& marked = run.marked;
    const std::string a = folder / "a b.txt", c = folder / "sub\\c.bin",
                      e = folder / "caf\xC3\xA9 \xF0\x9F\x98\x80.txt";
    ExpectLines(marked, {"<G>OK - </G>" + e + "\r\n", "<R>Bad line 1 - </R>" + (folder / "broken.sha256") + "\r\n",
                         "<R>No checksums in - </R>" + (folder / "broken.sha256") + "\r\n",
                         "<R>Not found - </R>" + (folder / "typo.md5") + "\r\n"});
    // sums.md5: 2, Tagged.SHA1: 1, all.sha256: 2, B3SUMS: 1, broken.sha256: 1 and the line
    // saying that it held no entry, typo.md5; a heading for each of the five files.
    EXPECT_EQ(std::count(marked.begin(), marked.end(), '\n'), 9 + 2 + 5);
    // Each checksum file's entries under its name.
    ExpectLines(marked, {"Checking - " + (folder / "sums.md5") + "\r\n<R>Missing - </R>" + a + "\r\n<R>FAILED - </R>" +
                             c + "\r\n",
                         "Checking - " + (folder / "B3SUMS") + "\r\n<R>FAILED - </R>" + c + "\r\n"});
    EXPECT_NE(marked.find("<R>---\r\nError: 8\r\n</R>"), std::string::npos) << marked;
    // The status bar counts the files hashed (and the path not found), not the bad lines.
    EXPECT_EQ(run.status.rfind("Done: 5 files, 8 failed, ", 0), 0u) << run.status;
    EXPECT_EQ(run.verdict, "8 failed");
}

// BLAKE3 alone: Save proposes checksums.b3 in the form b3sum --check reads.
TEST(Checksums, Blake3RunsSaveWhatB3sumChecks) {
    driver::TempFolder folder;
    MakeFiles(folder.Path());
    driver::Process app;
    HWND log = HashToTheEnd(app, folder, {folder.Path()}, {IDC_BLAKE3}), save = OpenSave(app, log);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(driver::GetItemText(save, kFileNameEdit), "checksums.b3");
    driver::Click(save, IDOK);
    const std::string saved = folder / "checksums.b3";
    for (int i = 0; i < 100 && driver::ReadFile(saved).empty(); ++i) Sleep(50);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_EQ(RunShell(folder.Path(), "b3sum --check checksums.b3"),
              "a b.txt: OK\ncaf\xC3\xA9 \xF0\x9F\x98\x80.txt: OK\nsub/c.bin: OK\nexit 0\n")
        << driver::ReadFile(saved);
}

// A release as its pages publish it: openssl dgst, gpg --print-md (the digest on lines of its
// own after a long name), sha512sum clear-signed, SHA256SUMS with an armoured detached and a
// download with a binary signature, a <name>.sha256sum. Every entry OK, every signature named once.
TEST(Checksums, ModeSixReadsWhatOpensslAndGpgWriteAndNamesSignatures) {
    driver::TempFolder folder;
    const std::string longName = std::string(60, 'n') + ".bin", a = folder / "a.iso", b = folder / longName;
    driver::WriteFile(a, "first download");
    driver::WriteFile(b, "second download");
    const std::string files = "a.iso " + longName, gpg = "gpg --batch --pinentry-mode loopback --passphrase '' ";
    const std::string written =
        RunShell(folder.Path(),
                 "export GNUPGHOME=\"$(mktemp -d)\" && openssl dgst -sha256 " + files +
                     " > dgst.sha256 && gpg --print-md SHA512 " + files + " > gpg.sha512 && " + gpg +
                     "--quick-gen-key 'Throwaway <throwaway@example.invalid>' default default never && sha512sum " +
                     files + " | " + gpg + "--clearsign > SHA512SUMS.asc && sha256sum " + files +
                     " > SHA256SUMS && sha256sum " + longName + " > " + longName + ".sha256sum && " + gpg +
                     "--detach-sign --armor -o SHA256SUMS.asc SHA256SUMS && " + gpg +
                     "--detach-sign -o a.iso.sig a.iso && rm -rf \"$GNUPGHOME\"");
    ASSERT_EQ(written.substr(written.size() - 7), "exit 0\n") << written;
    ASSERT_NE(driver::ReadFile(folder / "gpg.sha512").find(longName + ": \n"), std::string::npos);
    std::string marked;
    auto count = [&marked](const std::string& line) {
        size_t n = 0;
        for (size_t at = marked.find(line); at != std::string::npos; at = marked.find(line, at + 1)) ++n;
        return n;
    };
    auto notChecked = [](const std::string& path) { return "Signature not checked - " + path + "\r\n"; };
    // The folder walked: four checksum files list a.iso, five the other.
    marked = Verify({folder.Path()});
    EXPECT_EQ(count("<G>OK - </G>" + a + "\r\n"), 4u) << marked;
    EXPECT_EQ(count("<G>OK - </G>" + b + "\r\n"), 5u) << marked;
    for (const std::string& signature : {folder / "SHA512SUMS.asc", folder / "SHA256SUMS.asc", a + ".sig"})
        EXPECT_EQ(count(notChecked(signature)), 1u) << signature << "\nin\n" << marked;
    // And a heading for each of the five files, and the summary.
    EXPECT_EQ(std::count(marked.begin(), marked.end(), '\n'), 9 + 3 + 5 + 2) << marked;
    EXPECT_NE(marked.find("<G>---\r\nAll Success!\r\n</G>"), std::string::npos) << marked;
    // A download alone: its own signature and that of SHA256SUMS, which lists it.
    marked = Verify({a});
    EXPECT_EQ(count("<G>OK - </G>" + a + "\r\n"), 4u) << marked;
    for (const std::string& signature : {folder / "SHA256SUMS.asc", a + ".sig"})
        EXPECT_EQ(count(notChecked(signature)), 1u) << signature << "\nin\n" << marked;
    EXPECT_NE(marked.find("<G>---\r\nAll Success!\r\n</G>"), std::string::npos) << marked;
}

// A spare drive letter that Wine's mount manager serves as a network drive on `folder`: Wine
// names a file by the drive whose folder holds it, of the type the mount manager says.
class WineNetworkDrive {
public:
    explicit WineNetworkDrive(const std::string& folder) {
        for (char letter = 'q'; letter > 'd' && !m_letter; --letter)
            if (GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) == DRIVE_NO_ROOT_DIR) m_letter = letter;
        if (!m_letter || !Define(driver::UnixName(folder))) {
            ADD_FAILURE() << "no network drive for " << folder;
            return;
        }
        // Wine reads its drives again only every few seconds.
        const std::string onDrive = "\\\\?\\" + Root().substr(0, 2);
        for (int i = 0; i < 200 && FinalPath(folder).rfind(onDrive, 0) != 0; ++i) Sleep(50);
    }
    ~WineNetworkDrive() {
        if (m_letter) Define({});
    }
    std::string Root() const { return std::string(1, m_letter) + ":\\"; }

private:
    // Wine's own request to its mount manager: letter, type and Unix folder (none: no drive).
    bool Define(const std::string& unixFolder) {
        struct UnixDrive {
            ULONG size, type, fsType;
            DWORD serial;
            ULONGLONG unixDevice;
            WCHAR letter;
            USHORT mountPointOffset, deviceOffset, labelOffset;
        };
        std::vector<char> request(sizeof(UnixDrive) + unixFolder.size() + 1);
        auto* drive = reinterpret_cast<UnixDrive*>(request.data());
        drive->size = ULONG(request.size());
        drive->type = unixFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_REMOTE;
        drive->letter = WCHAR(m_letter);
        drive->mountPointOffset = unixFolder.empty() ? 0 : USHORT(sizeof(UnixDrive));
        std::copy(unixFolder.begin(), unixFolder.end(), request.begin() + sizeof(UnixDrive));
        const UniqueFile manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD returned = 0;
        const DWORD defineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        return manager && DeviceIoControl(manager.Get(), defineUnixDrive, request.data(), DWORD(request.size()),
                                          nullptr, 0, &returned, nullptr);
    }
    static std::string FinalPath(const std::string& path) {
        const UniqueFile opened(CreateFileW(driver::Wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        wchar_t name[MAX_PATH] = {};
        if (opened) GetFinalPathNameByHandleW(opened.Get(), name, MAX_PATH, VOLUME_NAME_DOS);
        return driver::Utf8(name);
    }

    char m_letter = 0;
};

// No entry reaches another computer or a device: a share's and a device's spelling, a relative
// name that reaches a share only in its full path, links to a share and to a device (only the
// open handle tells). A drive's device form stays local; a network drive checks its own files.
TEST(Checksums, NoEntryReachesAnotherComputerOrADevice) {
    driver::TempFolder folder, served;
    const std::string onShare = "b9d747c7f96d92b96a4da05cfd35562195b7d8062f302a51b51467ffca0a97d5",
                      empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    driver::WriteFile(served / "f", "on the share");
    driver::WriteFile(served / "own.sha256", onShare + "  f\n");
    driver::UnixLink link(served.Path(), folder / "link");
    WineNetworkDrive drive(served.Path());
    driver::RunUnix("/bin/ln -s /dev/null \"" + driver::UnixName(folder / "devnull") + "\"");
    // Wine gives no attributes for a device; the folder's listing shows the link.
    WIN32_FIND_DATAW found;
    for (int i = 0; i < 400 && !UniqueFind(FindFirstFileW(driver::Wide(folder / "devnull").c_str(), &found)); ++i)
        Sleep(50);
    driver::WriteFile(folder / "here.txt", "");
    const std::string here = "\\\\?\\" + (folder / "here.txt"), remote = "\\\\.\\C:\\x\\..\\..\\UNC\\vexhost\\share\\f",
                      device = "\\\\.\\C:\\x\\..\\..\\NUL";
    driver::WriteFile(folder / "spellings.sha256", empty + "  " + here + "\n" + onShare + "  " + remote + "\n" + empty +
                                                       "  " + device + "\n" + onShare + "  link/f\n" + empty +
                                                       "  devnull\n");
    // Selected in its device form, the checksum file's folder leaves the drive with "..".
    std::string upAndAway;
    for (int i = 0; i < 24; ++i) upAndAway += "../";
    upAndAway += "UNC/vexhost/share/f";
    driver::WriteFile(folder / "relative.sha256", onShare + "  " + upAndAway + "\n");
    const std::string computer = "<R>Not checked (names another computer) - </R>",
                      aDevice = "<R>Not checked (names a device) - </R>";
    EXPECT_EQ(
        Verify({folder / "spellings.sha256", "\\\\?\\" + (folder / "relative.sha256"), drive.Root() + "own.sha256"}),
        "Checking - " + (folder / "spellings.sha256") + "\r\n<G>OK - </G>" + here + "\r\n" + computer + remote +
            "\r\n" + aDevice + device + "\r\n" + computer + "link/f\r\n" + aDevice + "devnull\r\nChecking - " +
            "\\\\?\\" + (folder / "relative.sha256") + "\r\n" + computer + upAndAway + "\r\nChecking - " +
            drive.Root() + "own.sha256\r\n<G>OK - </G>" + drive.Root() + "f\r\n<R>---\r\nError: 5\r\n</R>");
}

TEST(Checksums, ADownloadIsCheckedByTheChecksumFilesBesideItAndOnlyForItself) {
    driver::TempFolder folder;
    // 200 MB selected with its .sha256: one OK, and the download is hashed, never read whole.
    ASSERT_EQ(RunShell(folder.Path(), "head -c 200000000 /dev/urandom > big.iso && sha256sum big.iso > big.iso.sha256"),
              "exit 0\n");
    const std::string big = folder / "big.iso";
    const Outcome run = VerifyRun({big, big + ".sha256"});
    EXPECT_EQ(run.marked, "<G>OK - </G>" + big + "\r\n<G>---\r\nAll Success!\r\n</G>");
    EXPECT_GT(run.peakMemory, 0u);
    EXPECT_LT(run.peakMemory, size_t(150) << 20) << "the download was read into memory";
    // Alone, beside a SHA256SUMS of ten and a SHA512SUMS that does not list it; unlisted; listed
    // by two checksum files which disagree, each one's line under its name.
    ASSERT_EQ(RunShell(folder.Path(),
                       "for i in 0 1 2 3 4 5 6 7 8 9; do echo $i > d$i.iso; done && sha256sum d?.iso > SHA256SUMS && "
                       "sha512sum d0.iso > SHA512SUMS && rm d[0-46-9].iso && echo changed > d5.iso && echo > other.bin "
                       "&& printf two > two.bin && sha256sum two.bin > two.bin.sha256 && "
                       "printf '00000000000000000000000000000000  two.bin\\n' > two.bin.md5"),
              "exit 0\n");
    const std::string download = folder / "d5.iso", unlisted = folder / "other.bin", two = folder / "two.bin";
    EXPECT_EQ(Verify({download}), "<R>FAILED - </R>" + download + "\r\n<R>---\r\nError: 1\r\n</R>");
    EXPECT_EQ(Verify({unlisted}), "<R>No checksum file lists - </R>" + unlisted + "\r\n<R>---\r\nError: 1\r\n</R>");
    EXPECT_EQ(Verify({two}), "Checking - " + two + ".md5\r\n<R>FAILED - </R>" + two + "\r\nChecking - " + two +
                                 ".sha256\r\n<G>OK - </G>" + two + "\r\n<R>---\r\nError: 1\r\n</R>");
}

// In Japanese the hash dialog's words and its error change, and the checksums copied do not:
// GNU's format, as in English. Mode 6 names a failure, sums up and counts in Japanese.
TEST(ChecksumsJapanese, CopyGivesTheEnglishTextAndVerifyingSaysAFailureInJapanese) {
    driver::TempFolder folder;
    const std::string a = folder / "a.txt", b = folder / "b.txt";
    for (const std::string& path : {a, b}) driver::WriteFile(path, "abc");
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {a, b});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_EXPECTED), "期待値:");
    driver::SetItemText(dialog, IDC_EXPECTED, "0123");
    driver::Click(dialog, IDOK);
    EXPECT_EQ(driver::AnswerMessageBox(app).text, "期待するダイジェストは 16 進数 32、40、64、128 桁のどれかです。");
    driver::SetItemText(dialog, IDC_EXPECTED, "");
    driver::Click(dialog, IDOK);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::WaitForRunEnd(log);
    const std::wstring copied = CopyChecksums(log);
    const std::wstring sums = L"900150983cd24fb0d6963f7d28e17f72 *a.txt\r\n900150983cd24fb0d6963f7d28e17f72 *b.txt\r\n";
    EXPECT_EQ(driver::Utf8(copied), driver::Utf8(sums));
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);

    driver::WriteFile(folder / "sums.md5", driver::Utf8(sums));
    driver::WriteFile(b, "abd");
    const Outcome run = VerifyRun({folder / "sums.md5"});
    EXPECT_EQ(run.marked, "<G>OK - </G>" + a + "\r\n<R>失敗 - </R>" + b + "\r\n<R>---\r\nエラー: 1 件\r\n</R>");
    EXPECT_EQ(run.status.rfind("完了: 2 個のファイル、失敗 1 件、6 バイト 読み取り (", 0), 0u) << run.status;
    EXPECT_EQ(run.verdict, "2 個中 1 個が失敗");
    EXPECT_EQ(run.title, "ログ - チェックサムを検証 - sums.md5");
}
