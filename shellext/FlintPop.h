#pragma once
// What the parts of flintpop64.dll share: the class identifiers, the module handle, the
// texts of its menus and the module's reference count that DllCanUnloadNow reads.
#include <windows.h>

#include "text/UiTexts.h"

// {1035D880-537A-4B6D-A84F-9E7212E661DC}
constexpr CLSID CLSID_FlintPopMenu = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};
constexpr const wchar_t* kFlintPopClsidText = L"{1035D880-537A-4B6D-A84F-9E7212E661DC}";

// {58B2F156-D4E0-43BE-86C9-C771B8A06C0E}: Windows 11's first menu, registered by the
// package (installer/AppxManifest.xml.in names it), never in the registry.
constexpr CLSID CLSID_FlintPopCommand = {0x58b2f156, 0xd4e0, 0x43be, {0x86, 0xc9, 0xc7, 0x71, 0xb8, 0xa0, 0x6c, 0x0e}};

HMODULE FlintPopModule();
// The menus' texts in the user's language, from the DLL's own resources.
inline CUiTexts FlintPopTexts() { return CUiTexts::ForUser(FlintPopModule()); }

// Every live object and every LockServer(TRUE) holds one reference.
void DllAddRef();
void DllRelease();
