#pragma once
// CWindowImpl<T>: subclasses an existing control. The control's own procedure is kept
// and receives every message that T::ProcessWindowMessage does not handle; it is put
// back when the object lets go of the window or the window is destroyed.
#include <windows.h>

template <typename T>
class CWindowImpl {
public:
    HWND m_hWnd = nullptr;

    BOOL SubclassWindow(HWND hwnd) {
        if (m_hWnd || !IsWindow(hwnd)) return FALSE;
        SetPropW(hwnd, PropName(), this);
        m_previous =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
        if (!m_previous) {
            RemovePropW(hwnd, PropName());
            return FALSE;
        }
        m_hWnd = hwnd;
        static_cast<T*>(this)->OnSubclassed();
        return TRUE;
    }

    HWND UnsubclassWindow() {
        HWND hwnd = m_hWnd;
        if (!hwnd) return nullptr;
        static_cast<T*>(this)->OnUnsubclassing();
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        RemovePropW(hwnd, PropName());
        m_hWnd = nullptr;
        return hwnd;
    }

    // Hands a message to the control's own procedure.
    LRESULT CallPreviousProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcW(m_previous, m_hWnd, msg, wParam, lParam);
    }

protected:
    CWindowImpl() = default;
    ~CWindowImpl() { UnsubclassWindow(); }

    // Hooks for derived classes.
    void OnSubclassed() {}
    void OnUnsubclassing() {}

private:
    static const wchar_t* PropName() { return L"VexWindowImpl"; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<CWindowImpl*>(GetPropW(hwnd, PropName()));
        if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        LRESULT result = 0;
        if (msg != WM_NCDESTROY && static_cast<T*>(self)->ProcessWindowMessage(hwnd, msg, wParam, lParam, result))
            return result;
        WNDPROC previous = self->m_previous;
        if (msg == WM_NCDESTROY) self->UnsubclassWindow();
        return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
    }

    WNDPROC m_previous = nullptr;
};
