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

using driver::TextRun;

class Log : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadLibraryA("RICHED20.DLL");
        _Module.Init(GetModuleHandleA(nullptr));
    }
    void SetUp() override {
        ASSERT_TRUE(m_log.Create(nullptr));
        ShowWindow(m_log.m_hWnd, SW_SHOW);
        SetOpenLog(&m_log);
    }
    void TearDown() override {
        SetOpenLog(nullptr);
        m_log.DestroyWindow();
    }

    CLogDlg m_log;
};

TEST_F(Log, PrefixIsBoldAndColouredPathIsPlainLinesEndInCrLf) {
    m_log.AppendSuccess("Delete - ");
    m_log.AppendLine("C:\\a.obj");
    m_log.AppendError("Failed - ");
    m_log.AppendLine("C:\\b.obj");
    WriteSummary(1);

    EXPECT_EQ(driver::ReadLogText(m_log.m_hWnd), "Delete - C:\\a.obj\r\nFailed - C:\\b.obj\r\n---\r\nError: 1\r\n");
    const std::vector<TextRun> runs = driver::ReadLogRuns(m_log.m_hWnd);
    ASSERT_GE(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "Delete - ");
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].color, driver::kGreen);
    EXPECT_EQ(runs[1].text, "C:\\a.obj\r\n");
    EXPECT_FALSE(runs[1].bold);
    EXPECT_EQ(runs[2].text, "Failed - ");
    EXPECT_TRUE(runs[2].bold);
    EXPECT_EQ(runs[2].color, driver::kRed);
    EXPECT_EQ(runs[3].text, "C:\\b.obj\r\n");
    EXPECT_FALSE(runs[3].bold);
    // Both summary lines carry the summary's format.
    EXPECT_EQ(runs[4].text.substr(0, 15), "---\r\nError: 1\r\n");
    EXPECT_TRUE(runs[4].bold);
    EXPECT_EQ(runs[4].color, driver::kRed);
}

TEST_F(Log, SuccessSummaryIsTwoGreenBoldLines) {
    WriteSummary(0);
    const std::vector<TextRun> runs = driver::ReadLogRuns(m_log.m_hWnd);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs[0].text.substr(0, 19), "---\r\nAll Success!\r\n");
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].color, driver::kGreen);
}

TEST_F(Log, KeepsEveryLineFarPastTheDefaultLimit) {
    const std::string path(495, 'p');
    std::string expected;
    for (int i = 0; i < 320; ++i) {
        char number[16];
        snprintf(number, sizeof(number), "%05d", i);
        m_log.AppendLine((number + path).c_str());
        expected += number + path + "\r\n";
    }
    ASSERT_GT(expected.size(), 150000u);
    EXPECT_EQ(driver::ReadLogText(m_log.m_hWnd), expected);
}

TEST_F(Log, TextAreaFollowsTheWindowSize) {
    HWND edit = GetDlgItem(m_log.m_hWnd, 1019);
    for (int show : {SW_MAXIMIZE, SW_MINIMIZE, SW_RESTORE}) {
        ShowWindow(m_log.m_hWnd, show);
        if (show == SW_MINIMIZE) continue;
        RECT client, area;
        GetClientRect(m_log.m_hWnd, &client);
        GetWindowRect(edit, &area);
        EXPECT_EQ(area.right - area.left, client.right) << show;
        EXPECT_EQ(area.bottom - area.top, client.bottom) << show;
    }
    SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, area;
    GetClientRect(m_log.m_hWnd, &client);
    GetWindowRect(edit, &area);
    EXPECT_EQ(area.right - area.left, client.right);
    EXPECT_EQ(area.bottom - area.top, client.bottom);
}

TEST_F(Log, CloseEndsTheMessageLoopWithExitCodeZero) {
    PostMessageA(m_log.m_hWnd, WM_CLOSE, 0, 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_TRUE(IsWindow(m_log.m_hWnd));
}

}  // namespace
