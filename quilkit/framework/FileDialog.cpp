#include "FileDialog.h"

CFileDialog::CFileDialog(const wchar_t* defaultExtension, DWORD flags, const wchar_t* filter) {
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFilter = filter;
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = DWORD(m_fileName.size());
    m_ofn.lpstrDefExt = defaultExtension;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    m_ofn.lpfnHook = HookProc;
}

INT_PTR CFileDialog::DoModal(HWND owner) {
    m_ofn.hwndOwner = owner;
    m_fileName[0] = L'\0';
    return GetOpenFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}
