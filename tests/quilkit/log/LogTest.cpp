// The log window in-process: the real CLogDlg from the program's template, written
// through its appends and read back as a user would, by WM_GETTEXT and by its own
// Select All + Copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"
#include "framework/AppModule.h"
#include "resource.h"
#include "log/LogDlg.h"
#include "run/ToolRun.h"

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
        return RunTally{lines / 1000, 0};
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

// Whether the context menu offers each command, read as the menu opens (a hook on this
// thread sees the menu the log fills), then the menu is closed unused.
std::vector<bool> MenuOffers(HWND log, const std::vector<UINT>& ids) {
    static std::vector<UINT> wanted;
    static std::vector<bool> offered;
    wanted = ids;
    offered.clear();
    HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && offered.empty()) {
                for (UINT id : wanted)
                    offered.push_back(
                        !(GetMenuState(HMENU(call->wParam), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)));
                PostMessageW(call->hwnd, WM_CANCELMODE, 0, 0);
                EndMenu();
            }
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    SendMessageW(log, WM_CONTEXTMENU, WPARAM(log), MAKELPARAM(10, 10));
    UnhookWindowsHookEx(hook);
    return offered;
}

// Copy Checksums and Save Checksums As... only once a run with digests has ended.
TEST_F(Log, OnlyAFinishedRunWithDigestsOffersThem) {
    const std::vector<UINT> ids = {ID_LOG_STOP, ID_LOG_COPY_CHECKSUMS, ID_LOG_SAVE_CHECKSUMS};
    for (bool digests : {false, true}) {
        CToolRun run;
        m_log.Watch(run);
        CStopRequest release;
        run.Start([&](CLogSink&, const CStopRequest&) {
            if (digests) run.Checksums()->Add(DigestKind::Sha256, L"C:\\a.txt", std::string(64, 'A'));
            while (!release.IsRequested()) Sleep(5);
            return RunTally{};
        });
        EXPECT_EQ(MenuOffers(m_log.m_hWnd, ids), (std::vector<bool>{true, false, false})) << digests;
        release.Request();
        MSG msg;
        while (m_log.IsRunning() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        run.StopAndJoin();
        EXPECT_EQ(MenuOffers(m_log.m_hWnd, ids), (std::vector<bool>{false, digests, digests})) << digests;
    }
}

// A worker held in a read that never returns (a pipe whose writer writes nothing): Stop
// cancels the read, and the summary says what was left instead of "All Success!".
TEST_F(Log, StopCancelsABlockedReadAndTheSummaryCountsWhatWasLeft) {
    const std::wstring name = L"\\\\.\\pipe\\vex-log-" + std::to_wstring(GetCurrentProcessId());
    UniqueFile server(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(server);
    CToolRun run;
    m_log.Watch(run);
    CStopRequest entered;
    run.Start([&](CLogSink& sink, const CStopRequest& stop) {
        UniqueFile pipe(CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        char byte;
        DWORD read = 0;
        entered.Request();
        CStopRequest::ReadScope reading(stop);
        if (pipe && !ReadFile(pipe.Get(), &byte, 1, &read, nullptr) && GetLastError() == ERROR_OPERATION_ABORTED)
            sink.AppendLine(L"cancelled");
        return RunTally{0, 2};
    });
    while (!entered.IsRequested()) Sleep(5);
    Sleep(200);  // into the read
    SendMessageW(m_log.m_hWnd, WM_COMMAND, ID_LOG_STOP, 0);
    MSG msg;
    const ULONGLONG start = GetTickCount64();
    while (m_log.IsRunning() && GetTickCount64() - start < 5000 && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    EXPECT_FALSE(m_log.IsRunning()) << "the read was not cancelled";
    EXPECT_TRUE(run.StopAndJoin(1000));
    EXPECT_EQ(driver::ReadLogMarked(m_log.m_hWnd),
              "cancelled\r\n<R>Stopped\r\n---\r\nStopped - 2 of the selected paths not done\r\nError: 1\r\n</R>");
    EXPECT_EQ(driver::ReadStatus(m_log.m_hWnd).rfind("Stopped: ", 0), 0u);
}

// Log-off: the window's answer to WM_ENDSESSION comes once the worker has gone, its
// blocked read cancelled, and soon.
TEST_F(Log, LogOffCancelsABlockedReadAndReturnsOnceTheWorkerHasGone) {
    const std::wstring name = L"\\\\.\\pipe\\vex-logoff-" + std::to_wstring(GetCurrentProcessId());
    UniqueFile server(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(server);
    CToolRun run;
    m_log.Watch(run);
    CStopRequest entered;
    run.Start([&](CLogSink&, const CStopRequest& stop) {
        UniqueFile pipe(CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        char byte;
        DWORD read = 0;
        entered.Request();
        CStopRequest::ReadScope reading(stop);
        if (pipe) ReadFile(pipe.Get(), &byte, 1, &read, nullptr);
        return RunTally{};
    });
    while (!entered.IsRequested()) Sleep(5);
    Sleep(200);  // into the read
    const ULONGLONG start = GetTickCount64();
    SendMessageW(m_log.m_hWnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_FALSE(run.HasStarted());
}

// A worker that is not in a read may be writing: the end of the program waits for it,
// whatever the time allowed.
TEST_F(Log, AWorkerOutsideAReadIsWaitedForBeyondTheTimeAllowed) {
    CToolRun run;
    m_log.Watch(run);
    run.Start([&](CLogSink&, const CStopRequest&) {
        Sleep(600);
        return RunTally{};
    });
    Sleep(50);
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(run.StopAndJoin(100));
    EXPECT_GE(GetTickCount64() - start, 400u);
}

// A worker held in a read that nothing cancels (here a wait that is no I/O at all) is let
// go once the time allowed has passed: the program can end around it.
TEST_F(Log, AWorkerHeldInAReadIsLetGoAfterTheTimeAllowed) {
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CStopRequest entered;
    {
        CToolRun run;
        m_log.Watch(run);
        run.Start([&](CLogSink&, const CStopRequest& stop) {
            CStopRequest::ReadScope reading(stop);
            entered.Request();
            WaitForSingleObject(release.Get(), INFINITE);
            return RunTally{};
        });
        while (!entered.IsRequested()) Sleep(5);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(run.StopAndJoin(300));
        EXPECT_LT(GetTickCount64() - start, 1000u);
        EXPECT_FALSE(run.HasStarted());
        // The test goes on in this process: the worker ends before the run it reports to.
        SetEvent(release.Get());
        Sleep(500);
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
