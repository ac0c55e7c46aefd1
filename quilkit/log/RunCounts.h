#pragma once
// What a run counts for the status bar, and the words that say it. Each tool counts
// its own things: the cleaner the files it looked at and those it deleted, the time
// changer the files and folders it stamped, the digest tools the files and the bytes
// they read. The words come from outside, in the user's language: this file knows no
// platform and no language.
#include <cstdint>
#include <string>

// Counted by an engine besides the objects it finished.
enum class TallyKind : uint8_t { Deleted, FileStamped, FolderStamped, Previewed };

// Which words the status bar uses for a run.
enum class CountWording : uint8_t { Digests, Cleaner, TimeChanger, CleanerPreview };

struct RunCounts {
    uint64_t files = 0;     // objects finished, failed ones included
    uint64_t failures = 0;  // failures, of any object
    uint64_t bytesRead = 0;
    uint64_t deleted = 0;
    uint64_t filesStamped = 0;
    uint64_t foldersStamped = 0;
    uint64_t previewed = 0;   // files the cleaner's preview would delete
    uint64_t bytesFreed = 0;  // the sizes of the files deleted, or that a preview would delete
    uint64_t matched = 0;     // files compared with a pasted digest, and equal
    uint64_t mismatched = 0;
    uint64_t total = 0;         // files the run will finish, where it knew beforehand; else 0
    uint64_t pathsNotDone = 0;  // selected paths a stop left unfinished
};

// The patterns the counts are said in; %1 to %5 stand for what each one names.
struct CountWords {
    std::wstring oneFile, files;      // "%1 file", "%1 files"
    std::wstring oneFolder, folders;  // "%1 folder", "%1 folders"
    std::wstring oneByte, bytes;      // "%1 byte", "%1 bytes"
    std::wstring digests;             // "%1, %2 failed, %3 read": files, failures, bytes
    std::wstring cleaner;             // "%1 looked at, %2 deleted, %3 failed"
    std::wstring preview;             // "%1 looked at, %2 would be deleted, %3 failed"
    std::wstring timeChanger;         // "%1 and %2 stamped, %3 failed": files, folders, failures
    // A stopped digest run: "%1 of %2 files done, %3 failed, %4, %5 read" (done, total,
    // failures, what is left, bytes), or "%1 done, %2 failed, %3, %4 read" without a total.
    std::wstring stoppedDigestsOf, stoppedDigests;
    std::wstring stopped;           // "%1, %2": the other tools' counts, what is left
    std::wstring notDone;           // "%1 not done"
    std::wstring pathsNotFinished;  // "%1 of the selected paths not finished"
};

// `count` in the singular or the plural pattern: "1 file", "2 files", "0 files".
std::wstring CountOf(uint64_t count, const std::wstring& singular, const std::wstring& plural);

// "0 bytes", "1 byte", "1023 bytes", "1.0 KB", "3.4 MB", "1.25 GB".
std::wstring FormatBytes(uint64_t bytes, const CountWords& words);

// "12 looked at, 4 deleted, 0 failed" (cleaner), "3 files and 2 folders stamped,
// 0 failed" (time changer), "1 file, 0 failed, 24.0 KB read" (hash checker, verifier).
std::wstring FormatRunCounts(CountWording wording, const RunCounts& counts, const CountWords& words);

// The counts of a stopped run and what it left undone, in the same words for the summary
// and the status bar: "10 of 40 files done, 0 failed, 30 not done, 24.0 KB read", or
// "... 2 of the selected paths not finished" where the total was not known.
std::wstring FormatStoppedCounts(CountWording wording, const RunCounts& counts, const CountWords& words);
