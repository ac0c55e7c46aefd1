#pragma once
// CDialogImpl<T>: a dialog object bound to its window.
//
// How a message reaches a handler: the dialog manager calls DialogProc; at
// WM_INITDIALOG the object pointer (passed through CreateDialogParamW or
// DialogBoxParamW) is stored in DWLP_USER, and from then on every message goes to
// T::ProcessWindowMessage, a switch that calls typed handlers and reports whether it
// handled the message. Only DialogProc writes DWLP_MSGRESULT. Messages that arrive
// before WM_INITDIALOG, and after WM_NCDESTROY, go to the default dialog handling.
#include <windows.h>

#include "AppModule.h"
#include "CenterWindow.h"

template <typename T>
class CDialogImpl {
public:
    HWND m_hWnd = nullptr;

    // Modeless; the window is created hidden unless the template says otherwise. The
    // template is the one of the user's language.
    HWND Create(HWND owner) {
        const DLGTEMPLATE* form = _Module.Texts().Dialog(T::IDD);
        if (!form) return nullptr;
        return CreateDialogIndirectParamW(_Module.Instance(), form, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    }

    INT_PTR DoModal(HWND owner = GetActiveWindow()) {
        const DLGTEMPLATE* form = _Module.Texts().Dialog(T::IDD);
        if (!form) return -1;
        return DialogBoxIndirectParamW(_Module.Instance(), form, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    }

    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void CenterWindow() { CenterWindowOverOwner(m_hWnd); }
    bool IsChecked(int id) const { return SendMessageW(GetDlgItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetCheck(int id, bool checked) {
        SendMessageW(GetDlgItem(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

protected:
    CDialogImpl() = default;
    ~CDialogImpl() = default;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CDialogImpl*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->m_hWnd = hwnd;
        }
        auto* self = reinterpret_cast<CDialogImpl*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self) return FALSE;

        LRESULT result = 0;
        const BOOL handled = static_cast<T*>(self)->ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
        }
        if (!handled) return FALSE;
        // WM_INITDIALOG answers with its focus decision directly, not through DWLP_MSGRESULT.
        if (msg == WM_INITDIALOG) return INT_PTR(result);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
};
