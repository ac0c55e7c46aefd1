#include "VerdictBar.h"

#include <algorithm>

#include "framework/Dpi.h"
#include "text/WideText.h"

namespace {

// Large enough to read from across the desk: twice the message font.
constexpr int kScalePercent = 200;

COLORREF PaperOf(VerdictTone tone) {
    switch (tone) {
        case VerdictTone::Passed:
            return RGB(226, 244, 231);
        case VerdictTone::Failed:
            return RGB(252, 228, 228);
        case VerdictTone::Stopped:
            return RGB(255, 242, 212);
        case VerdictTone::Working:
            break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace

COLORREF CVerdictBar::InkOf(VerdictTone tone) {
    switch (tone) {
        case VerdictTone::Passed:
            return RGB(0, 128, 40);
        case VerdictTone::Failed:
            return RGB(200, 0, 0);
        case VerdictTone::Stopped:
            return RGB(170, 95, 0);
        case VerdictTone::Working:
            break;
    }
    return GetSysColor(COLOR_BTNTEXT);
}

bool CVerdictBar::Create(HWND parent, int id, HINSTANCE instance) {
    m_bar = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    return m_bar != nullptr;
}

void CVerdictBar::ApplyDpi(int dpi) {
    NONCLIENTMETRICSW metrics;
    if (!m_bar || !CDpi::NonClientMetrics(metrics, dpi)) return;
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, kScalePercent, 100);
    font.lfWeight = FW_BOLD;
    m_font.Reset(CreateFontIndirectW(&font));
    SendMessageW(m_bar, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
    // A line of the font with half a line of air around it.
    m_height = std::abs(font.lfHeight) * 3 / 2 + MulDiv(8, dpi, CDpi::kDefault);
    InvalidateRect(m_bar, nullptr, TRUE);
}

void CVerdictBar::Show(const RunVerdict& verdict) {
    if (!m_bar) return;
    if (verdict.tone == m_tone && WindowText(m_bar) == verdict.text) return;
    m_tone = verdict.tone;
    SetWindowTextW(m_bar, verdict.text.c_str());
    InvalidateRect(m_bar, nullptr, TRUE);
}

void CVerdictBar::Draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    UniqueGdiObject paper(CreateSolidBrush(PaperOf(m_tone)));
    FillRect(dc, &area, static_cast<HBRUSH>(paper.Get()));

    const int height = area.bottom - area.top;
    const int side = height * 3 / 5;
    const int margin = (height - side) / 2;
    RECT mark = {area.left + margin, area.top + margin, area.left + margin + side, area.top + margin + side};
    if (m_tone != VerdictTone::Working) DrawMark(dc, mark, m_tone);

    RECT words = area;
    words.left = mark.right + margin;
    words.right -= margin;
    const std::wstring text = WindowText(m_bar);
    SelectedObject font(dc, m_font.Get() ? static_cast<HGDIOBJ>(m_font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, InkOf(m_tone));
    DrawTextW(dc, text.c_str(), int(text.size()), &words,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// A disc in the tone's ink with a white tick, cross or bar, drawn at any size.
void CVerdictBar::DrawMark(HDC dc, const RECT& box, VerdictTone tone) {
    const int side = box.right - box.left;
    UniqueGdiObject ink(CreateSolidBrush(InkOf(tone)));
    UniqueGdiObject rim(CreatePen(PS_SOLID, 1, InkOf(tone)));
    {
        SelectedObject brush(dc, ink.Get());
        SelectedObject pen(dc, rim.Get());
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
    }
    UniqueGdiObject stroke(CreatePen(PS_SOLID, std::max(2, side / 8), RGB(255, 255, 255)));
    SelectedObject pen(dc, stroke.Get());
    auto at = [&](int x, int y) { return POINT{box.left + side * x / 100, box.top + side * y / 100}; };
    switch (tone) {
        case VerdictTone::Passed: {
            const POINT tick[] = {at(28, 52), at(44, 68), at(74, 34)};
            Polyline(dc, tick, 3);
            break;
        }
        case VerdictTone::Failed: {
            const POINT down[] = {at(32, 32), at(68, 68)}, up[] = {at(32, 68), at(68, 32)};
            Polyline(dc, down, 2);
            Polyline(dc, up, 2);
            break;
        }
        case VerdictTone::Stopped: {
            const POINT left[] = {at(40, 30), at(40, 70)}, right[] = {at(60, 30), at(60, 70)};
            Polyline(dc, left, 2);
            Polyline(dc, right, 2);
            break;
        }
        case VerdictTone::Working:
            break;
    }
}

HICON CVerdictBar::MarkIcon(VerdictTone tone, int size) {
    if (tone == VerdictTone::Working || size <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    UniqueGdiObject colour(CreateCompatibleBitmap(screen, size, size));
    UniqueGdiObject mask(CreateBitmap(size, size, 1, 1, nullptr));
    ReleaseDC(nullptr, screen);
    HICON icon = nullptr;
    if (dc && colour && mask) {
        const RECT box = {0, 0, size, size};
        {
            // Black where the icon shows its colour, white (transparent) elsewhere.
            SelectedObject bitmap(dc, mask.Get());
            FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SelectedObject brush(dc, GetStockObject(BLACK_BRUSH));
            SelectedObject pen(dc, GetStockObject(BLACK_PEN));
            Ellipse(dc, box.left, box.top, box.right, box.bottom);
        }
        {
            SelectedObject bitmap(dc, colour.Get());
            FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            DrawMark(dc, box, tone);
        }
        ICONINFO info = {TRUE, 0, 0, static_cast<HBITMAP>(mask.Get()), static_cast<HBITMAP>(colour.Get())};
        icon = CreateIconIndirect(&info);
    }
    if (dc) DeleteDC(dc);
    return icon;
}
