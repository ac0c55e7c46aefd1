#pragma once
// What the file tools' end-to-end tests share beyond the driver: a tool started on a list
// file, and a finished run's log read back with its formats.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "framework/Handles.h"
#include "resource.h"

namespace tooltest {

// The stored choices of `value` ("<none>" without one).
inline std::string StoredChoices(const char* value) {
    char text[1024] = {};
    DWORD size = sizeof(text) - 1;
    const LSTATUS read =
        RegGetValueA(HKEY_CURRENT_USER, "Software\\VexQuillkit", value, RRF_RT_REG_SZ, nullptr, text, &size);
    return read == ERROR_SUCCESS ? text : "<none>";
}

enum class Choices { Forget, Keep };

// VexQuilkit in `mode` (2 cleaner, 3 hash checker, 4 time changer, 6 checksum check) on a list
// of `paths`, the kept choices forgotten unless `choices` says so; the options dialog, or null.
inline HWND StartTool(driver::Process& app, const driver::TempFolder& folder, int mode,
                      const std::vector<std::string>& paths, Choices choices = Choices::Forget) {
    for (const char* value : {"Cleaner", "HashChecker", "TimeChanger"})
        if (choices == Choices::Forget) RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\VexQuillkit", value);
    // UTF-8 after its byte-order mark, as the shell extension writes it.
    std::string list = "\xEF\xBB\xBF";
    for (const std::string& path : paths) list += path + "\r\n";
    driver::WriteFile(folder / "selection.lst", list);
    app =
        driver::Start(driver::QuilkitExe(), "/M" + std::to_string(mode) + " /L \"" + (folder / "selection.lst") + "\"");
    if (mode == 6) return nullptr;  // asks nothing: its run starts at once
    const int dialogs[] = {IDD_EXTDLG, IDD_HASHDLG, IDD_TIMEDLG};
    return driver::WaitForWindow(app, driver::CaptionOf(dialogs[mode - 2]));
}

// Mode 3 on `paths` with the boxes `ticked`, confirmed; its log once the run has ended.
inline HWND HashToTheEnd(driver::Process& app, const driver::TempFolder& folder, const std::vector<std::string>& paths,
                         const std::vector<int>& ticked) {
    HWND dialog = StartTool(app, folder, 3, paths);
    if (!dialog) return nullptr;
    for (int box : ticked) driver::SetCheck(dialog, box, true);
    driver::Click(dialog, IDOK);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::WaitForRunEnd(log);
    return log;
}

// Save Checksums As... from a finished run's log: the save dialog (file name in kFileNameEdit).
constexpr int kFileNameEdit = 0x47C;
inline HWND OpenSave(const driver::Process& app, HWND log) {
    driver::Command(log, ID_LOG_SAVE_CHECKSUMS);
    return driver::WaitForWindow(app, driver::TextOf(IDS_SAVE_TITLE));
}

// Makes `top` and under it folders whose path reaches `length` characters; the deepest.
inline std::string MakeTreeWithDeepFolder(const std::string& top, size_t length) {
    EXPECT_TRUE(CreateDirectoryW(driver::Wide(top).c_str(), nullptr));
    std::string deep = top;
    while (deep.size() < length) {
        deep += "\\" + std::string(50, 'd');
        EXPECT_TRUE(CreateDirectoryW(driver::LongPath(deep).c_str(), nullptr)) << deep;
    }
    return deep;
}

// A named pipe's server end, read by the hash checker as a file whose data and end the test decides.
class PipeFile {
public:
    PipeFile()
        : m_path("\\\\.\\pipe\\vex-hash-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(GetTickCount())),
          m_server(CreateNamedPipeA(m_path.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1,
                                    65536, 65536, 0, nullptr)),
          m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    const std::string& Path() const { return m_path; }

    // Waits for the reader, then gives it `content` and waits until it has taken all of it.
    void Serve(const std::string& content) {
        ASSERT_TRUE(m_server);
        OVERLAPPED overlapped = {};
        overlapped.hEvent = m_event.Get();
        if (!ConnectNamedPipe(m_server.Get(), &overlapped) && GetLastError() == ERROR_IO_PENDING) {
            ASSERT_EQ(WaitForSingleObject(m_event.Get(), driver::kDefaultTimeoutMs), WAIT_OBJECT_0) << "no reader came";
        }
        DWORD written = 0;
        ResetEvent(m_event.Get());
        if (!WriteFile(m_server.Get(), content.data(), DWORD(content.size()), &written, &overlapped))
            GetOverlappedResult(m_server.Get(), &overlapped, &written, TRUE);
        ASSERT_EQ(written, content.size());
        FlushFileBuffers(m_server.Get());  // returns once the reader has taken every byte
    }
    // The next read fails (ERROR_PIPE_NOT_CONNECTED): a read error, not the end of the data.
    void Break() { DisconnectNamedPipe(m_server.Get()); }

private:
    std::string m_path;
    UniqueFile m_server;
    UniqueHandle m_event;
};

// A finished run: the log's text, the same marked (driver::ReadLogMarked), the status bar's
// last text, the verdict, the log's title, the peak memory by the run's end, the exit code.
struct Outcome {
    std::string text, marked, status, verdict, title;
    size_t peakMemory = 0;
    int exitCode = -1;
};

// Confirms the options dialog (unless null), waits for the summary, closes the log.
inline Outcome FinishRun(const driver::Process& app, HWND dialog) {
    if (dialog) driver::Click(dialog, IDOK);
    Outcome run;
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    run.status = driver::WaitForRunEnd(log);
    run.text = driver::ReadLogText(log);
    run.marked = driver::ReadLogMarked(log);
    run.verdict = driver::ReadVerdict(log);
    run.title = driver::GetText(log);
    PROCESS_MEMORY_COUNTERS counters = {};
    if (GetProcessMemoryInfo(app.Handle(), &counters, sizeof(counters))) run.peakMemory = counters.PeakWorkingSetSize;
    driver::Close(log);
    run.exitCode = driver::WaitForExit(app);
    return run;
}

// The close box ends the options dialog without a run: exit code 0, no log window left.
inline void CloseWithoutRun(const driver::Process& app, HWND dialog) {
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::Close(dialog);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(IsWindow(log));
}

// Mode 6 on `paths`: the finished run, or its log's marked text.
inline Outcome VerifyRun(const std::vector<std::string>& paths) {
    driver::TempFolder lists;
    driver::Process app;
    return FinishRun(app, StartTool(app, lists, 6, paths));
}
inline std::string Verify(const std::vector<std::string>& paths) { return VerifyRun(paths).marked; }

// Expects each of `lines` in `text`.
inline void ExpectLines(const std::string& text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
}

// Runs `commands` with /bin/sh in `folder` (on the Unix side) and returns what they
// printed and the exit code of the last one, as "<output>exit <code>".
inline std::string RunShell(const std::string& folder, const std::string& commands) {
    const std::string script = folder + "\\run.sh", status = folder + "\\status";
    DeleteFileW(driver::Wide(status).c_str());
    driver::WriteFile(script,
                      "cd '" + driver::UnixName(folder) + "'\n(" + commands + ") > out 2>&1\necho $? > status\n");
    driver::RunUnix("/bin/sh \"" + driver::UnixName(script) + "\"");
    for (int i = 0; i < 400 && driver::ReadFile(status).empty(); ++i) Sleep(50);
    return driver::ReadFile(folder + "\\out") + "exit " + driver::ReadFile(status);
}

// `text` on the clipboard while it lives: a digest left there would fill every later hash dialog.
struct ClipboardText {
    explicit ClipboardText(const std::wstring& text) { Put(text); }
    ~ClipboardText() { Put(L""); }
    static void Put(const std::wstring& text) {
        if (!OpenClipboard(nullptr)) return ADD_FAILURE() << "the clipboard cannot be opened";
        EmptyClipboard();
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = text.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            memcpy(GlobalLock(memory), text.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        }
        CloseClipboard();
    }
};

// Answers the save dialog's question whether to replace the file with Yes.
inline void ConfirmReplace(const driver::Process& app) {
    HWND question = driver::WaitForMessageBox(app);
    ASSERT_TRUE(question && GetDlgItem(question, IDYES)) << "no question whether to replace the file";
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
}

}  // namespace tooltest
