// VexQuilkit at the display scale of the prefix it runs in (see DisplayScale.h).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "DisplayScale.h"
#include "Driver.h"
#include "resource.h"

namespace {

using namespace driver;

const bool kAware = MakeDpiAware();

class DisplayScale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kAware);
        ASSERT_EQ(AskedDpi(), ScreenDpi());
        ASSERT_TRUE(m_resources.Get());
        // The templates' own controls, for the copies that give the fonts.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }

    const ProgramResources m_resources{QuilkitExe()};
};

TEST_F(DisplayScale, EveryDialogsTextsFitTheirControls) {
    {
        Process app = Start(QuilkitExe(), "");
        HWND main = WaitForWindow(app, "VexQuilkit");
        ExpectTextsFit(main, m_resources.Get(), IDD_MAINDLG, "main dialog");
        Click(main, IDC_HIDEMARU);
        HWND editorPath = WaitForWindow(app, "Hidemaru.exe");
        ExpectTextsFit(editorPath, m_resources.Get(), IDD_HIDEPATHDLG, "editor path");
        // The longest reason it gives, for a path that names no file.
        const std::string reason = GetItemText(editorPath, IDC_STATIC_EDITORREASON);
        SetItemText(editorPath, IDC_EDITORPATH, "C:\\no such folder\\Hidemaru.exe");
        Click(editorPath, IDOK);
        for (int i = 0; i < 100 && GetItemText(editorPath, IDC_STATIC_EDITORREASON) == reason; ++i) Sleep(50);
        ExpectTextsFit(editorPath, m_resources.Get(), IDD_HIDEPATHDLG, "editor path, no such file");
        Close(editorPath);
    }
    for (const auto& [mode, templateId] : {std::pair{"/M2", IDD_EXTDLG}, {"/M3", IDD_HASHDLG}, {"/M4", IDD_TIMEDLG}}) {
        TempFolder folder;
        Process app = Start(QuilkitExe(), std::string(mode) + " \"" + folder.Path() + "\"");
        ExpectTextsFit(WaitForWindow(app, CaptionOf(templateId)), m_resources.Get(), templateId, mode);
    }
}

// The measure itself: a text cut by a control one pixel too low or too narrow is told.
TEST_F(DisplayScale, TheMeasureTellsACutText) {
    HWND dialog = CreateDialogParamW(
        m_resources.Get(), MAKEINTRESOURCEW(IDD_EXTDLG), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dialog);
    const TemplateFont font(m_resources.Get(), IDD_EXTDLG);
    auto fitOf = [&](int id) {
        for (const TextFit& fit : MeasureTexts(dialog, font.Get()))
            if (fit.id == id) return fit;
        return TextFit{};
    };
    // A wrapping text one pixel too low, one too narrow (its words wrap onto a line that is
    // not there), and a check box one too narrow.
    for (const auto& [id, lower, narrower] :
         {std::tuple{IDC_STATIC_EXTENSIONS, 1, 0}, {IDC_STATIC_EXTENSIONS, 0, 1}, {IDC_SUBFOLDERS, 0, 1}}) {
        HWND control = GetDlgItem(dialog, id);
        const TextFit fit = fitOf(id);
        ASSERT_TRUE(fit.Fits()) << Describe(fit);
        SetWindowPos(control, nullptr, 0, 0, narrower ? fit.needed.cx - 1 : fit.available.cx,
                     lower ? fit.needed.cy - 1 : fit.available.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_FALSE(fitOf(id).Fits()) << id << (lower ? " one pixel too low" : " one pixel too narrow");
        SetWindowPos(control, nullptr, 0, 0, fit.available.cx, fit.available.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
    DestroyWindow(dialog);
}

// A picture drawn for each size the scales ask and for the sizes the main dialog asks at
// this prefix's scale, not one the system would scale from another.
TEST_F(DisplayScale, TheIconHoldsAPictureForEverySizeTheScalesAsk) {
    std::vector<int> sizes = SizesAtScales({16, 32});
    sizes.insert(sizes.end(), {256, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON)});
    ExpectDrawnFor(m_resources.Get(), IDR_MAINFRAME, true, sizes);
}

// VexQuilkit runs as the user who starts it; only its registration step asks for more.
TEST_F(DisplayScale, TheManifestDeclaresPerMonitorAwarenessTheWindowsVersionsAndNoElevation) {
    ExpectDpiAwareManifest(m_resources.Get());
    EXPECT_NE(ManifestOf(m_resources.Get()).find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
