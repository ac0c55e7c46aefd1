#pragma once
// CFileSelectEdit: an edit control that takes files dropped from the shell.
//
// Contract: SubclassWindow attaches to an existing edit control, registers it for
// dropped files and passes every message but WM_DROPFILES on to the edit's own
// procedure. A drop replaces the text with the first dropped path; nothing else of the
// drop is used. The drop registration is withdrawn when the object lets go of the
// control, when the control is destroyed, or when the object goes.
#include <windows.h>

#include "framework/WindowImpl.h"

class CFileSelectEdit : public CWindowImpl<CFileSelectEdit> {
public:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class CWindowImpl<CFileSelectEdit>;
    void OnSubclassed() { DragAcceptFiles(m_hWnd, TRUE); }
    void OnUnsubclassing() { DragAcceptFiles(m_hWnd, FALSE); }
    void OnDropFiles(HDROP drop);
};
