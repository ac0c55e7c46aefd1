#pragma once
// The end-to-end test driver: a Windows program of ours that starts the real
// VexQuilkit.exe and works its windows from outside, as a user would. Every wait polls with
// a generous limit and fails the calling test when it runs out. Text is UTF-8 throughout;
// the driver talks to windows and files with the wide API.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace driver {

// Generous: a loaded machine can take Wine many seconds to start a program.
constexpr int kDefaultTimeoutMs = 45000;

// A started process; killed on destruction if it is still running.
class Process {
public:
    Process() = default;
    Process(HANDLE handle, DWORD id) : m_handle(handle, &End), m_id(id) {}

    HANDLE Handle() const { return m_handle.get(); }
    DWORD Id() const { return m_id; }

private:
    static void End(HANDLE handle);
    std::unique_ptr<void, void (*)(HANDLE)> m_handle{nullptr, &End};
    DWORD m_id = 0;
};

// The VexQuilkit.exe of this build tree.
std::string QuilkitExe();
// VexQuilkit's dialog title and string-table text in the language it chooses for this user,
// read from VexQuilkit.exe: a test finds windows and expects words in either language.
std::string CaptionOf(int dialogId);
std::string TextOf(int stringId);

// Starts `exe` with `arguments` (the part after the program name) in `workingFolder`
// (the driver's own when empty).
Process Start(const std::string& exe, const std::string& arguments, const std::string& workingFolder = "");

// Waits for a visible top-level window of the process with this title; FindWindowOf does not
// fail but returns null.
HWND WaitForWindow(const Process& process, const std::string& title, int timeoutMs = kDefaultTimeoutMs);
HWND FindWindowOf(const Process& process, const std::string& title, int timeoutMs);  // "": any

// Waits for the process to end; returns its exit code, or -1 after the time limit.
int WaitForExit(const Process& process, int timeoutMs = kDefaultTimeoutMs);

std::string GetText(HWND window);  // WM_GETTEXT
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
bool IsChecked(HWND dialog, int id);
void SetCheck(HWND dialog, int id, bool checked);

// Posts the click, so a modal window that the click opens cannot block the driver.
void Click(HWND dialog, int id);
void Command(HWND window, int id);  // IDOK, IDCANCEL, a menu command
void Close(HWND window);            // WM_CLOSE, as the close box
// Posts the key press to the window with the focus in the given window's thread.
void PressEscape(HWND window);
void PressEnter(HWND window);

struct MessageBoxText {
    std::string caption;
    std::string text;
};
// Waits for a message box of the process, reads it and answers it with OK; or leaves it open.
MessageBoxText AnswerMessageBox(const Process& process, int timeoutMs = kDefaultTimeoutMs);
HWND WaitForMessageBox(const Process& process, int timeoutMs = kDefaultTimeoutMs);

std::string ReadLogText(HWND log);  // the log's rich edit control
// Waits until the log's text contains `part`; returns the text.
std::string WaitForLogText(HWND log, const std::string& part, int timeoutMs = kDefaultTimeoutMs);

// The text of the log's status bar: progress during a run ("12 files, 0 failed, ..."),
// then "Done: ..." or "Stopped: ...".
std::string ReadStatus(HWND log);
std::string ReadVerdict(HWND log);  // what a screen reader reads
// Waits until the status bar's text starts with `prefix`; returns the text.
std::string WaitForStatus(HWND log, const std::string& prefix, int timeoutMs = kDefaultTimeoutMs);
// Waits until the run has ended ("Done: ..." or "Stopped: ..."); returns the status text.
std::string WaitForRunEnd(HWND log, int timeoutMs = kDefaultTimeoutMs);
// How long a WM_NULL sent to the window takes to be answered, in milliseconds; -1 when
// no answer comes within `timeoutMs`.
double RoundTripMs(HWND window, int timeoutMs = 5000);

// The log's text with its formats marked, as its own Select All + Copy gives them:
// <G>bold green</G>, <R>bold red</R>, <?>any other</?>, plain text as it is, paragraph ends
// as "\r\n"; one comparison checks text, colours and bold.
std::string ReadLogMarked(HWND log);

// A folder of its own under the temporary folder (or under `base`, a Windows path),
// removed with its contents.
class TempFolder {
public:
    TempFolder();
    explicit TempFolder(const std::string& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }  // without a trailing backslash
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

std::wstring Wide(const std::string& utf8);
// Bytes in a code page (932 for the Japanese captions) as UTF-8.
std::string FromCodePage(UINT codePage, const std::string& bytes);
std::string Utf8(const std::wstring& text);

// The system's English words for `error` as the tools' failure lines give them:
// "error 32: <text>" without the closing full stop and line end.
std::string SystemReason(DWORD error);
// An absolute path in the form that the file system takes at any length.
std::wstring LongPath(const std::string& path);

// Wine's name of a Windows path on the Unix side; empty when it has none.
std::string UnixName(const std::string& path);
// Runs a Unix command line (program and arguments) through Wine's start.exe.
void RunUnix(const std::string& arguments);

// A Unix symbolic link `link` -> `target` (Windows paths), made with the system's own
// ln, and removed again (the link only) when the object goes: Wine shows a link to a
// folder as a directory reparse point, as Windows shows a junction.
class UnixLink {
public:
    UnixLink(const std::string& target, const std::string& link);
    ~UnixLink();
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;

private:
    std::string m_link;
};

// A spare drive letter that names `folder` for the object's lifetime, made as Wine makes
// its drives: a Unix link in the prefix's dosdevices folder.
class MappedDrive {
public:
    explicit MappedDrive(const std::string& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    const std::string& Root() const { return m_root; }  // "R:\\"

private:
    std::string m_root;
    std::string m_link;  // on the Unix side
};

void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);

}  // namespace driver
