#pragma once
// What the parts of flintpop64.dll share: the class identifier, the module handle and
// the module's reference count that DllCanUnloadNow reads.
#include <windows.h>

// {1035D880-537A-4B6D-A84F-9E7212E661DC}
constexpr CLSID CLSID_FlintPopMenu = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};
constexpr const wchar_t* kFlintPopClsidText = L"{1035D880-537A-4B6D-A84F-9E7212E661DC}";

HMODULE FlintPopModule();

// Every live object and every LockServer(TRUE) holds one reference.
void DllAddRef();
void DllRelease();
