#include "Registration.h"

#include <cstdio>

#include "FlintPop.h"
#include "Handles.h"

namespace {

LONG SetStringValue(HKEY root, const char* keyName, const char* valueName, const char* text) {
    HKEY key = nullptr;
    LONG status =
        RegCreateKeyExA(root, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    UniqueKey owner(key);
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text)) + 1);
}

bool Gone(LONG status) { return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND; }

HRESULT ToHresult(LONG status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

}  // namespace

HRESULT RegisterFlintPop(HMODULE module) {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;

    char serverKey[256];
    snprintf(serverKey, sizeof(serverKey), "%s\\InprocServer32", kClsidKey);

    LONG status = SetStringValue(HKEY_LOCAL_MACHINE, kClsidKey, nullptr, kFlintPopDescription);
    if (status == ERROR_SUCCESS) status = SetStringValue(HKEY_LOCAL_MACHINE, serverKey, nullptr, path);
    if (status == ERROR_SUCCESS) status = SetStringValue(HKEY_LOCAL_MACHINE, serverKey, "ThreadingModel", "Apartment");
    for (const char* handlerKey : kHandlerKeys)
        if (status == ERROR_SUCCESS)
            status = SetStringValue(HKEY_LOCAL_MACHINE, handlerKey, nullptr, kFlintPopClsidText);
    if (status == ERROR_SUCCESS)
        status = SetStringValue(HKEY_LOCAL_MACHINE, kApprovedKey, kFlintPopClsidText, kFlintPopDescription);

    if (status != ERROR_SUCCESS) UnregisterFlintPop();
    return ToHresult(status);
}

HRESULT UnregisterFlintPop() {
    LONG first = ERROR_SUCCESS;
    auto note = [&first](LONG status) {
        if (!Gone(status) && first == ERROR_SUCCESS) first = status;
    };
    for (const char* handlerKey : kHandlerKeys) note(RegDeleteKeyA(HKEY_LOCAL_MACHINE, handlerKey));
    note(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClsidKey));
    note(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kClsidKey));
    note(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kApprovedKey, kFlintPopClsidText));
    return ToHresult(first);
}
