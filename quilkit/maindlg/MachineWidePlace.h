#pragma once
// Whether the extension may be registered for every user from where it lies: the place
// is read on its final path, with no link followed, and judged by FolderWriters.h.
#include <string>

// The final path of `folder` (links resolved, in its usual form when short enough) when
// every user's Explorer may load flintpop64.dll from it and start VexQuilkit.exe there;
// empty when that is in any doubt, and the registration is then the current user's.
std::wstring MachineWideFolder(const std::wstring& folder);

// `name` in `folder`, which may be a volume's root ("C:\").
std::wstring PathIn(const std::wstring& folder, const wchar_t* name);

// Whether the two paths name one file (the same volume, the same file index), links
// followed; false when either cannot be opened.
bool SameFile(const std::wstring& path, const std::wstring& other);
