#include "ChecksumFileText.h"

#include "text/Utf8Text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct TaggedName {
    std::u16string_view tag;
    ChecksumAlgorithm algorithm;
};
constexpr TaggedName kTags[] = {
    {u"MD5", ChecksumAlgorithm::Md5}, {u"SHA1", ChecksumAlgorithm::Sha1}, {u"SHA256", ChecksumAlgorithm::Sha256}};

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

// The lowercase digest when `text` is one of the three lengths of hexadecimal digits.
bool ReadHex(std::u16string_view text, std::string& hex, ChecksumAlgorithm& algorithm) {
    switch (text.size()) {
        case 32:
            algorithm = ChecksumAlgorithm::Md5;
            break;
        case 40:
            algorithm = ChecksumAlgorithm::Sha1;
            break;
        case 64:
            algorithm = ChecksumAlgorithm::Sha256;
            break;
        default:
            return false;
    }
    hex.clear();
    for (char16_t c : text) {
        if (!IsHexDigit(c)) return false;
        hex += char(c >= u'A' && c <= u'F' ? c - u'A' + u'a' : c);
    }
    return true;
}

// GNU's escaping of names that hold a backslash or a line break: "\\" and "\n".
bool Unescape(std::u16string& name) {
    std::u16string plain;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != u'\\') {
            plain += name[i];
            continue;
        }
        if (++i == name.size()) return false;
        if (name[i] == u'\\')
            plain += u'\\';
        else if (name[i] == u'n')
            plain += u'\n';
        else if (name[i] == u'r')
            plain += u'\r';
        else
            return false;
    }
    name = plain;
    return true;
}

// "<hex>  <name>" or "<hex> *<name>".
bool ReadGnu(std::u16string_view text, ChecksumLine& line) {
    const size_t blank = text.find(u' ');
    if (blank == std::u16string_view::npos || blank + 2 > text.size()) return false;
    if (text[blank + 1] != u' ' && text[blank + 1] != u'*') return false;
    if (!ReadHex(text.substr(0, blank), line.hex, line.algorithm)) return false;
    line.name = std::u16string(text.substr(blank + 2));
    return !line.name.empty();
}

// "<TAG> (<name>) = <hex>", the algorithm named by the tag and told by the length alike.
bool ReadBsd(std::u16string_view text, ChecksumLine& line) {
    for (const TaggedName& tagged : kTags) {
        if (text.substr(0, tagged.tag.size()) != tagged.tag) continue;
        std::u16string_view rest = text.substr(tagged.tag.size());
        if (rest.substr(0, 2) != u" (") return false;
        const size_t close = rest.rfind(u") = ");
        if (close == std::u16string_view::npos || close < 2) return false;
        ChecksumAlgorithm told;
        if (!ReadHex(rest.substr(close + 4), line.hex, told) || told != tagged.algorithm) return false;
        line.algorithm = told;
        line.name = std::u16string(rest.substr(2, close - 2));
        return !line.name.empty();
    }
    return false;
}

ChecksumLine ReadLine(std::u16string_view text, size_t number) {
    ChecksumLine line;
    line.number = number;
    // A leading backslash says that the name is escaped.
    const bool escaped = !text.empty() && text[0] == u'\\';
    if (escaped) text.remove_prefix(1);
    line.bad = !(ReadBsd(text, line) || ReadGnu(text, line)) || (escaped && !Unescape(line.name));
    return line;
}

bool IsIgnored(std::u16string_view text) {
    return text.find_first_not_of(u" \t") == std::u16string_view::npos || text[0] == u';' || text[0] == u'#';
}

std::u16string Decode(std::string_view bytes, const ChecksumAnsiDecoder& decodeAnsi) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        return Utf8ToUtf16(bytes.substr(kByteOrderMark.size()));
    bool valid = true;
    std::u16string text = Utf8ToUtf16(bytes, &valid);
    return valid ? text : decodeAnsi(bytes);
}

}  // namespace

std::string LowercaseHex(std::string hex) {
    for (char& c : hex)
        if (c >= 'A' && c <= 'F') c = char(c - 'A' + 'a');
    return hex;
}

size_t HexLength(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Md5:
            return 32;
        case ChecksumAlgorithm::Sha1:
            return 40;
        case ChecksumAlgorithm::Sha256:
            return 64;
    }
    return 0;
}

std::vector<ChecksumLine> ParseChecksumFile(std::string_view bytes, const ChecksumAnsiDecoder& decodeAnsi) {
    const std::u16string text = Decode(bytes, decodeAnsi);
    std::vector<ChecksumLine> lines;
    size_t number = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view content = std::u16string_view(text).substr(start, end - start);
        if (!content.empty() && content.back() == u'\r') content.remove_suffix(1);
        ++number;
        if (!IsIgnored(content)) lines.push_back(ReadLine(content, number));
        start = end + 1;
    }
    return lines;
}
