// The real program's log window: its status bar drawn whole at every size, as the screen
// shows it; where it opens: where the user left it in the last run, stored beside the
// editor path when the log closes.
#include <tuple>

#include "ToolTestSupport.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\VexQuillkit";

std::string StoredPlacement() {
    wchar_t text[128] = L"";
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"LogPlacement", RRF_RT_REG_SZ, nullptr, text, &size))
        return "<none>";
    return driver::Utf8(text);
}

// A verifier run on an empty folder (it asks nothing); `act` works on its finished log
// before the user closes it. Returns where the log showed.
RECT RunAndClose(void (*act)(HWND log)) {
    driver::TempFolder folder;
    driver::Process app;
    tooltest::StartTool(app, folder, 6, {folder.Path()});
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    driver::WaitForRunEnd(log);
    RECT shown;
    GetWindowRect(log, &shown);
    act(log);
    driver::Close(log);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    return shown;
}

// Pixels of the screen across the middle of the status bar, grip aside, that are plain
// white: a bar that was not drawn shows the white it was given.
int WhitePixelsAcross(HWND bar) {
    RECT rect;
    GetWindowRect(bar, &rect);
    HDC screen = GetDC(nullptr);
    int white = 0;
    const int y = (rect.top + rect.bottom) / 2;
    for (int x = rect.left + 2; x < rect.right - 24; ++x) white += GetPixel(screen, x, y) == RGB(255, 255, 255);
    ReleaseDC(nullptr, screen);
    return white;
}

void ExpectDrawnWhole(HWND log, const char* after) {
    HWND bar = GetDlgItem(log, IDC_LOG_STATUS);
    int white = -1;
    for (int i = 0; i < 40 && (white = WhitePixelsAcross(bar)) != 0; ++i) Sleep(50);
    EXPECT_EQ(white, 0) << "the status bar is left blank after " << after;
    EXPECT_EQ(driver::ReadStatus(log).rfind("Done: ", 0), 0u) << after;
}

}  // namespace

// The status bar is drawn whole after maximise and a resize. The place is stored beside the
// editor path when the log closes, maximised or not, and opened there by the next run
// (where it opens otherwise, the log's in-process tests tell).
TEST(LogWindow, TheStatusBarIsDrawnWholeAtEverySizeAndThePlaceIsKeptForTheNextRun) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"LogPlacement");
    RunAndClose([](HWND log) {
        ShowWindow(log, SW_MAXIMIZE);
        ExpectDrawnWhole(log, "maximise");
        ShowWindow(log, SW_RESTORE);
        SetWindowPos(log, nullptr, 123, 87, 900, 450, SWP_NOZORDER | SWP_NOACTIVATE);
        ExpectDrawnWhole(log, "a resize");
    });
    EXPECT_EQ(StoredPlacement(), "123,87,1023,537,0");
    const RECT shown = RunAndClose([](HWND log) { ShowWindow(log, SW_MAXIMIZE); });
    EXPECT_EQ(std::tie(shown.left, shown.top, shown.right, shown.bottom), std::make_tuple(123L, 87L, 1023L, 537L));
    EXPECT_EQ(StoredPlacement(), "123,87,1023,537,1");
    RunAndClose([](HWND log) { EXPECT_TRUE(IsZoomed(log)); });
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"LogPlacement");
}
