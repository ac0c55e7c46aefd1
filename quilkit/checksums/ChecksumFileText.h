#pragma once
// The text of a checksum file as GNU md5sum/sha1sum/sha256sum write it, plain or with
// --tag:
//   <hex>  <name>        <hex> *<name>        SHA256 (<name>) = <hex>
// Platform-free.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ChecksumAlgorithm { Md5, Sha1, Sha256 };

// One line that is neither blank nor a comment: an entry, or a line that is not one.
struct ChecksumLine {
    size_t number = 0;  // from 1
    bool bad = false;
    ChecksumAlgorithm algorithm = ChecksumAlgorithm::Md5;
    std::string hex;      // lowercase
    std::u16string name;  // as written, unescaped
};

// Converts bytes in the system's ANSI code page.
using ChecksumAnsiDecoder = std::function<std::u16string(std::string_view)>;

// UTF-8 with or without a byte-order mark; the ANSI code page when the bytes are not
// UTF-8. CR LF or LF. Blank lines and lines starting with ';' or '#' are left out.
std::vector<ChecksumLine> ParseChecksumFile(std::string_view bytes, const ChecksumAnsiDecoder& decodeAnsi);

// Hexadecimal digits in lowercase, as checksum files write them.
std::string LowercaseHex(std::string hex);

// The lowercase hexadecimal length of each algorithm's digest: 32, 40, 64.
size_t HexLength(ChecksumAlgorithm algorithm);
