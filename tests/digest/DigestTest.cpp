// Known answers, chunking and the wipe after Final, for both digests. Built natively
// (with the sanitizers, and checked against OpenSSL) and for Windows (run under Wine).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Md5Digest.h"
#include "Sha1Digest.h"

#ifdef VEX_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::string Md5Text(const std::string& message) {
    CMd5Digest md5;
    Md5Context context;
    md5.Init(&context);
    md5.Update(&context, Bytes(message), uint32_t(message.size()));
    md5.Final(&context);
    char text[512];
    md5.Report(text, sizeof(text));
    return text;
}

std::string Sha1Text(const std::string& message, uint8_t type = CSha1Digest::kReportHex) {
    CSha1Digest sha1;
    sha1.Update(Bytes(message), uint32_t(message.size()));
    sha1.Final();
    char text[512];
    sha1.Report(text, type);
    return text;
}

// Feeds `message` in the given chunk sizes (cycled), into both digests.
std::pair<std::string, std::string> ChunkedTexts(const std::vector<uint8_t>& message,
                                                 const std::vector<uint32_t>& chunks) {
    CMd5Digest md5;
    Md5Context context;
    CSha1Digest sha1;
    md5.Init(&context);
    size_t offset = 0;
    for (size_t i = 0; offset < message.size(); ++i) {
        const uint32_t n = uint32_t(std::min<size_t>(chunks[i % chunks.size()], message.size() - offset));
        sha1.Update(message.data() + offset, n);
        md5.Update(&context, message.data() + offset, n);
        offset += n;
    }
    md5.Final(&context);
    sha1.Final();
    char md5Text[512], sha1Text[512];
    md5.Report(md5Text, sizeof(md5Text));
    sha1.Report(sha1Text, CSha1Digest::kReportHex);
    return {md5Text, sha1Text};
}

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(Md5Text(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5Text("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(Md5Text("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5Text("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(Md5Text("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(Md5Text("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    EXPECT_EQ(Md5Text("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(Sha1, Fips180Messages) {
    EXPECT_EQ(Sha1Text(""), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(Sha1Text("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(Sha1Text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(Sha1Text(std::string(1000000, 'a')), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1, ReportTypes) {
    EXPECT_EQ(Sha1Text("abc", CSha1Digest::kReportDigits), "1691536254716129106186623711312080194108156208216157");

    CSha1Digest sha1;
    sha1.Final();
    char text[64];
    for (uint8_t type : {uint8_t(2), uint8_t(255)}) {
        strcpy(text, "previous text that must go");
        sha1.Report(text, type);
        EXPECT_STREQ(text, "Error: Unknown report type!");
    }
    uint8_t digest[20];
    sha1.CopyDigest(digest);
    EXPECT_EQ(digest[0], 0xDA);
    EXPECT_EQ(digest[19], 0x09);
}

TEST(Digests, ChunkSizesDoNotChangeTheResult) {
    std::mt19937 random(1321);
    std::vector<uint8_t> message(3 * 8192 + 77);
    for (auto& byte : message) byte = uint8_t(random());
    const auto whole = ChunkedTexts(message, {uint32_t(message.size())});
    for (const std::vector<uint32_t>& chunks :
         std::vector<std::vector<uint32_t>>{{1}, {63}, {64}, {65}, {8192}, {1, 63, 64, 65, 8192}, {55, 9, 0, 130}}) {
        EXPECT_EQ(ChunkedTexts(message, chunks), whole);
    }
}

TEST(Digests, PaddingBoundaries) {
    // 55 bytes fit the length into the last block; 56 and 63 need a second one.
    EXPECT_EQ(Md5Text(std::string(55, 'a')), "EF1772B6DFF9A122358552954AD0DF65");
    EXPECT_EQ(Md5Text(std::string(56, 'a')), "3B0C8AC703F828B04C6C197006D17218");
    EXPECT_EQ(Md5Text(std::string(64, 'a')), "014842D480B571495A4A0363793F7367");
    EXPECT_EQ(Sha1Text(std::string(55, 'a')), "C1C8BBDC22796E28C0E15163D20899B65621D65A");
    EXPECT_EQ(Sha1Text(std::string(56, 'a')), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699");
    EXPECT_EQ(Sha1Text(std::string(64, 'a')), "0098BA824B5C16427BD7A1122A5A442A25EC644D");
}

TEST(Digests, FinalWipesTheRunningState) {
    CMd5Digest md5;
    Md5Context context;
    md5.Init(&context);
    md5.Update(&context, Bytes("secret message"), 14);
    md5.Final(&context);
    const Md5Context zero = {};
    EXPECT_EQ(memcmp(&context, &zero, sizeof(context)), 0);

    CSha1Digest first, second;
    first.Update(Bytes("secret message"), 14);
    second.Update(Bytes("another, longer secret message"), 30);
    first.Final();
    second.Final();
    for (int i = 0; i < 2; ++i) EXPECT_EQ(first.Count()[i], 0u);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(first.Buffer()[i], 0);
    EXPECT_EQ(memcmp(first.State(), second.State(), 5 * sizeof(uint32_t)), 0);

    char text[64];
    first.Report(text, CSha1Digest::kReportHex);
    EXPECT_EQ(std::string(text), Sha1Text("secret message"));
}

TEST(Digests, MessageLongerThan2To32BitsCarriesIntoHighCount) {
    // 512 MiB + 1000 bytes of a fixed pattern; expected values from Python's hashlib.
    std::vector<uint8_t> buffer(8192);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = uint8_t(i * 31 + 7);
    CMd5Digest md5;
    Md5Context context;
    CSha1Digest sha1;
    md5.Init(&context);
    for (int i = 0; i < 65536; ++i) {
        md5.Update(&context, buffer.data(), 8192);
        sha1.Update(buffer.data(), 8192);
    }
    md5.Update(&context, buffer.data(), 1000);
    sha1.Update(buffer.data(), 1000);
    EXPECT_EQ(context.count[1], 1u);
    EXPECT_EQ(sha1.Count()[1], 1u);
    md5.Final(&context);
    sha1.Final();
    char md5Text[512], sha1Text[512];
    md5.Report(md5Text, sizeof(md5Text));
    sha1.Report(sha1Text, CSha1Digest::kReportHex);
    EXPECT_STREQ(md5Text, "C2E953B244C33EC87110F38125943641");
    EXPECT_STREQ(sha1Text, "B354647274D8554B59B7B82147D85977E2C46C59");
}

#ifdef VEX_HAVE_OPENSSL
std::string OpenSslText(const EVP_MD* type, const std::vector<uint8_t>& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(message.data(), message.size(), digest, &length, type, nullptr);
    std::string text;
    char hex[3];
    for (unsigned i = 0; i < length; ++i) {
        snprintf(hex, sizeof(hex), "%02X", digest[i]);
        text += hex;
    }
    return text;
}

TEST(Digests, AgreeWithOpenSslForEveryLengthUpTo300) {
    std::mt19937 random(180);
    for (size_t length = 0; length <= 300; ++length) {
        std::vector<uint8_t> message(length);
        for (auto& byte : message) byte = uint8_t(random());
        std::vector<uint32_t> chunks(5);
        for (auto& chunk : chunks) chunk = 1 + random() % 97;
        const auto ours = ChunkedTexts(message, chunks);
        EXPECT_EQ(ours.first, OpenSslText(EVP_md5(), message)) << "length " << length;
        EXPECT_EQ(ours.second, OpenSslText(EVP_sha1(), message)) << "length " << length;
    }
}
#endif

}  // namespace
