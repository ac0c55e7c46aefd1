#include "FileSelectEdit.h"

#include <shellapi.h>

#include <string>

BOOL CFileSelectEdit::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_DROPFILES) return FALSE;
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    result = 0;
    return TRUE;
}

void CFileSelectEdit::OnDropFiles(HDROP drop) {
    // Sized by the drop itself: a dropped path may be of any length.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length > 0) {
        std::wstring path(size_t(length) + 1, L'\0');
        if (DragQueryFileW(drop, 0, &path[0], length + 1) > 0) SetWindowTextW(m_hWnd, path.c_str());
    }
    DragFinish(drop);
}
