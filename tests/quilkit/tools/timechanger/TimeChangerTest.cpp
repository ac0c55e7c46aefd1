// The file-time changer (mode 4) end to end: its pickers set from outside, the stamps read
// back. The TimeBerlin tests run in a zone with daylight saving (TZ=Europe/Berlin).
#include "ToolTestSupport.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>

using namespace tooltest;

namespace {

SYSTEMTIME Moment(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    return {year, month, 0, day, hour, minute, second, 0};
}

std::string Text(const SYSTEMTIME& time) {
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond, time.wMilliseconds);
    return text;
}

// DTM_GETSYSTEMTIME or DTM_SETSYSTEMTIME on a picker of the app, through the app's memory.
SYSTEMTIME Picker(const driver::Process& app, HWND picker, UINT message, SYSTEMTIME time = {}) {
    void* remote = VirtualAllocEx(app.Handle(), nullptr, sizeof(time), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    EXPECT_TRUE(remote && WriteProcessMemory(app.Handle(), remote, &time, sizeof(time), nullptr));
    const LRESULT result = SendMessageA(picker, message, GDT_VALID, reinterpret_cast<LPARAM>(remote));
    EXPECT_TRUE(message == DTM_SETSYSTEMTIME ? result != 0 : result == GDT_VALID);
    EXPECT_TRUE(ReadProcessMemory(app.Handle(), remote, &time, sizeof(time), nullptr));
    VirtualFreeEx(app.Handle(), remote, 0, MEM_RELEASE);
    return time;
}

Outcome TimeRun(const driver::TempFolder& folder, const std::vector<std::string>& paths, bool fixedTime,
                bool subFolders, const SYSTEMTIME& date, const SYSTEMTIME& time) {
    driver::Process app;
    HWND dialog = StartTool(app, folder, 4, paths);
    if (!dialog) return {};
    Picker(app, GetDlgItem(dialog, IDC_DATEPICKER), DTM_SETSYSTEMTIME, date);
    Picker(app, GetDlgItem(dialog, IDC_TIMEPICKER), DTM_SETSYSTEMTIME, time);
    driver::SetCheck(dialog, IDC_FIXEDTIME, fixedTime);
    driver::SetCheck(dialog, IDC_SUBFOLDERS, subFolders);
    return FinishRun(app, dialog);
}

// The write time in UTC, and the access time where it differs (Wine stores no creation time).
std::string Stamps(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    SYSTEMTIME write = {}, access = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    FileTimeToSystemTime(&data.ftLastWriteTime, &write);
    FileTimeToSystemTime(&data.ftLastAccessTime, &access);
    return Text(write) + (Text(access) == Text(write) ? "" : ", accessed " + Text(access));
}

}  // namespace

// The words are the Japanese user's (the fixed moment in the form Windows writes dates for
// them); the pickers are off while the fixed moment's box is ticked.
TEST(TimeDialogJapanese, LabelsPickersAndTheCloseBoxRunsNothing) {
    driver::TempFolder folder;
    SYSTEMTIME start, end;
    GetLocalTime(&start);
    driver::Process app;
    HWND dialog = StartTool(app, folder, 4, {folder.Path()});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::GetItemText(dialog, IDC_FIXEDTIME), "2000/4/1 00:00:00に設定");
    EXPECT_EQ(driver::GetItemText(dialog, IDC_STATIC_DATE) + driver::GetItemText(dialog, IDC_STATIC_TIME),
              "日付:時刻:");
    for (bool fixed : {false, true, false}) {
        if (fixed != driver::IsChecked(dialog, IDC_FIXEDTIME)) driver::Click(dialog, IDC_FIXEDTIME);
        for (int i = 0; i < 100 && bool(IsWindowEnabled(GetDlgItem(dialog, IDC_DATEPICKER))) == fixed; ++i) Sleep(50);
        EXPECT_EQ(bool(IsWindowEnabled(GetDlgItem(dialog, IDC_DATEPICKER))), !fixed) << fixed;
        EXPECT_EQ(bool(IsWindowEnabled(GetDlgItem(dialog, IDC_TIMEPICKER))), !fixed) << fixed;
    }
    // Today's date, whichever side of a midnight in between.
    const std::string shown = Text(Picker(app, GetDlgItem(dialog, IDC_DATEPICKER), DTM_GETSYSTEMTIME)).substr(0, 10);
    GetLocalTime(&end);
    EXPECT_TRUE(shown == Text(start).substr(0, 10) || shown == Text(end).substr(0, 10)) << shown;
    CloseWithoutRun(app, dialog);
}

