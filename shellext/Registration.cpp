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

HRESULT RegisterFlintPop(HKEY root, HMODULE module) {
    const std::wstring path = ModuleFileName(module);
    if (path.empty()) return E_FAIL;
    const std::wstring serverKey = std::wstring(kClsidKey) + L"\\InprocServer32";

    LONG status = SetStringValue(root, kClsidKey, nullptr, kFlintPopDescription);
    if (status == ERROR_SUCCESS) status = SetStringValue(root, serverKey, nullptr, path);
    if (status == ERROR_SUCCESS) status = SetStringValue(root, serverKey, L"ThreadingModel", L"Apartment");
    for (const wchar_t* handlerKey : kHandlerKeys)
        if (status == ERROR_SUCCESS) status = SetStringValue(root, handlerKey, nullptr, kFlintPopClsidText);
    if (status == ERROR_SUCCESS) status = SetStringValue(root, kApprovedKey, kFlintPopClsidText, kFlintPopDescription);

    if (status != ERROR_SUCCESS) UnregisterFlintPop(root);
    return ToHresult(status);
}

HRESULT UnregisterFlintPop(HKEY root) {
    LONG first = ERROR_SUCCESS;
    auto note = [&first](LONG status) {
        if (!Gone(status) && first == ERROR_SUCCESS) first = status;
    };
    for (const wchar_t* handlerKey : kHandlerKeys) note(RegDeleteKeyW(root, handlerKey));
    note(RegDeleteTreeW(root, kClsidKey));
    note(RegDeleteKeyW(root, kClsidKey));
    note(RegDeleteKeyValueW(root, kApprovedKey, kFlintPopClsidText));
    return ToHresult(first);
}
