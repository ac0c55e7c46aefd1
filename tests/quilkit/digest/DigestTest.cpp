// Known answers, chunking and the wipe after Final, for every digest; the SHA tests run once
// per compression path the processor has. Built natively (with the sanitizers, and checked
// against OpenSSL) and for Windows (run under Wine).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Blake3Digest.h"
#include "DigestPaths.h"
#include "Md5Digest.h"
#include "Sha1Digest.h"
#include "Sha256Digest.h"
#include "Sha512Digest.h"
#include "Sha512Extensions.h"

#ifdef VEX_HAVE_OPENSSL
#include <openssl/evp.h>
#endif

// Names the path in gtest's messages instead of dumping the enum's bytes.
void PrintTo(DigestPath path, std::ostream* os) {
    *os << (path == DigestPath::Portable        ? "Portable"
            : path == DigestPath::ShaExtensions ? "ShaExtensions"
            : path == DigestPath::Avx2Bmi2      ? "Avx2Bmi2"
            : path == DigestPath::Sse41         ? "Sse41"
            : path == DigestPath::Avx2          ? "Avx2"
            : path == DigestPath::Avx512        ? "Avx512"
                                                : "Auto");
}

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::vector<uint8_t> RandomBytes(size_t length, std::mt19937& random) {
    std::vector<uint8_t> message(length);
    for (auto& byte : message) byte = uint8_t(random());
    return message;
}

// MD5 behind the SHA digests' interface, so that one driver feeds every digest.
class Md5 {
public:
    static constexpr uint8_t kReportHex = 0;
    Md5() { m_md5.Init(&m_context); }
    void Update(const uint8_t* data, uint32_t size) { m_md5.Update(&m_context, data, size); }
    void Final() { m_md5.Final(&m_context); }
    void Report(char* text, uint8_t) { m_md5.Report(text, 512); }
    CMd5Digest m_md5;
    Md5Context m_context;
};

// Feeds `message` to a digest in the given chunk sizes (cycled) and reports it.
template <class Digest>
std::string ShaChunked(const std::vector<uint8_t>& message, const std::vector<uint32_t>& chunks,
                       uint8_t type = Digest::kReportHex) {
    Digest digest;
    size_t offset = 0;
    for (size_t i = 0; offset < message.size(); ++i) {
        const uint32_t n = uint32_t(std::min<size_t>(chunks[i % chunks.size()], message.size() - offset));
        digest.Update(message.data() + offset, n);
        offset += n;
    }
    digest.Final();
    char text[512];
    digest.Report(text, type);
    return text;
}
template <class Digest>
std::string ShaText(const std::string& message, uint8_t type = Digest::kReportHex) {
    return ShaChunked<Digest>(std::vector<uint8_t>(message.begin(), message.end()), {uint32_t(message.size()) + 1},
                              type);
}
std::string Sha512Chunked(const std::vector<uint8_t>& message, const std::vector<uint32_t>& chunks) {
    return ShaChunked<CSha512Digest>(message, chunks);
}

// Each a message and its digest in hex.
template <class Digest>
void ExpectKnownAnswers(std::initializer_list<std::pair<std::string, const char*>> answers) {
    for (const auto& [message, hex] : answers)
        EXPECT_EQ(ShaText<Digest>(message), hex) << message.size() << " bytes: " << message.substr(0, 20);
}

// Chunks of one byte, around a block of `block` bytes and across several: the result of
// the whole message at once.
template <class Digest>
void ExpectChunkingKeepsTheResult(uint32_t block, unsigned seed) {
    std::mt19937 random(seed);
    const std::vector<uint8_t> message = RandomBytes(3 * 8192 + 77, random);
    const std::string whole = ShaChunked<Digest>(message, {uint32_t(message.size())});
    for (const std::vector<uint32_t>& chunks :
         std::vector<std::vector<uint32_t>>{{1},
                                            {block - 1},
                                            {block},
                                            {block + 1},
                                            {2 * block},
                                            {3 * block},
                                            {8192},
                                            {1, block - 1, block, block + 1, 8192},
                                            {55, 9, 0, 2 * block - 6}})
        EXPECT_EQ(ShaChunked<Digest>(message, chunks), whole) << chunks[0] << " first";
}

