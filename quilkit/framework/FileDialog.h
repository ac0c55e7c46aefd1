#pragma once
// CFileDialog: the standard open-file dialog with a filter list, a default extension
// and a hook that handles nothing of its own (the hook only keeps the Explorer-style
// dialog resizable with OFN_ENABLESIZING, as the callers ask for).
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog {
public:
    // Room for the longest path the system takes.
    static constexpr size_t kFileNameSize = 32768;

    // `filter`: pairs of display text and pattern, each NUL-terminated, the list ending
    // in an extra NUL. The strings must outlive the dialog object.
    CFileDialog(const wchar_t* defaultExtension, DWORD flags, const wchar_t* filter);

    // IDOK when the user confirmed a file (FileName() holds its full path), IDCANCEL
    // when the user cancelled or the dialog could not be shown.
    INT_PTR DoModal(HWND owner = GetActiveWindow());
    // The save dialog, titled `title`, proposing `name` in `folder`; it asks before it
    // lets the user replace a file.
    INT_PTR DoModalSave(HWND owner, const wchar_t* title, const std::wstring& folder, const std::wstring& name);

    std::wstring FileName() const { return m_fileName.data(); }

private:
    static UINT_PTR CALLBACK HookProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    OPENFILENAMEW m_ofn = {};
    std::vector<wchar_t> m_fileName = std::vector<wchar_t>(kFileNameSize, L'\0');
};
