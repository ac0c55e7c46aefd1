#pragma once
// CExplorerCommand: VexQuilkit on Windows 11's first context menu, which shows only
// commands of a package (the installer registers it). The root command "VexQuilkit"
// holds one sub-command per tool of the classic menu, in its order and with its texts;
// a sub-command hands the selection to VexQuilkit as the classic item does. Explorer
// calls these methods on its user-interface thread: nothing here reads a disk.
#include <windows.h>
#include <shobjidl.h>

class CExplorerCommand final : public IExplorerCommand {
public:
    // The root command.
    CExplorerCommand();
    // The sub-command of kFlintPopCommands[tool].
    explicit CExplorerCommand(UINT tool);

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    IFACEMETHODIMP GetTitle(IShellItemArray* items, LPWSTR* name) override;
    IFACEMETHODIMP GetIcon(IShellItemArray* items, LPWSTR* icon) override;
    IFACEMETHODIMP GetToolTip(IShellItemArray* items, LPWSTR* infoTip) override;
    IFACEMETHODIMP GetCanonicalName(GUID* name) override;
    IFACEMETHODIMP GetState(IShellItemArray* items, BOOL okToBeSlow, EXPCMDSTATE* state) override;
    IFACEMETHODIMP Invoke(IShellItemArray* items, IBindCtx* context) override;
    IFACEMETHODIMP GetFlags(EXPCMDFLAGS* flags) override;
    IFACEMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override;

private:
    ~CExplorerCommand();
    bool IsRoot() const { return m_tool < 0; }

    LONG m_refCount = 1;
    const int m_tool;  // the index into kFlintPopCommands, or -1 for the root
};
