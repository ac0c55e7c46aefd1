#pragma once
// Binds a C++ object to its dialog window: `this` travels through CreateDialogIndirectParamW, is
// stored at WM_INITDIALOG and cleared at WM_NCDESTROY; messages that arrive before the
// binding get the default handling. T provides OnInitDialog() and OnCommand(id), and may
// provide OnDestroy(), OnTimer(id) and OnDpiChanged(dpi); the system's own handling of
// WM_DPICHANGED (a template dialog is laid out again for the new scale) still runs.
#include <windows.h>

template <class T>
class CDialogImpl {
public:
    CDialogImpl() = default;
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    // From `form`, the template in the user's language; null when there is none.
    HWND CreateModeless(HINSTANCE instance, const DLGTEMPLATE* form, HWND parent) {
        if (!form) return nullptr;
        return CreateDialogIndirectParamW(instance, form, parent, &CDialogImpl::DialogProc,
                                          reinterpret_cast<LPARAM>(static_cast<T*>(this)));
    }

    HWND Window() const { return m_hWnd; }

    void OnDestroy() {}
    void OnTimer(UINT_PTR) {}
    void OnDpiChanged(int) {}

protected:
    ~CDialogImpl() = default;

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        T* self;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<T*>(lParam);
            SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->m_hWnd = window;
            return self->OnInitDialog();
        }
        self = reinterpret_cast<T*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self) return FALSE;
        switch (message) {
            case WM_COMMAND:
                self->OnCommand(LOWORD(wParam));
                return TRUE;
            case WM_TIMER:
                self->OnTimer(wParam);
                return TRUE;
            case WM_DPICHANGED:
                self->OnDpiChanged(LOWORD(wParam));
                return FALSE;
            case WM_DESTROY:
                self->OnDestroy();
                return FALSE;
            case WM_NCDESTROY:
                SetWindowLongPtrW(window, DWLP_USER, 0);
                self->m_hWnd = nullptr;
                return FALSE;
        }
        return FALSE;
    }
};
