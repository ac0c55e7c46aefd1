// VexQuilkit at the display scale of the prefix it runs in (96, 120, 144 or 192 DPI, which
// VEX_WINE_DPI names when it is not 96): every dialog's texts fit their controls, the
// icon holds a picture drawn for each size the scales ask, and the manifest declares
// per-monitor awareness.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Driver.h"
#include "TextFit.h"
#include "resource.h"

namespace {

using namespace driver;

// Measures in physical pixels, as the program itself works.
const bool kAware = [] {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (set && (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)))
        return true;
    return SetProcessDPIAware() != FALSE;
}();

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The program's resources, read in this process.
class ProgramResources {
public:
    ProgramResources()
        : m_module(LoadLibraryExW(Wide(QuilkitExe()).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramResources() {
        if (m_module) FreeLibrary(m_module);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

class DisplayScale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kAware);
        const char* asked = std::getenv("VEX_WINE_DPI");
        ASSERT_EQ(asked ? std::atoi(asked) : 96, ScreenDpi());
        ASSERT_TRUE(m_resources.Get());
        // The templates' own controls, for the copies that give the fonts.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_DATE_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void ExpectTextsFit(HWND dialog, int templateId, const char* name) {
        ASSERT_TRUE(dialog) << name;
        const TemplateFont font(m_resources.Get(), templateId);
        ASSERT_TRUE(font.Get()) << name;
        const std::vector<TextFit> fits = MeasureTexts(dialog, font.Get());
        EXPECT_FALSE(fits.empty()) << name;
        for (const TextFit& fit : fits)
            EXPECT_TRUE(fit.Fits()) << name << ": " << Describe(fit) << " at " << ScreenDpi();
    }

    ProgramResources m_resources;
};

TEST_F(DisplayScale, EveryDialogsTextsFitTheirControls) {
    {
        Process app = Start(QuilkitExe(), "");
        HWND main = WaitForWindow(app, "VexQuilkit");
        ExpectTextsFit(main, IDD_MAINDLG, "main dialog");
        Click(main, IDC_HIDEMARU);
        ExpectTextsFit(WaitForWindow(app, "Hidemaru.exe"), IDD_HIDEPATHDLG, "editor path");
    }
    struct Options {
        const char* mode;
        const char* title;
        int templateId;
    };
    for (const Options& options :
         {Options{"/M2", "Cleaner - Quillkit", IDD_EXTDLG}, Options{"/M3", "Hash Checker - Quillkit", IDD_HASHDLG},
          Options{"/M4", "Setting Time", IDD_TIMEDLG}}) {
        TempFolder folder;
        Process app = Start(QuilkitExe(), std::string(options.mode) + " \"" + folder.Path() + "\"");
        ExpectTextsFit(WaitForWindow(app, options.title), options.templateId, options.title);
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
    const TextFit prompt = fitOf(IDC_STATIC_EXTENSIONS);
    ASSERT_TRUE(prompt.Fits()) << Describe(prompt);
    HWND control = GetDlgItem(dialog, IDC_STATIC_EXTENSIONS);
    SetWindowPos(control, nullptr, 0, 0, prompt.available.cx, prompt.needed.cy - 1, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(fitOf(IDC_STATIC_EXTENSIONS).Fits()) << "one pixel too low";
    // Too narrow: the words wrap onto a line that is not there.
    SetWindowPos(control, nullptr, 0, 0, prompt.needed.cx - 1, prompt.available.cy, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(fitOf(IDC_STATIC_EXTENSIONS).Fits()) << "one pixel too narrow";
    HWND check = GetDlgItem(dialog, IDC_SUBFOLDERS);
    const TextFit box = fitOf(IDC_SUBFOLDERS);
    SetWindowPos(check, nullptr, 0, 0, box.needed.cx - 1, box.available.cy, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(fitOf(IDC_SUBFOLDERS).Fits()) << "check box one pixel too narrow";
    DestroyWindow(dialog);
}

// A picture drawn for the size, not one scaled from another: the icon directory holds an
// entry of exactly the size that each scale asks for.
TEST_F(DisplayScale, TheIconHoldsAPictureForEverySizeTheScalesAsk) {
    HRSRC group = FindResourceW(m_resources.Get(), MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(14));
    ASSERT_TRUE(group);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(m_resources.Get(), group)));
    auto drawnSize = [&](int size) {
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceW(m_resources.Get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
        if (!image) return 0;
        HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(m_resources.Get(), image))),
                                              SizeofResource(m_resources.Get(), image), TRUE, 0x00030000, 0, 0, 0);
        ICONINFO info{};
        BITMAP bitmap{};
        if (icon && GetIconInfo(icon, &info)) {
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
        if (icon) DestroyIcon(icon);
        return static_cast<int>(bitmap.bmWidth);
    };
    for (int dpi : {96, 120, 144, 192})
        for (int base : {16, 32}) {
            const int size = MulDiv(base, dpi, 96);
            EXPECT_EQ(size, drawnSize(size)) << base << " at " << dpi;
        }
    EXPECT_EQ(256, drawnSize(256));
    // What the main dialog asks for at this prefix's scale.
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), drawnSize(GetSystemMetrics(SM_CXICON)));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), drawnSize(GetSystemMetrics(SM_CXSMICON)));
}

TEST_F(DisplayScale, TheManifestDeclaresPerMonitorAwarenessAndTheWindowsVersions) {
    HRSRC found = FindResourceW(m_resources.Get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(m_resources.Get(), found))),
                               SizeofResource(m_resources.Get(), found));
    for (const char* part :
         {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
          "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">",
          "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
          "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
          "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
          "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part << "\n" << manifest;
}

}  // namespace
