#pragma once
// CSelection: the paths a menu hands to VexQuilkit, read the way each menu gets them
// (Explorer's data object for the classic menu, an item array for Windows 11's), kept in
// WTF-8: UTF-8, with a lone surrogate, which NTFS allows in a name, in its three-byte
// form. Both menus offer the tools on the same rule and start them through Start.
#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "MenuItems.h"

class CSelection {
public:
    // A folder's background: the folder itself.
    HRESULT ReadFolder(PCIDLIST_ABSOLUTE folder);
    // The files of a CF_HDROP.
    HRESULT ReadDroppedFiles(IDataObject* data);
    // The items of the array that have a file-system path; stops once `enough` are held.
    HRESULT ReadItems(IShellItemArray* items, size_t enough = SIZE_MAX);

    // The tools are offered for a selection of at least one path of the file system.
    bool OffersTools() const { return !m_paths.empty(); }
    void Clear() { m_paths.clear(); }

    // Writes the list file and starts VexQuilkit.exe from the folder of `module` with the
    // tool's mode.
    HRESULT Start(HMODULE module, const FlintPopCommand& tool, HWND owner, bool noUi) const;

private:
    // Adds `path` unless it is empty.
    void Add(const std::wstring& path);

    std::vector<std::string> m_paths;
};
