// End-to-end tests of Skyperch under Wine: the real program, test windows of our own, the
// cursor moved with SetCursorPos and the finder driven with its mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "ScreenDC.h"
#include "SkyperchProcess.h"
#include "TestWindow.h"
#include "resource.h"

namespace {

const char kTopMost[] = "Top-most window";
const char kNotTopMost[] = "Not top-most window";

bool IsTopMost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Position in the z-order, 0 at the top; -1 when not a top-level window.
int ZOrderIndex(HWND window) {
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++index)
        if (w == window) return index;
    return -1;
}

HWND CaptureOf(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(threadId, &info);
    return info.hwndCapture;
}

COLORREF Inverted(COLORREF colour) { return colour ^ 0x00FFFFFF; }

// Screen output of another process reaches the display asynchronously under Wine: wait
// for the expected colour a while, then report what is there.
COLORREF PixelSettlingOn(POINT at, COLORREF expected) {
    CScreenDC screen;
    COLORREF actual = screen.Pixel(at.x, at.y);
    for (int i = 0; i < 40 && actual != expected; ++i) {
        Sleep(50);
        PumpMessages();
        actual = screen.Pixel(at.x, at.y);
    }
    return actual;
}

// Every window lies clear of the dialog, which opens in the middle of the screen.
class SkyperchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, skyperch_.Dialog()) << "Skyperch did not show its dialog (SKYPERCH_EXE set?)";
    }

    POINT EmptyDesktop() const { return {GetSystemMetrics(SM_CXSCREEN) - 10, GetSystemMetrics(SM_CYSCREEN) - 10}; }

    void Pick(POINT at) {
        skyperch_.PressFinder();
        skyperch_.DragTo(at);
        skyperch_.ReleaseFinder();
    }

    CTestWindow plain_{"SkyperchPlainTarget", {60, 60, 380, 260}, RGB(40, 90, 160)};
    CTestWindow topMost_{"SkyperchTopMostTarget", {60, 600, 380, 800}, RGB(200, 120, 40), WS_EX_TOPMOST};
    CSkyperchProcess skyperch_;
};

using SkyperchDialog = SkyperchTest;
using SkyperchFinder = SkyperchTest;
using SkyperchChange = SkyperchTest;
using SkyperchFrame = SkyperchTest;

