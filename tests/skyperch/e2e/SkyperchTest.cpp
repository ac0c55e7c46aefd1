// End-to-end tests of Skyperch under Wine: the real program, test windows of our own, the
// cursor moved with SetCursorPos and the finder driven with its mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "DisplayScale.h"
#include "DpiScale.h"
#include "SkyperchProcess.h"

namespace {

const char kTopMost[] = "Top-most window";
const char kNotTopMost[] = "Not top-most window";
const wchar_t kPickGone[] = L"(The picked window has closed)";

// Measures in physical pixels, as Skyperch itself works, at any display scale.
const bool kAware = driver::MakeDpiAware();

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

// Each test starts its own Skyperch; the windows lie clear of its dialog, which opens in
// the middle of the screen, at every scale up to 200 %.
class SkyperchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, skyperch_.Dialog()) << "no dialog (SKYPERCH_EXE set?)"; }

    void ExpectPick(const wchar_t* className, const char* type) {
        EXPECT_EQ(className, skyperch_.WideText(IDC_CLASS_TEXT));
        EXPECT_EQ(type, skyperch_.Text(IDC_TYPE_TEXT));
    }

    CTestWindow plain_{L"SkyperchPlainTarget", {60, 60, 380, 260}, RGB(40, 90, 160)};
    CTestWindow topMost_{L"SkyperchTopMostTarget", {60, 780, 380, 980}, RGB(200, 120, 40), WS_EX_TOPMOST};
    CSkyperchProcess skyperch_;
};

using SkyperchJapanese = SkyperchTest;

// A class name of Han characters and an emoji (a surrogate pair), outside the C locale's code page, is shown exactly.
TEST_F(SkyperchTest, FinderShowsTheRootWindowsClassAndTypeAndTheOwnDialogClearsIt) {
    CreateWindowExA(0, "BUTTON", "Child", WS_CHILD | WS_VISIBLE, 20, 20, 120, 30, plain_.window, nullptr, nullptr,
                    nullptr);
    const CTestWindow unicode{L"Vex\u65E5\u672C\u8A9E\U0001F600Class", {900, 60, 1220, 260}, RGB(60, 160, 90)};
    skyperch_.PressFinder();
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectPick(topMost_.className, kTopMost);
    skyperch_.DragTo(unicode.At(150, 100));
    ExpectPick(unicode.className, kNotTopMost);
    skyperch_.DragTo(plain_.At(200, 150));
    ExpectPick(plain_.className, kNotTopMost);
    // Overwrite the texts: only an update by the finder could bring the real ones back.
    SetWindowTextA(skyperch_.Control(IDC_CLASS_TEXT), "untouched");
    SetWindowTextA(skyperch_.Control(IDC_TYPE_TEXT), "untouched");
    skyperch_.DragTo(plain_.At(80, 35));  // the child button
    skyperch_.DragTo(plain_.At(5, 5));
    ExpectPick(L"untouched", "untouched");
    skyperch_.DragTo(skyperch_.CentreOf(IDC_CHANGE));
    ExpectPick(L"", kNotTopMost);
    skyperch_.ReleaseFinder();
}

TEST_F(SkyperchTest, ChangeTogglesTopMostBothWaysAndKeepsTheDialogAbove) {
    // Before a pick the lines say how to pick, and Change has nothing to act on.
    ExpectPick(L"Drag the finder over a window", "then release the mouse to pick it");
    EXPECT_FALSE(IsWindowEnabled(skyperch_.Control(IDC_CHANGE)));
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    skyperch_.ReleaseFinder();
    ASSERT_EQ(plain_.className, skyperch_.WideText(IDC_CLASS_TEXT));
    EXPECT_EQ(std::wstring(L"\"") + plain_.className + L"\"", skyperch_.WideText(IDC_TITLE_TEXT));
    EXPECT_TRUE(IsWindowEnabled(skyperch_.Control(IDC_CHANGE)));
    skyperch_.ClickChange();
    // The window's own thread (ours) applies the change: its messages are pumped while
    // the text is awaited.
    EXPECT_EQ(kTopMost, skyperch_.WaitForText(IDC_TYPE_TEXT, kTopMost));
    EXPECT_TRUE(IsTopMost(plain_.window));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
    // Skyperch puts its dialog back on top once it sees the change applied.
    for (int i = 0; i < 50 && ZOrderIndex(skyperch_.Dialog()) > ZOrderIndex(plain_.window); ++i) {
        Sleep(20);
        PumpMessages();
    }
    EXPECT_LT(ZOrderIndex(skyperch_.Dialog()), ZOrderIndex(plain_.window));
    skyperch_.ClickChange();
    EXPECT_EQ(kNotTopMost, skyperch_.WaitForText(IDC_TYPE_TEXT, kNotTopMost));
    EXPECT_FALSE(IsTopMost(plain_.window));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
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
        COLORREF actual = GetPixel(screen, window.rect.left + p.x, window.rect.top + p.y);
        for (int i = 0; i < 40 && actual != expected; ++i) {
            Sleep(50);
            PumpMessages();
            actual = GetPixel(screen, window.rect.left + p.x, window.rect.top + p.y);
        }
        EXPECT_EQ(expected, actual) << window.className << (framed ? " framed" : "") << " at " << p.x << "," << p.y;
    };
    for (POINT p : frame) expect(p, framed ? window.colour ^ 0x00FFFFFF : window.colour);
    for (POINT p : inside) expect(p, window.colour);
    ReleaseDC(nullptr, screen);
}

