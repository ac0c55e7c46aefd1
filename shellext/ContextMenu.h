#pragma once
// CFlintPopMenu: the classic context-menu handler. The shell initialises it with the
// selected files and folders (or, on a folder's background, with the folder), it adds one
// submenu with the six tools, and the chosen tool is started as VexQuilkit.exe from the
// DLL's own folder with the selection in a list file.
#include <windows.h>
#include <shlobj.h>

#include "MenuItems.h"
#include "Selection.h"

class CFlintPopMenu final : public IShellExtInit, public IContextMenu {
public:
    CFlintPopMenu();

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

    IFACEMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    IFACEMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    IFACEMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* name, UINT size) override;

private:
    ~CFlintPopMenu();
    HRESULT ReadSelection(PCIDLIST_ABSOLUTE folder, IDataObject* data);
    // The submenu of the tools, in the user's language, at `index` of the host's `menu`.
    HRESULT InsertSubmenu(HMENU menu, UINT index, UINT firstId) const;
    // The index into kFlintPopCommands that `info` names, or -1.
    int CommandOf(const CMINVOKECOMMANDINFO* info) const;

    LONG m_refCount = 1;
    CSelection m_selection;
};
