#pragma once
// A small file's bytes in one piece: list files, checksum files.
#include <string>

// False when the file cannot be opened or read whole.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
// Creates or replaces the file with `bytes`; false when it cannot be written whole.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// Writes `bytes` as the file `path` so that a failure loses nothing: the old file stays as
// it was, and a new one is not left half-written. An existing file keeps what is its own
// (permissions, attributes, streams, other hard links' names); for a symbolic link, its
// target takes the text and the link stays. A read-only file is refused
// (ERROR_FILE_READ_ONLY); any other refusal leaves the system's error (GetLastError).
bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes);
