#include "ChecksumFileText.h"

#include "text/Utf8Text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct TaggedName {
    std::u16string_view tag;
    ChecksumAlgorithm algorithm;
};
constexpr TaggedName kTags[] = {{u"MD5", ChecksumAlgorithm::Md5},
                                {u"SHA1", ChecksumAlgorithm::Sha1},
                                {u"SHA256", ChecksumAlgorithm::Sha256},
                                {u"SHA512", ChecksumAlgorithm::Sha512},
                                {u"BLAKE3", ChecksumAlgorithm::Blake3}};
// The names openssl dgst writes: OpenSSL 3 says SHA2-256, older ones SHA256.
constexpr TaggedName kOpenSslTags[] = {
    {u"MD5", ChecksumAlgorithm::Md5},       {u"SHA1", ChecksumAlgorithm::Sha1},
    {u"SHA256", ChecksumAlgorithm::Sha256}, {u"SHA2-256", ChecksumAlgorithm::Sha256},
    {u"SHA512", ChecksumAlgorithm::Sha512}, {u"SHA2-512", ChecksumAlgorithm::Sha512}};

constexpr std::u16string_view kSignedHeader = u"-----BEGIN PGP SIGNED MESSAGE-----";
constexpr std::u16string_view kSignatureStart = u"-----BEGIN PGP SIGNATURE-----";
constexpr std::u16string_view kSignatureEnd = u"-----END PGP SIGNATURE-----";

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool EndsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view ending) {
    return text.size() >= ending.size() && SameIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == u'\r' || text.front() == u'\n'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == u'\r' || text.back() == u'\n'))
        text.remove_suffix(1);
    return text;
}

// Hexadecimal digits in groups separated by blanks, as gpg writes them; at least one digit.
bool IsHexGroups(std::u16string_view text) {
    bool digit = false;
    for (char16_t c : text) {
        if (IsHexDigit(c))
            digit = true;
        else if (!IsBlank(c))
            return false;
    }
    return digit;
}

// The lowercase digest when `text` is one of the four lengths of hexadecimal digits.
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
        case 128:
            algorithm = ChecksumAlgorithm::Sha512;
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
        if (!ReadHex(rest.substr(close + 4), line.hex, told) || HexLength(told) != HexLength(tagged.algorithm))
            return false;
        line.algorithm = tagged.algorithm;
        line.name = std::u16string(rest.substr(2, close - 2));
        return !line.name.empty();
    }
    return false;
}

// "<NAME>(<name>)= <hex>", as openssl dgst writes it.
bool ReadOpenSsl(std::u16string_view text, ChecksumLine& line) {
    for (const TaggedName& tagged : kOpenSslTags) {
        if (text.size() <= tagged.tag.size() || text.substr(0, tagged.tag.size()) != tagged.tag ||
            text[tagged.tag.size()] != u'(')
            continue;
        const std::u16string_view rest = text.substr(tagged.tag.size() + 1);
        const size_t close = rest.rfind(u")= ");
        if (close == std::u16string_view::npos || close == 0) return false;
        ChecksumAlgorithm told;
        if (!ReadHex(rest.substr(close + 3), line.hex, told) || told != tagged.algorithm) return false;
        line.algorithm = told;
        line.name = std::u16string(rest.substr(0, close));
        return true;
    }
    return false;
}

ChecksumLine ReadLine(std::u16string_view text, size_t number, bool plainIsBlake3) {
    ChecksumLine line;
    line.number = number;
    // A leading backslash says that the name is escaped.
    const bool escaped = !text.empty() && text[0] == u'\\';
    if (escaped) text.remove_prefix(1);
    const bool tagged = ReadBsd(text, line) || ReadOpenSsl(text, line);
    const bool plain = !tagged && ReadGnu(text, line);
    if (plain && plainIsBlake3 && line.algorithm == ChecksumAlgorithm::Sha256)
        line.algorithm = ChecksumAlgorithm::Blake3;
    line.bad = !(tagged || plain) || (escaped && !Unescape(line.name));
    return line;
}

// Where gpg's "<name>:" ends: the first ": " (or a final ':') after which only hexadecimal
// groups follow on the line. npos when the line is no such start.
size_t GpgNameEnd(std::u16string_view text) {
    for (size_t colon = text.find(u':'); colon != std::u16string_view::npos; colon = text.find(u':', colon + 1)) {
        if (colon == 0) continue;
        const std::u16string_view rest = text.substr(colon + 1);
        if (rest.empty() || (IsBlank(rest[0]) && (Trimmed(rest).empty() || IsHexGroups(rest)))) return colon;
    }
    return std::u16string_view::npos;
}

struct NumberedLine {
    size_t number;
    std::u16string_view text;
};

