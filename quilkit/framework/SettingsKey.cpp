#include "SettingsKey.h"

bool CSettingsKey::Open() {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess,
                                        nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return false;
    m_key.Reset(key);
    return true;
}

bool CSettingsKey::ReadString(const wchar_t* name, std::wstring& text) const {
    text.clear();
    if (!m_key) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // One character more than the value: one written by another program may lack its
    // terminator.
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = DWORD(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(m_key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value[0]), &read) !=
        ERROR_SUCCESS)
        return false;
    value.resize(read / sizeof(wchar_t));
    const size_t end = value.find(L'\0');
    if (end != std::wstring::npos) value.resize(end);
    text = value;
    return true;
}

bool CSettingsKey::WriteString(const wchar_t* name, const std::wstring& text) const {
    if (!m_key) return false;
    const DWORD size = DWORD((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), size) ==
           ERROR_SUCCESS;
}
