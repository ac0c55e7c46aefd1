// The DLL's entry and its four exports.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "ClassFactory.h"
#include "FlintPop.h"
#include "Registration.h"

namespace {

HMODULE g_module = nullptr;
LONG g_refCount = 0;

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
    if (!IsEqualCLSID(clsid, CLSID_FlintPopMenu)) return CLASS_E_CLASSNOTAVAILABLE;
    CClassFactory* factory = new (std::nothrow) CClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return g_refCount == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    const HRESULT hr = RegisterFlintPop(g_module);
    if (SUCCEEDED(hr)) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return hr;
}

STDAPI DllUnregisterServer() {
    const HRESULT hr = UnregisterFlintPop();
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return hr;
}
