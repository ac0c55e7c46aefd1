#pragma once
// A program's dialogs and pictures at the display scale of the prefix the tests run in (96,
// 120, 144 or 192 DPI; VEX_WINE_DPI names it when not 96). MakeDpiAware() first, before any
// window. Header-only for the 32-bit Skyperch tests too; the caller links gdi32.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace driver {

// Per-monitor awareness for this process, so that it measures in physical pixels as the
// programs do; false when the system would give it none.
inline bool MakeDpiAware() {
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (set && (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)))
        return true;
    return SetProcessDPIAware() != FALSE;
}

inline int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The scale the test bed was asked to make the prefix with.
inline int AskedDpi() {
    const char* asked = std::getenv("VEX_WINE_DPI");
    return asked ? std::atoi(asked) : 96;
}

// A program's resources, read in this process without running any of its code.
class ProgramResources {
public:
    explicit ProgramResources(const std::string& ansiPath)
        : m_module(
              LoadLibraryExA(ansiPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramResources() {
        if (m_module) FreeLibrary(m_module);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

struct TextFit {
    int id = 0;
    std::wstring text;
    SIZE needed{};     // pixels the text takes, with the control's own margins
    SIZE available{};  // the control's client area
    bool Fits() const { return needed.cx <= available.cx && needed.cy <= available.cy; }
};

// The font a dialog of the template gets, measured on a hidden copy made here by the dialog
// manager exactly as for the program: the program's own font handle cannot cross processes.
class TemplateFont {
public:
    TemplateFont(HMODULE module, int templateId)
        : m_dialog(CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), nullptr, &TemplateFont::Proc, 0)) {}
    ~TemplateFont() {
        if (m_dialog) DestroyWindow(m_dialog);
    }
    TemplateFont(const TemplateFont&) = delete;
    TemplateFont& operator=(const TemplateFont&) = delete;

    HFONT Get() const { return m_dialog ? reinterpret_cast<HFONT>(SendMessageW(m_dialog, WM_GETFONT, 0, 0)) : nullptr; }

private:
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    HWND m_dialog;
};

// The texts of the dialog's static texts, buttons, check boxes and radio buttons against
// their controls; static texts wrap at the control's width, buttons stay on one line.
inline std::vector<TextFit> MeasureTexts(HWND dialog, HFONT font) {
    std::vector<TextFit> fits;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, font);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t className[64] = L"";
        GetClassNameW(control, className, 64);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        UINT format = DT_CALCRECT;
        int reserved = 0;  // width taken beside the text
        int vertical = 0;  // height taken above and below the text
        bool wraps = false;
        if (_wcsicmp(className, L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
                type != SS_SIMPLE)
                continue;
            wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        } else if (_wcsicmp(className, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX || type == BS_OWNERDRAW || (style & (BS_BITMAP | BS_ICON))) continue;
            const bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
            // A push button's edge and focus rectangle; a check box's box and gap.
            reserved = MulDiv(push ? 6 : 13 + 3, dpi, 96);
            vertical = push ? MulDiv(4, dpi, 96) : 0;
            wraps = (style & BS_MULTILINE) != 0;
        } else {
            continue;
        }
        TextFit fit;
        fit.id = GetDlgCtrlID(control);
        fit.text.assign(size_t(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        fit.text.resize(size_t(SendMessageW(control, WM_GETTEXT, fit.text.size(), LPARAM(&fit.text[0]))));
        if (fit.text.empty()) continue;
        RECT client{};
        GetClientRect(control, &client);
        fit.available = {client.right, client.bottom};
        RECT rect{0, 0, wraps ? client.right - reserved : 0, 0};
        DrawTextW(dc, fit.text.c_str(), -1, &rect, format | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        // A word longer than the width overhangs it: count what it needs.
        fit.needed = {rect.right - rect.left + reserved, rect.bottom - rect.top + vertical};
        fits.push_back(fit);
    }
    SelectObject(dc, previousFont);
    DeleteDC(dc);
    return fits;
}

inline std::string Describe(const TextFit& fit) {
    char text[512] = "";
    WideCharToMultiByte(CP_UTF8, 0, fit.text.c_str(), -1, text, sizeof(text), nullptr, nullptr);
    auto size = [](SIZE s) { return std::to_string(s.cx) + "x" + std::to_string(s.cy); };
    return "control " + std::to_string(fit.id) + " \"" + text + "\" needs " + size(fit.needed) + ", has " +
           size(fit.available);
}

// Every text of the dialog fits its control in the font of the template it was made from;
// returns how many texts were measured (a dialog with none fails).
inline size_t ExpectTextsFit(HWND dialog, HMODULE resources, int templateId, const std::string& name) {
    EXPECT_TRUE(dialog) << name;
    const TemplateFont font(resources, templateId);
    EXPECT_TRUE(font.Get()) << name;
    if (!dialog || !font.Get()) return 0;
    const std::vector<TextFit> fits = MeasureTexts(dialog, font.Get());
    EXPECT_FALSE(fits.empty()) << name;
    for (const TextFit& fit : fits) EXPECT_TRUE(fit.Fits()) << name << ": " << Describe(fit) << " at " << ScreenDpi();
    return fits.size();
}

// The width of the picture that the icon (or cursor) group `groupId` holds for `size`
// pixels: `size` when one was drawn for it, another when the system would scale one. The
// resource types are spelled as numbers (RT_GROUP_ICON, RT_GROUP_CURSOR, RT_ICON, RT_CURSOR,
// RT_MANIFEST), as their macros follow UNICODE and the two trees differ in it.
inline int DrawnIconSize(HMODULE module, int groupId, bool icon, int size) {
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(groupId), MAKEINTRESOURCEW(icon ? 14 : 12));
    if (!group) return 0;
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, icon, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(icon ? 3 : 1));
    if (!image) return 0;
    HICON handle = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, image))),
                                            SizeofResource(module, image), icon, 0x00030000, 0, 0, 0);
    ICONINFO info{};
    BITMAP bitmap{};
    if (handle && GetIconInfo(handle, &info)) {
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    if (handle) DestroyIcon(handle);
    return static_cast<int>(bitmap.bmWidth);
}

// The sizes in pixels that pictures of the `bases` sizes take at each of the display scales.
inline std::vector<int> SizesAtScales(std::initializer_list<int> bases,
                                      std::initializer_list<int> dpis = {96, 120, 144, 192}) {
    std::vector<int> sizes;
    for (int dpi : dpis)
        for (int base : bases) sizes.push_back(MulDiv(base, dpi, 96));
    return sizes;
}

// The group holds a picture drawn for each of the sizes, not one the system would scale.
inline void ExpectDrawnFor(HMODULE module, int groupId, bool icon, const std::vector<int>& sizes) {
    for (int size : sizes) EXPECT_EQ(size, DrawnIconSize(module, groupId, icon, size)) << "group " << groupId;
}

inline std::string ManifestOf(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    return found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found))
                 : std::string();
}

// The manifest declares per-monitor awareness (V2, and the older form for Windows before
// 1703) and the Windows versions 7 to 11.
inline void ExpectDpiAwareManifest(HMODULE module) {
    const std::string manifest = ManifestOf(module);
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

}  // namespace driver
