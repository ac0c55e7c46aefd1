// Test libraries that stand in for flintpop64.dll beside a copy of VexQuilkit.exe:
// built once per outcome, with the results of the registration exports given by
// STUB_REGISTER and STUB_UNREGISTER (for every user, and for the current one through
// DllInstall with "user"), or with no exports at all (STUB_NO_EXPORTS).
// STUB_MARKS_LOAD: a planted library that leaves the file STUB_MARKS_LOAD in the
// temporary folder when a process loads it.
#include <windows.h>

#ifndef STUB_NO_EXPORTS
extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return STUB_REGISTER; }
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return STUB_UNREGISTER; }
extern "C" __declspec(dllexport) HRESULT __stdcall DllInstall(BOOL install, const wchar_t* argument) {
    if (!argument || lstrcmpiW(argument, L"user") != 0) return E_INVALIDARG;
    return install ? STUB_REGISTER : STUB_UNREGISTER;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
#ifdef STUB_MARKS_LOAD
    char path[MAX_PATH + 32] = "";
    if (reason == DLL_PROCESS_ATTACH && GetTempPathA(MAX_PATH, path)) {
        lstrcatA(path, STUB_MARKS_LOAD);
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
#else
    (void)reason;
#endif
    return TRUE;
}
