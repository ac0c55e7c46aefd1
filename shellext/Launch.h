#pragma once
// Hands a selection to VexQuilkit: the paths go into a list file in the user's
// temporary folder (system code page, one path per line, CR LF, a unique name from
// GetTempFileNameA with the prefix "vqk"), and VexQuilkit.exe, from this DLL's own
// folder, is started with "/M<mode> /L "<list file>"". VexQuilkit reads and deletes it.
#include <windows.h>

#include <string>
#include <vector>

// The longest path a list-file line carries whole: VexQuilkit reads at most 519
// characters a line, its line end (one LF in text mode) included.
constexpr size_t kMaxListPathLength = 518;

// Writes the list file; its name goes to `listFile` (MAX_PATH + 1 characters).
HRESULT WriteListFile(const std::vector<std::string>& paths, char* listFile);

// Starts VexQuilkit.exe from the folder of `module`. On failure the list file is deleted.
HRESULT StartQuilkit(HMODULE module, int mode, const char* listFile, HWND owner, bool noUi);

// A wide path in the system code page; a path the code page cannot hold is replaced by
// its short form when that can be held. False when neither can.
bool ToSystemCodePage(const wchar_t* widePath, std::string& path);
