#pragma once
// What a run counts for the status bar, and the words that say it. Each tool counts
// its own things: the cleaner the files it looked at and those it deleted, the time
// changer the files and folders it stamped, the digest tools the files and the bytes
// they read.
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

// "1 file", "2 files", "0 files".
std::string CountOf(uint64_t count, const char* singular, const char* plural);

// "0 bytes", "1 byte", "1023 bytes", "1.0 KB", "3.4 MB", "1.25 GB".
std::string FormatBytes(uint64_t bytes);

// "12 looked at, 4 deleted, 0 failed" (cleaner), "3 files and 2 folders stamped,
// 0 failed" (time changer), "1 file, 0 failed, 24.0 KB read" (hash checker, verifier).
std::string FormatRunCounts(CountWording wording, const RunCounts& counts);

// The counts of a stopped run and what it left undone, in the same words for the summary
// and the status bar: "10 of 40 files done, 0 failed, 30 not done, 24.0 KB read", or
// "... 2 of the selected paths not finished" where the total was not known.
std::string FormatStoppedCounts(CountWording wording, const RunCounts& counts);
