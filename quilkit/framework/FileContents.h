#pragma once
// A small file's bytes in one piece: list files, checksum files.
#include <string>

// False when the file cannot be opened or read whole.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
// Creates or replaces the file with `bytes`; false when it cannot be written whole.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// The same through a temporary file beside `path` that replaces it only once written
// whole: a failed write leaves the old file as it was.
bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes);