// gpg --print-md: "<name>: " and the digest in groups, wrapped onto lines of groups alone,
// or all of it on the next lines when the name is long. Reads the entry that starts at
// lines[index] and returns how many lines it took; 0 when it is not one.
size_t ReadGpg(const std::vector<NumberedLine>& lines, size_t index, ChecksumLine& line) {
    const std::u16string_view first = lines[index].text;
    const size_t nameEnd = GpgNameEnd(first);
    if (nameEnd == std::u16string_view::npos) return 0;
    std::u16string digits;
    auto take = [&digits](std::u16string_view groups) {
        for (char16_t c : groups)
            if (!IsBlank(c)) digits += c;
    };
    take(first.substr(nameEnd + 1));
    size_t used = 1;
    while (digits.size() < 128 && index + used < lines.size() && IsHexGroups(lines[index + used].text))
        take(lines[index + used++].text);
    if (!ReadHex(digits, line.hex, line.algorithm)) return 0;
    line.number = lines[index].number;
    line.name = std::u16string(first.substr(0, nameEnd));
    line.bad = false;
    return used;
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
        case ChecksumAlgorithm::Blake3:
            return 64;
        case ChecksumAlgorithm::Sha512:
            return 128;
    }
    return 0;
}

namespace {

// The lines that may hold entries: clear-signed text loses its armour header and "Hash:"
// lines, its signature block, and the "- " that escapes its lines starting with a dash.
// Only the signed part counts: a user who checked the signature trusts nothing else, so
// whatever follows the signature block gives no entry.
std::vector<NumberedLine> ContentLines(std::u16string_view text, bool& clearSigned) {
    enum class Part { Plain, Header, Signed, Signature, AfterSignature } part = Part::Plain;
    std::vector<NumberedLine> lines;
    size_t number = 0;
    bool seenText = false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view content = text.substr(start, end - start);
        if (!content.empty() && content.back() == u'\r') content.remove_suffix(1);
        start = end + 1;
        ++number;
        const std::u16string_view trimmed = Trimmed(content);
        if (part == Part::Plain && !seenText && trimmed == kSignedHeader) {
            part = Part::Header;
            clearSigned = true;
            continue;
        }
        if (!trimmed.empty()) seenText = true;
        if (part == Part::Header) {
            if (trimmed.empty()) part = Part::Signed;
            continue;
        }
        if (part == Part::Signed && trimmed == kSignatureStart) part = Part::Signature;
        if (part == Part::Signature) {
            if (trimmed == kSignatureEnd) part = Part::AfterSignature;
            continue;
        }
        if (part == Part::AfterSignature) continue;
        if (part == Part::Signed && content.substr(0, 2) == u"- ") content.remove_prefix(2);
        lines.push_back({number, content});
    }
    return lines;
}

}  // namespace

ChecksumFile ParseChecksumFile(std::string_view bytes, const ChecksumAnsiDecoder& decodeAnsi, bool plainIsBlake3) {
    const std::u16string text = Decode(bytes, decodeAnsi);
    ChecksumFile file;
    const std::vector<NumberedLine> lines = ContentLines(text, file.clearSigned);
    for (size_t i = 0; i < lines.size();) {
        if (IsIgnored(lines[i].text)) {
            ++i;
            continue;
        }
        ChecksumLine line = ReadLine(lines[i].text, lines[i].number, plainIsBlake3);
        if (line.bad) {
            ChecksumLine gpg;
            if (const size_t used = ReadGpg(lines, i, gpg)) {
                file.lines.push_back(std::move(gpg));
                i += used;
                continue;
            }
        }
        file.lines.push_back(std::move(line));
        ++i;
    }
    return file;
}

namespace {

// The first line that is not blank, without the blanks around it; after a byte-order mark.
std::string_view FirstLine(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) continue;
        return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
    }
    return {};
}

// An OpenPGP signature as gpg --detach-sign writes it: a signature packet (tag 2, in the
// old or the new packet format), or its armoured form. gpg's other files of the same
// ending start otherwise: encrypted data, keys, a signed and compressed message.
bool IsDetachedSignature(std::string_view head) {
    if (head.empty()) return false;
    const unsigned char first = static_cast<unsigned char>(head[0]);
    const bool oldFormatSignature = (first & 0xFC) == 0x88;
    const bool newFormatSignature = first == 0xC2;
    return oldFormatSignature || newFormatSignature || FirstLine(head) == "-----BEGIN PGP SIGNATURE-----";
}

}  // namespace

bool IsClearSigned(std::string_view bytes) { return FirstLine(bytes) == "-----BEGIN PGP SIGNED MESSAGE-----"; }

