#pragma once
// Registration of the context-menu handler, for every user under HKEY_LOCAL_MACHINE or
// for one under HKEY_CURRENT_USER, the same keys under the root's Software\Classes:
//   CLSID\{1035D880-...}                      (default) "VexQuilkit Context Menu"
//   CLSID\{1035D880-...}\InprocServer32       (default) the DLL's full path,
//                                             ThreadingModel "Apartment"
//   *\shellex\ContextMenuHandlers\FlintPop                     (default) the CLSID
//   Directory\shellex\ContextMenuHandlers\FlintPop             (default) the CLSID
//   Directory\Background\shellex\ContextMenuHandlers\FlintPop  (default) the CLSID
// and the CLSID as a value of ...\CurrentVersion\Shell Extensions\Approved.
#include <windows.h>

constexpr const wchar_t* kFlintPopDescription = L"VexQuilkit Context Menu";
constexpr const wchar_t* kClsidKey = L"Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}";
constexpr const wchar_t* kHandlerKeys[] = {
    L"Software\\Classes\\*\\shellex\\ContextMenuHandlers\\FlintPop",
    L"Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\FlintPop",
    L"Software\\Classes\\Directory\\Background\\shellex\\ContextMenuHandlers\\FlintPop",
};
constexpr const wchar_t* kApprovedKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

// S_OK, or a failure HRESULT after undoing what was written.
HRESULT RegisterFlintPop(HKEY root, HMODULE module);
// Best effort: removes every entry; S_OK when none is left (also when none was there).
HRESULT UnregisterFlintPop(HKEY root);
