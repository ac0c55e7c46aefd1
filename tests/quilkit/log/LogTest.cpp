// The log window in-process: the real CLogDlg from the program's template, written
// through its appends and read back as a user would, by WM_GETTEXT and by its own
// Select All + Copy.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "Driver.h"
#include "framework/AppModule.h"
#include "framework/Dpi.h"
#include "resource.h"
#include "log/LogDlg.h"
#include "log/LogPlacement.h"
#include "log/RunVerdict.h"
#include "log/VerdictBar.h"
#include "run/ToolRun.h"
#include "tools/hash/EngineHash.h"
#include "../run/BlockingCalls.h"

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

    void PumpWhileRunning() {
        MSG msg;
        while (m_log.IsRunning() && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    }
    void RunToEnd(CToolRun::Job job, CountWording wording = CountWording::Digests) {
        CToolRun run;
        m_log.Watch(run, wording);
        run.Start(std::move(job));
        PumpWhileRunning();
        run.StopAndJoin();
    }

    CLogDlg m_log;
};

// A worker's 20,000 result lines reach the window in batches while its message loop runs:
// all of them, in order, each prefix bold and coloured and its path plain, far past the
// rich edit's default limit of text; the summary in one format; and the status bar ends
// with the totals.
TEST_F(Log, AWorkersTwentyThousandLinesArriveWholeAndInOrder) {
    const int lines = 20000;
    RunToEnd(
        [&](CLogSink& sink, const CStopRequest&) {
            for (int i = 0; i < lines; ++i) {
                const std::wstring path = L"C:\\src\\" + std::to_wstring(i) + L".obj";
                sink.NoteCurrent(path);
                LogResultLine(sink, i % 1000 != 7, i % 1000 != 7 ? L"Delete - " : L"Failed - ", path);
                if (i % 1000 != 7) sink.NoteTally(TallyKind::Deleted);
                sink.NoteDone(i % 1000 == 7);
            }
            return RunTally{lines / 1000, 0};
        },
        CountWording::Cleaner);
    std::string expected;
    for (int i = 0; i < lines; ++i) {
        const std::string path = "C:\\src\\" + std::to_string(i) + ".obj\r\n";
        expected += i % 1000 != 7 ? "<G>Delete - </G>" + path : "<R>Failed - </R>" + path;
    }
    EXPECT_EQ(driver::ReadLogMarked(m_log.m_hWnd), expected + "<R>---\r\nError: 20\r\n</R>");
    EXPECT_EQ(driver::ReadStatus(m_log.m_hWnd).rfind("Done: 20000 looked at, 19980 deleted, 20 failed in ", 0), 0u)
        << driver::ReadStatus(m_log.m_hWnd);
}

RECT ClientRectOf(HWND parent, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The text area, the verdict band and the status bar span the client area, stacked from
// its top to its foot, the bar with one part across it; returns the band's height.
int ExpectLaidOut(HWND log, const std::string& when) {
    RECT client, part = {};
    GetClientRect(log, &client);
    HWND status = GetDlgItem(log, IDC_LOG_STATUS);
    const RECT area = ClientRectOf(log, IDC_LOG), band = ClientRectOf(log, IDC_LOG_VERDICT),
               bar = ClientRectOf(log, IDC_LOG_STATUS);
    for (const RECT& rect : {area, band, bar}) EXPECT_TRUE(rect.left == 0 && rect.right == client.right) << when;
    EXPECT_TRUE(area.top == 0 && area.bottom == band.top && band.bottom == bar.top) << when;
    EXPECT_TRUE(bar.top < bar.bottom && bar.bottom == client.bottom) << when;
    int edges[4] = {};
    EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 1) << when;
    EXPECT_TRUE(edges[0] == -1 || edges[0] >= client.right) << when << ": " << edges[0];
    SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    EXPECT_GE(part.right, client.right - GetSystemMetrics(SM_CXVSCROLL) - 4) << when;
    return band.bottom - band.top;
}

