#pragma once
// The verdict area of the log window: one line in large type between the text and the
// status bar, coloured by its tone, with a mark drawn beside it (a tick, a cross, a
// bar for a stop). Its words are the window text of a static control, which is what a
// screen reader reads; a click on it is the control's STN_CLICKED.
#include <windows.h>

#include "framework/Handles.h"
#include "RunVerdict.h"

class CVerdictBar {
public:
    bool Create(HWND parent, int id, HINSTANCE instance);
    HWND Handle() const { return m_bar; }
    // Its font, and so its height, at `dpi`.
    void ApplyDpi(int dpi);
    int Height() const { return m_height; }

    void Show(const RunVerdict& verdict);
    // WM_DRAWITEM for the control.
    void Draw(const DRAWITEMSTRUCT& item) const;

    // The colour of the words and the mark.
    static COLORREF InkOf(VerdictTone tone);
    // The mark alone as an icon of `size` pixels (the taskbar's overlay); null for a run
    // that has not ended.
    static HICON MarkIcon(VerdictTone tone, int size);

private:
    static void DrawMark(HDC dc, const RECT& box, VerdictTone tone);

    HWND m_bar = nullptr;
    UniqueFont m_font;
    int m_height = 0;
    VerdictTone m_tone = VerdictTone::Working;
};
