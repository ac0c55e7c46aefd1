// The checksum-file reader, built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "checksums/ChecksumFileText.h"
#include "text/Utf8Text.h"

namespace {

std::u16string NoAnsi(std::string_view) { return u"<ansi>"; }

// "<number>:<algorithm>:<hex>:<name>" per entry, "<number>:bad" per bad line, cut by "|".
std::string Checked(std::string_view bytes, bool plainIsBlake3 = false) {
    std::string lines;
    for (const ChecksumLine& line : ParseChecksumFile(bytes, NoAnsi, plainIsBlake3).lines) {
        lines += (lines.empty() ? "" : "|") + std::to_string(line.number) + ":";
        lines += line.bad ? "bad"
                          : "0" + std::to_string(int(line.algorithm)) + ":" + line.hex.substr(0, 4) + ":" +
                                Utf16ToUtf8(line.name);
    }
    return lines;
}

TEST(ChecksumFile, GnuAndBsdFormsTheAlgorithmByLengthCommentsAndBadLines) {
    const std::string md5(32, 'A'), sha1(40, 'b'), sha256 = "0123" + std::string(60, 'f');
    EXPECT_EQ(Checked(md5 + "  a b.txt\r\n" + sha1 + " *bin/x.exe\n\n; note\n# note\r\n   \n" + sha256 +
                      "  dir\\name\n" + "SHA256 (c (1).txt) = " + sha256 + "\nMD5 (d) = " + md5 + "\r\n"),
              "1:00:aaaa:a b.txt|2:01:bbbb:bin/x.exe|7:02:0123:dir\\name|8:02:0123:c (1).txt|9:00:aaaa:d");
    // Wrong lengths, a tag that disagrees with the length, one blank, no name, not hex.
    EXPECT_EQ(Checked(std::string(31, 'a') + "  x\n" + "SHA1 (x) = " + md5 + "\n" + md5 + " x\n" + md5 + "  \n" +
                      std::string(31, 'a') + "g  x\nplain text\n"),
              "1:bad|2:bad|3:bad|4:bad|5:bad|6:bad");
}

TEST(ChecksumFile, EscapedNamesUtf8WithOrWithoutAMarkElseTheAnsiCodePage) {
    const std::string md5(32, 'a');
    EXPECT_EQ(Checked("\\" + md5 + "  a\\\\b\\nc\n\\MD5 (x\\\\y) = " + md5 + "\n\\" + md5 + "  bad\\q\n"),
              "1:00:aaaa:a\\b\nc|2:00:aaaa:x\\y|3:bad");
    EXPECT_EQ(Checked("\xEF\xBB\xBF" + md5 + "  caf\xC3\xA9\n"), "1:00:aaaa:caf\xC3\xA9");
    EXPECT_EQ(Checked(md5 + "  \xF0\x9F\x98\x80\n"), "1:00:aaaa:\xF0\x9F\x98\x80");
    // Not UTF-8: the whole file goes to the ANSI decoder.
    EXPECT_EQ(Checked(md5 + "  caf\xE9\n"), "1:bad");
}

TEST(ChecksumFile, Sha512LinesTagsAndOpenSslsForm) {
    const std::string sha512 = "e7c2" + std::string(124, 'b'), sha256 = "5891" + std::string(60, 'c');
    EXPECT_EQ(Checked(sha512 + "  a b.txt\nSHA512 (x (1).iso) = " + sha512 + "\n" + "SHA2-256(a b.txt)= " + sha256 +
                      "\nSHA2-512(y)= " + sha512 + "\nSHA256(old (2))= " + sha256 +
                      "\nMD5(m)= " + std::string(32, 'd') + "\nSHA1(s)= " + std::string(40, 'e') + "\n"),
              "1:03:e7c2:a b.txt|2:03:e7c2:x (1).iso|3:02:5891:a b.txt|4:03:e7c2:y|"
              "5:02:5891:old (2)|6:00:dddd:m|7:01:eeee:s");
    // A tag that disagrees with the length, OpenSSL's form without its blank, 127 digits.
    EXPECT_EQ(Checked("SHA512 (x) = " + sha256 + "\nSHA2-256(x)=" + sha256 + "\nSHA2-512(x)= " + sha256 + "\n" +
                      sha512.substr(1) + "  x\n"),
              "1:bad|2:bad|3:bad|4:bad");
}

TEST(ChecksumFile, GpgPrintMdForEachAlgorithmWrappedOrOnTheNextLine) {
    // As gpg --print-md MD5, SHA1, SHA256 and SHA512 print them, then a long name.
    const std::string gpg =
        "a b.txt: B1 94 6A C9 24 92 D2 34  7C 62 35 B4 D2 61 11 84\n"
        "a b.txt: F572 D396 FAE9 2066 2871  4FB2 CE00 F72E 94F2 258F\n"
        "a b.txt: 5891B5B5 22D5DF08 6D0FF0B1 10FBD9D2 1BB4FC71 63AF34D0 8286A2E8 46F6BE03\n"
        "a b.txt: E7C22B99 4C59D9CF 2B48E549 B1E24666 63604593 0D3DA7C1 ACB299D1 C3B7F931\n"
        "         F94AAE41 EDDA2C2B 207A36E1 0F8BCB8D 45223E54 878F5B31 6E7CE3B6 BC019629\n"
        "deep/er/a-very-long-name-indeed.bin: \n"
        "5891B5B5 22D5DF08 6D0FF0B1 10FBD9D2 1BB4FC71 63AF34D0 8286A2E8 46F6BE03\n"
        "C:\\x\\y z: F572 D396 FAE9 2066 2871  4FB2 CE00 F72E 94F2 258F\n";
    EXPECT_EQ(Checked(gpg),
              "1:00:b194:a b.txt|2:01:f572:a b.txt|3:02:5891:a b.txt|4:03:e7c2:a b.txt|"
              "6:02:5891:deep/er/a-very-long-name-indeed.bin|8:01:f572:C:\\x\\y z");
    EXPECT_EQ(ParseChecksumFile(gpg, NoAnsi).lines[3].hex,
              "e7c22b994c59d9cf2b48e549b1e24666636045930d3da7c1acb299d1c3b7f931"
              "f94aae41edda2c2b207a36e10f8bcb8d45223e54878f5b316e7ce3b6bc019629");
    // Groups that make no digest's length, a name and no digest at the end.
    EXPECT_EQ(Checked("x: B1 94 6A\ny: F572 D396 FAE9 2066 2871  4FB2 CE00 F72E 94F2 258F 12\nz: \n"),
              "1:bad|2:bad|3:bad");
}

TEST(ChecksumFile, ClearSignedTextLosesItsArmourAndDashEscapes) {
    const std::string sha256(64, 'a');
    const std::string text = "-----BEGIN PGP SIGNED MESSAGE-----\r\nHash: SHA256\r\nHash: SHA512\r\n\r\n" + sha256 +
                             "  a.iso\r\n- -dash.txt is escaped\r\n" + sha256 + "  b.iso\r\n" +
                             "-----BEGIN PGP SIGNATURE-----\r\n\r\niQEzBAEBCAAdFiEE\r\n=abcd\r\n"
                             "-----END PGP SIGNATURE-----\r\n";
    EXPECT_TRUE(ParseChecksumFile(text, NoAnsi).clearSigned);
    EXPECT_TRUE(IsClearSigned("\xEF\xBB\xBF\r\n" + text));
    EXPECT_EQ(Checked(text), "5:02:aaaa:a.iso|6:bad|7:02:aaaa:b.iso");
    // Only the signed part gives entries: nothing after the signature block, whatever it is.
    for (const std::string& after :
         {sha256 + "  c.iso\r\n", "\r\n" + sha256 + "  c.iso\n# x\n",
          "-----BEGIN PGP SIGNED MESSAGE-----\n\n" + sha256 + "  c.iso\n", std::string("not an entry\n")})
        EXPECT_EQ(Checked(text + after), "5:02:aaaa:a.iso|6:bad|7:02:aaaa:b.iso") << after;
    // The header is one only at the start; a plain file is not signed.
    EXPECT_FALSE(ParseChecksumFile(sha256 + "  a\n-----BEGIN PGP SIGNED MESSAGE-----\n", NoAnsi).clearSigned);
    EXPECT_FALSE(IsClearSigned(sha256 + "  a\n"));
    EXPECT_FALSE(IsClearSigned("-----BEGIN PGP SIGNATURE-----\n"));
    // Empty, comments only, and a signed text with no entry: nothing to check.
    for (const char* nothing :
         {"", "# none\n\n; none\n",
          "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA256\n\n-----BEGIN PGP SIGNATURE-----\nxyz\n"
          "-----END PGP SIGNATURE-----\n"})
        EXPECT_TRUE(ParseChecksumFile(nothing, NoAnsi).lines.empty()) << nothing;
}

// 64 digits in b3sum's plain form are BLAKE3 only in its own files; its tag says so anywhere.
TEST(ChecksumFile, Blake3PlainInB3sumsFilesTaggedAnywhere) {
    const std::string hex = "af13" + std::string(60, 'a');
    const std::string text = hex + "  a b.txt\nBLAKE3 (c) = " + hex + "\nSHA256 (d) = " + hex +
                             "\nBLAKE3 (e) = " + hex.substr(1) + "\n" + std::string(40, 'b') + "  f\n";
    EXPECT_EQ(Checked(text, true), "1:04:af13:a b.txt|2:04:af13:c|3:02:af13:d|4:bad|5:01:bbbb:f");
    EXPECT_EQ(Checked(text), "1:02:af13:a b.txt|2:04:af13:c|3:02:af13:d|4:bad|5:01:bbbb:f");
    for (const char16_t* name : {u"x.b3", u"X.BLAKE3", u"B3SUMS", u"blake3sums"})
        EXPECT_TRUE(IsBlake3SumsName(name) && IsChecksumFileName(name)) << Utf16ToUtf8(name);
    for (const char16_t* name : {u"x.sha256", u"b3", u"x.b3sum.txt", u"SHA256SUMS"})
        EXPECT_FALSE(IsBlake3SumsName(name)) << Utf16ToUtf8(name);
}

TEST(ChecksumFileNames, WhichFilesHoldChecksumsAndWhichPublishADownload) {
    for (const char16_t* name : {u"a.md5", u"A.SHA1", u"x.iso.sha256", u"y.Sha512", u"MD5SUMS", u"sha1sums",
                                 u"SHA256SUMS", u"SHA512SUMS", u"CHECKSUMS", u"checksums.txt", u"CHECKSUMS-2.0",
                                 u"x.iso.md5sum", u"x.iso.SHA1SUM", u"x.iso.sha256sum", u"x.iso.Sha512Sum"})
        EXPECT_TRUE(IsChecksumFileName(name)) << Utf16ToUtf8(name);
    for (const char16_t* name : {u"a.iso", u"SHA256SUMS.asc", u"sha256", u"my.checksums", u"SHA256SUMS.gpg", u"md5",
                                 u"x.sha256sums", u"x.sha256sum.sig", u"x.sum"})
        EXPECT_FALSE(IsChecksumFileName(name)) << Utf16ToUtf8(name);
    EXPECT_TRUE(IsSignatureFileName(u"SHA256SUMS.ASC"));
    // Companions of a download, and signatures of a file, by name: {name, of, is}.
    using Pair = std::tuple<const char16_t*, const char16_t*, bool>;
    for (const auto& [name, download, is] :
         {Pair{u"image.iso.sha256sum", u"image.iso", true}, Pair{u"IMAGE.ISO.SHA512", u"image.iso", true},
          Pair{u"image.iso.DIGESTS", u"image.iso", true}, Pair{u"image.iso.torrent", u"image.iso", false},
          Pair{u"image.iso", u"image.iso", false}, Pair{u"image.isosha256", u"image.iso", false}})
        EXPECT_EQ(IsCompanionName(name, download), is) << Utf16ToUtf8(name);
    for (const auto& [name, of, is] :
         {Pair{u"SHA256SUMS.gpg", u"SHA256SUMS", true}, Pair{u"x.ISO.Sig", u"x.iso", true},
          Pair{u"x.iso.sign", u"x.iso", true}, Pair{u"x.iso.asc", u"x.iso", true},
          Pair{u"x.iso.sha256.sig", u"x.iso", false}, Pair{u"x.isosig", u"x.iso", false},
          Pair{u"x.iso.torrent", u"x.iso", false}, Pair{u"y.iso.sig", u"x.iso", false}, Pair{u".sig", u"", false}})
        EXPECT_EQ(IsSignatureOf(name, of), is) << Utf16ToUtf8(name);
}

// A signature beside a release, told by its name and, for .asc and .gpg, its first bytes.
TEST(ChecksumFileRoles, SignaturesBesideAReleaseAreToldFromChecksumFilesAndDownloads) {
    const std::string clearSigned = "\r\n-----BEGIN PGP SIGNED MESSAGE-----\r\nHash: SHA256\r\n";
    const std::string armoured = "-----BEGIN PGP SIGNATURE-----\n\niQEzBAABCAAdFiEE\n";
    // gpg --detach-sign: a signature packet in the old format, of each length type, or the new;
    // --armor gives the armoured form. What else gpg writes under .gpg is a file to verify:
    // encrypted to a key or with a passphrase, a signed and compressed message, a public key, a
    // one-pass signature.
    constexpr FileRole kSig = FileRole::Signature, kSums = FileRole::Checksums, kOther = FileRole::Other;
    using Case = std::tuple<const char16_t*, std::string, FileRole>;
    for (const auto& [name, head, role] :
         {Case{u"SHA256SUMS.asc", clearSigned, kSums}, Case{u"SHA256SUMS.asc", armoured, kSig},
          Case{u"x.iso.ASC", "-----BEGIN PGP PUBLIC KEY BLOCK-----\n", kSig}, Case{u"x.asc", "", kSig},
          Case{u"SHA256SUMS.sig", "\x89\x02\x33\x04", kSig}, Case{u"SHA256SUMS.SIG", "anything", kSig},
          Case{u"SHA256SUMS.sign", "", kSig}, Case{u"x.iso.sha256sum", "", kSums}, Case{u"SHA256SUMS", armoured, kSums},
          Case{u"x.iso", "\x89\x02", kOther}, Case{u"x.signature", "", kOther}})
        EXPECT_EQ(RoleOfFile(name, head), role) << Utf16ToUtf8(name) << " " << head.substr(0, 8);
    for (const std::string& head :
         {std::string("\x88\x5e\x04\x00"), std::string("\x89\x01\x33\x04"), std::string("\x8a\x00\x00\x01\x33", 5),
          std::string("\xc2\xc0\x00", 3), "\xEF\xBB\xBF" + armoured})
        for (const char16_t* name : {u"SHA256SUMS.gpg", u"SHA256SUMS.GPG"})
            EXPECT_EQ(RoleOfFile(name, head), kSig) << Utf16ToUtf8(name) << " " << head.substr(0, 8);
    for (const std::string& head :
         {std::string("\x85\x01\x0c\x03"), std::string("\x8c\x0d\x04\x09"), std::string("\xc3\x0d\x04\x09", 4),
          std::string("\xa3\x01\x3b"), std::string("\x99\x01\x0d\x04"), std::string("\x90\x0d\x03\x00"), std::string()})
        EXPECT_EQ(RoleOfFile(u"backup.tar.gpg", head), kOther) << head.substr(0, 8);
    // The roles that the first bytes decide are asked for them.
    for (const char16_t* name : {u"SHA256SUMS.asc", u"x.GPG"}) EXPECT_TRUE(RoleNeedsHead(name)) << Utf16ToUtf8(name);
    for (const char16_t* name : {u"SHA256SUMS", u"x.sig", u"x.sign", u"x.iso", u"gpg", u"asc"})
        EXPECT_FALSE(RoleNeedsHead(name)) << Utf16ToUtf8(name);
}

// One digest of the four lengths in any case, blanks around it; or in groups cut by blanks or
// colons, as gpg --print-md prints one (wrapped for SHA-512) and download pages show one.
TEST(PastedDigest, OneDigestBlanksAroundGroupsCutByBlanksOrColons) {
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    constexpr ChecksumAlgorithm kRefused = ChecksumAlgorithm::Md5, kSha256 = ChecksumAlgorithm::Sha256;
    const std::tuple<std::u16string, std::string, ChecksumAlgorithm> cases[] = {
        // text, hex (empty: refused), algorithm
        {u" \t" + std::u16string(64, u'A') + u"\r\n", std::string(64, 'a'), kSha256},
        {std::u16string(128, u'0'), std::string(128, '0'), ChecksumAlgorithm::Sha512},
        {u"BA7816BF 8F01CFEA 414140DE 5DAE2223 B00361A3 96177A9C B410FF61 F20015AD", abc, kSha256},
        {u"BA7816BF8F01CFEA 414140DE5DAE2223\r\nB00361A396177A9C B410FF61F20015AD", abc, kSha256},
        {u"ba:78:16:bf:8f:01:cf:ea:41:41:40:de:5d:ae:22:23:b0:03:61:a3:96:17:7a:9c:b4:10:ff:61:f2:00:15:ad", abc,
         kSha256},
        {u"BA7816BF 8F01CFEA 414140DE 5DAE2223 B00361A3 96177A9C B410FF61 F20015A", "", kRefused},  // a digit short
        {u"ba:78::16bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", "", kRefused},
        {u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad:", "", kRefused},
        {u"ba7816bf8f01cfea414140de5dae2223 b00361a396177a9cb410ff61f20015ad", "", kRefused},  // two MD5s
        {u"ba7816bf 8f01cfea-414140de5dae2223b00361a396177a9cb410ff61f20015ad", "", kRefused},
        {std::u16string(63, u'a'), "", kRefused},
        {std::u16string(32, u'g'), "", kRefused},
        {u"", "", kRefused},
        {std::u16string(32, u'a') + u"  file.txt", "", kRefused},
    };
    for (const auto& [text, hex, algorithm] : cases) {
        std::string read;
        ChecksumAlgorithm readAlgorithm = kRefused;
        EXPECT_EQ(ReadPastedDigest(text, read, readAlgorithm), !hex.empty()) << Utf16ToUtf8(text);
        EXPECT_EQ(read, hex) << Utf16ToUtf8(text);
        EXPECT_EQ(readAlgorithm, algorithm) << Utf16ToUtf8(text);
    }
    EXPECT_STREQ(AlgorithmName(ChecksumAlgorithm::Sha512), "SHA512");
}

}  // namespace
