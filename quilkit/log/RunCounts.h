#pragma once
// What a run counts for the status bar, and the words that say it. Each tool counts
// its own things: the cleaner the files it looked at and those it deleted, the time
// changer the files and folders it stamped, the digest tools the files and the bytes
// they read.
#include <cstdint>
#include <string>

// Counted by an engine besides the objects it finished.
enum class TallyKind : uint8_t { Deleted, FileStamped, FolderStamped };

// Which words the status bar uses for a run.
enum class CountWording : uint8_t { Digests, Cleaner, TimeChanger };

struct RunCounts {
    uint64_t files = 0;     // objects finished, failed ones included
    uint64_t failures = 0;  // failures, of any object
    uint64_t bytesRead = 0;
    uint64_t deleted = 0;
    uint64_t filesStamped = 0;
    uint64_t foldersStamped = 0;
};

// "1 file", "2 files", "0 files".
std::string CountOf(uint64_t count, const char* singular, const char* plural);

// "0 bytes", "1 byte", "1023 bytes", "1.0 KB", "3.4 MB", "1.25 GB".
std::string FormatBytes(uint64_t bytes);

// "12 looked at, 4 deleted, 0 failed" (cleaner), "3 files and 2 folders stamped,
// 0 failed" (time changer), "1 file, 0 failed, 24.0 KB read" (hash checker, verifier).
std::string FormatRunCounts(CountWording wording, const RunCounts& counts);
