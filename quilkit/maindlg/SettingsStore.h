#pragma once
// The user's settings under HKEY_CURRENT_USER\Software\VexQuillkit: the editor path (the
// string value "Hidemaru") and where the log window was left ("LogPlacement"). Every
// reader and writer opens the key with create semantics, so merely reading creates the
// empty key when it is missing.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

class CSettingsStore {
public:
    static constexpr const wchar_t* kKeyName = L"Software\\VexQuillkit";
    static constexpr const wchar_t* kValueName = L"Hidemaru";
    static constexpr const wchar_t* kLogPlacementName = L"LogPlacement";
    static constexpr DWORD kKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F
    // The longest path the system takes; the stored value holds any such path.
    static constexpr size_t kMaxPathChars = 32767;

    // Opens (creating when missing) the settings key; false when it cannot be opened.
    bool Open();

    // The editor path; false, with `path` empty, when the key or the value cannot be read.
    bool ReadEditorPath(std::wstring& path) const;

    // Writes `path` as REG_SZ with its terminator; false when it cannot be written.
    bool WriteEditorPath(const std::wstring& path) const;

    // The log window's place in its stored text form; false when there is none.
    bool ReadLogPlacement(std::wstring& text) const { return ReadString(kLogPlacementName, text); }
    bool WriteLogPlacement(const std::wstring& text) const { return WriteString(kLogPlacementName, text); }

private:
    bool ReadString(const wchar_t* name, std::wstring& text) const;
    bool WriteString(const wchar_t* name, const std::wstring& text) const;

    UniqueKey m_key;
};
