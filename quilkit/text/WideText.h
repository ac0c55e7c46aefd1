#pragma once
// The program's one text model: UTF-16, the wide API's own. Text arrives in other forms
// only at the edges (code page 932 captions, ANSI list files, ASCII digests, the
// platform-free parsers' char16_t) and is converted there, explicitly.
#include <windows.h>

#include <string>
#include <string_view>

// Bytes in `codePage` (CP_ACP, 932, CP_UTF8) as UTF-16.
std::wstring FromCodePage(UINT codePage, std::string_view bytes);
// UTF-16 as bytes in `codePage`; characters it lacks become its default character.
std::string ToCodePage(UINT codePage, std::wstring_view text);

// Conversions that fail rather than substitute, where a changed name would name another
// file: an ANSI code page lacks most characters.
bool FromCodePageExactly(UINT codePage, const char* text, std::wstring& wide);
bool ToCodePageExactly(UINT codePage, const wchar_t* text, std::string& narrow);

// ASCII text (digests, numbers) as UTF-16.
std::wstring Widen(std::string_view ascii);

inline std::wstring ToWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string ToUtf16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// A window's whole text, however long.
std::wstring WindowText(HWND window);
