#pragma once
// The texts a user reads, in one language: the string tables, dialog templates and menus
// of one module. A translator finds every text of a program in its resource file of that
// language; the code names a text by its identifier only. Japanese is chosen only when the
// user's locale is exactly Japanese (Japan), 0x0411; every other locale reads English.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "TextPattern.h"

class CUiTexts {
public:
    static constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    static constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

    // English, from the process's own program file.
    CUiTexts() = default;
    CUiTexts(HMODULE module, LANGID language) : m_module(module), m_language(language) {}

    static LANGID LanguageFor(LCID userLocale) { return userLocale == 0x0411 ? kJapanese : kEnglish; }
    static CUiTexts ForUser(HMODULE module) { return CUiTexts(module, LanguageFor(GetUserDefaultLCID())); }

    LANGID Language() const { return m_language; }
    bool IsJapanese() const { return m_language == kJapanese; }
    HMODULE Module() const { return m_module ? m_module : GetModuleHandleW(nullptr); }

    // String `id` in this language, else in English, else empty.
    std::wstring Text(UINT id) const;
    // Text(id) with each %1 to %9 replaced by that argument, and %% by %.
    std::wstring Format(UINT id, std::initializer_list<std::wstring_view> args) const;
    // Dialog template `id` in this language, else in English; null when there is none.
    const DLGTEMPLATE* Dialog(UINT id) const;
    // Menu `id` in this language, else in English; the caller destroys it.
    HMENU Menu(UINT id) const;

    // String `id` in exactly `language`; false when that language has no such string.
    static bool FindText(HMODULE module, LANGID language, UINT id, std::wstring& text);

private:
    const void* Resource(LPCWSTR type, UINT id) const;

    HMODULE m_module = nullptr;
    LANGID m_language = kEnglish;
};
