// The list file never reads past its bytes and yields no line breaks; the UTF-8
// conversions under it round-trip valid text and always produce well-formed text; every
// UTF-16 name, paired surrogates or not, comes back whole from a list file in WTF-8.
#include <algorithm>
#include <string_view>
#include <vector>

#include "FuzzText.h"
#include "text/Utf8Text.h"
#include "startup/ListFileText.h"

namespace {

void CheckUtf8(std::string_view bytes) {
    bool valid = true;
    const std::u16string text = Utf8ToUtf16(bytes, &valid);
    FUZZ_CHECK(text.size() <= bytes.size());
    FUZZ_CHECK(valid == (Utf16ToUtf8(text) == bytes));
    FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(text)) == text);  // well-formed
}

void CheckUtf16(const std::u16string& text) {
    bool valid = true;
    const std::string bytes = Utf16ToUtf8(text);
    const std::u16string back = Utf8ToUtf16(bytes, &valid);
    FUZZ_CHECK(valid && back.size() == text.size());
}

void CheckWtf8(std::string_view bytes) {
    bool valid = true;
    const std::u16string text = Wtf8ToUtf16(bytes, &valid);
    FUZZ_CHECK(text.size() <= bytes.size());
    FUZZ_CHECK(valid == (Utf16ToWtf8(text) == bytes));
}

// The input as UTF-16 names, split where a line break would split them, written as the
// extension writes a list file and read back.
void CheckListRoundTrip(const std::u16string& text) {
    std::vector<std::u16string> names;
    std::string file = "\xEF\xBB\xBF";
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find_first_of(u"\r\n", start), text.size());
        const std::u16string name = text.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        names.push_back(
            name.size() >= 2 && name.front() == u'"' && name.back() == u'"' ? name.substr(1, name.size() - 2) : name);
        file += Utf16ToWtf8(name) + "\r\n";
    }
    bool whole = true;
    FUZZ_CHECK(Wtf8ToUtf16(Utf16ToWtf8(text), &whole) == text && whole);
    FUZZ_CHECK(ParseListFile(file, Latin1) == names);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    size_t total = 0;
    for (const std::u16string& path : ParseListFile(bytes, Latin1)) {
        FUZZ_CHECK(path.find_first_of(u"\r\n") == std::u16string::npos);
        FUZZ_CHECK(!utf8 || Wtf8ToUtf16(Utf16ToWtf8(path)) == path);
        total += path.size();
    }
    FUZZ_CHECK(total <= size);

    CheckUtf8(bytes);
    CheckWtf8(bytes);
    CheckUtf16(FuzzUtf16(data, size));
    CheckListRoundTrip(FuzzUtf16(data, size));
    return 0;
}