TEST_F(SkyperchTest, FrameIsErasedByTheNextPickTheReleaseALostCaptureAndTheEnd) {
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    ExpectFrame(plain_, true);
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectFrame(plain_, false);
    ExpectFrame(topMost_, true);
    skyperch_.ReleaseFinder();
    ExpectFrame(topMost_, false);
    EXPECT_EQ(topMost_.className, skyperch_.WideText(IDC_CLASS_TEXT)) << "the pick outlives the release";

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

// A top-level window on a thread of its own whose WM_WINDOWPOSCHANGING, once armed, does
// not return for 10 s (or until released): a hung program.
class CHangingWindow {
public:
    explicit CHangingWindow(RECT rect) : release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, rect, ready] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = &CHangingWindow::Proc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
            windowClass.lpszClassName = "SkyperchHangingTarget";
            RegisterClassA(&windowClass);
            window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), this);
            SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetEvent(ready);
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
            UnregisterClassA(windowClass.lpszClassName, GetModuleHandleA(nullptr));
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
    }
    ~CHangingWindow() {
        SetEvent(release_);
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
        CloseHandle(release_);
    }
    CHangingWindow(const CHangingWindow&) = delete;
    CHangingWindow& operator=(const CHangingWindow&) = delete;

    void Arm() { armed_ = true; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CHangingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_WINDOWPOSCHANGING && self && self->armed_) WaitForSingleObject(self->release_, 10000);
        if (message == WM_CLOSE) {
            DestroyWindow(window);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HANDLE release_;
    volatile bool armed_ = false;
    HWND window_ = nullptr;
    std::thread thread_;
};

void PostChange(const CSkyperchProcess& skyperch) {
    PostMessageA(skyperch.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_CHANGE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(skyperch.Control(IDC_CHANGE)));
}

