#include "FileSelectEdit.h"

#include <shellapi.h>

BOOL CFileSelectEdit::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_DROPFILES) return FALSE;
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    result = 0;
    return TRUE;
}

void CFileSelectEdit::OnDropFiles(HDROP drop) {
    char path[kDropPathSize];
    if (DragQueryFileA(drop, 0, path, kDropPathSize) > 0) SetWindowTextA(m_hWnd, path);
    DragFinish(drop);
}