TEST(TimeBerlin, TheFixedMomentThroughSubFoldersWithCountedFailures) {
    driver::TempFolder folder;
    SHCreateDirectoryExA(nullptr, (folder / "dir\\sub").c_str(), nullptr);
    const std::string readOnly = folder / "dir\\sub\\ro.txt";
    driver::WriteFile(readOnly, "ro");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string hidden = folder / "hidden.txt";
    driver::WriteFile(hidden, "hidden");
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    // Held open by this process, with sharing, as Explorer holds a folder it shows.
    UniqueFile held(CreateFileA((folder / "dir\\sub").c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(held);
    const SYSTEMTIME winter = Moment(2015, 1, 2, 3, 4, 5);  // in the pickers, overridden
    const Outcome run =
        TimeRun(folder, {folder / "gone", folder / "missing", folder / "dir", hidden}, true, true, winter, winter);
    EXPECT_EQ(run.marked, "<R>Not found - </R>" + (folder / "gone") + "\r\n<R>Not found - </R>" + (folder / "missing") +
                              "\r\n<G>Success - </G>" + (folder / "dir\\") + "\r\n<G>Success - </G>" +
                              (folder / "dir\\sub\\") + "\r\n<G>Success - </G>" + readOnly + "\r\n<G>Success - </G>" +
                              hidden + "\r\n<R>---\r\nError: 2\r\n</R>");
    EXPECT_EQ(run.status.rfind("Done: 2 files and 2 folders stamped, 2 failed in ", 0), 0u) << run.status;
    EXPECT_EQ(run.exitCode, 0);
    // 2000-04-01 00:00 in summer time (UTC+2), written and accessed, the walked folders too;
    // the attributes are as they were.
    for (const std::string& path : {folder / "dir", folder / "dir\\sub", readOnly, hidden})
        EXPECT_EQ(Stamps(path), Text(Moment(2000, 3, 31, 22, 0, 0))) << path;
    EXPECT_EQ(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN));
    for (const std::string& path : {readOnly, hidden}) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The summer's offset follows the date picked, not the time picker's own winter date.
TEST(TimeBerlin, APickedSummerDateWithoutSubFolders) {
    driver::TempFolder folder;
    const std::string dir = folder / "dir", file = folder / "file", inside = folder / "dir\\inside";
    CreateDirectoryA(dir.c_str(), nullptr);
    driver::WriteFile(inside, "inside");
    driver::WriteFile(file, "file");
    const std::string insideBefore = Stamps(inside);
    // The date from the date picker, the time of day from the time picker, whole seconds
    // whatever milliseconds the date picker held.
    SYSTEMTIME summerDate = Moment(2021, 7, 15, 3, 4, 5);
    summerDate.wMilliseconds = 347;
    const Outcome summer = TimeRun(folder, {dir, file}, false, false, summerDate, Moment(2019, 2, 3, 13, 45, 30));
    EXPECT_EQ(summer.text, "Success - " + dir + "\r\nSuccess - " + file + "\r\n---\r\nAll Success!\r\n");
    EXPECT_EQ(summer.status.rfind("Done: 1 file and 1 folder stamped, 0 failed in ", 0), 0u) << summer.status;
    for (const std::string& path : {dir, file}) EXPECT_EQ(Stamps(path), Text(Moment(2021, 7, 15, 11, 45, 30))) << path;
    EXPECT_EQ(Stamps(inside), insideBefore);
}