// Report's hex form (nothing written past its end) and decimal form, a type it does not
// know, and the digest's first and last bytes.
template <class Digest, size_t kBytes>
void ExpectReportsAndCopy(Digest& digest, const std::string& hex, const char* digits, uint8_t first, uint8_t last) {
    char text[256];
    memset(text, '#', sizeof(text));
    digest.Report(text, Digest::kReportHex);
    EXPECT_EQ(std::string(text), hex);
    EXPECT_EQ(text[2 * kBytes + 1], '#');
    digest.Report(text, Digest::kReportDigits);
    EXPECT_STREQ(text, digits);
    for (uint8_t type : {uint8_t(2), uint8_t(255)}) {
        strcpy(text, "previous text that must go");
        digest.Report(text, type);
        EXPECT_STREQ(text, "Error: Unknown report type!");
    }
    uint8_t bytes[kBytes];
    digest.CopyDigest(bytes);
    EXPECT_EQ(bytes[0], first);
    EXPECT_EQ(bytes[kBytes - 1], last);
}

// Each SHA test runs on every path; the SHA-extensions run is skipped, saying so, where the
// processor lacks them. SHA-1 and SHA-256 take the same path.
class ShaPathTest : public testing::TestWithParam<DigestPath> {
protected:
    void SetUp() override {
        if (GetParam() == DigestPath::ShaExtensions && !HasShaExtensions())
            GTEST_SKIP() << "this processor has no SHA extensions: only the portable path is tested";
        ForceDigestPath(GetParam());
        ASSERT_EQ(ActiveDigestPath(), GetParam());
    }
    void TearDown() override { ForceDigestPath(DigestPath::Auto); }
};

std::string PathName(const testing::TestParamInfo<DigestPath>& info) { return testing::PrintToString(info.param); }

class Sha1 : public ShaPathTest {};
class Sha256 : public ShaPathTest {};
const auto kPaths = testing::Values(DigestPath::Portable, DigestPath::ShaExtensions);
INSTANTIATE_TEST_SUITE_P(Paths, Sha1, kPaths, PathName);
INSTANTIATE_TEST_SUITE_P(Paths, Sha256, kPaths, PathName);

