#pragma once
// The user's settings under HKEY_CURRENT_USER\Software\VexQuillkit: the editor path (the
// string value "Hidemaru") and where the log window was left ("LogPlacement"). Every
// reader and writer opens the key with create semantics, so merely reading creates the
// empty key when it is missing.
#include <windows.h>

#include <string>

#include "framework/SettingsKey.h"

class CSettingsStore {
public:
    static constexpr const wchar_t* kKeyName = CSettingsKey::kKeyName;
    static constexpr const wchar_t* kValueName = L"Hidemaru";
    static constexpr const wchar_t* kLogPlacementName = L"LogPlacement";
    static constexpr DWORD kKeyAccess = CSettingsKey::kKeyAccess;
    // The longest path the system takes; the stored value holds any such path.
    static constexpr size_t kMaxPathChars = 32767;

    // Opens (creating when missing) the settings key; false when it cannot be opened.
    bool Open() { return m_key.Open(); }

    // The editor path; false, with `path` empty, when the key or the value cannot be read.
    bool ReadEditorPath(std::wstring& path) const;

    // Writes `path` as REG_SZ with its terminator; false when it cannot be written.
    bool WriteEditorPath(const std::wstring& path) const;

    // The log window's place in its stored text form; false when there is none.
    bool ReadLogPlacement(std::wstring& text) const { return m_key.ReadString(kLogPlacementName, text); }
    bool WriteLogPlacement(const std::wstring& text) const { return m_key.WriteString(kLogPlacementName, text); }

private:
    CSettingsKey m_key;
};
