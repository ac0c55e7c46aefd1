#include "ListFileText.h"

#include "text/Utf8Text.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A line ends at CR LF, LF or a lone CR. CR and LF bytes never occur inside a character
// of UTF-8 or of the ANSI code pages, so lines are split before they are decoded.
std::string_view NextLine(std::string_view& rest) {
    const size_t end = rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        const std::string_view line = rest;
        rest = {};
        return line;
    }
    const std::string_view line = rest.substr(0, end);
    const size_t breakLength = rest.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    rest.remove_prefix(end + breakLength);
    return line;
}

std::u16string Unquoted(std::u16string line) {
    if (line.size() >= 2 && line.front() == u'"' && line.back() == u'"') return line.substr(1, line.size() - 2);
    return line;
}

}  // namespace

std::vector<std::u16string> ParseListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    const bool utf8 = bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
    if (utf8) bytes.remove_prefix(kUtf8ByteOrderMark.size());

    std::vector<std::u16string> paths;
    while (!bytes.empty()) {
        const std::string_view line = NextLine(bytes);
        if (line.empty()) break;
        paths.push_back(Unquoted(utf8 ? Wtf8ToUtf16(line) : decodeAnsi(line)));
    }
    return paths;
}
