#pragma once
// The fuzzers' input read as UTF-16 code units, two bytes each, a last odd byte dropped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

inline std::u16string FuzzUtf16(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(&text[0], data, text.size() * 2);
    return text;
}

// Each byte as the character of its value (Latin-1): the fuzzers' stand-in for the ANSI code page.
inline std::u16string Latin1(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) text += char16_t(static_cast<unsigned char>(byte));
    return text;
}

// Stops the run at a broken invariant; libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)           \
    do {                                \
        if (!(condition)) std::abort(); \
    } while (false)