// Opened for the first time, the log is about 1,000 dialog units wide (no wider than the
// work area) and centred in it. After every change of size the layout follows and the
// status bar keeps its text; the template is the smallest size. Moved to a monitor of
// another scale (WM_DPICHANGED, as Windows sends it), the window takes the suggested
// rectangle and lays out again: the status bar's font, the band and the smallest size
// grow with the scale, and a resize keeps the new layout.
TEST_F(Log, TheLayoutFollowsEverySizeAndScale) {
    RECT first = {0, 0, 1000, 300}, work, window;
    MapDialogRect(m_log.m_hWnd, &first);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(m_log.m_hWnd, &window);
    EXPECT_EQ(window.right - window.left, std::min(first.right, work.right - work.left));
    EXPECT_TRUE(window.left >= work.left && window.right <= work.right);
    EXPECT_LE(std::abs((window.left + window.right) / 2 - (work.left + work.right) / 2), 1);

    RunToEnd([](CLogSink& sink, const CStopRequest&) {
        sink.NoteBytesRead(3);
        sink.NoteDone(false);
        return RunTally{};
    });
    const std::string text = driver::ReadStatus(m_log.m_hWnd);
    ASSERT_EQ(text.rfind("Done: 1 file, 0 failed, 3 bytes read in ", 0), 0u) << text;
    for (const int show : {SW_MAXIMIZE, SW_MINIMIZE, SW_RESTORE, SW_MAXIMIZE, SW_RESTORE, 0}) {  // 0: a resize
        show ? ShowWindow(m_log.m_hWnd, show)
             : SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER);
        if (show == SW_MINIMIZE) continue;  // nothing to see while minimised
        ExpectLaidOut(m_log.m_hWnd, "show " + std::to_string(show));
        EXPECT_EQ(driver::ReadStatus(m_log.m_hWnd), text) << show;
    }

    RECT smallest, templateSize = {0, 0, 270, 129}, client, small, now;
    SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(m_log.m_hWnd, &smallest);
    MapDialogRect(m_log.m_hWnd, &templateSize);
    GetClientRect(m_log.m_hWnd, &client);
    // The template's client area, less the modal frame the log adds to it.
    const int frame = 2 * GetSystemMetrics(SM_CXDLGFRAME);
    EXPECT_TRUE(client.right >= templateSize.right - frame && client.right <= templateSize.right) << client.right;
    EXPECT_GE(client.bottom, templateSize.bottom - frame);

    HWND status = GetDlgItem(m_log.m_hWnd, IDC_LOG_STATUS);
    auto fontHeight = [&] {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)), sizeof(font), &font);
        return std::abs(font.lfHeight);
    };
    const int font = fontHeight();
    ASSERT_GT(font, 0);
    // Windows suggests the window scaled by the change of DPI: from a small one, so that the
    // doubled one still fits the screen.
    SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(m_log.m_hWnd, &small);
    const int band = ExpectLaidOut(m_log.m_hWnd, "before the change of scale");
    EXPECT_GT(band, 10);
    RECT suggested{40, 30, 40 + 2 * (small.right - small.left), 30 + 2 * (small.bottom - small.top)};
    const int dpi = 2 * CDpi::ForWindow(nullptr);
    SendMessageW(m_log.m_hWnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(m_log.m_hWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << now.left << "," << now.top << "," << now.right << "," << now.bottom;
    EXPECT_NEAR(ExpectLaidOut(m_log.m_hWnd, "after the change of scale"), 2 * band, 4);
    EXPECT_NEAR(fontHeight(), 2 * font, 2);  // give or take the rounding of point sizes
    SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(m_log.m_hWnd, &now);
    EXPECT_EQ(now.right - now.left, 2 * (smallest.right - smallest.left));
    EXPECT_EQ(now.bottom - now.top, 2 * (smallest.bottom - smallest.top));
    SetWindowPos(m_log.m_hWnd, nullptr, 0, 0, 1100, 700, SWP_NOMOVE | SWP_NOZORDER);
    ExpectLaidOut(m_log.m_hWnd, "after a resize at the new scale");
}

// A log opened at `placement` and closed by the user; returns where it was shown and
// where it was closed.
std::pair<RECT, std::optional<LogPlacement>> OpenAndClose(const LogPlacement& placement) {
    CLogDlg log;
    log.SetPlacement(placement);
    EXPECT_TRUE(log.Create(nullptr));
    log.Show();
    RECT shown;
    GetWindowRect(log.m_hWnd, &shown);
    PostMessageW(log.m_hWnd, WM_CLOSE, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    const std::optional<LogPlacement> closed = log.ClosedPlacement();
    log.DestroyWindow();
    return {shown, closed};
}

// Windows changes the scale inside the move that places the log on a monitor of another
// scale than the one it was made on, and suggests the rectangle scaled (a hook stands in
// for it here, where Wine has one scale). The rule itself, scale by scale:
// LogScaleChange.* (quilkit_parser_tests).
RECT g_placed = {100, 80, 1200, 660};  // larger than the smallest size at twice the scale
bool g_scaleChanged;

LRESULT CALLBACK ChangeScaleOnPlacing(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_WINDOWPOSCHANGED && !g_scaleChanged) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(sent->lParam);
        const int width = g_placed.right - g_placed.left, height = g_placed.bottom - g_placed.top;
        if (pos->x == g_placed.left && pos->y == g_placed.top && pos->cx == width && pos->cy == height) {
            g_scaleChanged = true;
            const int dpi = 2 * CDpi::ForWindow(nullptr);
            RECT suggested = {g_placed.left, g_placed.top, g_placed.left + 2 * width, g_placed.top + 2 * height};
            SendMessageW(sent->hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Left on a monitor that is gone, larger than the work area, the log is moved into it and
// cut; on a monitor of another scale, it keeps its size, and stores it.
TEST_F(Log, APlaceOnAMonitorThatIsGoneIsCutAndOneOfAnotherScaleKeepsItsSize) {
    RECT work, inside;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT gone = OpenAndClose({{-9000, -9000, -9000 + 700, -9000 + 5000}, false}).first;
    EXPECT_TRUE(IntersectRect(&inside, &gone, &work) && EqualRect(&inside, &gone))
        << gone.left << "," << gone.top << "," << gone.right << "," << gone.bottom;
    EXPECT_EQ(gone.right - gone.left, 700);
    EXPECT_EQ(gone.bottom - gone.top, work.bottom - work.top);

    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, ChangeScaleOnPlacing, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const auto [shown, closed] = OpenAndClose({g_placed, false});
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_scaleChanged);
    EXPECT_TRUE(EqualRect(&shown, &g_placed)) << shown.right - shown.left << " x " << shown.bottom - shown.top;
    EXPECT_TRUE(closed && EqualRect(&closed->normal, &g_placed));
}

TEST(LogPlacementText, NegativeCoordinatesRoundTripAndAnythingElseIsRefused) {
    EXPECT_EQ(PlacementText(ParsePlacement(L"-1200,5,300,700,1").value()), L"-1200,5,300,700,1");
    for (const wchar_t* bad :
         {L"", L"1,2,3,4", L"1,2,30,40,0x", L"50,2,30,40,0", L"1,40,30,40,0", L"1,2,30,40,2", L"a,b,c,d,0"})
        EXPECT_FALSE(ParsePlacement(bad)) << driver::Utf8(bad);
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
        PumpWhileRunning();
        run.StopAndJoin();
        EXPECT_EQ(MenuOffers(m_log.m_hWnd, ids), (std::vector<bool>{false, digests, digests})) << digests;
    }
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

// A run whose worker waits in a folder's listing, as on a share that stops answering: the
// answer to log-off comes soon, once the worker has gone; Close ends the message loop
// within 2 s, the wait cancelled or, where nothing can cancel it, the worker let go.
TEST_F(Log, LogOffAndCloseEndARunThatWaitsOnAShareInTime) {
    seam::Installed seam;
    driver::TempFolder folder;
    CreateDirectoryW(driver::Wide(folder / "stuck").c_str(), nullptr);
    const std::vector<std::wstring> paths = {driver::Wide(folder / "stuck")};
    for (const auto& [logOff, cancellable] : {std::pair{true, true}, {false, true}, {false, false}}) {
        SCOPED_TRACE(std::string(logOff ? "log-off" : "close") + (cancellable ? "" : ", not cancellable"));
        seam::BlockedCall blocked(seam, seam::Call::FindFirst, L"stuck\\*", cancellable);
        ASSERT_TRUE(blocked.Ready());
        CLogDlg log;
        ASSERT_TRUE(log.Create(nullptr));
        CToolRun run;
        log.Watch(run);
        run.Start([&](CLogSink& sink, const CStopRequest& stop) {
            CEngineHash engine(sink, stop, {DigestKind::Md5});
            return WalkPathList(engine, paths, WalkOptions{});
        });
        EXPECT_TRUE(seam.WaitUntilEntered());
        const ULONGLONG start = GetTickCount64();
        if (logOff) {
            SendMessageW(log.m_hWnd, WM_ENDSESSION, TRUE, 0);
            EXPECT_LT(GetTickCount64() - start, 1000u);
        } else {
            PostMessageW(log.m_hWnd, WM_CLOSE, 0, 0);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            EXPECT_LT(GetTickCount64() - start, 2000u);
            EXPECT_EQ(run.StopAndJoin(500), cancellable);
            // Whoever asks later, such as the program's last wait, hears it too.
            EXPECT_EQ(run.StopAndJoin(0), cancellable);
        }
        EXPECT_FALSE(run.HasStarted());
        seam.Release();
        // A worker let go still reports to this run: it ends first.
        while (!run.Feed().Progress().finished) Sleep(10);
        Sleep(100);
        log.DestroyWindow();
    }
}

constexpr CountWording kDigests = CountWording::Digests, kCleaner = CountWording::Cleaner,
                       kTimeChanger = CountWording::TimeChanger;

// A run of `files` with `failures`, ended unless `more` says otherwise.
RunStanding Ended(CountWording wording, uint64_t files, uint64_t failures, void (*more)(RunStanding&) = nullptr) {
    RunStanding standing;
    standing.wording = wording;
    standing.progress.files = files;
    standing.progress.failures = failures;
    if (more) more(standing);
    return standing;
}

// The verdict in each tool's words, from the run's counts. The failures' two forms are the
// tools' runs': "1 of 2 failed" (HashDialog.AClipboardDigest*), "8 failed" (Checksums.ModeSix
// ReadsWhatGnuTools*) and in Japanese (ChecksumsJapanese.*).
TEST(Verdict, EachOutcomeInItsOwnWordsAndTone) {
    const struct {
        RunStanding standing;
        VerdictTone tone;
        const wchar_t* text;
    } cases[] = {
        {Ended(kDigests, 300, 0), VerdictTone::Passed, L"All 300 files OK"},
        {Ended(kDigests, 0, 0), VerdictTone::Passed, L"No files found"},
        {Ended(kDigests, 10, 0, [](RunStanding& s) { s.stopRequested = true, s.progress.total = 40; }),
         VerdictTone::Stopped, L"Stopped: 10 of 40 files done"},
        {Ended(kDigests, 1, 0, [](RunStanding& s) { s.progress.matched = 1, s.progress.algorithm = L"SHA256"; }),
         VerdictTone::Passed, L"Matches SHA256"},
        {Ended(kDigests, 1, 1, [](RunStanding& s) { s.progress.mismatched = 1, s.progress.algorithm = L"SHA256"; }),
         VerdictTone::Failed, L"Does not match SHA256"},
        {Ended(kCleaner, 30, 0, [](RunStanding& s) { s.progress.deleted = 3, s.progress.bytesFreed = 3 << 20; }),
         VerdictTone::Passed, L"3 deleted, 3.00 MB to the Recycle Bin"},
        {Ended(kTimeChanger, 5, 1, [](RunStanding& s) { s.progress.filesStamped = 3, s.progress.foldersStamped = 1; }),
         VerdictTone::Failed, L"1 of 5 failed, 4 stamped"},
        {Ended(kDigests, 2, 0, [](RunStanding& s) { s.running = true, s.progress.current = L"C:\\a.iso"; }),
         VerdictTone::Working, L"Working on C:\\a.iso"},
    };
    for (const auto& c : cases) {
        const RunVerdict verdict = VerdictOf(c.standing, CUiTexts());
        EXPECT_EQ(std::pair(driver::Utf8(verdict.text), int(verdict.tone)),
                  std::pair(driver::Utf8(c.text), int(c.tone)));
    }
}

// The taskbar button, decided on the run's counts: indeterminate without a total, a
// share of it with one, red from the first failure, nothing once the run has ended.
TEST(Verdict, TheTaskbarFollowsTheCounts) {
    const struct {
        RunStanding standing;
        TBPFLAG state;
        uint64_t completed, total;
    } cases[] = {
        {Ended(kDigests, 3, 0, [](RunStanding& s) { s.running = true; }), TBPF_INDETERMINATE, 0, 0},
        {Ended(kDigests, 3, 0, [](RunStanding& s) { s.running = true, s.progress.total = 12; }), TBPF_NORMAL, 3, 12},
        {Ended(kDigests, 3, 1, [](RunStanding& s) { s.running = true; }), TBPF_ERROR, 1, 1},
        {Ended(kDigests, 3, 1), TBPF_NOPROGRESS, 0, 0},
    };
    for (const auto& c : cases) {
        const TaskbarShow show = TaskbarShowOf(c.standing);
        EXPECT_EQ(std::tuple(show.state, show.completed, show.total), std::tuple(c.state, c.completed, c.total));
    }
    EXPECT_TRUE(UniqueIcon(CVerdictBar::MarkIcon(VerdictTone::Failed, 16)));
}

// Pixels of the screen inside `window` of exactly `colour`.
int PixelsOf(HWND window, COLORREF colour) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; y += 2)
        for (int x = rect.left; x < rect.left + (rect.bottom - rect.top) * 2 && x < rect.right; x += 2)
            count += GetPixel(screen, x, y) == colour;
    ReleaseDC(nullptr, screen);
    return count;
}

// 6,000 files, failures at lines 150 and 5220 (further down than a 16-bit pixel position
// reaches): the run ends showing the first failure selected; F8 and Shift+F8 go between
// them; the verdict says it in red.
TEST_F(Log, TheRunEndsOnItsFirstFailureAndF8GoesToTheNext) {
    RunToEnd([](CLogSink& sink, const CStopRequest&) {
        for (int i = 0; i < 6000; ++i) {
            const bool failed = i == 150 || i == 5220;
            LogResultLine(sink, !failed, failed ? L"FAILED - " : L"OK - ", L"C:\\" + std::to_wstring(i));
            sink.NoteDone(failed);
        }
        return RunTally{2, 0};
    });
    HWND edit = GetDlgItem(m_log.m_hWnd, IDC_LOG), verdict = GetDlgItem(m_log.m_hWnd, IDC_LOG_VERDICT);
    EXPECT_EQ(m_log.FailureLines(), (std::vector<LONG>{150, 5220}));
    // Selected, near the top of the view with a few lines of context above it.
    auto expectShown = [&](LONG line) {
        CHARRANGE selection = {};
        SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        const LONG first = LONG(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_EQ(SendMessageW(edit, EM_EXLINEFROMCHAR, 0, selection.cpMin), line);
        EXPECT_TRUE(line >= first && line - first <= 4) << line << " below " << first;
    };
    expectShown(150);
    SendMessageW(edit, WM_KEYDOWN, VK_F8, 0);
    expectShown(5220);
    SendMessageW(m_log.m_hWnd, WM_COMMAND, ID_LOG_PREVIOUS_FAILURE, 0);
    EXPECT_FALSE(m_log.GoToFailure(false));
    SendMessageW(edit, EM_LINESCROLL, 0, -1000);
    SendMessageW(m_log.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_LOG_VERDICT, STN_CLICKED), LPARAM(verdict));
    expectShown(150);

    UpdateWindow(m_log.m_hWnd);
    EXPECT_GT(PixelsOf(verdict, CVerdictBar::InkOf(VerdictTone::Failed)), 20);
    EXPECT_EQ(PixelsOf(verdict, CVerdictBar::InkOf(VerdictTone::Passed)), 0);
}

}  // namespace
