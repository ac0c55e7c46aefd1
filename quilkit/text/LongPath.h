#pragma once
// Paths of any length. The program keeps paths in their usual form (the log shows them
// so) and hands the file system the extended form ("\\?\C:\...", "\\?\UNC\server\...")
// once a path outgrows MAX_PATH, where the plain form would be refused or cut.
#include <windows.h>

#include <string>

// `path` as the file-system calls should get it: extended when long and absolute.
std::wstring FileSystemPath(const std::wstring& path);

// The absolute form of `path` against the current folder; `path` itself when the
// system cannot complete it.
std::wstring FullPathName(const std::wstring& path);

// The full path of a loaded module (null: this program), however long.
std::wstring ModuleFileName(HMODULE module);

// The user's temporary folder, with its final backslash; empty when it cannot be read.
std::wstring TempFolder();

// The folder part of `path`, without the trailing backslash ("C:\a\b.txt" -> "C:\a").
std::wstring ParentFolder(const std::wstring& path);

// Whether the error of a failed file-system call means the path was too long.
bool IsPathTooLongError(DWORD error);
