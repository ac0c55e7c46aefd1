#include "FileDialog.h"

CFileDialog::CFileDialog(const char* defaultExtension, DWORD flags, const char* filter) {
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFilter = filter;
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName;
    m_ofn.nMaxFile = kFileNameSize;
    m_ofn.lpstrDefExt = defaultExtension;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    m_ofn.lpfnHook = HookProc;
}

INT_PTR CFileDialog::DoModal(HWND owner) {
    m_ofn.hwndOwner = owner;
    m_fileName[0] = '\0';
    return GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}
