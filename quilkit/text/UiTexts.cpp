#include "UiTexts.h"

#include <utility>

namespace {

// The resource types by number: kStringType and the rest are narrow in a narrow build.
const LPCWSTR kMenuType = MAKEINTRESOURCEW(4);
const LPCWSTR kDialogType = MAKEINTRESOURCEW(5);
const LPCWSTR kStringType = MAKEINTRESOURCEW(6);

// The resource of `type` and `id` in `language`, or null. Where that language has none, the
// system may answer with another; English, asked next, is the one that must be there.
const void* ResourceIn(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language) {
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

// A string table resource holds sixteen counted strings; string `id` is number id % 16 of
// block id / 16 + 1. Its end is known, so nothing is read past it.
bool StringOfBlock(HMODULE module, LANGID language, UINT id, std::wstring& text) {
    const LPCWSTR block = MAKEINTRESOURCEW(id / 16 + 1);
    HRSRC found = FindResourceExW(module, kStringType, block, language);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* at = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
    if (!at) return false;
    const WCHAR* end = at + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT index = 0; index < id % 16; ++index) {
        if (at >= end) return false;
        at += 1 + *at;
    }
    if (at >= end || *at == 0 || at + 1 + *at > end) return false;
    text.assign(at + 1, *at);
    return true;
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR wanted) {
    auto* found = reinterpret_cast<std::pair<LANGID, bool>*>(wanted);
    if (language == found->first) found->second = true;
    return !found->second;
}

}  // namespace

bool CUiTexts::FindText(HMODULE module, LANGID language, UINT id, std::wstring& text) {
    std::pair<LANGID, bool> found{language, false};
    EnumResourceLanguagesW(module, kStringType, MAKEINTRESOURCEW(id / 16 + 1), NoteLanguage,
                           reinterpret_cast<LONG_PTR>(&found));
    return found.second && StringOfBlock(module, language, id, text);
}

std::wstring CUiTexts::Text(UINT id) const {
    std::wstring text;
    if (!StringOfBlock(Module(), m_language, id, text) && m_language != kEnglish)
        StringOfBlock(Module(), kEnglish, id, text);
    return text;
}

std::wstring CUiTexts::Format(UINT id, std::initializer_list<std::wstring_view> args) const {
    return FormatText(Text(id), args);
}

const void* CUiTexts::Resource(LPCWSTR type, UINT id) const {
    const void* found = ResourceIn(Module(), type, MAKEINTRESOURCEW(id), m_language);
    return found ? found : ResourceIn(Module(), type, MAKEINTRESOURCEW(id), kEnglish);
}

const DLGTEMPLATE* CUiTexts::Dialog(UINT id) const {
    return static_cast<const DLGTEMPLATE*>(Resource(kDialogType, id));
}

HMENU CUiTexts::Menu(UINT id) const {
    const void* menu = Resource(kMenuType, id);
    return menu ? LoadMenuIndirectW(menu) : nullptr;
}
