// End-to-end tests of Skyperch under Wine: the real program, test windows of our own, the
// cursor moved with SetCursorPos and the finder driven with its mouse messages, texts read
// with WM_GETTEXT.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DisplayScale.h"
#include "DpiScale.h"
#include "resource.h"

namespace {

const wchar_t kTopMost[] = L"Top-most window";
const wchar_t kNotTopMost[] = L"Not top-most window";
const wchar_t kPickGone[] = L"(The picked window has closed)";

const bool kAware = driver::MakeDpiAware();

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Handles the test's messages until `done` holds; false when it still does not after the
// time. Skyperch's changes to our windows take effect only as our thread handles them.
template <typename Done>
bool PumpUntil(Done done, int timeoutMs = 2000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (int(GetTickCount() - start) > timeoutMs) return false;
        Sleep(20);
        PumpMessages();
    }
    return true;
}

// The program named by SKYPERCH_EXE as Windows names it: ctest hands over the build
// tree's Unix path, and Wine maps the Unix root to drive Z:.
std::string SkyperchWindowsPath() {
    const char* exe = std::getenv("SKYPERCH_EXE");
    std::string path = exe ? std::string(exe[0] == '/' ? "Z:" : "") + exe : "";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The real Skyperch.exe, started by the test and worked the way a user would.
class CSkyperchProcess {
public:
    // Waits until the dialog shows or the program ends; Dialog() is null when none showed.
    CSkyperchProcess() {
        std::string commandLine = "\"" + SkyperchWindowsPath() + "\"";
        // A dialog that opens under the cursor can later get that stale position from
        // the X server: keep the cursor clear of the middle of the screen.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 10, GetSystemMetrics(SM_CYSCREEN) - 10);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        PumpUntil([&] { return FindDialog(info.dwProcessId) || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; },
                  kWaitMs);
    }
    ~CSkyperchProcess() {
        if (!process_) return;
        if (dialog_) PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
        if (WaitForExit() == STILL_ACTIVE) TerminateProcess(process_, 99);
        CloseHandle(process_);
    }
    CSkyperchProcess(const CSkyperchProcess&) = delete;
    CSkyperchProcess& operator=(const CSkyperchProcess&) = delete;

    HANDLE Handle() const { return process_; }
    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    std::wstring Text(int id) const {
        wchar_t text[512] = L"";
        SendMessageW(Control(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        return text;
    }

    void PressFinder() { Send(IDC_FINDER, WM_LBUTTONDOWN, MK_LBUTTON); }
    void DragTo(POINT position) {
        SetCursorPos(position.x, position.y);
        // Under Wine the new position reaches other processes through the X server a
        // little later; the finder must not read the old one.
        POINT now{};
        PumpUntil([&] { return GetCursorPos(&now) && now.x == position.x && now.y == position.y; });
        Sleep(100);
        // The finder reads the cursor position itself; the message's coordinates are unused.
        Send(IDC_FINDER, WM_MOUSEMOVE, MK_LBUTTON);
    }
    void ReleaseFinder() { Send(IDC_FINDER, WM_LBUTTONUP, 0); }
    void ClickChange() { Send(IDC_CHANGE, BM_CLICK, 0); }

    // Waits for the program to end; returns its exit code, or STILL_ACTIVE. Skyperch erases
    // its frame as it ends, and drawing on a window of ours can need our thread under Wine.
    DWORD WaitForExit(int timeoutMs = kWaitMs) {
        PumpUntil([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    static const int kWaitMs = 20000;

    bool FindDialog(DWORD processId) {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w && !dialog_;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId && IsWindowVisible(w)) dialog_ = w;
        }
        return dialog_ != nullptr;
    }

    void Send(int id, UINT message, WPARAM wParam) {
        SendMessageA(Control(id), message, wParam, 0);
        PumpMessages();
    }

    HANDLE process_ = nullptr;
    HWND dialog_ = nullptr;
};

bool IsTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Position in the z-order, 0 at the top.
int ZOrderIndex(HWND window) {
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w && w != window; w = GetWindow(w, GW_HWNDNEXT)) ++index;
    return index;
}

// A borderless top-level window filled with one colour, so that the finder's inverted
// frame can be read back from the screen.
struct CTestWindow {
    CTestWindow(const wchar_t* className, RECT rect, COLORREF colour, DWORD exStyle = 0)
        : className(className), rect(rect), colour(colour), brush(CreateSolidBrush(colour)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = brush;
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        window = CreateWindowExW(exStyle, className, className, WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        UpdateWindow(window);
        PumpMessages();
    }
    ~CTestWindow() {
        DestroyWindow(window);
        UnregisterClassW(className, GetModuleHandleA(nullptr));
        DeleteObject(brush);
    }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    POINT At(int dx, int dy) const { return {rect.left + dx, rect.top + dy}; }

    const wchar_t* className;
    RECT rect;
    COLORREF colour;
    HBRUSH brush;
    HWND window;
};

// Each test starts its own Skyperch; the windows lie clear of its dialog in the middle of
// the screen at every scale up to 200 %.
class SkyperchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, skyperch_.Dialog()) << "no dialog (SKYPERCH_EXE set?)"; }

    void ExpectPick(const std::wstring& className, const std::wstring& type) {
        EXPECT_EQ(className, skyperch_.Text(IDC_CLASS_TEXT));
        EXPECT_EQ(type, skyperch_.Text(IDC_TYPE_TEXT));
    }

    void Pick(POINT at) {
        skyperch_.PressFinder();
        skyperch_.DragTo(at);
        skyperch_.ReleaseFinder();
    }

    // A window that closes once picked, then Change: the class line tells the pick gone.
    void PickAWindowThatCloses() {
        Pick(CTestWindow(L"SkyperchClosingTarget", {960, 300, 1260, 500}, RGB(90, 90, 200)).At(100, 100));
        skyperch_.ClickChange();
    }

    CTestWindow plain_{L"SkyperchPlainTarget", {60, 60, 380, 260}, RGB(40, 90, 160)};
    CTestWindow topMost_{L"SkyperchTopMostTarget", {60, 780, 380, 980}, RGB(200, 120, 40), WS_EX_TOPMOST};
    CSkyperchProcess skyperch_;
};

