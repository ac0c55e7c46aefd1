#pragma once
// The fuzzers' input read as UTF-16 code units, two bytes each, a last odd byte dropped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

inline std::u16string FuzzUtf16(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(&text[0], data, text.size() * 2);
    return text;
}

// Stops the run at a broken invariant; libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)           \
    do {                                \
        if (!(condition)) std::abort(); \
    } while (false)
