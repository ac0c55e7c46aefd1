#include "Registration.h"

#include <string>

#include "FlintPop.h"
#include "framework/Handles.h"
#include "text/LongPath.h"

namespace {

LONG SetStringValue(HKEY root, const std::wstring& keyName, const wchar_t* valueName, const std::wstring& text) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                  &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    UniqueKey owner(key);
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool Gone(LONG status) { return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND; }

HRESULT ToHresult(LONG status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

}  // namespace

HRESULT RegisterFlintPop(HMODULE module) {
    const std::wstring path = ModuleFileName(module);
    if (path.empty()) return E_FAIL;
    const std::wstring serverKey = std::wstring(kClsidKey) + L"\\InprocServer32";

    LONG status = SetStringValue(HKEY_LOCAL_MACHINE, kClsidKey, nullptr, kFlintPopDescription);
    if (status == ERROR_SUCCESS) status = SetStringValue(HKEY_LOCAL_MACHINE, serverKey, nullptr, path);
    if (status == ERROR_SUCCESS)
        status = SetStringValue(HKEY_LOCAL_MACHINE, serverKey, L"ThreadingModel", L"Apartment");
    for (const wchar_t* handlerKey : kHandlerKeys)
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
    for (const wchar_t* handlerKey : kHandlerKeys) note(RegDeleteKeyW(HKEY_LOCAL_MACHINE, handlerKey));
    note(RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey));
    note(RegDeleteKeyW(HKEY_LOCAL_MACHINE, kClsidKey));
    note(RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kApprovedKey, kFlintPopClsidText));
    return ToHresult(first);
}
