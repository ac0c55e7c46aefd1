// The DLL's entry, its five exports and its table of classes.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "ClassFactory.h"
#include "ContextMenu.h"
#include "ExplorerCommand.h"
#include "FlintPop.h"
#include "Registration.h"

namespace {

HMODULE g_module = nullptr;
LONG g_refCount = 0;

IUnknown* CreateMenu() { return static_cast<IShellExtInit*>(new (std::nothrow) CFlintPopMenu()); }
IUnknown* CreateCommand() { return new (std::nothrow) CExplorerCommand(); }

struct ClassEntry {
    const CLSID* clsid;
    CClassFactory::Create create;
};
constexpr ClassEntry kClasses[] = {
    {&CLSID_FlintPopMenu, CreateMenu},
    {&CLSID_FlintPopCommand, CreateCommand},
};

}  // namespace

HMODULE FlintPopModule() { return g_module; }
void DllAddRef() { InterlockedIncrement(&g_refCount); }
void DllRelease() { InterlockedDecrement(&g_refCount); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const ClassEntry& entry : kClasses) {
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        CClassFactory* factory = new (std::nothrow) CClassFactory(entry.create);
        if (!factory) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(riid, object);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return g_refCount == 0 ? S_OK : S_FALSE; }

namespace {

HRESULT Register(HKEY root) {
    const HRESULT hr = RegisterFlintPop(root, g_module);
    if (SUCCEEDED(hr)) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return hr;
}

HRESULT Unregister(HKEY root) {
    const HRESULT hr = UnregisterFlintPop(root);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return hr;
}

}  // namespace

// For every user: the installer's step, run elevated.
STDAPI DllRegisterServer() { return Register(HKEY_LOCAL_MACHINE); }
STDAPI DllUnregisterServer() { return Unregister(HKEY_LOCAL_MACHINE); }

// For the current user alone, without administrator rights: "regsvr32 /n /i:user".
// Any other argument is refused rather than taken for the machine-wide form.
STDAPI DllInstall(BOOL install, PCWSTR argument) {
    if (!argument || lstrcmpiW(argument, L"user") != 0) return E_INVALIDARG;
    return install ? Register(HKEY_CURRENT_USER) : Unregister(HKEY_CURRENT_USER);
}
