#pragma once
// A program's dialogs and pictures at the display scale of the prefix the tests run in (96,
// 120, 144 or 192 DPI; VEX_WINE_DPI names it when not 96), measured the same way for every
// program. MakeDpiAware() first, before any window. Header-only like TextFit.h.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TextFit.h"

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
    explicit ProgramResources(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
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

// The manifest declares per-monitor awareness (V2, and the older form for Windows before
// 1703) and the Windows versions 7 to 11.
inline void ExpectDpiAwareManifest(HMODULE module) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
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
