// End-to-end tests of Skyperch under Wine: the real program, test windows of our own, the
// cursor moved with SetCursorPos and the finder driven with its mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include "SkyperchProcess.h"

namespace {

const char kTopMost[] = "Top-most window";
const char kNotTopMost[] = "Not top-most window";

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
// the middle of the screen.
class SkyperchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, skyperch_.Dialog()) << "no dialog (SKYPERCH_EXE set?)"; }

    void ExpectPick(const wchar_t* className, const char* type) {
        EXPECT_EQ(className, skyperch_.WideText(IDC_CLASS_TEXT));
        EXPECT_EQ(type, skyperch_.Text(IDC_TYPE_TEXT));
    }

    CTestWindow plain_{L"SkyperchPlainTarget", {60, 60, 380, 260}, RGB(40, 90, 160)};
    CTestWindow topMost_{L"SkyperchTopMostTarget", {60, 600, 380, 800}, RGB(200, 120, 40), WS_EX_TOPMOST};
    CSkyperchProcess skyperch_;
};

using SkyperchJapanese = SkyperchTest;

TEST_F(SkyperchTest, FinderShowsTheRootWindowsClassAndTypeAndTheOwnDialogClearsIt) {
    CreateWindowExA(0, "BUTTON", "Child", WS_CHILD | WS_VISIBLE, 20, 20, 120, 30, plain_.window, nullptr, nullptr,
                    nullptr);
    skyperch_.PressFinder();
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectPick(topMost_.className, kTopMost);
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
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    skyperch_.ReleaseFinder();
    ASSERT_EQ(plain_.className, skyperch_.WideText(IDC_CLASS_TEXT));
    skyperch_.ClickChange();
    EXPECT_TRUE(IsTopMost(plain_.window));
    EXPECT_EQ(kTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
    EXPECT_LT(ZOrderIndex(skyperch_.Dialog()), ZOrderIndex(plain_.window));
    skyperch_.ClickChange();
    EXPECT_FALSE(IsTopMost(plain_.window));
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
}

// Han characters and an emoji (a surrogate pair), none of them in the Western code page
// of the C locale.
TEST_F(SkyperchTest, ClassNameOutsideTheCodePageIsShownExactly) {
    const CTestWindow unicode{L"Vex\u65E5\u672C\u8A9E\U0001F600Class", {900, 60, 1220, 260}, RGB(60, 160, 90)};
    skyperch_.PressFinder();
    skyperch_.DragTo(unicode.At(150, 100));
    ExpectPick(unicode.className, kNotTopMost);
    skyperch_.ReleaseFinder();
}

// Screen output of another process reaches the display asynchronously under Wine: each
// pixel gets a while to show the expected colour before what is there is reported.
void ExpectFrame(const CTestWindow& window, bool framed) {
    const int w = window.rect.right - window.rect.left, h = window.rect.bottom - window.rect.top;
    const POINT frame[] = {{w / 2, 0},     {w / 2, 2},     {0, h / 2},     {2, h / 2}, {w - 1, h / 2},
                           {w - 3, h / 2}, {w / 2, h - 1}, {w / 2, h - 3}, {0, 0},     {w - 1, h - 1},
                           {0, h - 1},     {w - 1, 0},     {1, h - 3}};
    const POINT inside[] = {{w / 2, 3}, {3, h / 2}, {w - 4, h / 2}, {w / 2, h - 4}};
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

TEST_F(SkyperchTest, FrameIsInvertedWhilePickedAndRestoredByTheNextPick) {
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    ExpectFrame(plain_, true);
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectFrame(plain_, false);
    ExpectFrame(topMost_, true);
    skyperch_.ReleaseFinder();
    // The next drag starts over the own dialog: that clears the frame.
    skyperch_.PressFinder();
    skyperch_.DragTo(skyperch_.CentreOf(IDC_FINDER));
    ExpectFrame(topMost_, false);
    skyperch_.ReleaseFinder();
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

// Run with LC_ALL=ja_JP.UTF-8: the texts are code page 932.
TEST_F(SkyperchJapanese, LabelsButtonAndTypeTextsComeFromTheJapaneseRecord) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "needs the Japanese locale";
    EXPECT_EQ("\x8C\x9F\x8D\xF5", skyperch_.Text(IDC_FINDER_LABEL));                 // 検索
    EXPECT_EQ("\x83\x4E\x83\x89\x83\x58\x96\xBC", skyperch_.Text(IDC_CLASS_LABEL));  // クラス名
    EXPECT_EQ("\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xCC\x8E\xED\x97\xDE\x81\x46",
              skyperch_.Text(IDC_TYPE_LABEL));                  // ウィンドウの種類：
    EXPECT_EQ("\x95\xCF\x8D\x58", skyperch_.Text(IDC_CHANGE));  // 変更
    skyperch_.PressFinder();
    skyperch_.DragTo(topMost_.At(150, 100));
    EXPECT_EQ("\x8D\xC5\x91\x4F\x97\xF1", skyperch_.Text(IDC_TYPE_TEXT));  // 最前列
    skyperch_.DragTo(plain_.At(150, 150));
    EXPECT_EQ("\x8D\xC5\x91\x4F\x97\xF1\x82\xC5\x82\xCD\x82\xC8\x82\xA2",
              skyperch_.Text(IDC_TYPE_TEXT));  // 最前列ではない
    skyperch_.ReleaseFinder();
}

}  // namespace
