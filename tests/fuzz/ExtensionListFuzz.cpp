// The extension list never reads past its text and its pieces put back together with
// single bars are the text without its empty pieces.
#include "FuzzText.h"
#include "tools/cleaner/ExtensionList.h"

namespace {

std::u16string WithoutEmptyPieces(const std::u16string& text) {
    std::u16string joined;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'|') {
            joined += text[i];
        } else if (!joined.empty() && joined.back() != u'|') {
            joined += u'|';
        }
    }
    if (!joined.empty() && joined.back() == u'|') joined.pop_back();
    return joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string text = FuzzUtf16(data, size);
    std::u16string joined;
    for (const std::u16string& piece : SplitExtensions(text)) {
        FUZZ_CHECK(!piece.empty() && piece.find(u'|') == std::u16string::npos);
        joined += joined.empty() ? piece : u"|" + piece;
    }
    FUZZ_CHECK(joined == WithoutEmptyPieces(text));
    return 0;
}
