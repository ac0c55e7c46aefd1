// The log window in-process: the real CLogDlg from the program's template, written
// through its appends and read back as a user would, by WM_GETTEXT and by its own
// Select All + Copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"
#include "framework/AppModule.h"
#include "tools/LogDlg.h"
#include "tools/ToolRun.h"

namespace {

class Log : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadLibraryW(L"RICHED20.DLL");
        _Module.Init(GetModuleHandleW(nullptr));
    }
    void SetUp() override {
        ASSERT_TRUE(m_log.Create(nullptr));
        ShowWindow(m_log.m_hWnd, SW_SHOW);
    }
    void TearDown() override { m_log.DestroyWindow(); }

    CLogDlg m_log;
};

TEST_F(Log, PrefixIsBoldAndColouredPathIsPlainLinesEndInCrLfSummaryInOneFormat) {
    m_log.AppendSuccess(L"Delete - ");
    m_log.AppendLine(L"C:\\a.obj");
    m_log.AppendError(L"Failed - ");
    m_log.AppendLine(L"C:\\b.obj");
    WriteSummary(m_log, 1);
    WriteSummary(m_log, 0);
    EXPECT_EQ(driver::ReadLogMarked(m_log.m_hWnd),
              "<G>Delete - </G>C:\\a.obj\r\n<R>Failed - </R>C:\\b.obj\r\n"
              "<R>---\r\nError: 1\r\n</R><G>---\r\nAll Success!\r\n</G>");
}

// A worker's 20,000 result lines reach the window in batches while its message loop runs:
// all of them, in order, with their formats, and the status bar ends with the totals.
TEST_F(Log, AWorkersTwentyThousandLinesArriveWholeAndInOrder) {
    const int lines = 20000;
    CToolRun run;
    m_log.Watch(run);
    run.Start([&](CLogSink& sink, const CStopRequest&) {
        for (int i = 0; i < lines; ++i) {
            const std::wstring path = L"C:\\src\\" + std::to_wstring(i) + L".obj";
            sink.NoteCurrent(path);
            LogResultLine(sink, i % 1000 != 7, i % 1000 != 7 ? L"Delete - " : L"Failed - ", path);
            sink.NoteDone(i % 1000 == 7);
        }
        return lines / 1000;
    });
    MSG msg;
    while (m_log.IsRunning() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    run.StopAndJoin();

    std::string expected;
    for (int i = 0; i < lines; ++i) {
        const std::string path = "C:\\src\\" + std::to_string(i) + ".obj\r\n";
        expected += i % 1000 != 7 ? "<G>Delete - </G>" + path : "<R>Failed - </R>" + path;
    }
    EXPECT_EQ(driver::ReadLogMarked(m_log.m_hWnd), expected + "<R>---\r\nError: 20\r\n</R>");
    EXPECT_EQ(driver::ReadStatus(m_log.m_hWnd).rfind("Done: 20000 files, 20 failed in ", 0), 0u)
        << driver::ReadStatus(m_log.m_hWnd);
}

TEST_F(Log, KeepsEveryLineFarPastTheDefaultLimit) {
    const std::string path(495, 'p');
    std::string expected;
    for (int i = 0; i < 320; ++i) {
        char number[16];
        snprintf(number, sizeof(number), "%05d", i);
        m_log.AppendLine(driver::Wide(number + path));
        expected += number + path + "\r\n";
    }
    ASSERT_GT(expected.size(), 150000u);
    EXPECT_EQ(driver::ReadLogText(m_log.m_hWnd), expected);
}

TEST_F(Log, TextAreaAndStatusBarFollowTheWindowSize) {
    HWND edit = GetDlgItem(m_log.m_hWnd, 1019);
    HWND status = GetDlgItem(m_log.m_hWnd, 1030);
    ASSERT_NE(status, nullptr);
    const int shows[] = {SW_MAXIMIZE, SW_MINIMIZE, SW_RESTORE};
    for (int step = 0; step < 4; ++step) {
        if (step == 3)
            SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER);
        else
            ShowWindow(m_log.m_hWnd, shows[step]);
        if (step == 1) continue;  // nothing to see while minimised
        RECT client, area, bar;
        GetClientRect(m_log.m_hWnd, &client);
        GetWindowRect(edit, &area);
        GetWindowRect(status, &bar);
        MapWindowPoints(nullptr, m_log.m_hWnd, reinterpret_cast<POINT*>(&area), 2);
        MapWindowPoints(nullptr, m_log.m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
        EXPECT_EQ(area.right - area.left, client.right) << step;
        // The text area ends where the status bar starts, and the bar ends at the foot.
        EXPECT_EQ(area.top, 0) << step;
        EXPECT_EQ(area.bottom, bar.top) << step;
        EXPECT_EQ(bar.bottom, client.bottom) << step;
    }
}

TEST_F(Log, CloseEndsTheMessageLoopWithExitCodeZero) {
    PostMessageW(m_log.m_hWnd, WM_CLOSE, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_TRUE(IsWindow(m_log.m_hWnd));
}

}  // namespace
