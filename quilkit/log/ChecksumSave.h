#pragma once
// Save Checksums As...: asks where, says what stands in the way, and writes the checksum
// file of a finished hash run. A refused save loses nothing: the file that was there
// stays as it was, and the save dialog opens again with the name the user chose, until
// the file is written or the user cancels.
#include <windows.h>

#include <string>

#include "checksums/RunChecksums.h"

class CChecksumSave {
public:
    explicit CChecksumSave(const CRunChecksums& checksums) : m_checksums(checksums) {}

    // The path of the file written; empty when the user cancelled.
    std::wstring Run(HWND owner);

private:
    // Whether the user takes full paths for the files that no name relative to the folder
    // of `target` reaches; true when there are none.
    bool AcceptsFullPaths(HWND owner, const std::wstring& target) const;
    // Writes the file; false after telling the user why it was not written.
    bool Write(HWND owner, const std::wstring& target) const;

    const CRunChecksums& m_checksums;
};
