#include "ListFileText.h"

// Interim; replaced by the full reader.
std::vector<std::u16string> ParseListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    std::vector<std::u16string> paths;
    const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    if (utf8) bytes.remove_prefix(3);
    while (!bytes.empty()) {
        size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(0, end);
        if (line.empty()) break;
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
        paths.push_back(decodeAnsi(line));
        bytes.remove_prefix(end);
        if (!bytes.empty() && bytes[0] == '\r') bytes.remove_prefix(1);
        if (!bytes.empty() && bytes[0] == '\n') bytes.remove_prefix(1);
    }
    return paths;
}
