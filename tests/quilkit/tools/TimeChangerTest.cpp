// The file-time changer (mode 4) end to end: the real program on a list file, its pickers
// set from outside, the stamps read back.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "resource.h"

using namespace tooltest;

namespace {

constexpr int kTimeMode = 4;

SYSTEMTIME Moment(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

struct Options {
    bool fixedTime = false;
    bool subFolders = true;
    const SYSTEMTIME* date = nullptr;  // for the date picker
    const SYSTEMTIME* time = nullptr;  // for the time picker
};

RunResult TimeRun(const driver::TempFolder& folder, const std::vector<std::string>& paths, const Options& options) {
    driver::Process app = StartTool(folder, kTimeMode, paths);
    HWND dialog = driver::WaitForWindow(app, kTimeTitle);
    if (!dialog) return {};
    if (options.date) SetPicker(app, GetDlgItem(dialog, IDC_DATEPICKER), *options.date);
    if (options.time) SetPicker(app, GetDlgItem(dialog, IDC_TIMEPICKER), *options.time);
    driver::SetCheck(dialog, IDC_FIXEDTIME, options.fixedTime);
    driver::SetCheck(dialog, IDC_SUBFOLDERS, options.subFolders);
    driver::Click(dialog, IDOK);
    return FinishRun(app);
}

const FILETIME kOldTime = ToFileTime(Moment(2010, 3, 4, 5, 6, 7));

void MakeOld(const std::string& path) { SetStamps(path, kOldTime); }

// Wine on Linux cannot store a creation time, so the last-access and last-write stamps
// carry the check; a walked folder's access time moves again when its entries are read.
void ExpectStamped(const std::string& path, const FILETIME& expected) {
    const Stamps stamps = ReadStamps(path);
    EXPECT_EQ(Format(stamps.write), Format(expected)) << path;
    if (!(Attributes(path) & FILE_ATTRIBUTE_DIRECTORY)) {
        EXPECT_EQ(Format(stamps.access), Format(expected)) << path;
    }
}

void ExpectUntouched(const std::string& path) { EXPECT_EQ(Format(ReadStamps(path).write), Format(kOldTime)) << path; }

}  // namespace

// ---- The options dialog ----

TEST(TimeDialog, OpensWithTodayInThePickersAndOnlySubFoldersChecked) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kTimeMode, {});
    HWND dialog = driver::WaitForWindow(app, kTimeTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(driver::IsChecked(dialog, IDC_FIXEDTIME));
    EXPECT_TRUE(driver::IsChecked(dialog, IDC_SUBFOLDERS));
    EXPECT_EQ(driver::GetItemText(dialog, IDC_FIXEDTIME), "April 1, 2000 00:00:00");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS), "Include sub-folders");

    SYSTEMTIME now;
    GetLocalTime(&now);
    const SYSTEMTIME shown = GetPicker(app, GetDlgItem(dialog, IDC_DATEPICKER));
    // The picker's day is today's, give or take the midnight between its start and now.
    const LONGLONG dayTicks = 24LL * 3600 * 10000000;
    const FILETIME a = ToFileTime(Moment(shown.wYear, shown.wMonth, shown.wDay, 0, 0, 0));
    const FILETIME b = ToFileTime(Moment(now.wYear, now.wMonth, now.wDay, 0, 0, 0));
    const LONGLONG apart =
        ((LONGLONG(b.dwHighDateTime) << 32) | b.dwLowDateTime) - ((LONGLONG(a.dwHighDateTime) << 32) | a.dwLowDateTime);
    EXPECT_TRUE(apart == 0 || apart == dayTicks) << shown.wYear << "-" << shown.wMonth << "-" << shown.wDay;

    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

TEST(TimeDialog, CloseBoxChangesNothing) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "a");
    MakeOld(folder / "a.txt");
    driver::Process app = StartTool(folder, kTimeMode, {folder / "a.txt"});
    HWND dialog = driver::WaitForWindow(app, kTimeTitle);
    ASSERT_NE(dialog, nullptr);
    HWND log = driver::WaitForWindow(app, "Log");
    driver::Close(dialog);
    for (int i = 0; i < 400 && IsWindow(dialog); ++i) Sleep(50);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(driver::ReadLogText(log), "");
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    ExpectUntouched(folder / "a.txt");
}

TEST(TimeDialogJapanese, CheckBoxCaptionsAreJapanese) {
    driver::TempFolder folder;
    driver::Process app = StartTool(folder, kTimeMode, {});
    HWND dialog = driver::WaitForWindow(app, kTimeTitle);
    ASSERT_NE(dialog, nullptr);
    // 2000/4/1 00:00:00に設定 and サブディレクトリも検索, code page 932.
    EXPECT_EQ(driver::GetItemText(dialog, IDC_FIXEDTIME), "2000/4/1 00:00:00\x82\xC9\x90\xDD\x92\xE8");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_SUBFOLDERS),
              "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8C\x83\x4E\x83\x67\x83\x8A\x82\xE0\x8C\x9F\x8D\xF5");
    driver::Close(dialog);
    driver::Close(driver::WaitForWindow(app, "Log"));
    EXPECT_EQ(driver::WaitForExit(app), 0);
}

// ---- What is stamped, in which order ----