TEST_F(SkyperchDialog, OpensTopMostAndCentredWithTheTemplateTexts) {
    HWND dialog = skyperch_.Dialog();
    EXPECT_EQ("Skyperch", WindowText(dialog));
    EXPECT_TRUE(IsTopMost(dialog));
    EXPECT_LT(ZOrderIndex(dialog), ZOrderIndex(topMost_.Window()));

    RECT area{}, rect{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR((area.left + area.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (rect.top + rect.bottom) / 2, 1);

    EXPECT_EQ("Finder:", skyperch_.Text(IDC_FINDER_LABEL));
    EXPECT_EQ("Class name:", skyperch_.Text(IDC_CLASS_LABEL));
    EXPECT_EQ("Window type:", skyperch_.Text(IDC_TYPE_LABEL));
    EXPECT_EQ("Change", skyperch_.Text(IDC_CHANGE));
    EXPECT_EQ("(class)", skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ("(type)", skyperch_.Text(IDC_TYPE_TEXT));
}

TEST_F(SkyperchDialog, EscapeEndsWithExitCode2) {
    PostMessageA(skyperch_.Control(IDC_CHANGE), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(2u, skyperch_.WaitForExit());
}

TEST_F(SkyperchDialog, CloseBoxEndsWithExitCode2) {
    PostMessageA(skyperch_.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(2u, skyperch_.WaitForExit());
}

TEST_F(SkyperchDialog, OkCommandEndsWithExitCode1) {
    PostMessageA(skyperch_.Dialog(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, skyperch_.WaitForExit());
}

TEST_F(SkyperchFinder, ChildButtonPicksItsTopLevelWindow) {
    const POINT button = plain_.AddChildButton(20, 20, 120, 30);
    skyperch_.PressFinder();
    skyperch_.DragTo(button);
    EXPECT_EQ(plain_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    skyperch_.DragTo(topMost_.At(150, 100));
    EXPECT_EQ(topMost_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ(kTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    skyperch_.ReleaseFinder();
    EXPECT_EQ(topMost_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT)) << "the pick outlives the release";
}

TEST_F(SkyperchFinder, OwnDialogAndDesktopClearThePick) {
    const POINT spots[] = {skyperch_.CentreOf(IDC_FINDER), skyperch_.CentreOf(IDC_CHANGE), EmptyDesktop()};
    for (POINT spot : spots) {
        skyperch_.PressFinder();
        skyperch_.DragTo(plain_.At(150, 150));
        ASSERT_EQ(plain_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
        skyperch_.DragTo(spot);
        EXPECT_EQ("", skyperch_.Text(IDC_CLASS_TEXT)) << spot.x << "," << spot.y;
        EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
        skyperch_.ReleaseFinder();
    }
}

TEST_F(SkyperchFinder, MovingInsideOneWindowUpdatesNothing) {
    const POINT button = plain_.AddChildButton(20, 20, 120, 30);
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(200, 150));
    // Overwrite the texts: only an update by the finder could bring the real ones back.
    SetWindowTextA(skyperch_.Control(IDC_CLASS_TEXT), "untouched");
    SetWindowTextA(skyperch_.Control(IDC_TYPE_TEXT), "untouched");
    skyperch_.DragTo(plain_.At(250, 180));
    skyperch_.DragTo(button);
    skyperch_.DragTo(plain_.At(5, 5));
    EXPECT_EQ("untouched", skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ("untouched", skyperch_.Text(IDC_TYPE_TEXT));
    skyperch_.DragTo(topMost_.At(100, 100));
    EXPECT_EQ(topMost_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    skyperch_.ReleaseFinder();
}

TEST_F(SkyperchFinder, PressAndReleaseWithoutMovingChangeOnlyIconAndCapture) {
    Pick(plain_.At(150, 150));
    HWND finder = skyperch_.Control(IDC_FINDER);
    const LRESULT iconAtRest = SendMessageA(finder, STM_GETICON, 0, 0);
    EXPECT_EQ(nullptr, CaptureOf(skyperch_.ThreadId()));

    skyperch_.PressFinder();
    EXPECT_EQ(finder, CaptureOf(skyperch_.ThreadId()));
    const LRESULT iconPressed = SendMessageA(finder, STM_GETICON, 0, 0);
    EXPECT_NE(iconAtRest, iconPressed);
    skyperch_.ReleaseFinder();

    EXPECT_EQ(nullptr, CaptureOf(skyperch_.ThreadId()));
    EXPECT_EQ(iconAtRest, SendMessageA(finder, STM_GETICON, 0, 0));
    EXPECT_EQ(plain_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
}

TEST_F(SkyperchFinder, MovesAndReleasesOutsideADragAreIgnored) {
    skyperch_.DragTo(plain_.At(150, 150));
    skyperch_.ReleaseFinder();
    EXPECT_EQ("(class)", skyperch_.Text(IDC_CLASS_TEXT));
    EXPECT_EQ("(type)", skyperch_.Text(IDC_TYPE_TEXT));
}

TEST_F(SkyperchFinder, WindowThatClosesMidDragIsLeftAlone) {
    CTestWindow doomed("SkyperchDoomedTarget", {900, 60, 1200, 260}, RGB(30, 160, 60));
    skyperch_.PressFinder();
    skyperch_.DragTo(doomed.At(150, 100));
    ASSERT_EQ(doomed.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    doomed.Destroy();
    skyperch_.DragTo(plain_.At(150, 150));
    EXPECT_EQ(plain_.ClassName(), skyperch_.Text(IDC_CLASS_TEXT));
    skyperch_.ReleaseFinder();
    EXPECT_TRUE(IsWindow(skyperch_.Dialog()));
}

TEST_F(SkyperchChange, DoesNothingBeforeAnyPick) {
    skyperch_.ClickChange();
    EXPECT_EQ("(type)", skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_FALSE(IsTopMost(plain_.Window()));
    EXPECT_TRUE(IsTopMost(topMost_.Window()));
}

TEST_F(SkyperchChange, TogglesTopMostBothWaysAndKeepsTheDialogAbove) {
    Pick(plain_.At(150, 150));
    ASSERT_FALSE(IsTopMost(plain_.Window()));

    skyperch_.ClickChange();
    EXPECT_TRUE(IsTopMost(plain_.Window()));
    EXPECT_EQ(kTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
    EXPECT_LT(ZOrderIndex(skyperch_.Dialog()), ZOrderIndex(plain_.Window()));

    skyperch_.ClickChange();
    EXPECT_FALSE(IsTopMost(plain_.Window()));
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_LT(ZOrderIndex(skyperch_.Dialog()), ZOrderIndex(plain_.Window()));

    Pick(topMost_.At(150, 100));
    skyperch_.ClickChange();
    EXPECT_FALSE(IsTopMost(topMost_.Window()));
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
}

TEST_F(SkyperchChange, OnAClosedWindowShowsNotTopMost) {
    CTestWindow doomed("SkyperchDoomedTarget", {900, 60, 1200, 260}, RGB(30, 160, 60), WS_EX_TOPMOST);
    Pick(doomed.At(150, 100));
    ASSERT_EQ(kTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    doomed.Destroy();
    skyperch_.ClickChange();
    EXPECT_EQ(kNotTopMost, skyperch_.Text(IDC_TYPE_TEXT));
    EXPECT_TRUE(IsTopMost(skyperch_.Dialog()));
}

// Points on each of the four bands of a window's frame, and two just inside it.
struct FramePoints {
    std::vector<POINT> frame;
    std::vector<POINT> inside;
};

FramePoints PointsOf(const CTestWindow& window) {
    const RECT r = window.Rect();
    const int w = r.right - r.left, h = r.bottom - r.top;
    return {{window.At(w / 2, 0), window.At(w / 2, 2), window.At(0, h / 2), window.At(2, h / 2),
             window.At(w - 1, h / 2), window.At(w - 3, h / 2), window.At(w / 2, h - 1), window.At(w / 2, h - 3),
             window.At(0, 0), window.At(w - 1, h - 1), window.At(0, h - 1), window.At(w - 1, 0), window.At(1, 3),
             window.At(1, h - 4), window.At(1, h - 3), window.At(w - 2, 3), window.At(w - 2, h - 4)},
            {window.At(w / 2, 3), window.At(3, h / 2), window.At(w - 4, h / 2), window.At(w / 2, h - 4),
             window.At(w / 2, h / 2)}};
}

void ExpectFrame(const CTestWindow& window, bool framed) {
    const FramePoints points = PointsOf(window);
    const COLORREF colour = window.Colour();
    for (POINT p : points.frame)
        EXPECT_EQ(framed ? Inverted(colour) : colour, PixelSettlingOn(p, framed ? Inverted(colour) : colour))
            << window.ClassName() << (framed ? " framed" : " plain") << " at " << p.x << "," << p.y;
    for (POINT p : points.inside)
        EXPECT_EQ(colour, PixelSettlingOn(p, colour)) << window.ClassName() << " inside at " << p.x << "," << p.y;
}

TEST_F(SkyperchFrame, IsInvertedWhilePickedAndRestoredByTheNextPick) {
    ExpectFrame(plain_, false);
    skyperch_.PressFinder();
    skyperch_.DragTo(plain_.At(150, 150));
    ExpectFrame(plain_, true);
    skyperch_.DragTo(topMost_.At(150, 100));
    ExpectFrame(plain_, false);
    ExpectFrame(topMost_, true);
    skyperch_.ReleaseFinder();
    ExpectFrame(topMost_, true);

    // The next drag's first move is still over the own dialog: that clears the frame.
    skyperch_.PressFinder();
    skyperch_.DragTo(skyperch_.CentreOf(IDC_FINDER));
    ExpectFrame(topMost_, false);
    skyperch_.ReleaseFinder();
}

// Run with LC_ALL=ja_JP.UTF-8 and SKYPERCH_EXPECT_JAPANESE=1.
TEST(SkyperchJapanese, LabelsButtonAndTypeTextsComeFromTheJapaneseRecord) {
    if (!std::getenv("SKYPERCH_EXPECT_JAPANESE")) GTEST_SKIP() << "needs the Japanese locale";
    ASSERT_EQ(0x0411u, GetUserDefaultLCID());
    ASSERT_EQ(932u, GetACP());
    CTestWindow plain("SkyperchPlainTarget", {60, 60, 380, 260}, RGB(40, 90, 160));
    CTestWindow topMost("SkyperchTopMostTarget", {60, 600, 380, 800}, RGB(200, 120, 40), WS_EX_TOPMOST);
    CSkyperchProcess skyperch;
    ASSERT_NE(nullptr, skyperch.Dialog());

    EXPECT_EQ("\x8C\x9F\x8D\xF5", skyperch.Text(IDC_FINDER_LABEL));                 // 検索
    EXPECT_EQ("\x83\x4E\x83\x89\x83\x58\x96\xBC", skyperch.Text(IDC_CLASS_LABEL));  // クラス名
    EXPECT_EQ("\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xCC\x8E\xED\x97\xDE\x81\x46",
              skyperch.Text(IDC_TYPE_LABEL));                  // ウィンドウの種類：
    EXPECT_EQ("\x95\xCF\x8D\x58", skyperch.Text(IDC_CHANGE));  // 変更
    EXPECT_EQ("(class)", skyperch.Text(IDC_CLASS_TEXT));
    EXPECT_EQ("(type)", skyperch.Text(IDC_TYPE_TEXT));
    EXPECT_EQ("Skyperch", WindowText(skyperch.Dialog()));

    skyperch.PressFinder();
    skyperch.DragTo(topMost.At(150, 100));
    EXPECT_EQ("\x8D\xC5\x91\x4F\x97\xF1", skyperch.Text(IDC_TYPE_TEXT));  // 最前列
    skyperch.DragTo(plain.At(150, 150));
    EXPECT_EQ("\x8D\xC5\x91\x4F\x97\xF1\x82\xC5\x82\xCD\x82\xC8\x82\xA2",
              skyperch.Text(IDC_TYPE_TEXT));  // 最前列ではない
    skyperch.ReleaseFinder();
}

}  // namespace
