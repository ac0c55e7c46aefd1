#pragma once
// A small file's bytes in one piece: list files, checksum files.
#include <string>

// False when the file cannot be opened or read whole.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
// Creates or replaces the file with `bytes`; false when it cannot be written whole.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