using SkyperchJapanese = SkyperchTest;

TEST_F(SkyperchTest, ChangeTogglesTopMostBothWaysKeepsTheDialogAboveAndLeavesANewWindowInAClosedOnesPlace) {
    // Before a pick the lines say how to pick, and Change has nothing to act on.
    ExpectPick(L"Drag the finder over a window", L"then release the mouse to pick it");
    EXPECT_FALSE(IsWindowEnabled(skyperch_.Control(IDC_CHANGE)));
    Pick(plain_.At(150, 150));
    ASSERT_EQ(plain_.className, skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ(std::wstring(L"\"") + plain_.className + L"\"", skyperch_.Text(IDC_TITLE_TEXT));
    EXPECT_TRUE(IsWindowEnabled(skyperch_.Control(IDC_CHANGE)));
    for (const bool topMost : {true, false}) {
        skyperch_.ClickChange();  // applied by our thread, as it handles its messages
        PumpUntil([&] { return skyperch_.Text(IDC_TYPE_TEXT) == (topMost ? kTopMost : kNotTopMost); });
        EXPECT_EQ(topMost ? kTopMost : kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
        EXPECT_EQ(topMost, IsTopMost(plain_.window));
        EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
        // Skyperch puts its dialog back on top once it sees the change applied.
        EXPECT_TRUE(PumpUntil([&] { return ZOrderIndex(skyperch_.Dialog()) < ZOrderIndex(plain_.window); }));
    }
    // A new window in a closed pick's place (it may get its handle) is never changed.
    const RECT place{960, 300, 1260, 500};
    auto closed = std::make_unique<CTestWindow>(L"SkyperchClosingTarget", place, RGB(90, 90, 200));
    Pick(closed->At(100, 100));
    ASSERT_EQ(closed->className, skyperch_.Text(IDC_CLASS_TEXT));
    closed.reset();
    // Change goes off once Skyperch sees the window gone, without a click.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowEnabled(skyperch_.Control(IDC_CHANGE)); }));
    const CTestWindow successor{L"SkyperchClosingTarget", place, RGB(90, 90, 200)};
    // The pick is cleared: a second Change has nothing to act on either.
    for (int click = 0; click < 2; ++click) {
        skyperch_.ClickChange();
        PumpUntil([] { return false; }, 400);
        EXPECT_FALSE(IsTopMost(successor.window)) << click;
        ExpectPick(kPickGone, kNotTopMost);
    }
}

// The frame on the window's visible bounds, as thick as the scale asks; each pixel gets a while (Wine draws late).
void ExpectFrame(const CTestWindow& window, bool framed) {
    const int w = window.rect.right - window.rect.left, h = window.rect.bottom - window.rect.top;
    const int t = CDpiScale::FrameThickness(driver::ScreenDpi());
    const POINT frame[] = {{w / 2, 0},     {w / 2, t - 1}, {0, h / 2},     {t - 1, h / 2}, {w - 1, h / 2},
                           {w - t, h / 2}, {w / 2, h - 1}, {w / 2, h - t}, {0, 0},         {w - 1, h - 1},
                           {0, h - 1},     {w - 1, 0},     {1, h - t}};
    const POINT inside[] = {{w / 2, t}, {t, h / 2}, {w - t - 1, h / 2}, {w / 2, h - t - 1}};
    HDC screen = GetDC(nullptr);
    auto expect = [&](POINT p, COLORREF expected) {
        auto actual = [&] { return GetPixel(screen, window.rect.left + p.x, window.rect.top + p.y); };
        PumpUntil([&] { return actual() == expected; });
        EXPECT_EQ(expected, actual()) << window.className << (framed ? " framed" : "") << " at " << p.x << "," << p.y;
    };
    for (POINT p : frame) expect(p, framed ? window.colour ^ 0x00FFFFFF : window.colour);
    for (POINT p : inside) expect(p, window.colour);
    ReleaseDC(nullptr, screen);
}

// The root window is picked and framed; a class name of Han characters and an emoji
// (outside the C locale's code page) is shown exactly.
TEST_F(SkyperchTest, FinderPicksAndFramesTheRootWindowAndEveryEndErasesTheFrame) {
    CreateWindowExA(0, "BUTTON", "Child", WS_CHILD | WS_VISIBLE, 20, 20, 120, 30, plain_.window, nullptr, nullptr,
                    nullptr);
    const CTestWindow unicode{L"Vex\u65E5\u672C\u8A9E\U0001F600Class", {900, 60, 1220, 260}, RGB(60, 160, 90)};
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(80, 35));  // the child button
    ExpectPick(plain_.className, kNotTopMost);
    ExpectFrame(plain_, true);
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectPick(topMost_.className, kTopMost);
    ExpectFrame(plain_, false);
    ExpectFrame(topMost_, true);
    skyperch_.DragTo(unicode.At(150, 100));
    ExpectPick(unicode.className, kNotTopMost);
    skyperch_.DragTo(plain_.At(200, 150));
    // Overwrite the texts: only an update by the finder could bring the real ones back.
    SetWindowTextA(skyperch_.Control(IDC_CLASS_TEXT), "untouched");
    SetWindowTextA(skyperch_.Control(IDC_TYPE_TEXT), "untouched");
    skyperch_.DragTo(plain_.At(80, 35));
    skyperch_.DragTo(plain_.At(5, 5));
    ExpectPick(L"untouched", L"untouched");
    RECT change{};  // the own dialog clears the pick
    GetWindowRect(skyperch_.Control(IDC_CHANGE), &change);
    skyperch_.DragTo({(change.left + change.right) / 2, (change.top + change.bottom) / 2});
    ExpectPick(L"", kNotTopMost);
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectFrame(topMost_, true);
    skyperch_.ReleaseFinder();
    ExpectFrame(topMost_, false);
    EXPECT_EQ(topMost_.className, skyperch_.Text(IDC_CLASS_TEXT)) << "the pick outlives the release";

    // A lost capture ends the drag as a release would.
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    ExpectFrame(plain_, true);
    // What the system sends when another window takes the mouse (Alt+Tab).
    SendMessageA(skyperch_.Control(IDC_FINDER), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(plain_.window));
    ExpectFrame(plain_, false);
    // No longer dragging: a move over another window picks nothing.
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectPick(plain_.className, kNotTopMost);
    ExpectFrame(topMost_, false);

    {  // ended with its Cancel command in the middle of a drag, Skyperch leaves no frame
        CSkyperchProcess second;
        ASSERT_NE(nullptr, second.Dialog());
        second.PressFinder();
        second.DragTo(plain_.At(150, 150));
        ExpectFrame(plain_, true);
    }
    ExpectFrame(plain_, false);
}

// The picked window is ours, and our thread hangs below. A thread waiting in SendMessage still
// answers sent messages, so WM_NULL alone would not tell a hang; a posted command is handled
// only once the handler of Change has returned: OK must end Skyperch within the second.
TEST_F(SkyperchTest, ChangeOnAHungWindowLeavesSkyperchAnswering) {
    Pick(plain_.At(150, 150));
    ASSERT_EQ(plain_.className, skyperch_.Text(IDC_CLASS_TEXT));
    PostMessageA(skyperch_.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_CHANGE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(skyperch_.Control(IDC_CHANGE)));
    Sleep(300);
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutA(skyperch_.Dialog(), WM_NULL, 0, 0, SMTO_BLOCK, 1000, &result))
        << "no answer to WM_NULL within 1 s after Change";
    PostMessageA(skyperch_.Dialog(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(skyperch_.Handle(), 1000))
        << "the posted OK command was not handled within 1 s";
    EXPECT_EQ(1u, skyperch_.WaitForExit());
}

TEST(SkyperchExit, EscapeAndCloseEndWith2) {
    auto exitCodeAfter = [](int control, UINT message, WPARAM wParam, LPARAM lParam) {
        CSkyperchProcess skyperch;
        PostMessageA(control ? skyperch.Control(control) : skyperch.Dialog(), message, wParam, lParam);
        return skyperch.WaitForExit();
    };
    EXPECT_EQ(2u, exitCodeAfter(IDC_CHANGE, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    EXPECT_EQ(2u, exitCodeAfter(0, WM_SYSCOMMAND, SC_CLOSE, 0));
}

// The controls whose texts hold a Latin letter, with their texts.
std::wstring TextsWithLatinLetters(HWND dialog) {
    std::wstring found;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t text[512] = L"";
        SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        if (std::any_of(text, text + wcslen(text), [](wchar_t c) { return c < 128 && isalpha(c); }))
            found += std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\" ";
    }
    return found;
}

// Run with LC_ALL=ja_JP.UTF-8: the language table's texts by slot, and no English before a
// pick, during one or after the picked window closed.
TEST_F(SkyperchJapanese, EveryTextIsJapaneseBeforeDuringAndAfterAPick) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "needs the Japanese locale";
    const std::pair<int, const wchar_t*> fromTheTable[] = {
        {IDC_FINDER_LABEL, L"\u691C\u7D22"},                                          // 検索
        {IDC_CLASS_LABEL, L"\u30AF\u30E9\u30B9\u540D"},                               // クラス名
        {IDC_TYPE_LABEL, L"\u30A6\u30A3\u30F3\u30C9\u30A6\u306E\u7A2E\u985E\uFF1A"},  // ウィンドウの種類：
        {IDC_CHANGE, L"\u5909\u66F4"},                                                // 変更
    };
    for (const auto& [id, text] : fromTheTable) EXPECT_EQ(text, skyperch_.Text(id)) << id;
    EXPECT_EQ(L"", TextsWithLatinLetters(skyperch_.Dialog()));
    skyperch_.PressFinder();
    skyperch_.DragTo(topMost_.At(150, 100));
    EXPECT_EQ(L"\u6700\u524D\u5217", skyperch_.Text(IDC_TYPE_TEXT));  // 最前列
    skyperch_.DragTo(plain_.At(150, 150));
    EXPECT_EQ(L"\u6700\u524D\u5217\u3067\u306F\u306A\u3044", skyperch_.Text(IDC_TYPE_TEXT));  // 最前列ではない
    skyperch_.ReleaseFinder();
    PickAWindowThatCloses();
    EXPECT_EQ(L"", TextsWithLatinLetters(skyperch_.Dialog()));
}

// At the display scale of the prefix the tests run in.
class SkyperchDpi : public SkyperchTest {
protected:
    void SetUp() override {
        SkyperchTest::SetUp();
        ASSERT_TRUE(kAware);
        ASSERT_EQ(driver::AskedDpi(), driver::ScreenDpi());
        ASSERT_NE(nullptr, resources_.Get());
    }

    const driver::ProgramResources resources_{SkyperchWindowsPath()};
};

TEST_F(SkyperchDpi, EveryTextFitsItsControl) {
    // Three labels, the two placeholders and the button; then the longest texts it puts there.
    EXPECT_EQ(6u, driver::ExpectTextsFit(skyperch_.Dialog(), resources_.Get(), IDD_SKYPERCH, "Skyperch"));
    Pick(plain_.At(150, 150));
    driver::ExpectTextsFit(skyperch_.Dialog(), resources_.Get(), IDD_SKYPERCH, "Skyperch, a window picked");
    PickAWindowThatCloses();
    driver::ExpectTextsFit(skyperch_.Dialog(), resources_.Get(), IDD_SKYPERCH, "Skyperch, the picked window closed");
}

// The finder's icon at the scale's size; its pictures and cursor drawn for 100, 150 and
// 200 %, the program's icon for every size Windows asks at 100 to 200 %.
TEST_F(SkyperchDpi, IconsHaveTheSizeOfTheScaleAndTheManifestDeclaresAwareness) {
    RECT finder{};
    GetClientRect(skyperch_.Control(IDC_FINDER), &finder);
    const int size = CDpiScale::IconSize(32, driver::ScreenDpi());
    EXPECT_EQ(size, finder.right);
    EXPECT_EQ(size, finder.bottom);
    for (const int group : {IDI_FINDER_FULL, IDI_FINDER_EMPTY, IDC_FINDER_TARGET})
        driver::ExpectDrawnFor(resources_.Get(), group, group != IDC_FINDER_TARGET,
                               driver::SizesAtScales({32}, {96, 144, 192}));
    driver::ExpectDrawnFor(resources_.Get(), IDI_SKYPERCH, true, {256});
    driver::ExpectDrawnFor(resources_.Get(), IDI_SKYPERCH, true, driver::SizesAtScales({16, 32}));
    driver::ExpectDpiAwareManifest(resources_.Get());
}

}  // namespace
