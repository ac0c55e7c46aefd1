#pragma once
// COptionsDlgImpl<T>: the message map the file tools' options dialogs share. OK (the
// button or Enter) reads the options and ends with IDOK; the close box ends with 0; no
// other command ends the dialog, so Esc leaves it open. T supplies OnInitDialog and OnOk.
#include <windows.h>

#include "DialogImpl.h"

template <typename T>
class COptionsDlgImpl : public CDialogImpl<T> {
public:
    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        T* self = static_cast<T*>(this);
        switch (msg) {
            case WM_INITDIALOG:
                result = self->OnInitDialog();
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) != IDOK) return FALSE;
                self->OnOk();
                return TRUE;
            case WM_CLOSE:
                this->EndDialog(0);
                return TRUE;
        }
        return FALSE;
    }
};
