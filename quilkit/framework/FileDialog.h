#pragma once
// CFileDialog: the standard open-file dialog with a filter list, a default extension
// and a hook that handles nothing of its own (the hook only keeps the Explorer-style
// dialog resizable with OFN_ENABLESIZING, as the callers ask for).
#include <windows.h>
#include <commdlg.h>

class CFileDialog {
public:
    static constexpr int kFileNameSize = 260;

    // `filter`: pairs of display text and pattern, each NUL-terminated, the list ending
    // in an extra NUL. The strings must outlive the dialog object.
    CFileDialog(const char* defaultExtension, DWORD flags, const char* filter);

    // IDOK when the user confirmed a file (FileName() holds its full path), IDCANCEL
    // when the user cancelled or the dialog could not be shown.
    INT_PTR DoModal(HWND owner = GetActiveWindow());

    const char* FileName() const { return m_fileName; }

private:
    static UINT_PTR CALLBACK HookProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    OPENFILENAMEA m_ofn = {};
    char m_fileName[kFileNameSize] = {};
};