// A thread that waits in SendMessage still answers messages sent to it, so a sent WM_NULL
// alone would not tell a hang; what is posted (input, commands) is only handled once the
// handler of Change has returned: Skyperch's OK command must end it within the second.
TEST_F(SkyperchTest, ChangeOnAHungWindowLeavesSkyperchAnswering) {
    CHangingWindow hung({960, 300, 1260, 500});
    skyperch_.PressFinder();
    skyperch_.DragTo({1100, 400});
    skyperch_.ReleaseFinder();
    ASSERT_EQ(L"SkyperchHangingTarget", skyperch_.WideText(IDC_CLASS_TEXT));
    hung.Arm();
    PostChange(skyperch_);
    Sleep(300);
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutA(skyperch_.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
        << "no answer to WM_NULL within 1 s after Change";
    PostMessageA(skyperch_.Dialog(), WM_NULL, 0, 0);
    PostMessageA(skyperch_.Dialog(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, skyperch_.WaitForExit(1000)) << "the posted OK command was not handled within 1 s";
}

TEST_F(SkyperchTest, ChangeLeavesANewWindowInTheClosedOnesPlaceAlone) {
    const RECT place{960, 300, 1260, 500};
    auto closed = std::make_unique<CTestWindow>(L"SkyperchClosingTarget", place, RGB(90, 90, 200));
    skyperch_.PressFinder();
    skyperch_.DragTo(closed->At(100, 100));
    skyperch_.ReleaseFinder();
    ASSERT_EQ(closed->className, skyperch_.WideText(IDC_CLASS_TEXT));
    closed.reset();
    // Change goes off once Skyperch sees the window gone, without a click.
    for (int i = 0; i < 40 && IsWindowEnabled(skyperch_.Control(IDC_CHANGE)); ++i) Sleep(50);
    EXPECT_FALSE(IsWindowEnabled(skyperch_.Control(IDC_CHANGE)));
    const CTestWindow successor{L"SkyperchClosingTarget", place, RGB(90, 90, 200)};
    skyperch_.ClickChange();
    Sleep(500);
    PumpMessages();
    EXPECT_FALSE(IsTopMost(successor.window));
    ExpectPick(kPickGone, kNotTopMost);
    // The pick is cleared: a second Change has nothing to act on either.
    skyperch_.ClickChange();
    Sleep(300);
    PumpMessages();
    EXPECT_FALSE(IsTopMost(successor.window));
}

TEST(SkyperchExit, EscapeAndCloseEndWith2AndOkWith1) {
    auto exitCodeAfter = [](int control, UINT message, WPARAM wParam, LPARAM lParam) {
        CSkyperchProcess skyperch;
        PostMessageA(control ? skyperch.Control(control) : skyperch.Dialog(), message, wParam, lParam);
        return skyperch.WaitForExit();
    };
    EXPECT_EQ(2u, exitCodeAfter(IDC_CHANGE, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    EXPECT_EQ(2u, exitCodeAfter(0, WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_EQ(1u, exitCodeAfter(0, WM_COMMAND, IDOK, 0));
}

TEST(SkyperchManifest, DeclaresPerMonitorAwarenessAndTheWindowsVersions) {
    const driver::ProgramResources resources(SkyperchWindowsPath());
    ASSERT_NE(nullptr, resources.Get());
    driver::ExpectDpiAwareManifest(resources.Get());
}

// The controls of the dialog whose texts hold a Latin letter, with their texts.
std::wstring TextsWithLatinLetters(HWND dialog) {
    std::wstring found;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t text[512] = L"";
        SendMessageW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        for (const wchar_t* c = text; *c; ++c)
            if ((*c >= L'A' && *c <= L'Z') || (*c >= L'a' && *c <= L'z')) {
                found += std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\" ";
                break;
            }
    }
    return found;
}

// A window that closes once picked, leaving the class line's text for a gone pick.
void PickAWindowThatCloses(CSkyperchProcess& skyperch) {
    {
        const CTestWindow closing{L"SkyperchClosingTarget", {960, 300, 1260, 500}, RGB(90, 90, 200)};
        skyperch.PressFinder();
        skyperch.DragTo(closing.At(100, 100));
        skyperch.ReleaseFinder();
    }
    skyperch.ClickChange();
}

// Run with LC_ALL=ja_JP.UTF-8. The labels, the button and the window types are the
// language table's; the lines before a pick and after the picked window closed come from
// the Japanese resources.
TEST_F(SkyperchJapanese, EveryTextIsJapaneseBeforeDuringAndAfterAPick) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "needs the Japanese locale";
    const struct {
        int id;
        const wchar_t* text;
    } beforeAPick[] = {
        {IDC_FINDER_LABEL, L"\u691C\u7D22"},                                          // 検索
        {IDC_CLASS_LABEL, L"\u30AF\u30E9\u30B9\u540D"},                               // クラス名
        {IDC_TYPE_LABEL, L"\u30A6\u30A3\u30F3\u30C9\u30A6\u306E\u7A2E\u985E\uFF1A"},  // ウィンドウの種類：
        {IDC_CHANGE, L"\u5909\u66F4"},                                                // 変更
        // 検索アイコンをウィンドウへドラッグ
        {IDC_CLASS_TEXT,
         L"\u691C\u7D22\u30A2\u30A4\u30B3\u30F3\u3092\u30A6\u30A3\u30F3\u30C9\u30A6\u3078\u30C9\u30E9"
         L"\u30C3\u30B0"},
        // 離すとそのウィンドウを選びます
        {IDC_TYPE_TEXT, L"\u96E2\u3059\u3068\u305D\u306E\u30A6\u30A3\u30F3\u30C9\u30A6\u3092\u9078\u3073\u307E\u3059"},
    };
    for (const auto& expected : beforeAPick) EXPECT_EQ(expected.text, skyperch_.WideText(expected.id)) << expected.id;
    EXPECT_EQ(L"", TextsWithLatinLetters(skyperch_.Dialog()));

    skyperch_.PressFinder();
    skyperch_.DragTo(topMost_.At(150, 100));
    EXPECT_EQ(L"\u6700\u524D\u5217", skyperch_.WideText(IDC_TYPE_TEXT));  // 最前列
    skyperch_.DragTo(plain_.At(150, 150));
    EXPECT_EQ(L"\u6700\u524D\u5217\u3067\u306F\u306A\u3044", skyperch_.WideText(IDC_TYPE_TEXT));  // 最前列ではない
    skyperch_.ReleaseFinder();

    PickAWindowThatCloses(skyperch_);
    // （選んだウィンドウは閉じられました）
    EXPECT_EQ(
        L"\uFF08\u9078\u3093\u3060\u30A6\u30A3\u30F3\u30C9\u30A6\u306F\u9589\u3058\u3089\u308C\u307E\u3057\u305F"
        L"\uFF09",
        skyperch_.WideText(IDC_CLASS_TEXT));
    EXPECT_EQ(L"", TextsWithLatinLetters(skyperch_.Dialog()));
}

// At the display scale of the prefix the tests run in.
class SkyperchDpi : public SkyperchTest {
protected:
    void SetUp() override {
        SkyperchTest::SetUp();
        ASSERT_TRUE(kAware);
        ASSERT_EQ(driver::AskedDpi(), driver::ScreenDpi());
    }
};

TEST_F(SkyperchDpi, EveryTextFitsItsControl) {
    const driver::ProgramResources resources(SkyperchWindowsPath());
    ASSERT_NE(nullptr, resources.Get());
    EXPECT_EQ(6u, driver::ExpectTextsFit(skyperch_.Dialog(), resources.Get(), IDD_SKYPERCH, "Skyperch"))
        << "three labels, the two placeholders and the button";
    // The longest texts the program puts there itself.
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    skyperch_.ReleaseFinder();
    driver::ExpectTextsFit(skyperch_.Dialog(), resources.Get(), IDD_SKYPERCH, "Skyperch, a window picked");
    PickAWindowThatCloses(skyperch_);
    driver::ExpectTextsFit(skyperch_.Dialog(), resources.Get(), IDD_SKYPERCH, "Skyperch, the picked window closed");
}

// The finder shows its icon at the size of the display's scale (the static control takes
// the icon's size), and the program holds the finder's pictures and its cursor drawn for
// 100, 150 and 200 % and its icon for every size Windows asks at 100 to 200 %.
TEST_F(SkyperchDpi, IconsHaveTheSizeOfTheScale) {
    const int dpi = driver::ScreenDpi();
    RECT finder{};
    GetClientRect(skyperch_.Control(IDC_FINDER), &finder);
    EXPECT_EQ(CDpiScale::IconSize(32, dpi), finder.right) << dpi;
    EXPECT_EQ(CDpiScale::IconSize(32, dpi), finder.bottom) << dpi;

    const driver::ProgramResources resources(SkyperchWindowsPath());
    ASSERT_NE(nullptr, resources.Get());
    for (int scale : {96, 144, 192}) {
        const int size = CDpiScale::IconSize(32, scale);
        EXPECT_EQ(size, driver::DrawnIconSize(resources.Get(), IDI_FINDER_FULL, true, size)) << scale;
        EXPECT_EQ(size, driver::DrawnIconSize(resources.Get(), IDI_FINDER_EMPTY, true, size)) << scale;
        EXPECT_EQ(size, driver::DrawnIconSize(resources.Get(), IDC_FINDER_TARGET, false, size)) << scale;
    }
    for (int scale : {96, 120, 144, 192})
        for (int base : {16, 32}) {
            const int size = CDpiScale::IconSize(base, scale);
            EXPECT_EQ(size, driver::DrawnIconSize(resources.Get(), IDI_SKYPERCH, true, size)) << scale;
        }
    EXPECT_EQ(256, driver::DrawnIconSize(resources.Get(), IDI_SKYPERCH, true, 256));
}

}  // namespace
