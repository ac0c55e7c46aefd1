#include "Utf8Text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The first byte of a sequence says how many continuation bytes follow and, for the lead
// bytes that allow overlongs, surrogates or code points past U+10FFFF, narrows the range
// of the first continuation byte so that those are refused where they start.
struct LeadByte {
    int continuations = -1;  // -1: not a lead byte
    unsigned char firstLow = 0x80;
    unsigned char firstHigh = 0xBF;
};

// surrogates: whether ED A0..BF (U+D800..U+DFFF) is a sequence, as in WTF-8.
LeadByte Classify(unsigned char byte, bool surrogates) {
    if (byte >= 0xC2 && byte <= 0xDF) return {1, 0x80, 0xBF};
    if (byte == 0xE0) return {2, 0xA0, 0xBF};
    if (byte == 0xED) return {2, 0x80, static_cast<unsigned char>(surrogates ? 0xBF : 0x9F)};
    if (byte >= 0xE1 && byte <= 0xEF) return {2, 0x80, 0xBF};
    if (byte == 0xF0) return {3, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {3, 0x80, 0xBF};
    if (byte == 0xF4) return {3, 0x80, 0x8F};
    return {};
}

void AppendCodePoint(std::u16string& text, char32_t codePoint) {
    if (codePoint < 0x10000) {
        text += char16_t(codePoint);
        return;
    }
    codePoint -= 0x10000;
    text += char16_t(0xD800 + (codePoint >> 10));
    text += char16_t(0xDC00 + (codePoint & 0x3FF));
}

void AppendUtf8(std::string& bytes, char32_t codePoint) {
    if (codePoint < 0x80) {
        bytes += char(codePoint);
    } else if (codePoint < 0x800) {
        bytes += char(0xC0 | (codePoint >> 6));
        bytes += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += char(0xE0 | (codePoint >> 12));
        bytes += char(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += char(0x80 | (codePoint & 0x3F));
    } else {
        bytes += char(0xF0 | (codePoint >> 18));
        bytes += char(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += char(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += char(0x80 | (codePoint & 0x3F));
    }
}

std::u16string Decode(std::string_view bytes, bool surrogates, bool* valid) {
    std::u16string text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        if (byte < 0x80) {
            text += char16_t(byte);
            continue;
        }
        const LeadByte lead = Classify(byte, surrogates);
        char32_t codePoint = byte & (0x7F >> (lead.continuations + 1));
        bool complete = lead.continuations >= 0;
        for (int k = 0; complete && k < lead.continuations; ++k) {
            const unsigned char low = k == 0 ? lead.firstLow : 0x80;
            const unsigned char high = k == 0 ? lead.firstHigh : 0xBF;
            const auto next = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
            // A byte out of range is not consumed: it starts the next sequence, so that
            // each maximal invalid subpart becomes one replacement character.
            complete = i < bytes.size() && next >= low && next <= high;
            if (complete) {
                codePoint = (codePoint << 6) | (next & 0x3F);
                ++i;
            }
        }
        // A high and a low surrogate written apart are a pair, which WTF-8 writes in four
        // bytes: taken as a pair, the text would not come back as the same bytes.
        if (complete && codePoint >= 0xDC00 && codePoint <= 0xDFFF && !text.empty() && IsHighSurrogate(text.back()))
            complete = false;
        if (complete) {
            AppendCodePoint(text, codePoint);
        } else {
            text += kReplacement;
            if (valid) *valid = false;
        }
    }
    return text;
}

std::string Encode(std::u16string_view text, bool surrogates) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(bytes, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(bytes, surrogates ? unit : kReplacement);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes, bool* valid) { return Decode(bytes, false, valid); }
std::string Utf16ToUtf8(std::u16string_view text) { return Encode(text, false); }
std::string Utf16ToWtf8(std::u16string_view text) { return Encode(text, true); }
std::u16string Wtf8ToUtf16(std::string_view bytes, bool* valid) { return Decode(bytes, true, valid); }