TEST(TimeObjects, WithoutSubFoldersASelectedFolderChangesAloneUnderItsSelectedPath) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    driver::WriteFile(folder / "dir\\inside.txt", "inside");
    driver::WriteFile(folder / "file.txt", "file");
    MakeOld(folder / "dir\\inside.txt");
    MakeOld(folder / "dir");
    MakeOld(folder / "file.txt");
    const RunResult run = TimeRun(folder, {folder / "dir", folder / "file.txt"}, Options{true, false});

    std::vector<driver::TextRun> expected = Success("Success - ");
    expected.push_back(Plain(folder / "dir" + "\r\n"));
    expected.push_back(Success("Success - ")[0]);
    expected.push_back(Plain(folder / "file.txt" + "\r\n"));
    expected.push_back(Success(SuccessSummary())[0]);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
    EXPECT_EQ(run.exitCode, 0);

    const FILETIME stamped = ReadStamps(folder / "file.txt").write;
    EXPECT_NE(Format(stamped), Format(kOldTime));
    ExpectStamped(folder / "file.txt", stamped);
    ExpectStamped(folder / "dir", stamped);
    ExpectUntouched(folder / "dir\\inside.txt");
}

TEST(TimeObjects, WithSubFoldersTheFolderComesFirstThenEverythingInside) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    CreateDirectoryA((folder / "dir\\sub").c_str(), nullptr);
    driver::WriteFile(folder / "dir\\a.txt", "a");
    driver::WriteFile(folder / "dir\\sub\\b.txt", "b");
    for (const char* name : {"dir", "dir\\sub", "dir\\a.txt", "dir\\sub\\b.txt"}) MakeOld(folder / name);
    const RunResult run = TimeRun(folder, {folder / "dir"}, Options{true, true});

    const std::vector<std::string> lines = ResultLines(run.text);
    ASSERT_EQ(lines.size(), 4u) << run.text;
    EXPECT_EQ(lines[0], "Success - " + (folder / "dir\\"));
    auto position = [&](const std::string& line) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line) return int(i);
        return -1;
    };
    EXPECT_GT(position("Success - " + (folder / "dir\\a.txt")), 0);
    const int sub = position("Success - " + (folder / "dir\\sub\\"));
    EXPECT_GT(sub, 0);
    EXPECT_EQ(position("Success - " + (folder / "dir\\sub\\b.txt")), sub + 1);

    const FILETIME stamped = ReadStamps(folder / "dir\\a.txt").write;
    EXPECT_NE(Format(stamped), Format(kOldTime));
    for (const char* name : {"dir", "dir\\sub", "dir\\a.txt", "dir\\sub\\b.txt"}) ExpectStamped(folder / name, stamped);
}

// ---- Failures ----

TEST(TimeFailures, HeldAndMissingFilesFailAndAReadOnlyFileInAWalkedFolderSucceeds) {
    driver::TempFolder folder;
    CreateDirectoryA((folder / "dir").c_str(), nullptr);
    const std::string readOnly = folder / "dir\\ro.txt";
    driver::WriteFile(readOnly, "ro");
    SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
    driver::WriteFile(folder / "held.txt", "held");
    LockedFile held(folder / "held.txt");
    ASSERT_TRUE(held.IsOpen());
    const RunResult run =
        TimeRun(folder, {folder / "held.txt", folder / "missing.txt", folder / "dir"}, Options{true, true});

    std::vector<driver::TextRun> expected = Error("Fail - ");
    expected.push_back(Plain(folder / "held.txt" + "\r\n"));
    expected.push_back(Error("Fail - ")[0]);
    expected.push_back(Plain(folder / "missing.txt" + "\r\n"));
    expected.push_back(Success("Success - ")[0]);
    expected.push_back(Plain(folder / "dir\\" + "\r\n"));
    expected.push_back(Success("Success - ")[0]);
    expected.push_back(Plain(readOnly + "\r\n"));
    expected.push_back(Error(ErrorSummary(2))[0]);
    EXPECT_EQ(Describe(run.runs), Describe(expected));
    // The walk set it to normal before its stamps were changed.
    EXPECT_EQ(Attributes(readOnly) & FILE_ATTRIBUTE_READONLY, 0u);
}

// ---- The moment, in a zone with daylight saving (run with TZ=Europe/Berlin) ----

TEST(TimeBerlin, TheFixedMomentIsAprilFirstInSummerTime) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "a");
    // Whatever the pickers show.
    const SYSTEMTIME winter = Moment(2015, 1, 2, 3, 4, 5);
    Options options{true, true, &winter, &winter};
    const RunResult run = TimeRun(folder, {folder / "a.txt"}, options);
    EXPECT_EQ(run.text, "Success - " + (folder / "a.txt") + "\r\n" + SuccessSummary());
    // 2000-04-01 00:00 CEST (UTC+2).
    ExpectStamped(folder / "a.txt", ToFileTime(Moment(2000, 3, 31, 22, 0, 0)));
}

TEST(TimeBerlin, APickedSummerDateKeepsTheSummerOffset) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "a");
    // The date from the date picker, the time of day from the time picker.
    const SYSTEMTIME date = Moment(2021, 7, 15, 3, 4, 5);
    const SYSTEMTIME time = Moment(2019, 2, 3, 13, 45, 30);
    const RunResult run = TimeRun(folder, {folder / "a.txt"}, Options{false, true, &date, &time});
    EXPECT_EQ(run.text, "Success - " + (folder / "a.txt") + "\r\n" + SuccessSummary());
    ExpectStamped(folder / "a.txt", ToFileTime(Moment(2021, 7, 15, 11, 45, 30)));
}

TEST(TimeBerlin, APickedWinterDateKeepsTheWinterOffset) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "a.txt", "a");
    const SYSTEMTIME date = Moment(2021, 1, 15, 22, 23, 24);
    const SYSTEMTIME time = Moment(2023, 8, 9, 13, 45, 30);
    const RunResult run = TimeRun(folder, {folder / "a.txt"}, Options{false, true, &date, &time});
    EXPECT_EQ(run.text, "Success - " + (folder / "a.txt") + "\r\n" + SuccessSummary());
    ExpectStamped(folder / "a.txt", ToFileTime(Moment(2021, 1, 15, 12, 45, 30)));
}
