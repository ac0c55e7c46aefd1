// The extension list never reads past its text; its pieces are the text's runs between bars,
// in order, none of them empty.
#include "FuzzText.h"
#include "tools/cleaner/ExtensionList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string text = FuzzUtf16(data, size);
    size_t at = 0;
    for (const std::u16string& piece : SplitExtensions(text)) {
        at = text.find_first_not_of(u'|', at);
        FUZZ_CHECK(!piece.empty() && at != std::u16string::npos && text.compare(at, piece.size(), piece) == 0);
        at += piece.size();
        FUZZ_CHECK(at == text.size() || text[at] == u'|');
    }
    FUZZ_CHECK(text.find_first_not_of(u'|', at) == std::u16string::npos);
    return 0;
}