// The RFC's test suite; 55 bytes fit the length into the last block, 56 and 64 need a
// second one.
TEST(Md5, Rfc1321TestSuiteAndPadding) {
    ExpectKnownAnswers<Md5>({
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {std::string(55, 'a'), "EF1772B6DFF9A122358552954AD0DF65"},
        {std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
        {std::string(64, 'a'), "014842D480B571495A4A0363793F7367"},
    });
}

TEST(Md5, ChunkSizesDoNotChangeTheResult) { ExpectChunkingKeepsTheResult<Md5>(64, 1321); }

TEST(Md5, FinalWipesTheRunningState) {
    CMd5Digest md5;
    Md5Context context;
    md5.Init(&context);
    md5.Update(&context, Bytes("secret message"), 14);
    md5.Final(&context);
    const Md5Context zero = {};
    EXPECT_EQ(memcmp(&context, &zero, sizeof(context)), 0);
}

TEST_P(Sha1, Fips180MessagesAndPadding) {
    ExpectKnownAnswers<CSha1Digest>({
        {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
        {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
        {std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
        {std::string(55, 'a'), "C1C8BBDC22796E28C0E15163D20899B65621D65A"},
        {std::string(56, 'a'), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
        {std::string(64, 'a'), "0098BA824B5C16427BD7A1122A5A442A25EC644D"},
    });
}

TEST_P(Sha1, ChunkSizesDoNotChangeTheResult) { ExpectChunkingKeepsTheResult<CSha1Digest>(64, 1321); }

// Final leaves the state a fresh digest ends with, and nothing of the message.
TEST_P(Sha1, ReportCopyAndWipe) {
    CSha1Digest first, second;
    first.Update(Bytes("abc"), 3);
    second.Update(Bytes("another, longer secret message"), 30);
    first.Final();
    second.Final();
    for (int i = 0; i < 2; ++i) EXPECT_EQ(first.Count()[i], 0u);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(first.Buffer()[i], 0);
    EXPECT_EQ(memcmp(first.State(), second.State(), 5 * sizeof(uint32_t)), 0);
    ExpectReportsAndCopy<CSha1Digest, 20>(first, "A9993E364706816ABA3E25717850C26C9CD0D89D",
                                          "1691536254716129106186623711312080194108156208216157", 0xA9, 0x9D);
}

// 512 MiB + 1000 bytes of a fixed pattern: the bit count passes 2^32. Expected values from
// Python's hashlib.
TEST_P(Sha1, MessageLongerThan2To32BitsCarriesIntoHighCount) {
    std::vector<uint8_t> buffer(8192);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = uint8_t(i * 31 + 7);
    Md5 md5;
    CSha1Digest sha1;
    CSha256Digest sha256;
    for (int i = 0; i <= 65536; ++i) {
        const uint32_t size = i < 65536 ? 8192 : 1000;
        md5.Update(buffer.data(), size);
        sha1.Update(buffer.data(), size);
        sha256.Update(buffer.data(), size);
    }
    EXPECT_EQ(md5.m_context.count[1], 1u);
    EXPECT_EQ(sha1.Count()[1], 1u);
    EXPECT_EQ(sha256.Count(), (uint64_t(65536) * 8192 + 1000) * 8);
    md5.Final();
    sha1.Final();
    sha256.Final();
    char md5Text[512], sha1Text[41], sha256Text[65];
    md5.Report(md5Text, Md5::kReportHex);
    sha1.Report(sha1Text, CSha1Digest::kReportHex);
    sha256.Report(sha256Text, CSha256Digest::kReportHex);
    EXPECT_STREQ(md5Text, "C2E953B244C33EC87110F38125943641");
    EXPECT_STREQ(sha1Text, "B354647274D8554B59B7B82147D85977E2C46C59");
    EXPECT_STREQ(sha256Text, "69BA7B8E41B49E70C1C9472DE81CA527D35890319FECA9B65D5ADC29C7AFFCF3");
}

TEST_P(Sha256, Fips180MessagesAndPadding) {
    ExpectKnownAnswers<CSha256Digest>({
        {"", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
        {"abc", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopq"
         "rstu",
         "CF5B16A778AF8380036CE59E7B0492370B249B11E8F07A51AFAC45037AFEE9D1"},
        {std::string(1000000, 'a'), "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
        {std::string(55, 'a'), "9F4390F8D30C2DD92EC9F095B65E2B9AE9B0A925A5258E241C9F1E910F734318"},
        {std::string(56, 'a'), "B35439A4AC6F0948B6D6F9E3C6AF0F5F590CE20F1BDE7090EF7970686EC6738A"},
        {std::string(64, 'a'), "FFE054FE7AE0CB6DC65C3AF9B61D5209F439851DB43D0BA5997337DF154668EB"},
    });
}

TEST_P(Sha256, ChunkSizesDoNotChangeTheResult) { ExpectChunkingKeepsTheResult<CSha256Digest>(64, 256); }

TEST_P(Sha256, ReportCopyAndWipe) {
    CSha256Digest sha256;
    sha256.Update(Bytes("abc"), 3);
    sha256.Final();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(sha256.State()[i], 0u);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(sha256.Buffer()[i], 0);
    EXPECT_EQ(sha256.Count(), 0u);
    ExpectReportsAndCopy<CSha256Digest, 32>(
        sha256, "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
        "186120221911431207234656564222931743435176397163150231221561801625597242021173", 0xBA, 0xAD);
}

TEST(DigestPaths, AutoTakesShaExtensionsWhereAvailable) {
    ForceDigestPath(DigestPath::Auto);
    EXPECT_EQ(ActiveDigestPath(), HasShaExtensions() ? DigestPath::ShaExtensions : DigestPath::Portable);
}

// Each SHA digest, its message fed on the portable path, AVX2, the SHA instructions and
// whatever Auto takes by turns: the result of the portable path alone.
TEST(DigestPaths, SwitchingPathMidMessageKeepsTheResult) {
    std::vector<uint8_t> message(5000);
    for (size_t i = 0; i < message.size(); ++i) message[i] = uint8_t(i * 7 + 1);
    CSha1Digest sha1;
    CSha256Digest sha256;
    CSha512Digest sha512;
    const uint32_t parts[] = {1000, 77, 1300, 2623};
    const DigestPath paths[] = {DigestPath::Portable, DigestPath::Avx2Bmi2, DigestPath::ShaExtensions,
                                DigestPath::Auto};
    size_t offset = 0;
    for (int i = 0; i < 4; ++i) {
        ForceDigestPath(paths[i]);
        sha1.Update(message.data() + offset, parts[i]);
        sha256.Update(message.data() + offset, parts[i]);
        sha512.Update(message.data() + offset, parts[i]);
        offset += parts[i];
    }
    ForceDigestPath(DigestPath::Portable);
    sha1.Final();
    sha256.Final();
    sha512.Final();
    char sha1Text[41], sha256Text[65], sha512Text[129];
    sha1.Report(sha1Text, CSha1Digest::kReportHex);
    sha256.Report(sha256Text, CSha256Digest::kReportHex);
    sha512.Report(sha512Text, CSha512Digest::kReportHex);
    EXPECT_EQ(sha1Text, ShaChunked<CSha1Digest>(message, {5000}));
    EXPECT_EQ(sha256Text, ShaChunked<CSha256Digest>(message, {5000}));
    EXPECT_EQ(sha512Text, Sha512Chunked(message, {5000}));
    ForceDigestPath(DigestPath::Auto);
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

// Every length up to 300 in small chunks, and 60 random lengths up to 70,000 in larger ones.
template <class Digest>
void ExpectAgreementWithOpenSsl(const EVP_MD* type, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 300; ++length) lengths.push_back(length);
    for (int i = 0; i < 60; ++i) lengths.push_back(random() % 70000);
    for (size_t length : lengths) {
        const std::vector<uint8_t> message = RandomBytes(length, random);
        std::vector<uint32_t> chunks(5);
        for (auto& chunk : chunks) chunk = 1 + random() % (length < 300 ? 97 : 9000);
        EXPECT_EQ(ShaChunked<Digest>(message, chunks), OpenSslText(type, message)) << "length " << length;
    }
}

TEST(Md5, AgreesWithOpenSsl) { ExpectAgreementWithOpenSsl<Md5>(EVP_md5(), 180); }
TEST_P(Sha1, AgreesWithOpenSsl) { ExpectAgreementWithOpenSsl<CSha1Digest>(EVP_sha1(), 180); }
TEST_P(Sha256, AgreesWithOpenSsl) { ExpectAgreementWithOpenSsl<CSha256Digest>(EVP_sha256(), 2563); }
#endif

// SHA-512 runs on up to three paths: the portable code, AVX2 with BMI2, and the SHA-512
// instructions; each test runs once per path, skipped where the processor lacks it.
class Sha512 : public testing::TestWithParam<DigestPath> {
protected:
    void SetUp() override {
        if (GetParam() == DigestPath::ShaExtensions && !HasSha512Extensions())
            GTEST_SKIP() << "this processor has no SHA-512 instructions; their model is tested below";
        if (GetParam() == DigestPath::Avx2Bmi2 && !HasAvx2Bmi2()) GTEST_SKIP() << "this processor has no AVX2 and BMI2";
        ForceDigestPath(GetParam());
        ASSERT_EQ(ActiveSha512Path(), GetParam());
    }
    void TearDown() override { ForceDigestPath(DigestPath::Auto); }
};
INSTANTIATE_TEST_SUITE_P(Paths, Sha512,
                         testing::Values(DigestPath::Portable, DigestPath::Avx2Bmi2, DigestPath::ShaExtensions),
                         PathName);

// 111 bytes fit the 16-byte length into the last block; 112 and 128 need a second one; 240
// are a pair and a single block on the two-block schedule.
TEST_P(Sha512, Fips180MessagesAndPadding) {
    ExpectKnownAnswers<CSha512Digest>({
        {"",
         "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE"
         "47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E"},
        {"abc",
         "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
         "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopq"
         "rstu",
         "8E959B75DAE313DA8CF4F72814FC143F8F7779C6EB9F7FA17299AEADB6889018"
         "501D289E4900F7E4331B99DEC4B5433AC7D329EEB6DD26545E96E55B874BE909"},
        {std::string(1000000, 'a'),
         "E718483D0CE769644E2E42C7BC15B4638E1F98B13B2044285632A803AFA973EB"
         "DE0FF244877EA60A4CB0432CE577C31BEB009C5C2C49AA2E4EADB217AD8CC09B"},
        {std::string(111, 'a'),
         "FA9121C7B32B9E01733D034CFC78CBF67F926C7ED83E82200EF86818196921760"
         "B4BEFF48404DF811B953828274461673C68D04E297B0EB7B2B4D60FC6B566A2"},
        {std::string(112, 'a'),
         "C01D080EFD492776A1C43BD23DD99D0A2E626D481E16782E75D54C2503B5DC32"
         "BD05F0F1BA33E568B88FD2D970929B719ECBB152F58F130A407C8830604B70CA"},
        {std::string(128, 'a'),
         "B73D1929AA615934E61A871596B3F3B33359F42B8175602E89F7E06E5F658A24"
         "3667807ED300314B95CACDD579F3E33ABDFBE351909519A846D465C59582F321"},
        {std::string(240, 'a'),
         "4C296D90C61052A62FFB1DD196F1B7B09373B1F93E71836BAEBF89690546B759"
         "5684DBE9467A8E484FA0D1094272B4344A7C24F5FEE8DAEDEB0BF549C985AB5F"},
    });
}

TEST_P(Sha512, ChunkSizesDoNotChangeTheResult) { ExpectChunkingKeepsTheResult<CSha512Digest>(128, 512); }

TEST_P(Sha512, ReportCopyAndWipe) {
    CSha512Digest sha512;
    sha512.Update(Bytes("abc"), 3);
    sha512.Final();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(sha512.State()[i], 0u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(sha512.Buffer()[i], 0);
    EXPECT_EQ(sha512.Length(), 0u);
    ExpectReportsAndCopy<CSha512Digest, 64>(
        sha512, ShaText<CSha512Digest>("abc"),
        "22117553161147971221862046511573174326549182302507813716912616210158238230"
        "758521115433146153423979193168541866035163254235189697768351006023214421542"
        "017916576164159",
        0xDD, 0x9F);
}

#ifdef VEX_HAVE_OPENSSL
TEST_P(Sha512, AgreesWithOpenSsl) { ExpectAgreementWithOpenSsl<CSha512Digest>(EVP_sha512(), 5121); }
#endif

TEST(DigestPaths, Sha512TakesItsInstructionsOnlyWhereTheProcessorHasThem) {
    ForceDigestPath(DigestPath::Auto);
    const DigestPath best = HasSha512Extensions() ? DigestPath::ShaExtensions
                            : HasAvx2Bmi2()       ? DigestPath::Avx2Bmi2
                                                  : DigestPath::Portable;
    EXPECT_EQ(ActiveSha512Path(), best);
    ForceDigestPath(DigestPath::ShaExtensions);
    EXPECT_EQ(ActiveSha512Path(), HasSha512Extensions() ? DigestPath::ShaExtensions : DigestPath::Portable);
    ForceDigestPath(DigestPath::Avx2Bmi2);
    EXPECT_EQ(ActiveSha512Path(), HasAvx2Bmi2() ? DigestPath::Avx2Bmi2 : DigestPath::Portable);
    // SHA-1 and SHA-256 have no AVX2 path: that request runs their portable code.
    EXPECT_EQ(ActiveDigestPath(), DigestPath::Portable);
    ForceDigestPath(DigestPath::Portable);
    EXPECT_EQ(ActiveSha512Path(), DigestPath::Portable);
    ForceDigestPath(DigestPath::Auto);
}

TEST(DigestPaths, DetectionAgreesWithTheKernelsFlags) {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line) && line.rfind("flags", 0) != 0) {
    }
    if (line.empty()) GTEST_SKIP() << "no /proc/cpuinfo here";
    line += ' ';
    auto has = [&](const char* flag) { return line.find(std::string(" ") + flag + " ") != std::string::npos; };
    EXPECT_EQ(HasSha512Extensions(), has("sha512") && has("avx2"));
    EXPECT_EQ(HasAvx2Bmi2(), has("avx2") && has("bmi1") && has("bmi2"));
    EXPECT_EQ(HasShaExtensions(), has("sha_ni"));
}

#ifdef VEX_SHA_EXTENSIONS
// The SHA-512 instructions as the processor manuals describe them, so that the code written
// for them runs, and is checked, on a processor that has only AVX2.
struct Sha512InstructionModel {
    struct Lanes {
        uint64_t q[4];
    };
    VEX_AVX2_TARGET static Lanes Of(__m256i v) {
        Lanes lanes;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes.q), v);
        return lanes;
    }
    VEX_AVX2_TARGET static __m256i From(const Lanes& lanes) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.q));
    }
    static uint64_t Rotate(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }
    static uint64_t LowerSigma0(uint64_t x) { return Rotate(x, 1) ^ Rotate(x, 8) ^ (x >> 7); }
    static uint64_t LowerSigma1(uint64_t x) { return Rotate(x, 19) ^ Rotate(x, 61) ^ (x >> 6); }

    VEX_AVX2_TARGET static __m256i Rounds2(__m256i cdghRegister, __m256i abefRegister, __m128i wkRegister) {
        const Lanes cdgh = Of(cdghRegister), abef = Of(abefRegister);
        uint64_t wk[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wk), wkRegister);
        uint64_t a = abef.q[3], b = abef.q[2], c = cdgh.q[3], d = cdgh.q[2];
        uint64_t e = abef.q[1], f = abef.q[0], g = cdgh.q[1], h = cdgh.q[0];
        uint64_t newA[2], newE[2];
        for (int i = 0; i < 2; ++i) {
            const uint64_t t1 = h + (Rotate(e, 14) ^ Rotate(e, 18) ^ Rotate(e, 41)) + ((e & f) ^ (~e & g)) + wk[i];
            const uint64_t t2 = (Rotate(a, 28) ^ Rotate(a, 34) ^ Rotate(a, 39)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
            newA[i] = a, newE[i] = e;
        }
        return From({{newE[0], newE[1], newA[0], newA[1]}});
    }
    VEX_AVX2_TARGET static __m256i Message1(__m256i wRegister, __m128i nextRegister) {
        const Lanes w = Of(wRegister);
        uint64_t next[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(next), nextRegister);
        const uint64_t w4 = next[0];
        return From({{w.q[0] + LowerSigma0(w.q[1]), w.q[1] + LowerSigma0(w.q[2]), w.q[2] + LowerSigma0(w.q[3]),
                      w.q[3] + LowerSigma0(w4)}});
    }
    VEX_AVX2_TARGET static __m256i Message2(__m256i partialRegister, __m256i previousRegister) {
        const Lanes partial = Of(partialRegister), previous = Of(previousRegister);
        Lanes out;
        out.q[0] = partial.q[0] + LowerSigma1(previous.q[2]);
        out.q[1] = partial.q[1] + LowerSigma1(previous.q[3]);
        out.q[2] = partial.q[2] + LowerSigma1(out.q[0]);
        out.q[3] = partial.q[3] + LowerSigma1(out.q[1]);
        return From(out);
    }
};

TEST(Sha512InstructionsModel, CompressionWrittenForTheInstructionsMatchesThePortableDigest) {
    if (!HasAvx2Bmi2()) GTEST_SKIP() << "the model runs on AVX2";
    std::mt19937 random(5120);
    for (size_t length : {size_t(0), size_t(3), size_t(111), size_t(112), size_t(500), size_t(4096 + 33)}) {
        std::vector<uint8_t> message(length);
        for (auto& byte : message) byte = uint8_t(random());
        // Padded by hand: 0x80, zeros, the length in bits as 128 bits big-endian.
        std::vector<uint8_t> padded(message);
        padded.push_back(0x80);
        while (padded.size() % 128 != 112) padded.push_back(0);
        for (int i = 15; i >= 0; --i) padded.push_back(i < 8 ? uint8_t((uint64_t(length) * 8) >> (8 * i)) : 0);

        uint64_t state[8] = {0x6A09E667F3BCC908, 0xBB67AE8584CAA73B, 0x3C6EF372FE94F82B, 0xA54FF53A5F1D36F1,
                             0x510E527FADE682D1, 0x9B05688C2B3E6C1F, 0x1F83D9ABFB41BD6B, 0x5BE0CD19137E2179};
        Sha512BlocksWith<Sha512InstructionModel>(state, padded.data(), padded.size() / 128);
        char text[129], *out = text;
        for (uint64_t word : state) out += snprintf(out, 17, "%016llX", static_cast<unsigned long long>(word));

        ForceDigestPath(DigestPath::Portable);
        EXPECT_EQ(text, Sha512Chunked(message, {uint32_t(length) + 1})) << "length " << length;
        ForceDigestPath(DigestPath::Auto);
    }
}
#endif

// BLAKE3 runs on up to four paths, each hashing whole chunks 1, 4, 8 or 16 at a time; each
// test runs once per path, skipped where the processor lacks it.
class Blake3 : public testing::TestWithParam<DigestPath> {
protected:
    void SetUp() override {
        const DigestPath path = GetParam();
        if ((path == DigestPath::Sse41 && !HasSse41()) || (path == DigestPath::Avx2 && !HasAvx2()) ||
            (path == DigestPath::Avx512 && !HasAvx512()))
            GTEST_SKIP() << "this processor cannot run this path";
        ForceDigestPath(path);
        ASSERT_EQ(ActiveBlake3Path(), path);
    }
    void TearDown() override { ForceDigestPath(DigestPath::Auto); }
};
INSTANTIATE_TEST_SUITE_P(Paths, Blake3,
                         testing::Values(DigestPath::Portable, DigestPath::Sse41, DigestPath::Avx2, DigestPath::Avx512),
                         PathName);

// Feeds `message` in the given piece sizes (cycled) to a digest of `threads` threads.
std::string Blake3Chunked(const std::vector<uint8_t>& message, const std::vector<size_t>& pieces,
                          unsigned threads = 1) {
    CBlake3Digest blake3(threads);
    size_t offset = 0;
    for (size_t i = 0; offset < message.size(); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], message.size() - offset);
        blake3.Update(message.data() + offset, n);
        offset += n;
    }
    blake3.Final();
    char text[65];
    blake3.Report(text, CBlake3Digest::kReportHex);
    return text;
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = char(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The input of the official test vectors: the bytes 0 to 250, repeated.
std::vector<uint8_t> RepeatingBytes(size_t length) {
    std::vector<uint8_t> message(length);
    for (size_t i = 0; i < length; ++i) message[i] = uint8_t(i % 251);
    return message;
}

// The BLAKE3 project's test vectors (test_vectors.json): the first 32 bytes of each hash.
const struct {
    size_t length;
    const char* hash;
} kBlake3Vectors[] = {
    {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {2, "7b7015bb92cf0b318037702a6cdd81dee41224f734684c2c122cd6359cb1ee63"},
    {3, "e1be4d7a8ab5560aa4199eea339849ba8e293d55ca0a81006726d184519e647f"},
    {4, "f30f5ab28fe047904037f77b6da4fea1e27241c5d132638d8bedce9d40494f32"},
    {5, "b40b44dfd97e7a84a996a91af8b85188c66c126940ba7aad2e7ae6b385402aa2"},
    {6, "06c4e8ffb6872fad96f9aaca5eee1553eb62aed0ad7198cef42e87f6a616c844"},
    {7, "3f8770f387faad08faa9d8414e9f449ac68e6ff0417f673f602a646a891419fe"},
    {8, "2351207d04fc16ade43ccab08600939c7c1fa70a5c0aaca76063d04c3228eaeb"},
    {63, "e9bc37a594daad83be9470df7f7b3798297c3d834ce80ba85d6e207627b7db7b"},
    {64, "4eed7141ea4a5cd4b788606bd23f46e212af9cacebacdc7d1f4c6dc7f2511b98"},
    {65, "de1e5fa0be70df6d2be8fffd0e99ceaa8eb6e8c93a63f2d8d1c30ecb6b263dee"},
    {127, "d81293fda863f008c09e92fc382a81f5a0b4a1251cba1634016a0f86a6bd640d"},
    {128, "f17e570564b26578c33bb7f44643f539624b05df1a76c81f30acd548c44b45ef"},
    {129, "683aaae9f3c5ba37eaaf072aed0f9e30bac0865137bae68b1fde4ca2aebdcb12"},
    {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {3073, "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
    {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {4097, "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
    {5120, "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
    {5121, "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
    {6144, "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
    {6145, "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
    {7168, "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
    {7169, "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
    {8192, "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
    {8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
    {16384, "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
    {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

// Each vector whole, in pieces that cross blocks and chunks at odd places, and in pieces
// that end on chunks, where the input so far may be the whole message.
TEST_P(Blake3, OfficialTestVectors) {
    for (const auto& vector : kBlake3Vectors) {
        const std::vector<uint8_t> message = RepeatingBytes(vector.length);
        EXPECT_EQ(Lowercase(Blake3Chunked(message, {vector.length + 1})), vector.hash) << "length " << vector.length;
        EXPECT_EQ(Lowercase(Blake3Chunked(message, {1, 63, 1000, 4097, 65})), vector.hash)
            << "length " << vector.length;
        EXPECT_EQ(Lowercase(Blake3Chunked(message, {1024, 2048, 3072, 8192})), vector.hash)
            << "length " << vector.length;
    }
}

TEST_P(Blake3, ReportTypesAndCopy) {
    CBlake3Digest blake3;
    const std::vector<uint8_t> message = RepeatingBytes(1);
    blake3.Update(message.data(), message.size());
    blake3.Final();
    uint8_t digest[32];
    blake3.CopyDigest(digest);
    EXPECT_EQ(digest[0], 0x2D);
    EXPECT_EQ(digest[31], 0x13);
    char text[128];
    blake3.Report(text, CBlake3Digest::kReportDigits);
    EXPECT_EQ(std::string(text).substr(0, 6), "455822");  // 0x2D 0x3A 0xDE
    blake3.Report(text, 7);
    EXPECT_STREQ(text, "Error: Unknown report type!");
}

// The threads take whole subtrees, whatever the reads look like and wherever a read leaves
// the tree: the result is that of one thread.
TEST_P(Blake3, ThreadsGiveTheResultOfOneThread) {
    std::mt19937 random(3);
    const std::vector<uint8_t> message = RandomBytes((5 << 20) + 4097, random);
    const std::string one = Blake3Chunked(message, {message.size()}, 1);
    EXPECT_EQ(Blake3Chunked(message, {message.size()}, 2), one);
    EXPECT_EQ(Blake3Chunked(message, {message.size()}, 3), one);
    EXPECT_EQ(Blake3Chunked(message, {1 << 20}, 2), one);
    EXPECT_EQ(Blake3Chunked(message, {1000, (3 << 20) + 17}, 4), one);
}

TEST_P(Blake3, FinalStartsAFreshMessage) {
    CBlake3Digest blake3;
    const std::vector<uint8_t> message = RepeatingBytes(5000);
    blake3.Update(message.data(), message.size());
    blake3.Final();
    blake3.Final();
    char text[65];
    blake3.Report(text, CBlake3Digest::kReportHex);
    EXPECT_EQ(Lowercase(text), kBlake3Vectors[0].hash);
}

#ifndef _WIN32
// b3sum (BLAKE3's reference, a Debian package) on files of random lengths and of a few
// chunks around every power of two up to 1 MiB, all hashed in one run of it.
TEST_P(Blake3, AgreesWithB3sum) {
    std::mt19937 random(1024);
    std::vector<size_t> lengths;
    for (size_t power = 1; power <= (1u << 20); power *= 2)
        for (long delta : {-2049L, -1025L, -1L, 0L, 1L, 1024L, 3073L})
            if (long(power) + delta >= 0) lengths.push_back(size_t(long(power) + delta));
    for (int i = 0; i < 16; ++i) lengths.push_back(random() % (2 << 20));

    char folder[] = "/tmp/blake3testXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string command = "cd " + std::string(folder) + " && b3sum --no-names";
    std::vector<std::string> ours;
    for (size_t i = 0; i < lengths.size(); ++i) {
        const std::vector<uint8_t> message = RandomBytes(lengths[i], random);
        const std::string name = "f" + std::to_string(i);
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(message.data()), std::streamsize(message.size()));
        command += " " + name;
        ours.push_back(Lowercase(Blake3Chunked(message, {65536 + 1024 * (i % 3)}, 1 + i % 2)));
    }
    FILE* b3sum = popen((command + " 2>&1; rm -rf " + folder).c_str(), "r");
    ASSERT_NE(b3sum, nullptr);
    char line[256];
    size_t i = 0;
    for (; fgets(line, sizeof(line), b3sum) && i < ours.size(); ++i)
        EXPECT_EQ(std::string(line).substr(0, 64), ours[i]) << "length " << lengths[i];
    pclose(b3sum);
    EXPECT_EQ(i, ours.size()) << "b3sum answered for fewer files; is it installed (scripts/install-deps.sh)?";
}
#endif

}  // namespace
