// The checksum-file reader never reads past its bytes; every entry it gives has a name
// and the digest length of its algorithm in lowercase hexadecimal, and line numbers rise.
#include <string_view>

#include "FuzzText.h"
#include "checksums/ChecksumFileText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t previous = 0;
    const ChecksumFile file = ParseChecksumFile(bytes, Latin1);
    // Only a file that starts as clear-signed text is read as one (a byte-order mark before
    // bytes that are not UTF-8 is text of the code page, which the quick look skips).
    if (bytes.substr(0, 3) != "\xEF\xBB\xBF") FUZZ_CHECK(file.clearSigned == IsClearSigned(bytes));
    for (const ChecksumLine& line : file.lines) {
        FUZZ_CHECK(line.number > previous);
        previous = line.number;
        if (line.bad) continue;
        FUZZ_CHECK(!line.name.empty());
        FUZZ_CHECK(line.hex.size() == HexLength(line.algorithm));
        for (const char c : line.hex) FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'));
    }
    return 0;
}
