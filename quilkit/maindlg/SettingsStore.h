#pragma once
// The program's one setting, the editor path: the string value "Hidemaru" under
// HKEY_CURRENT_USER\Software\VexQuillkit. Every reader and writer opens the key with
// create semantics, so merely reading creates the empty key when it is missing.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

class CSettingsStore {
public:
    static constexpr const wchar_t* kKeyName = L"Software\\VexQuillkit";
    static constexpr const wchar_t* kValueName = L"Hidemaru";
    static constexpr DWORD kKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F
    // The longest path the system takes; the stored value holds any such path.
    static constexpr size_t kMaxPathChars = 32767;

    // Opens (creating when missing) the settings key; false when it cannot be opened.
    bool Open();

    // The editor path; false, with `path` empty, when the key or the value cannot be read.
    bool ReadEditorPath(std::wstring& path) const;

    // Writes `path` as REG_SZ with its terminator; false when it cannot be written.
    bool WriteEditorPath(const std::wstring& path) const;

private:
    UniqueKey m_key;
};
