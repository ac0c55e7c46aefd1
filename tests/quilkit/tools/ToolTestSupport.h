#pragma once
// What the file tools' end-to-end tests share beyond the driver: starting a tool on a
// list file, finishing a run, the pickers of another process, time stamps, attributes,
// digests from the platform's own provider and the Wine trash.
#include <windows.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "framework/Handles.h"

namespace tooltest {

constexpr const char* kCleanerTitle = "Cleaner - Quillkit";
constexpr const char* kHashTitle = "Hash Checker - Quillkit";
constexpr const char* kTimeTitle = "Setting Time";

// Writes a list file naming `paths`, one a line, and starts VexQuilkit with /M<mode> /L.
driver::Process StartTool(const driver::TempFolder& folder, int mode, const std::vector<std::string>& paths);

// The log window's text and formats after a confirmed options dialog, and the exit code
// once the log was closed.
struct RunResult {
    std::string text;
    std::vector<driver::TextRun> runs;
    int exitCode = -1;
};
RunResult FinishRun(const driver::Process& app);

// The runs with neighbours of one format merged, so that comparisons do not depend on
// how the clipboard's RTF happens to split the text.
std::vector<driver::TextRun> Merge(const std::vector<driver::TextRun>& runs);
std::vector<driver::TextRun> Success(const std::string& text);
std::vector<driver::TextRun> Error(const std::string& text);
driver::TextRun Plain(const std::string& text);
std::string Describe(const std::vector<driver::TextRun>& runs);

// "Delete - ", "Success - " and the like: the lines of the log without the summary.
std::vector<std::string> ResultLines(const std::string& logText);
std::string SuccessSummary();
std::string ErrorSummary(int count);

// Date-time pickers of another process.
void SetPicker(const driver::Process& app, HWND picker, const SYSTEMTIME& time);
SYSTEMTIME GetPicker(const driver::Process& app, HWND picker);

struct Stamps {
    FILETIME creation = {};
    FILETIME access = {};
    FILETIME write = {};
};
Stamps ReadStamps(const std::string& path);
FILETIME ToFileTime(const SYSTEMTIME& utc);
SYSTEMTIME ToSystemTime(const FILETIME& utc);
std::string Format(const FILETIME& utc);
void SetStamps(const std::string& path, const FILETIME& time);

DWORD Attributes(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);

// Digest text from the platform's crypto provider (CALG_MD5 or CALG_SHA1).
std::string PlatformDigest(const std::string& content, ALG_ID algorithm);

// The path of a deleted file's record in the trash of Wine's user (HOME as Wine sees
// it), or "" when the file is not there.
std::string TrashedCopyOf(const std::string& windowsPath);

// A file that this process keeps open without sharing, for as long as the object lives.
class LockedFile {
public:
    explicit LockedFile(const std::string& path);
    bool IsOpen() const { return m_handle.IsValid(); }

private:
    UniqueFile m_handle;
};

}  // namespace tooltest
