// Checksum files end to end: a hash run's digests copied and saved, GNU's own tools
// checking what was saved, and mode 6 checking what GNU's tools wrote.
#include <algorithm>

#include "ToolTestSupport.h"

using namespace tooltest;

namespace {

// Runs `commands` with /bin/sh in `folder` (on the Unix side) and returns what they
// printed and the exit code of the last one, as "<output>exit <code>".
std::string RunShell(const std::string& folder, const std::string& commands) {
    const std::string script = folder + "\\run.sh", status = folder + "\\status";
    DeleteFileW(driver::Wide(status).c_str());
    driver::WriteFile(script,
                      "cd '" + driver::UnixName(folder) + "'\n(" + commands + ") > out 2>&1\necho $? > status\n");
    driver::RunUnix("/bin/sh \"" + driver::UnixName(script) + "\"");
    for (int i = 0; i < 400 && driver::ReadFile(status).empty(); ++i) Sleep(50);
    return driver::ReadFile(folder + "\\out") + "exit " + driver::ReadFile(status);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Mode 6 on `paths`; the log's marked text.
std::string Verify(const std::vector<std::string>& paths) {
    driver::TempFolder lists;
    driver::Process app;
    return FinishRun(app, StartTool(app, lists, 6, paths)).marked;
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
    driver::Process app;
    HWND dialog = StartTool(app, folder, 3, {folder.Path()});
    ASSERT_NE(dialog, nullptr);
    driver::SetCheck(dialog, IDC_SHA256, true);
    driver::Click(dialog, IDOK);
    HWND log = driver::WaitForWindow(app, "Log");
    driver::WaitForRunEnd(log);
    // Whatever an earlier copy left must not pass for the checksums.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    driver::Command(log, ID_LOG_COPY_CHECKSUMS);
    std::wstring copied;
    for (int i = 0; i < 100 && copied.empty(); ++i, Sleep(50)) copied = ClipboardText();
    // The folder's own name leads each name: the common parent is the folder above it.
    const std::string top = folder.Path().substr(folder.Path().rfind('\\') + 1);
    EXPECT_NE(copied.find(driver::Wide(" *" + top + "/sub/c.bin\r\n")), std::wstring::npos) << driver::Utf8(copied);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 3);

    driver::Command(log, ID_LOG_SAVE_CHECKSUMS);
    HWND save = driver::WaitForWindow(app, "Save Checksums As");
    ASSERT_NE(save, nullptr);
    const std::string saved = folder / "checksums.sha256";
    EXPECT_EQ(driver::GetItemText(save, 0x47C), "checksums.sha256");
    driver::SetItemText(save, 0x47C, saved);
    driver::Click(save, IDOK);
    for (int i = 0; i < 100 && !driver::FileExists(saved); ++i) Sleep(50);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);

    const std::string text = driver::ReadFile(saved);
    // The same lines, in UTF-8 with LF.
    std::wstring lines = copied;
    lines.erase(std::remove(lines.begin(), lines.end(), L'\r'), lines.end());
    EXPECT_EQ(text, driver::Utf8(lines));
    // sha256sum reads the names relative to where it runs: the common parent.
    EXPECT_EQ(
        RunShell(folder.Path(), "cd .. && sha256sum -c '" + driver::UnixName(saved) + "'"),
        top + "/a b.txt: OK\n" + top + "/caf\xC3\xA9 \xF0\x9F\x98\x80.txt: OK\n" + top + "/sub/c.bin: OK\nexit 0\n")
        << text;

    // Saved beside the folder it names, the file is checked by mode 6 as it is.
    const std::string beside = folder.Path().substr(0, folder.Path().rfind('\\')) + "\\" + top + ".sha256";
    driver::WriteFile(beside, text);
    std::string expected;
    for (const auto& [name, content] : kFiles) expected += "<G>OK - </G>" + (folder / name) + "\r\n";
    EXPECT_EQ(Verify({beside}), expected + "<G>---\r\nAll Success!\r\n</G>");
    DeleteFileW(driver::Wide(beside).c_str());
}

