// The status bar's words for what each tool counted, singular and plural.
#include <gtest/gtest.h>

#include "log/RunCounts.h"

namespace {

// The program's English words (English.rc); the assembly, not the wording, is tested here.
const CountWords kWords = {L"%1 file",
                           L"%1 files",
                           L"%1 folder",
                           L"%1 folders",
                           L"%1 byte",
                           L"%1 bytes",
                           L"%1, %2 failed, %3 read",
                           L"%1 looked at, %2 deleted, %3 failed",
                           L"%1 looked at, %2 would be deleted, %3 failed",
                           L"%1 and %2 stamped, %3 failed",
                           L"%1 of %2 files done, %3 failed, %4, %5 read",
                           L"%1 done, %2 failed, %3, %4 read",
                           L"%1, %2",
                           L"%1 not done",
                           L"%1 of the selected paths not finished"};

TEST(RunCounts, EachToolSaysWhatItCounted) {
    constexpr CountWording kDigests = CountWording::Digests, kCleaner = CountWording::Cleaner,
                           kTimeChanger = CountWording::TimeChanger;
    const struct {
        CountWording wording;
        RunCounts counts;  // files, failures, bytes read, deleted, files and folders stamped
        const wchar_t* text;
    } cases[] = {
        {kDigests, {0, 0, 0}, L"0 files, 0 failed, 0 bytes read"},
        {kDigests, {1, 1, 1}, L"1 file, 1 failed, 1 byte read"},
        {kDigests, {2, 0, 1023}, L"2 files, 0 failed, 1023 bytes read"},
        {kCleaner, {12, 1, 0, 4}, L"12 looked at, 4 deleted, 1 failed"},
        // Objects finished are not what it reports: it stamps folders too.
        {kTimeChanger, {7, 2, 0, 0, 3, 0}, L"3 files and 0 folders stamped, 2 failed"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatRunCounts(c.wording, c.counts, kWords), c.text);
}

// A stop says what was done and what was not: against the total where it was known, else
// in selected paths (a hash run's: HashRun.DuringALongRead*, BlockingCalls.*).
TEST(RunCounts, AStopSaysWhatWasNotDone) {
    RunCounts known{10, 1, 2048}, cleaner{1, 0, 5, 1};
    known.total = 40;
    cleaner.pathsNotDone = 2;
    EXPECT_EQ(FormatStoppedCounts(CountWording::Digests, known, kWords),
              L"10 of 40 files done, 1 failed, 30 not done, 2.0 KB read");
    EXPECT_EQ(FormatStoppedCounts(CountWording::Cleaner, cleaner, kWords),
              L"1 looked at, 1 deleted, 0 failed, 2 of the selected paths not finished");
}

TEST(RunCounts, BytesInTheLargestUnitBelowTheirSize) {
    EXPECT_EQ(FormatBytes(1024, kWords), L"1.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024 - 1, kWords), L"1024.0 KB");
    EXPECT_EQ(FormatBytes(1024 * 1024, kWords), L"1.0 MB");
    EXPECT_EQ(FormatBytes(3ull << 30, kWords), L"3.00 GB");
}

}  // namespace
