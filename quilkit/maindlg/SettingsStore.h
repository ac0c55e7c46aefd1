#pragma once
// The program's one setting, the editor path: the string value "Hidemaru" under
// HKEY_CURRENT_USER\Software\VexQuillkit. Every reader and writer opens the key with
// create semantics, so merely reading creates the empty key when it is missing.
#include <windows.h>

#include "../framework/Handles.h"

class CSettingsStore {
public:
    static constexpr const char* kKeyName = "Software\\VexQuillkit";
    static constexpr const char* kValueName = "Hidemaru";
    static constexpr DWORD kKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F
    // Readers ask for at most this many bytes, terminator included.
    static constexpr DWORD kReadBytes = 520;
    // The longest path written: the read buffer must hold it with its terminator.
    static constexpr int kMaxPathChars = kReadBytes - 1;

    // Opens (creating when missing) the settings key; false when it cannot be opened.
    bool Open();

    // Reads the editor path into `buffer`, which must hold kReadBytes + 1 bytes. Returns
    // false, with an empty buffer, when the key or the value cannot be read or the value
    // is longer than kReadBytes.
    bool ReadEditorPath(char* buffer, DWORD bufferSize) const;

    // Writes `path` as REG_SZ with its terminator; false when it cannot be written.
    bool WriteEditorPath(const char* path) const;

private:
    UniqueKey m_key;
};
