#pragma once
// CShellMenuHost: flintpop64.dll in this process, as Explorer has it: the handler made by
// the DLL's own class factory (nothing is registered), initialised with a selection in
// the shell's data object and asked for its items on a context menu that the host shows.
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"

class CShellMenuHost {
public:
    explicit CShellMenuHost(const std::string& dll);
    CShellMenuHost(const CShellMenuHost&) = delete;
    CShellMenuHost& operator=(const CShellMenuHost&) = delete;

    // The handler with `names` in `folder` selected.
    bool Select(const std::string& folder, const std::vector<std::string>& names);

    // Shows a context menu with a few items of the host's and the extension's submenu at
    // `where`, opens the submenu and calls `whileOpen` with the open menus from another
    // thread; closes the menu without choosing anything when it returns.
    bool Show(POINT where, const std::function<void(const std::vector<HWND>& menus)>& whileOpen);

private:
    UniqueModule m_library;  // outlives the handler
    UniqueCom<IContextMenu> m_menu;
};
