#include "FileDialog.h"

#include <algorithm>

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

INT_PTR CFileDialog::DoModalSave(HWND owner, const wchar_t* title, const std::wstring& folder,
                                 const std::wstring& name) {
    m_ofn.hwndOwner = owner;
    m_ofn.lpstrTitle = title;
    m_ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    m_ofn.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    m_fileName.assign(kFileNameSize, L'\0');
    name.copy(m_fileName.data(), std::min(name.size(), kFileNameSize - 1));
    return GetSaveFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}

INT_PTR CFileDialog::DoModal(HWND owner) {
    m_ofn.hwndOwner = owner;
    m_fileName[0] = L'\0';
    return GetOpenFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}
