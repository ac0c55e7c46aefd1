#pragma once
// CFlintPopMenu: the context-menu handler. The shell initialises it with the selected
// files and folders (or, on a folder's background, with the folder), it adds one
// submenu with the five tools, and the chosen tool is started as VexQuilkit.exe from
// the DLL's own folder with the selection in a list file.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

struct FlintPopCommand {
    int mode;             // VexQuilkit's mode option /M<mode>
    const wchar_t* text;  // menu text
    const wchar_t* verb;  // language-independent verb
    const wchar_t* help;  // help text
};

constexpr FlintPopCommand kFlintPopCommands[] = {
    {1, L"Open Command &Prompt Here", L"vexquilkit.prompt", L"Opens a command prompt in the selected folder."},
    {2, L"&Clean Build Files...", L"vexquilkit.clean", L"Deletes files by extension to the recycle bin."},
    {3, L"Check &Hashes...", L"vexquilkit.hash", L"Shows the MD5, SHA-1 and SHA-256 digests of the files."},
    {4, L"Set File &Times...", L"vexquilkit.time", L"Sets the three time stamps of files and folders."},
    {5, L"Open in Hidemaru &Editor", L"vexquilkit.hidemaru", L"Opens the selected folder in the Hidemaru editor."},
    {6, L"&Verify Checksums", L"vexquilkit.verify", L"Checks files against the checksum files selected or found."},
};
constexpr UINT kFlintPopCommandCount = sizeof(kFlintPopCommands) / sizeof(kFlintPopCommands[0]);
constexpr const wchar_t* kFlintPopSubmenuText = L"&VexQuilkit";

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
    HRESULT ReadFolder(PCIDLIST_ABSOLUTE folder);
    HRESULT ReadDroppedFiles(IDataObject* data);
    // Adds `path` unless the list file cannot carry it whole.
    void AddPath(const std::wstring& path);
    // The index into kFlintPopCommands that `info` names, or -1.
    int CommandOf(const CMINVOKECOMMANDINFO* info) const;

    LONG m_refCount = 1;
    std::vector<std::string> m_paths;  // WTF-8: UTF-8, lone surrogates in their three-byte form
};
