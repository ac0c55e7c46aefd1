#pragma once
// The tools both menus offer, in their order: the classic submenu (CFlintPopMenu) and
// Windows 11's first menu (CExplorerCommand) are built from this one table.
#include <windows.h>

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
