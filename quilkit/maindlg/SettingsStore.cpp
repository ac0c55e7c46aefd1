#include "SettingsStore.h"

bool CSettingsStore::Open() {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, kKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess,
                                        nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return false;
    m_key.Reset(key);
    return true;
}

bool CSettingsStore::ReadEditorPath(char* buffer, DWORD bufferSize) const {
    if (bufferSize == 0) return false;
    buffer[0] = '\0';
    if (!m_key || bufferSize <= kReadBytes) return false;
    DWORD size = kReadBytes;
    if (RegQueryValueExA(m_key.Get(), kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        buffer[0] = '\0';
        return false;
    }
    // A value written by another program may lack its terminator.
    buffer[size] = '\0';
    return true;
}

bool CSettingsStore::WriteEditorPath(const char* path) const {
    if (!m_key) return false;
    const DWORD size = static_cast<DWORD>(lstrlenA(path)) + 1;
    return RegSetValueExA(m_key.Get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), size) ==
           ERROR_SUCCESS;
}
