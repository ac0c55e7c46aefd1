// The checksum-file reader, built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checksums/ChecksumFileText.h"
#include "text/Utf8Text.h"

namespace {

std::u16string NoAnsi(std::string_view) { return u"<ansi>"; }

// "<number>:<algorithm>:<hex>:<name>" per entry, "<number>:bad" per bad line.
std::vector<std::string> Checked(std::string_view bytes) {
    std::vector<std::string> lines;
    for (const ChecksumLine& line : ParseChecksumFile(bytes, NoAnsi)) {
        std::string text = std::to_string(line.number) + ":";
        if (line.bad) {
            lines.push_back(text + "bad");
            continue;
        }
        text += "0" + std::to_string(int(line.algorithm)) + ":" + line.hex.substr(0, 4) + ":";
        lines.push_back(text + Utf16ToUtf8(line.name));
    }
    return lines;
}

TEST(ChecksumFile, GnuAndBsdFormsTheAlgorithmByLengthCommentsAndBadLines) {
    const std::string md5(32, 'A'), sha1(40, 'b'), sha256 = "0123" + std::string(60, 'f');
    EXPECT_EQ(Checked(md5 + "  a b.txt\r\n" + sha1 + " *bin/x.exe\n\n; note\n# note\r\n   \n" + sha256 +
                      "  dir\\name\n" + "SHA256 (c (1).txt) = " + sha256 + "\nMD5 (d) = " + md5 + "\r\n"),
              (std::vector<std::string>{"1:00:aaaa:a b.txt", "2:01:bbbb:bin/x.exe", "7:02:0123:dir\\name",
                                        "8:02:0123:c (1).txt", "9:00:aaaa:d"}));
    // Wrong lengths, a tag that disagrees with the length, one blank, no name, not hex.
    EXPECT_EQ(Checked(std::string(31, 'a') + "  x\n" + "SHA1 (x) = " + md5 + "\n" + md5 + " x\n" + md5 + "  \n" +
                      std::string(31, 'a') + "g  x\nplain text\n"),
              (std::vector<std::string>{"1:bad", "2:bad", "3:bad", "4:bad", "5:bad", "6:bad"}));
}

TEST(ChecksumFile, EscapedNamesUtf8WithOrWithoutAMarkElseTheAnsiCodePage) {
    const std::string md5(32, 'a');
    EXPECT_EQ(Checked("\\" + md5 + "  a\\\\b\\nc\n\\MD5 (x\\\\y) = " + md5 + "\n\\" + md5 + "  bad\\q\n"),
              (std::vector<std::string>{"1:00:aaaa:a\\b\nc", "2:00:aaaa:x\\y", "3:bad"}));
    EXPECT_EQ(Checked("\xEF\xBB\xBF" + md5 + "  caf\xC3\xA9\n"), std::vector<std::string>{"1:00:aaaa:caf\xC3\xA9"});
    EXPECT_EQ(Checked(md5 + "  \xF0\x9F\x98\x80\n"), std::vector<std::string>{"1:00:aaaa:\xF0\x9F\x98\x80"});
    // Not UTF-8: the whole file goes to the ANSI decoder.
    EXPECT_EQ(ParseChecksumFile(md5 + "  caf\xE9\n", NoAnsi).size(), 1u);
    EXPECT_TRUE(ParseChecksumFile(md5 + "  caf\xE9\n", NoAnsi)[0].bad);
}

}  // namespace
