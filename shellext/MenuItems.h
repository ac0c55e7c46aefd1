#pragma once
// The tools both menus offer, in their order: the classic submenu (CFlintPopMenu) and
// Windows 11's first menu (CExplorerCommand) are built from this one table. Their texts
// are in the string tables, one file per language (English.rc, Japanese.rc).
#include <windows.h>

#include "resource.h"

struct FlintPopCommand {
    int mode;             // VexQuilkit's mode option /M<mode>
    UINT text;            // menu text
    const wchar_t* verb;  // language-independent verb
    UINT help;            // help text
};

constexpr FlintPopCommand kFlintPopCommands[] = {
    {1, IDS_ITEM_PROMPT, L"vexquilkit.prompt", IDS_HELP_PROMPT},
    {2, IDS_ITEM_CLEAN, L"vexquilkit.clean", IDS_HELP_CLEAN},
    {3, IDS_ITEM_HASH, L"vexquilkit.hash", IDS_HELP_HASH},
    {4, IDS_ITEM_TIME, L"vexquilkit.time", IDS_HELP_TIME},
    {5, IDS_ITEM_HIDEMARU, L"vexquilkit.hidemaru", IDS_HELP_HIDEMARU},
    {6, IDS_ITEM_VERIFY, L"vexquilkit.verify", IDS_HELP_VERIFY},
};
constexpr UINT kFlintPopCommandCount = sizeof(kFlintPopCommands) / sizeof(kFlintPopCommands[0]);
