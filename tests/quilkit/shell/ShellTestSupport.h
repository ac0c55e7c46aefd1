#pragma once
// What the tests of the settings, the launchers, the main dialog and the shell
// extension share: the recorder program, copies of our binaries, and the settings
// value in the registry.
#include <windows.h>

#include <string>
#include <vector>

namespace shelltest {

// The build tree's binaries.
std::string RecorderExe();
std::string BinFolder();  // where VexQuilkit.exe and flintpop64.dll are built
std::string StubDll(const std::string& name);

void CopyOrFail(const std::string& from, const std::string& to);
std::string FolderOf(const std::string& path);

// Points VEX_RECORDER_LOG at a file of its own for the length of a test; every
// recorder started meanwhile (also by a child of a child) writes there.
class Recording {
public:
    explicit Recording(const std::string& logPath);
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    struct Record {
        std::string commandLine;  // GetCommandLineA() of the recorder
        std::string arguments;    // what its WinMain got
        std::string image;        // its own file name
    };
    // Waits for the first record; fails the test when none comes.
    Record WaitForRecord();
    // Every record so far.
    std::vector<Record> Records() const;
    // True when no recorder wrote and none named `exeName` is running. Call it after
    // the program that might have started one has ended.
    bool NothingStarted(const std::string& exeName) const;

private:
    std::string m_logPath;
};

// Points "comspec" at `program` for the length of a test.
class ComspecOverride {
public:
    explicit ComspecOverride(const std::string& program);
    ~ComspecOverride();
    ComspecOverride(const ComspecOverride&) = delete;
    ComspecOverride& operator=(const ComspecOverride&) = delete;

private:
    std::string m_saved;
};

// HKEY_CURRENT_USER\Software\VexQuillkit and its value "Hidemaru".
void DeleteSettingsKey();
bool SettingsKeyExists();
struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string bytes;  // the data as stored, terminator included
};
StoredValue ReadStoredValue();
// Writes `bytes` as they stand (include the terminator to store a proper string).
void WriteStoredValue(const std::string& bytes);
// Stores `path` as the editor path, terminator included.
inline void StoreEditorPath(const std::string& path) { WriteStoredValue(path + std::string(1, '\0')); }

// A folder removed with its contents at the end of the test, at a fixed place
// (TempFolder picks its own name).
class ScopedFolder {
public:
    explicit ScopedFolder(const std::string& path);
    ~ScopedFolder();
    ScopedFolder(const ScopedFolder&) = delete;
    ScopedFolder& operator=(const ScopedFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace shelltest
