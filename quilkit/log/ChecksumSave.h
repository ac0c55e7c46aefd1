#pragma once
// Save Checksums As...: asks where, says what stands in the way, and writes the checksum
// file of a finished hash run. A refused save loses nothing: the file that was there
// stays as it was, and the save dialog opens again with the name the user chose, until
// the file is written or the user cancels.
#include <windows.h>

#include <string>

#include "checksums/RunChecksums.h"
#include "text/UiTexts.h"

class CChecksumSave {
public:
    // Asks and tells in the words of `texts`.
    CChecksumSave(const CRunChecksums& checksums, const CUiTexts& texts) : m_checksums(checksums), m_texts(texts) {}

    // The path of the file written; empty when the user cancelled.
    std::wstring Run(HWND owner);

private:
    // Whether the user takes full paths for the files that no name relative to the folder
    // of `target` reaches; true when there are none.
    bool AcceptsFullPaths(HWND owner, const std::wstring& target) const;
    // Writes the file; false after telling the user why it was not written.
    bool Write(HWND owner, const std::wstring& target) const;

    const CRunChecksums& m_checksums;
    const CUiTexts& m_texts;
};
