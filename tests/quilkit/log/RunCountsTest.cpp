// The status bar's words for what each tool counted, singular and plural.
#include <gtest/gtest.h>

#include "log/RunCounts.h"

namespace {

RunCounts Counts(uint64_t files, uint64_t failures, uint64_t bytesRead) {
    RunCounts counts;
    counts.files = files;
    counts.failures = failures;
    counts.bytesRead = bytesRead;
    return counts;
}

TEST(RunCounts, DigestToolsCountFilesFailuresAndBytesRead) {
    EXPECT_EQ(FormatRunCounts(CountWording::Digests, Counts(0, 0, 0)), "0 files, 0 failed, 0 bytes read");
    EXPECT_EQ(FormatRunCounts(CountWording::Digests, Counts(1, 1, 1)), "1 file, 1 failed, 1 byte read");
    EXPECT_EQ(FormatRunCounts(CountWording::Digests, Counts(2, 0, 1023)), "2 files, 0 failed, 1023 bytes read");
    EXPECT_EQ(FormatRunCounts(CountWording::Digests, Counts(120, 3, 24 * 1024)), "120 files, 3 failed, 24.0 KB read");
}

TEST(RunCounts, TheCleanerSaysWhatItLookedAtAndWhatItDeleted) {
    RunCounts counts = Counts(12, 1, 0);
    counts.deleted = 4;
    EXPECT_EQ(FormatRunCounts(CountWording::Cleaner, counts), "12 looked at, 4 deleted, 1 failed");
    EXPECT_EQ(FormatRunCounts(CountWording::Cleaner, RunCounts()), "0 looked at, 0 deleted, 0 failed");
}

TEST(RunCounts, TheTimeChangerCountsFilesAndFoldersStamped) {
    RunCounts counts;
    counts.filesStamped = 1;
    counts.foldersStamped = 1;
    EXPECT_EQ(FormatRunCounts(CountWording::TimeChanger, counts), "1 file and 1 folder stamped, 0 failed");
    counts.filesStamped = 3;
    counts.foldersStamped = 0;
    counts.failures = 2;
    // Objects finished are not what it reports: it stamps folders too.
    counts.files = 7;
    EXPECT_EQ(FormatRunCounts(CountWording::TimeChanger, counts), "3 files and 0 folders stamped, 2 failed");
}

// A stop says what was done and what was not: against the total where it was known, else
// in selected paths.
TEST(RunCounts, AStopSaysWhatWasNotDone) {
    RunCounts known = Counts(10, 1, 2048), unknown = Counts(1, 0, 5);
    known.total = 40;
    unknown.pathsNotDone = 2;
    RunCounts cleaner = unknown;
    cleaner.deleted = 1;
    const struct {
        CountWording wording;
        RunCounts counts;
        const char* words;
    } cases[] = {
        {CountWording::Digests, known, "10 of 40 files done, 1 failed, 30 not done, 2.0 KB read"},
        {CountWording::Digests, unknown, "1 file done, 0 failed, 2 of the selected paths not finished, 5 bytes read"},
        {CountWording::Cleaner, cleaner, "1 looked at, 1 deleted, 0 failed, 2 of the selected paths not finished"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatStoppedCounts(c.wording, c.counts), c.words);
}

TEST(RunCounts, BytesInTheLargestUnitBelowTheirSize) {
    EXPECT_EQ(FormatBytes(1024), "1.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024 - 1), "1024.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024), "1.0 MB");
    EXPECT_EQ(FormatBytes(3ull << 30), "3.00 GB");
}

}  // namespace