TEST(Checksums, ModeSixReadsWhatGnuToolsWriteAndNamesEveryFailure) {
    driver::TempFolder folder;
    MakeFiles(folder.Path());
    const std::string written = RunShell(
        folder.Path(),
        "md5sum 'a b.txt' sub/c.bin > sums.md5 && sha1sum --tag 'caf\xC3\xA9 \xF0\x9F\x98\x80.txt' > Tagged.SHA1 && "
        "sha256sum -b sub/c.bin 'a b.txt' > sub/../all.sha256 && printf '; comment\\n\\n# another\\r\\n' >> sums.md5");
    ASSERT_EQ(written, "exit 0\n");
    driver::WriteFile(folder / "sub\\c.bin", "changed");
    // A Linux name with a backslash: md5sum escapes it, and on Windows it names sub\c.bin.
    ASSERT_EQ(
        RunShell(folder.Path(), "cp sub/c.bin 'sub\\c.bin' && md5sum 'sub\\c.bin' > escaped.md5 && rm 'sub\\c.bin'"),
        "exit 0\n");
    ASSERT_EQ(driver::ReadFile(folder / "escaped.md5").substr(0, 1), "\\");
    driver::WriteFile(folder / "broken.sha256", "not a checksum line\n0123  short.txt\n");
    DeleteFileW(driver::Wide(folder / "a b.txt").c_str());

    // The folder is searched for the files by their endings, in any case; a selected path
    // that is not there is named.
    const std::string marked = Verify({folder.Path(), folder / "typo.md5"});
    const std::string a = folder / "a b.txt", c = folder / "sub\\c.bin",
                      e = folder / "caf\xC3\xA9 \xF0\x9F\x98\x80.txt";
    for (const std::string& line :
         {"<R>Missing - </R>" + a + "\r\n", "<R>FAILED - </R>" + c + "\r\n", "<G>OK - </G>" + e + "\r\n",
          "<R>Bad line 1 - </R>" + (folder / "broken.sha256") + "\r\n",
          "<R>Bad line 2 - </R>" + (folder / "broken.sha256") + "\r\n", "<G>OK - </G>" + c + "\r\n",
          "<R>Not found - </R>" + (folder / "typo.md5") + "\r\n"})
        EXPECT_NE(marked.find(line), std::string::npos) << line << "\nin\n" << marked;
    // sums.md5: 2, Tagged.SHA1: 1, all.sha256: 2, escaped.md5: 1, broken.sha256: 2, typo.md5.
    EXPECT_EQ(std::count(marked.begin(), marked.end(), '\n'), 9 + 2);
    EXPECT_NE(marked.find("<R>---\r\nError: 7\r\n</R>"), std::string::npos) << marked;
}

// A checksum file naming a pipe whose writer never writes: the read blocks. Stop cancels
// it and the summary names what was left; closing the log, with or without a stop first,
// ends the program within 2 s.
TEST(Checksums, APipeThatNeverAnswersIsStoppedAndTheProgramEndsOnClose) {
    for (bool stopFirst : {true, false}) {
        driver::TempFolder folder;
        PipeFile pipe;
        std::string name = pipe.Path();
        std::replace(name.begin(), name.end(), '\\', '/');
        driver::WriteFile(folder / "pipe.md5", std::string(32, '0') + "  " + name + "\n");
        driver::WriteFile(folder / "after.md5", std::string(32, '0') + "  after.txt\n");
        driver::Process app;
        StartTool(app, folder, 6, {folder / "pipe.md5", folder / "after.md5"});
        HWND log = driver::WaitForWindow(app, "Log");
        pipe.WaitForReader();
        std::string reading;
        for (int i = 0; i < 200 && reading.find(" - " + pipe.Path()) == std::string::npos; ++i, Sleep(50))
            reading = driver::ReadStatus(log);
        EXPECT_EQ(reading.rfind("0 files, 0 failed, ", 0), 0u) << reading;
        EXPECT_NE(reading.find(" - " + pipe.Path()), std::string::npos) << reading;
        if (stopFirst) {
            driver::Command(log, ID_LOG_STOP);
            driver::WaitForStatus(log, "Stopped: ");
            EXPECT_EQ(driver::ReadLogMarked(log),
                      "<R>Stopped\r\n---\r\nStopped - 2 of the selected paths not done\r\nError: 1\r\n</R>");
        }
        const ULONGLONG closed = GetTickCount64();
        driver::Close(log);
        EXPECT_EQ(WaitForSingleObject(app.Handle(), 2000), WAIT_OBJECT_0) << stopFirst;
        EXPECT_LT(GetTickCount64() - closed, 2000u) << stopFirst;
        EXPECT_EQ(driver::WaitForExit(app), 0) << stopFirst;
    }
}