bool IsChecksumFileName(std::u16string_view name) {
    for (std::u16string_view ending :
         {u".md5", u".sha1", u".sha256", u".sha512", u".md5sum", u".sha1sum", u".sha256sum", u".sha512sum"})
        if (EndsWithIgnoringAsciiCase(name, ending)) return true;
    for (std::u16string_view whole : {u"MD5SUMS", u"SHA1SUMS", u"SHA256SUMS", u"SHA512SUMS"})
        if (SameIgnoringAsciiCase(name, whole)) return true;
    if (IsBlake3SumsName(name)) return true;
    return name.size() >= 9 && SameIgnoringAsciiCase(name.substr(0, 9), u"CHECKSUMS");
}

bool IsBlake3SumsName(std::u16string_view name) {
    for (std::u16string_view ending : {u".b3", u".blake3"})
        if (EndsWithIgnoringAsciiCase(name, ending)) return true;
    return SameIgnoringAsciiCase(name, u"B3SUMS") || SameIgnoringAsciiCase(name, u"BLAKE3SUMS");
}

bool IsSignatureFileName(std::u16string_view name) {
    for (std::u16string_view ending : {u".asc", u".sig", u".sign", u".gpg"})
        if (EndsWithIgnoringAsciiCase(name, ending)) return true;
    return false;
}

bool RoleNeedsHead(std::u16string_view name) {
    return EndsWithIgnoringAsciiCase(name, u".asc") || EndsWithIgnoringAsciiCase(name, u".gpg");
}

FileRole RoleOfFile(std::u16string_view name, std::string_view head) {
    if (IsChecksumFileName(name)) return FileRole::Checksums;
    if (EndsWithIgnoringAsciiCase(name, u".asc"))
        return IsClearSigned(head) ? FileRole::Checksums : FileRole::Signature;
    if (EndsWithIgnoringAsciiCase(name, u".gpg"))
        return IsDetachedSignature(head) ? FileRole::Signature : FileRole::Other;
    return IsSignatureFileName(name) ? FileRole::Signature : FileRole::Other;
}

bool IsCompanionName(std::u16string_view name, std::u16string_view download) {
    if (download.empty() || name.size() <= download.size() + 1 || name[download.size()] != u'.' ||
        !SameIgnoringAsciiCase(name.substr(0, download.size()), download))
        return false;
    const std::u16string_view ending = name.substr(download.size() + 1);
    for (std::u16string_view known :
         {u"md5", u"sha1", u"sha256", u"sha512", u"asc", u"md5sum", u"sha1sum", u"sha256sum", u"sha512sum", u"checksum",
          u"checksums", u"digests", u"b3", u"blake3"})
        if (SameIgnoringAsciiCase(ending, known)) return true;
    return false;
}

bool IsSignatureOf(std::u16string_view name, std::u16string_view signedName) {
    return !signedName.empty() && name.size() > signedName.size() + 1 && name[signedName.size()] == u'.' &&
           SameIgnoringAsciiCase(name.substr(0, signedName.size()), signedName) &&
           name.find(u'.', signedName.size() + 1) == std::u16string_view::npos && IsSignatureFileName(name);
}

const char* AlgorithmName(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Md5:
            return "MD5";
        case ChecksumAlgorithm::Sha1:
            return "SHA1";
        case ChecksumAlgorithm::Sha256:
            return "SHA256";
        case ChecksumAlgorithm::Sha512:
            return "SHA512";
        case ChecksumAlgorithm::Blake3:
            return "BLAKE3";
    }
    return "";
}

namespace {

// The digits of hexadecimal groups cut by blanks, line ends or single colons, as gpg
// --print-md and many download pages show a digest; empty when `text` is anything else.
// A group is at most 16 digits: two digests side by side are not one twice as long.
std::u16string GroupedDigits(std::u16string_view text) {
    constexpr size_t kLongestGroup = 16;
    std::u16string digits;
    size_t group = 0, groups = 0;
    bool colon = false;
    for (char16_t c : text) {
        if (IsHexDigit(c)) {
            digits += c;
            if (group++ == 0) ++groups;
            colon = false;
            continue;
        }
        if (group > kLongestGroup) return {};
        group = 0;
        if (c == u':' && !colon && !digits.empty())
            colon = true;
        else if (!IsBlank(c) && c != u'\r' && c != u'\n')
            return {};
    }
    if (colon || (groups > 1 && group > kLongestGroup)) return {};
    return digits;
}

}  // namespace

bool ReadPastedDigest(std::u16string_view text, std::string& hex, ChecksumAlgorithm& algorithm) {
    if (ReadHex(GroupedDigits(Trimmed(text)), hex, algorithm)) return true;
    hex.clear();
    return false;
}
