#pragma once
// The text of a checksum file in the forms that release pages publish:
//   <hex>  <name>   <hex> *<name>       GNU md5sum ... sha512sum
//   SHA256 (<name>) = <hex>             the same with --tag, and BSD's tools
//   SHA2-256(<name>)= <hex>             openssl dgst (SHA256(<name>)= before OpenSSL 3)
//   <name>: 5891B5B5 22D5DF08 ...       gpg --print-md, its groups wrapped over lines
//   BLAKE3 (<name>) = <hex>             b3sum's own form has no tag: see ParseChecksumFile
// any of them clear-signed (gpg --clearsign). Platform-free.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class ChecksumAlgorithm { Md5, Sha1, Sha256, Sha512, Blake3 };

// One line that is neither blank nor a comment: an entry, or a line that is not one.
struct ChecksumLine {
    size_t number = 0;  // from 1; an entry over several lines has its first line's number
    bool bad = false;
    ChecksumAlgorithm algorithm = ChecksumAlgorithm::Md5;
    std::string hex;      // lowercase
    std::u16string name;  // as written, unescaped
};

// Converts bytes in the system's ANSI code page.
using ChecksumAnsiDecoder = std::function<std::u16string(std::string_view)>;

struct ChecksumFile {
    std::vector<ChecksumLine> lines;
    // The text was clear-signed; the signature itself is not checked.
    bool clearSigned = false;
};

// UTF-8 with or without a byte-order mark; the ANSI code page when the bytes are not
// UTF-8. CR LF or LF. Blank lines and lines starting with ';' or '#' are left out, and
// so are the armour of clear-signed text, its signature block and whatever follows it:
// only the signed part gives entries. A "<hex>  <name>" line of
// 64 digits is SHA-256, or BLAKE3 with `plainIsBlake3` (files IsBlake3SumsName names, which
// b3sum writes in that form); the tagged forms say their algorithm themselves.
ChecksumFile ParseChecksumFile(std::string_view bytes, const ChecksumAnsiDecoder& decodeAnsi,
                               bool plainIsBlake3 = false);

// Whether a file of this name (no folder) holds what b3sum writes: .b3, .blake3, B3SUMS and
// BLAKE3SUMS, in any case.
bool IsBlake3SumsName(std::u16string_view name);

// Whether the bytes start as gpg --clearsign writes, after blank lines or a byte-order mark.
bool IsClearSigned(std::string_view bytes);

// Whether a file of this name (no folder) holds checksums: .md5, .sha1, .sha256, .sha512,
// the same with "sum" added (.sha256sum), MD5SUMS, SHA1SUMS, SHA256SUMS, SHA512SUMS,
// CHECKSUMS*, the names of IsBlake3SumsName, in any case. An .asc holds checksums when
// IsClearSigned says so (RoleOfFile).
bool IsChecksumFileName(std::u16string_view name);
// Whether a file of this name (no folder) may be a signature: .asc, .sig, .sign, .gpg.
bool IsSignatureFileName(std::u16string_view name);

// What a file is to the verifier: one to read entries from, a signature beside a release
// (not checked, and no file to verify either), or anything else.
enum class FileRole { Checksums, Signature, Other };
// Whether RoleOfFile needs the file's first bytes to tell: .asc and .gpg names.
bool RoleNeedsHead(std::u16string_view name);
// The role of a file of this name (no folder), `head` its first bytes where RoleNeedsHead
// says so. Checksums: IsChecksumFileName, and an .asc of clear-signed text. Signature:
// .sig, .sign, any other .asc, and a .gpg that holds a detached signature, binary or
// armoured (gpg also writes encrypted files and keys by that ending: those are Other).
FileRole RoleOfFile(std::u16string_view name, std::string_view head);

// Whether `name` (no folder) is `download` with one of the checksum files' own endings
// added, as .sha256 or .sha256sum: the file that publishes the download's digest.
bool IsCompanionName(std::u16string_view name, std::u16string_view download);

// Whether `name` (no folder) is `signedName` with a signature's ending added (.sig, .sign,
// .gpg, .asc), in any case: the signature of that file.
bool IsSignatureOf(std::u16string_view name, std::u16string_view signedName);

// The digest name the tools and the log use: "MD5", "SHA1", "SHA256", "SHA512", "BLAKE3".
const char* AlgorithmName(ChecksumAlgorithm algorithm);

// One digest as a user pastes it: hexadecimal of one of the four lengths, blanks around it
// allowed, any case, whole or in groups cut by blanks or colons ("5891B5B5 22D5...").
// False for anything else; `hex` is then left empty.
bool ReadPastedDigest(std::u16string_view text, std::string& hex, ChecksumAlgorithm& algorithm);

// Hexadecimal digits in lowercase, as checksum files write them.
std::string LowercaseHex(std::string hex);

// The lowercase hexadecimal length of each algorithm's digest: 32, 40, 64, 128, 64.
size_t HexLength(ChecksumAlgorithm algorithm);
