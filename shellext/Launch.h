#pragma once
// Hands a selection to VexQuilkit: the paths go into a list file in the user's
// temporary folder (UTF-8 after a byte-order mark, one path per line, CR LF, a unique
// name vqk<hex>.tmp as GetTempFileName makes it), and VexQuilkit.exe, from this DLL's
// own folder, is started with "/M<mode> /L "<list file>"". VexQuilkit reads and deletes it.
#include <windows.h>

#include <string>
#include <vector>

// Writes the list file of `utf8Paths`; its name goes to `listFile`.
HRESULT WriteListFile(const std::vector<std::string>& utf8Paths, std::wstring& listFile);

// Starts VexQuilkit.exe from the folder of `module`. On failure the list file is deleted.
HRESULT StartQuilkit(HMODULE module, int mode, const std::wstring& listFile, HWND owner, bool noUi);
