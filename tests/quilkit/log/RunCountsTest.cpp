// The status bar's words for what each tool counted, singular and plural.
#include <gtest/gtest.h>

#include "log/RunCounts.h"

namespace {

struct Case {
    CountWording wording;
    RunCounts counts;  // files, failures, bytes read, deleted, files and folders stamped
    const char* text;
};

TEST(RunCounts, EachToolSaysWhatItCounted) {
    constexpr CountWording kDigests = CountWording::Digests, kCleaner = CountWording::Cleaner,
                           kTimeChanger = CountWording::TimeChanger;
    for (const auto& c : {Case{kDigests, {0, 0, 0}, "0 files, 0 failed, 0 bytes read"},
                          Case{kDigests, {1, 1, 1}, "1 file, 1 failed, 1 byte read"},
                          Case{kDigests, {2, 0, 1023}, "2 files, 0 failed, 1023 bytes read"},
                          Case{kDigests, {120, 3, 24 * 1024}, "120 files, 3 failed, 24.0 KB read"},
                          Case{kCleaner, {12, 1, 0, 4}, "12 looked at, 4 deleted, 1 failed"},
                          Case{kCleaner, {}, "0 looked at, 0 deleted, 0 failed"},
                          Case{kTimeChanger, {0, 0, 0, 0, 1, 1}, "1 file and 1 folder stamped, 0 failed"},
                          // Objects finished are not what it reports: it stamps folders too.
                          Case{kTimeChanger, {7, 2, 0, 0, 3, 0}, "3 files and 0 folders stamped, 2 failed"}})
        EXPECT_EQ(FormatRunCounts(c.wording, c.counts), c.text);
}

// A stop says what was done and what was not: against the total where it was known, else
// in selected paths.
TEST(RunCounts, AStopSaysWhatWasNotDone) {
    RunCounts known{10, 1, 2048}, unknown{1, 0, 5};
    known.total = 40;
    unknown.pathsNotDone = 2;
    RunCounts cleaner = unknown;
    cleaner.deleted = 1;
    for (const auto& c : {Case{CountWording::Digests, known, "10 of 40 files done, 1 failed, 30 not done, 2.0 KB read"},
                          Case{CountWording::Digests, unknown,
                               "1 file done, 0 failed, 2 of the selected paths not finished, 5 bytes read"},
                          Case{CountWording::Cleaner, cleaner,
                               "1 looked at, 1 deleted, 0 failed, 2 of the selected paths not finished"}})
        EXPECT_EQ(FormatStoppedCounts(c.wording, c.counts), c.text);
}

TEST(RunCounts, BytesInTheLargestUnitBelowTheirSize) {
    EXPECT_EQ(FormatBytes(1024), "1.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024 - 1), "1024.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024), "1.0 MB");
    EXPECT_EQ(FormatBytes(3ull << 30), "3.00 GB");
}

}  // namespace
