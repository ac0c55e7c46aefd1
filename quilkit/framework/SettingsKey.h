#pragma once
// The user's settings key, HKEY_CURRENT_USER\Software\VexQuillkit, and its string values.
// It lives down here so that the options dialogs of the tools and the main dialog, which
// sit on one floor, read and write the same key. Opening uses create semantics, so merely
// reading creates the empty key when it is missing.
#include <windows.h>

#include <string>

#include "Handles.h"

class CSettingsKey {
public:
    static constexpr const wchar_t* kKeyName = L"Software\\VexQuillkit";
    static constexpr DWORD kKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F

    // Opens (creating when missing) the settings key; false when it cannot be opened.
    bool Open();

    // A REG_SZ or REG_EXPAND_SZ value; false, with `text` empty, when there is none.
    bool ReadString(const wchar_t* name, std::wstring& text) const;
    // Writes `text` as REG_SZ with its terminator; false when it cannot be written.
    bool WriteString(const wchar_t* name, const std::wstring& text) const;

private:
    UniqueKey m_key;
};
