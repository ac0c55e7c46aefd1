#include "ExtensionList.h"

#include <algorithm>

std::vector<std::u16string> SplitExtensions(std::u16string_view text) {
    std::vector<std::u16string> pieces;
    while (!text.empty()) {
        const size_t end = std::min(text.find(u'|'), text.size());
        if (end > 0) pieces.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pieces;
}
