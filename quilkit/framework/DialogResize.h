#pragma once
// CDialogResize<T>: keeps controls anchored to the client area while the dialog is
// resized. T lists its anchors in a static table returned by T::ResizeMap().
#include <windows.h>

#include <vector>

enum ResizeFlags : unsigned {
    DLSZ_SIZE_X = 1,
    DLSZ_SIZE_Y = 2,
    DLSZ_MOVE_X = 4,
    DLSZ_MOVE_Y = 8,
};

struct ResizeEntry {
    int id;
    unsigned flags;
};

template <typename T>
class CDialogResize {
protected:
    // Records the template's layout and makes the frame sizable (and maximisable).
    void DlgResize_Init(HWND dialog) {
        m_dialog = dialog;
        GetClientRect(dialog, &m_initialClient);
        m_controls.clear();
        for (const ResizeEntry& entry : T::ResizeMap()) {
            HWND control = GetDlgItem(dialog, entry.id);
            if (!control) continue;
            RECT rect;
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            m_controls.push_back({control, entry.flags, rect});
        }

        const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
        SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CLIPCHILDREN | WS_THICKFRAME | WS_MAXIMIZEBOX);
        const LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
        SetWindowLongPtrW(dialog, GWL_EXSTYLE, exStyle | WS_EX_DLGMODALFRAME);
        // A modal frame without an icon of its own shows no icon in the caption.
        if (!SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)) SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);

        // The new frame may have taken some of the client area: fit the controls to it.
        RECT client;
        GetClientRect(dialog, &client);
        Layout(client.right, client.bottom);
    }

    // Call from T::ProcessWindowMessage first; returns TRUE when the message is done.
    BOOL ProcessResizeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_SIZE && wParam != SIZE_MINIMIZED && m_dialog) Layout(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    }

private:
    struct Control {
        HWND hwnd;
        unsigned flags;
        RECT initial;
    };

    void Layout(int width, int height) {
        const int dx = width - (m_initialClient.right - m_initialClient.left);
        const int dy = height - (m_initialClient.bottom - m_initialClient.top);
        for (const Control& c : m_controls) {
            RECT r = c.initial;
            if (c.flags & DLSZ_MOVE_X) OffsetRect(&r, dx, 0);
            if (c.flags & DLSZ_MOVE_Y) OffsetRect(&r, 0, dy);
            if (c.flags & DLSZ_SIZE_X) r.right += dx;
            if (c.flags & DLSZ_SIZE_Y) r.bottom += dy;
            SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    HWND m_dialog = nullptr;
    RECT m_initialClient = {};
    std::vector<Control> m_controls;
};
