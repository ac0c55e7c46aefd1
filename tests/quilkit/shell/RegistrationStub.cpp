// Test libraries that stand in for flintpop64.dll beside a copy of VexQuilkit.exe:
// built once per outcome, with the results of the registration exports given by
// STUB_REGISTER and STUB_UNREGISTER, or with no exports at all (STUB_NO_EXPORTS).
#include <windows.h>

#ifndef STUB_NO_EXPORTS
extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return STUB_REGISTER; }
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return STUB_UNREGISTER; }
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
