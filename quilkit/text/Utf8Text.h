#pragma once
// UTF-8 to UTF-16 and back, without the platform: the list and checksum files are read
// as bytes, the program's text is UTF-16.
#include <string>
#include <string_view>

// Decodes UTF-8 to UTF-16; invalid sequences (overlongs, surrogates, > U+10FFFF, truncated) become U+FFFD and clear
// *valid when given. *valid is never set to true, so that one flag can collect several calls.
std::u16string Utf8ToUtf16(std::string_view bytes, bool* valid = nullptr);
std::string Utf16ToUtf8(std::u16string_view text);  // lone surrogates -> U+FFFD

// WTF-8, for names that must come back as they were: UTF-8, except that a lone surrogate
// (NTFS allows one in a name) is written in the three-byte form of its code unit, and
// read back as that unit. Every UTF-16 sequence survives Utf16ToWtf8 then Wtf8ToUtf16.
std::string Utf16ToWtf8(std::u16string_view text);
std::u16string Wtf8ToUtf16(std::string_view bytes, bool* valid = nullptr);
