// UTF-8 to UTF-16 and back, under every parser; built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "text/Utf8Text.h"

namespace {

TEST(Utf8Text, InvalidSequencesBecomeOneReplacementPerMaximalSubpart) {
    const std::pair<std::string_view, std::u16string> cases[] = {
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
        {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, four bytes
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // surrogate U+D800
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xF5\xFF\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xE6\x97x", u"\uFFFDx"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"a\xC3", u"a\uFFFD"},
        {std::string_view("\0\x7F", 2), std::u16string(u"\0\x7F", 2)},
    };
    for (const auto& [bytes, text] : cases) {
        bool valid = true;
        EXPECT_EQ(Utf8ToUtf16(bytes, &valid), text) << bytes;
        EXPECT_EQ(valid, text.find(u'\uFFFD') == std::u16string::npos) << bytes;
    }
}

TEST(Utf8Text, RoundTripsIncludingSurrogatePairsAndLoneSurrogatesBecomeReplacements) {
    const std::u16string text = u"a\u00E9\u07FF\u0800\uFFFD\uFFFF\U00010000\U0001F600\U0010FFFF";
    const std::string bytes =
        "a\xC3\xA9\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBD\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(Utf16ToUtf8(text), bytes);
    bool valid = true;
    EXPECT_EQ(Utf8ToUtf16(bytes, &valid), text);
    EXPECT_TRUE(valid);
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0xDBFF}, reversed[] = {0xDC00, 0xD800};
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(lone, 5)),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(reversed, 2)), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

// WTF-8 keeps a lone surrogate as the three bytes of its code unit; paired, the two are one
// four-byte character as in UTF-8, and written apart they are refused.
TEST(Utf8Text, Wtf8KeepsLoneSurrogatesAndRoundTripsEverySequence) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0xDBFF, 0xDFFF, 0xDC00, 0xD800};
    const std::u16string text(lone, 8);
    const std::string bytes =
        "a\xED\xA0\x80"
        "b\xED\xB0\x80\xF4\x8F\xBF\xBF\xED\xB0\x80\xED\xA0\x80";
    EXPECT_EQ(Utf16ToWtf8(text), bytes);
    bool valid = true;
    EXPECT_EQ(Wtf8ToUtf16(bytes, &valid), text);
    EXPECT_TRUE(valid);
    EXPECT_EQ(Utf16ToWtf8(u"a\u00E9\U0001F600"), Utf16ToUtf8(u"a\u00E9\U0001F600"));

    const std::pair<std::string_view, std::u16string> refused[] = {
        {"\xED\xA0\x80\xED\xB0\x80", u"\xD800\uFFFD"},  // a pair in two halves
        {"\xED\xC0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xED\xA0", u"\uFFFD"},
    };
    for (const auto& [input, expected] : refused) {
        bool ok = true;
        EXPECT_EQ(Wtf8ToUtf16(input, &ok), expected) << input;
        EXPECT_FALSE(ok) << input;
    }

    // A lone high surrogate before a character whose low 16 bits look like a low surrogate
    // (ListFileFuzz round-trips every other sequence).
    const char16_t beforeSupplementary[] = {0xD800, 0xD837, 0xDC00};  // U+1DC00 after U+D800
    EXPECT_EQ(Wtf8ToUtf16(Utf16ToWtf8(std::u16string_view(beforeSupplementary, 3))),
              std::u16string(beforeSupplementary, 3));
}

}  // namespace
