#pragma once
// Whether the texts of a dialog fit their controls, measured with the font its template gives
// them at this process's DPI. The dialog may belong to another process (texts and sizes are
// read through messages), a font handle cannot: the font is that of a hidden copy of the
// template made here, built by the dialog manager exactly as for the program. Static texts
// wrap at the control's width, buttons stay on one line; a check box or radio button gives its
// box and gap. Header-only for the 32-bit Skyperch tests too; the caller links gdi32.
#include <windows.h>

#include <string>
#include <vector>

namespace driver {

struct TextFit {
    int id = 0;
    std::wstring text;
    SIZE needed{};     // pixels the text takes, with the control's own margins
    SIZE available{};  // the control's client area
    bool Fits() const { return needed.cx <= available.cx && needed.cy <= available.cy; }
};

// A hidden dialog made from a template of a module (loaded as a data file is enough),
// whose font is the one the program's dialog gets.
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

namespace textfit_detail {

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

inline std::wstring TextOf(HWND window) {
    const int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return text;
}

inline int Scaled(int pixelsAt96, int dpi) { return MulDiv(pixelsAt96, dpi, 96); }

}  // namespace textfit_detail

// The texts of the dialog's static texts, buttons, check boxes and radio buttons against
// their controls; controls without text and pictures are left out.
inline std::vector<TextFit> MeasureTexts(HWND dialog, HFONT font) {
    using namespace textfit_detail;
    std::vector<TextFit> fits;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, font);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring className = ClassOf(control);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        UINT format = DT_CALCRECT;
        int reserved = 0;  // width taken beside the text
        int vertical = 0;  // height taken above and below the text
        bool wraps = false;
        if (_wcsicmp(className.c_str(), L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
                type != SS_SIMPLE)
                continue;
            wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        } else if (_wcsicmp(className.c_str(), L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX || type == BS_OWNERDRAW || (style & (BS_BITMAP | BS_ICON))) continue;
            const bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
            // A push button's edge and focus rectangle; a check box's box and gap.
            reserved = push ? Scaled(6, dpi) : Scaled(13 + 3, dpi);
            vertical = push ? Scaled(4, dpi) : 0;
            wraps = (style & BS_MULTILINE) != 0;
        } else {
            continue;
        }
        TextFit fit;
        fit.id = GetDlgCtrlID(control);
        fit.text = TextOf(control);
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
    char line[640];
    wsprintfA(line, "control %d \"%s\" needs %dx%d, has %dx%d", fit.id, text, static_cast<int>(fit.needed.cx),
              static_cast<int>(fit.needed.cy), static_cast<int>(fit.available.cx), static_cast<int>(fit.available.cy));
    return line;
}

}  // namespace driver
