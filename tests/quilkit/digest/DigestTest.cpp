// Known answers, chunking, the reports and the wipe after Final, for every digest on every
// compression path the processor has. Built natively (with the sanitizers, and checked against
// coreutils and b3sum) and for Windows (run under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
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

namespace {

enum Algorithm { kMd5, kSha1, kSha256, kSha512, kBlake3 };
const char* const kAlgorithmNames[] = {"Md5", "Sha1", "Sha256", "Sha512", "Blake3"};
const char* const kPathNames[] = {"Auto", "Portable", "ShaExtensions", "Avx2Bmi2", "Sse41", "Avx2", "Avx512"};
constexpr uint8_t kHex = 0, kDigits = 1;

std::vector<uint8_t> RandomBytes(size_t length, std::mt19937& random) {
    std::vector<uint8_t> message(length);
    for (auto& byte : message) byte = uint8_t(random());
    return message;
}

std::string Uppercase(std::string text) {
    for (char& c : text) c = char(toupper(static_cast<unsigned char>(c)));
    return text;
}

template <class T>
std::string Raw(const T* data, size_t count) {
    return std::string(reinterpret_cast<const char*>(data), count * sizeof(T));
}

// Every digest behind one interface, so that each test is written once.
class AnyDigest {
public:
    virtual ~AnyDigest() = default;
    virtual void Update(const uint8_t* data, size_t size) = 0;
    virtual void Final() = 0;
    virtual void Report(char* text, uint8_t type) = 0;
    virtual std::vector<uint8_t> Copy() = 0;
    // What Final leaves of the running state: nothing that depends on the message.
    virtual std::string Leftover() = 0;
    std::string Hex() {
        char text[256];
        Report(text, kHex);
        return text;
    }
};

class Md5 final : public AnyDigest {
public:
    Md5() { m_md5.Init(&m_context); }
    void Update(const uint8_t* data, size_t size) override { m_md5.Update(&m_context, data, uint32_t(size)); }
    void Final() override { m_md5.Final(&m_context); }
    void Report(char* text, uint8_t) override { m_md5.Report(text, 256); }
    std::vector<uint8_t> Copy() override { return {m_md5.Digest(), m_md5.Digest() + CMd5Digest::kDigestSize}; }
    std::string Leftover() override { return Raw(&m_context, 1); }

private:
    CMd5Digest m_md5;
    Md5Context m_context;
};

std::string LeftoverOf(CSha1Digest& d) { return Raw(d.State(), 5) + Raw(d.Count(), 2) + Raw(d.Buffer(), 64); }
std::string LeftoverOf(CSha256Digest& d) { return Raw(d.State(), 8) + std::to_string(d.Count()) + Raw(d.Buffer(), 64); }
std::string LeftoverOf(CSha512Digest& d) {
    return Raw(d.State(), 8) + std::to_string(d.Length()) + Raw(d.Buffer(), 128);
}
// BLAKE3 keeps no state to look at: a second Final must give the empty message's hash.
std::string LeftoverOf(CBlake3Digest& d) {
    char text[65];
    d.Final();
    d.Report(text, kHex);
    return text;
}

template <class Digest>
class Adapter final : public AnyDigest {
public:
    template <class... Threads>
    explicit Adapter(Threads... threads) : m_digest(threads...) {}
    void Update(const uint8_t* data, size_t size) override { m_digest.Update(data, uint32_t(size)); }
    void Final() override { m_digest.Final(); }
    void Report(char* text, uint8_t type) override { m_digest.Report(text, type); }
    std::vector<uint8_t> Copy() override {
        std::vector<uint8_t> bytes(Digest::kDigestSize);
        m_digest.CopyDigest(bytes.data());
        return bytes;
    }
    std::string Leftover() override { return LeftoverOf(m_digest); }

private:
    Digest m_digest;
};

std::unique_ptr<AnyDigest> Make(Algorithm algorithm, unsigned threads = 1) {
    if (algorithm == kMd5) return std::make_unique<Md5>();
    if (algorithm == kSha1) return std::make_unique<Adapter<CSha1Digest>>();
    if (algorithm == kSha256) return std::make_unique<Adapter<CSha256Digest>>();
    if (algorithm == kSha512) return std::make_unique<Adapter<CSha512Digest>>();
    return std::make_unique<Adapter<CBlake3Digest>>(threads);
}

// Feeds `message` in the given piece sizes (cycled) and reports it in hex.
std::string Hex(Algorithm algorithm, const std::vector<uint8_t>& message, const std::vector<size_t>& pieces,
                unsigned threads = 1) {
    const std::unique_ptr<AnyDigest> digest = Make(algorithm, threads);
    size_t offset = 0;
    for (size_t i = 0; offset < message.size(); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], message.size() - offset);
        digest->Update(message.data() + offset, n);
        offset += n;
    }
    digest->Final();
    return digest->Hex();
}

// One digest on one compression path; a path the processor lacks is skipped, saying so.
// SHA-1 and SHA-256 share theirs; SHA-512 has its own instructions, BLAKE3 hashes whole
// chunks 1, 4, 8 or 16 at a time.
struct Run {
    Algorithm algorithm;
    DigestPath path;
};
const Run kRuns[] = {
    {kMd5, DigestPath::Portable},    {kSha1, DigestPath::Portable},        {kSha1, DigestPath::ShaExtensions},
    {kSha256, DigestPath::Portable}, {kSha256, DigestPath::ShaExtensions}, {kSha512, DigestPath::Portable},
    {kSha512, DigestPath::Avx2Bmi2}, {kSha512, DigestPath::ShaExtensions}, {kBlake3, DigestPath::Portable},
    {kBlake3, DigestPath::Sse41},    {kBlake3, DigestPath::Avx2},          {kBlake3, DigestPath::Avx512}};

bool ProcessorRuns(const Run& run) {
    return run.path == DigestPath::ShaExtensions
               ? (run.algorithm == kSha512 ? HasSha512Extensions() : HasShaExtensions())
           : run.path == DigestPath::Avx2Bmi2 ? HasAvx2Bmi2()
           : run.path == DigestPath::Sse41    ? HasSse41()
           : run.path == DigestPath::Avx2     ? HasAvx2()
           : run.path == DigestPath::Avx512   ? HasAvx512()
                                              : true;
}

DigestPath ActivePath(Algorithm algorithm) {
    return algorithm == kMd5      ? DigestPath::Portable
           : algorithm == kSha512 ? ActiveSha512Path()
           : algorithm == kBlake3 ? ActiveBlake3Path()
                                  : ActiveDigestPath();
}

class Digest : public testing::TestWithParam<Run> {
protected:
    void SetUp() override {
        if (!ProcessorRuns(GetParam())) GTEST_SKIP() << "this processor cannot run this path";
        ForceDigestPath(GetParam().path);
        ASSERT_EQ(ActivePath(algorithm), GetParam().path);
    }
    void TearDown() override { ForceDigestPath(DigestPath::Auto); }
    const Algorithm algorithm = GetParam().algorithm;
};
class Blake3 : public Digest {};  // on kRuns' last four

std::string RunName(const testing::TestParamInfo<Run>& info) {
    return std::string(kAlgorithmNames[info.param.algorithm]) + kPathNames[int(info.param.path)];
}
INSTANTIATE_TEST_SUITE_P(Paths, Digest, testing::ValuesIn(kRuns), RunName);
INSTANTIATE_TEST_SUITE_P(Paths, Blake3, testing::ValuesIn(kRuns + 8, std::end(kRuns)), RunName);

// The input of BLAKE3's official test vectors: the bytes 0 to 250, repeated.
std::string Repeating(size_t length) {
    std::string message(length, '\0');
    for (size_t i = 0; i < length; ++i) message[i] = char(i % 251);
    return message;
}

// RFC 1321's suite in part, FIPS 180's messages, BLAKE3's test_vectors.json (32 bytes of each).
// 56 bytes (112 for SHA-512) need a block for the length alone; every other fall of the padding,
// each length to 300, is checked against coreutils (AgreesWithTheSystemsTool, native build).
const struct KnownAnswer {
    Algorithm algorithm;
    std::string message;
    const char* hex;
} kKnownAnswers[] = {
    {kMd5, "", "D41D8CD98F00B204E9800998ECF8427E"},
    {kMd5, "abc", "900150983CD24FB0D6963F7D28E17F72"},
    {kMd5, std::string(56, 'a'), "3B0C8AC703F828B04C6C197006D17218"},
    {kSha1, "", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
    {kSha1, "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
    {kSha1, std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
    {kSha1, std::string(56, 'a'), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
    {kSha256, "", "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"},
    {kSha256, "abc", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
    {kSha256, std::string(1000000, 'a'), "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0"},
    {kSha256, std::string(56, 'a'), "B35439A4AC6F0948B6D6F9E3C6AF0F5F590CE20F1BDE7090EF7970686EC6738A"},
    {kSha512, "",
     "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE"
     "47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E"},
    {kSha512, "abc",
     "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
     "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
    {kSha512, std::string(1000000, 'a'),
     "E718483D0CE769644E2E42C7BC15B4638E1F98B13B2044285632A803AFA973EB"
     "DE0FF244877EA60A4CB0432CE577C31BEB009C5C2C49AA2E4EADB217AD8CC09B"},
    {kSha512, std::string(112, 'a'),
     "C01D080EFD492776A1C43BD23DD99D0A2E626D481E16782E75D54C2503B5DC32"
     "BD05F0F1BA33E568B88FD2D970929B719ECBB152F58F130A407C8830604B70CA"},
    {kBlake3, Repeating(0), "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {kBlake3, Repeating(1), "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {kBlake3, Repeating(2), "7b7015bb92cf0b318037702a6cdd81dee41224f734684c2c122cd6359cb1ee63"},
    {kBlake3, Repeating(3), "e1be4d7a8ab5560aa4199eea339849ba8e293d55ca0a81006726d184519e647f"},
    {kBlake3, Repeating(4), "f30f5ab28fe047904037f77b6da4fea1e27241c5d132638d8bedce9d40494f32"},
    {kBlake3, Repeating(5), "b40b44dfd97e7a84a996a91af8b85188c66c126940ba7aad2e7ae6b385402aa2"},
    {kBlake3, Repeating(6), "06c4e8ffb6872fad96f9aaca5eee1553eb62aed0ad7198cef42e87f6a616c844"},
    {kBlake3, Repeating(7), "3f8770f387faad08faa9d8414e9f449ac68e6ff0417f673f602a646a891419fe"},
    {kBlake3, Repeating(8), "2351207d04fc16ade43ccab08600939c7c1fa70a5c0aaca76063d04c3228eaeb"},
    {kBlake3, Repeating(63), "e9bc37a594daad83be9470df7f7b3798297c3d834ce80ba85d6e207627b7db7b"},
    {kBlake3, Repeating(64), "4eed7141ea4a5cd4b788606bd23f46e212af9cacebacdc7d1f4c6dc7f2511b98"},
    {kBlake3, Repeating(65), "de1e5fa0be70df6d2be8fffd0e99ceaa8eb6e8c93a63f2d8d1c30ecb6b263dee"},
    {kBlake3, Repeating(127), "d81293fda863f008c09e92fc382a81f5a0b4a1251cba1634016a0f86a6bd640d"},
    {kBlake3, Repeating(128), "f17e570564b26578c33bb7f44643f539624b05df1a76c81f30acd548c44b45ef"},
    {kBlake3, Repeating(129), "683aaae9f3c5ba37eaaf072aed0f9e30bac0865137bae68b1fde4ca2aebdcb12"},
    {kBlake3, Repeating(1023), "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {kBlake3, Repeating(1024), "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {kBlake3, Repeating(1025), "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {kBlake3, Repeating(2048), "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {kBlake3, Repeating(2049), "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {kBlake3, Repeating(3072), "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {kBlake3, Repeating(3073), "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
    {kBlake3, Repeating(4096), "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {kBlake3, Repeating(4097), "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
    {kBlake3, Repeating(5120), "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
    {kBlake3, Repeating(5121), "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
    {kBlake3, Repeating(6144), "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
    {kBlake3, Repeating(6145), "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
    {kBlake3, Repeating(7168), "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
    {kBlake3, Repeating(7169), "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
    {kBlake3, Repeating(8192), "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
    {kBlake3, Repeating(8193), "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
    {kBlake3, Repeating(16384), "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
    {kBlake3, Repeating(31744), "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {kBlake3, Repeating(102400), "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

// Each answer whole; in pieces that cross blocks and chunks at odd places; in pieces that end on
// chunks, where the input so far may be the whole message; around a block, with an empty piece.
TEST_P(Digest, KnownAnswersWholeAndInPieces) {
    const size_t block = algorithm == kSha512 ? 128 : 64;
    for (const KnownAnswer& answer : kKnownAnswers) {
        if (answer.algorithm != algorithm) continue;
        const std::vector<uint8_t> message(answer.message.begin(), answer.message.end());
        for (const std::vector<size_t>& pieces :
             std::vector<std::vector<size_t>>{{message.size() + 1},
                                              {1, 63, 1000, 4097, 65},
                                              {1024, 2048, 3072, 8192},
                                              {block - 1, 0, block + 1, block, 2 * block - 6, 3 * block}})
            EXPECT_EQ(Hex(algorithm, message, pieces), Uppercase(answer.hex))
                << message.size() << " bytes in pieces of " << pieces[0];
    }
}

// Report's hex form (nothing written past its end) and decimal form, types it does not know,
// the bytes CopyDigest gives; and nothing of the message is left after Final.
TEST_P(Digest, ReportCopyAndWipe) {
    const std::unique_ptr<AnyDigest> digest = Make(algorithm), other = Make(algorithm);
    const std::string longer(150, 's');
    digest->Update(reinterpret_cast<const uint8_t*>("abc"), 3);
    other->Update(reinterpret_cast<const uint8_t*>(longer.data()), longer.size());
    digest->Final();
    other->Final();
    char text[256];
    memset(text, '#', sizeof(text));
    digest->Report(text, kHex);
    const std::vector<uint8_t> bytes = digest->Copy();
    std::string hex, digits;
    for (uint8_t byte : bytes) {
        char pair[3];
        snprintf(pair, sizeof(pair), "%02X", byte);
        hex += pair;
        digits += std::to_string(byte);
    }
    EXPECT_EQ(text, hex);
    EXPECT_EQ(text[hex.size() + 1], '#');
    if (algorithm != kMd5) {  // hex is its only form
        digest->Report(text, kDigits);
        EXPECT_EQ(text, digits);
        for (uint8_t type : {uint8_t(2), uint8_t(255)}) {
            strcpy(text, "previous text that must go");
            digest->Report(text, type);
            EXPECT_STREQ(text, "Error: Unknown report type!");
        }
    }
    EXPECT_EQ(digest->Leftover(), other->Leftover());
}

// 512 MiB + 1000 bytes of a fixed pattern: the length in bits carries into the count's high word
// (the same code on every path: the fastest is taken). Expected values from Python's hashlib.
TEST(LongMessage, CarriesTheLengthIntoTheHighWord) {
    const char* const answers[] = {"C2E953B244C33EC87110F38125943641", "B354647274D8554B59B7B82147D85977E2C46C59",
                                   "69BA7B8E41B49E70C1C9472DE81CA527D35890319FECA9B65D5ADC29C7AFFCF3"};
    std::vector<uint8_t> buffer(8192);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = uint8_t(i * 31 + 7);
    ForceDigestPath(DigestPath::Auto);
    for (Algorithm algorithm : {kMd5, kSha1, kSha256}) {
        const std::unique_ptr<AnyDigest> digest = Make(algorithm);
        for (int i = 0; i <= 65536; ++i) digest->Update(buffer.data(), i < 65536 ? 8192 : 1000);
        digest->Final();
        EXPECT_EQ(digest->Hex(), answers[algorithm]);
    }
}

// The threads take whole subtrees, whatever the reads look like and wherever a read leaves
// the tree: the result is that of one thread.
TEST_P(Blake3, ThreadsGiveTheResultOfOneThread) {
    std::mt19937 random(3);
    const std::vector<uint8_t> message = RandomBytes((5 << 20) + 4097, random);
    const std::string one = Hex(kBlake3, message, {message.size()}, 1);
    EXPECT_EQ(Hex(kBlake3, message, {message.size()}, 2), one);
    EXPECT_EQ(Hex(kBlake3, message, {message.size()}, 3), one);
    EXPECT_EQ(Hex(kBlake3, message, {1 << 20}, 2), one);
    EXPECT_EQ(Hex(kBlake3, message, {1000, (3 << 20) + 17}, 4), one);
}

#ifndef _WIN32
// Files of every length up to 300, around powers of two and of random lengths, fed in random
// pieces; all hashed in one run of coreutils' tool (of b3sum, BLAKE3's reference, for BLAKE3).
TEST_P(Digest, AgreesWithTheSystemsTool) {
    const char* const tools[] = {"md5sum", "sha1sum", "sha256sum", "sha512sum", "b3sum"};
    std::mt19937 random(1024);
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 300; ++length) lengths.push_back(length);
    // BLAKE3's threads take only large inputs.
    const size_t longest = algorithm == kBlake3 ? 2 << 20 : 70000;
    for (size_t power = 512; power <= longest / 2; power *= 2)
        for (long delta : {-2049L, -1025L, -1L, 0L, 1L, 1024L, 3073L})
            if (long(power) + delta >= 0) lengths.push_back(size_t(long(power) + delta));
    for (int i = 0; i < 16; ++i) lengths.push_back(random() % longest);

    char folder[] = "/tmp/digesttestXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string command = "cd " + std::string(folder) + " && " + tools[algorithm];
    std::vector<std::string> ours;
    for (size_t i = 0; i < lengths.size(); ++i) {
        const std::vector<uint8_t> message = RandomBytes(lengths[i], random);
        const std::string name = "f" + std::to_string(i);
        std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(message.data()), std::streamsize(message.size()));
        command += " " + name;
        std::vector<size_t> pieces(5);
        for (auto& piece : pieces) piece = 1 + random() % (lengths[i] < 300 ? 97 : 65536);
        ours.push_back(Hex(algorithm, message, pieces, 1 + i % 2));
    }
    FILE* tool = popen((command + " 2>&1; rm -rf " + folder).c_str(), "r");
    ASSERT_NE(tool, nullptr);
    char line[256];
    size_t i = 0;
    for (; fgets(line, sizeof(line), tool) && i < ours.size(); ++i)
        EXPECT_EQ(Uppercase(std::string(line).substr(0, ours[i].size())), ours[i]) << "length " << lengths[i];
    pclose(tool);
    EXPECT_EQ(i, ours.size()) << tools[algorithm] << " answered for fewer files (scripts/install-deps.sh)";
}
#endif

TEST(DigestPaths, AutoAndForcedPathsFollowTheProcessor) {
    ForceDigestPath(DigestPath::Auto);
    EXPECT_EQ(ActiveDigestPath(), HasShaExtensions() ? DigestPath::ShaExtensions : DigestPath::Portable);
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
    ForceDigestPath(DigestPath::Auto);  // a forced path the processor has is taken: Digest.*'s set-up
}

// Each SHA digest, its message fed on the portable path, AVX2, the SHA instructions and
// whatever Auto takes by turns: the result of the portable path alone.
TEST(DigestPaths, SwitchingPathMidMessageKeepsTheResult) {
    std::vector<uint8_t> message(5000);
    for (size_t i = 0; i < message.size(); ++i) message[i] = uint8_t(i * 7 + 1);
    const size_t parts[] = {1000, 77, 1300, 2623};
    const DigestPath paths[] = {DigestPath::Portable, DigestPath::Avx2Bmi2, DigestPath::ShaExtensions,
                                DigestPath::Auto};
    for (Algorithm algorithm : {kSha1, kSha256, kSha512}) {
        const std::unique_ptr<AnyDigest> digest = Make(algorithm);
        for (size_t i = 0, offset = 0; i < 4; offset += parts[i++]) {
            ForceDigestPath(paths[i]);
            digest->Update(message.data() + offset, parts[i]);
        }
        ForceDigestPath(DigestPath::Portable);
        digest->Final();
        EXPECT_EQ(digest->Hex(), Hex(algorithm, message, {5000})) << kAlgorithmNames[algorithm];
    }
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
    using Lanes = std::array<uint64_t, 4>;  // lowest lane first
    VEX_AVX2_TARGET static Lanes Of(__m256i v) {
        Lanes lanes;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes.data()), v);
        return lanes;
    }
    VEX_AVX2_TARGET static __m256i From(const Lanes& lanes) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.data()));
    }
    static uint64_t Rotate(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }
    static uint64_t LowerSigma0(uint64_t x) { return Rotate(x, 1) ^ Rotate(x, 8) ^ (x >> 7); }
    static uint64_t LowerSigma1(uint64_t x) { return Rotate(x, 19) ^ Rotate(x, 61) ^ (x >> 6); }

    VEX_AVX2_TARGET static __m256i Rounds2(__m256i cdghRegister, __m256i abefRegister, __m128i wkRegister) {
        const Lanes cdgh = Of(cdghRegister), abef = Of(abefRegister);
        uint64_t wk[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wk), wkRegister);
        uint64_t a = abef[3], b = abef[2], c = cdgh[3], d = cdgh[2], e = abef[1], f = abef[0], g = cdgh[1], h = cdgh[0];
        Lanes out;  // the new E of each round, then the new A of each
        for (int i = 0; i < 2; ++i) {
            const uint64_t t1 = h + (Rotate(e, 14) ^ Rotate(e, 18) ^ Rotate(e, 41)) + ((e & f) ^ (~e & g)) + wk[i];
            const uint64_t t2 = (Rotate(a, 28) ^ Rotate(a, 34) ^ Rotate(a, 39)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
            out[i] = e, out[i + 2] = a;
        }
        return From(out);
    }
    VEX_AVX2_TARGET static __m256i Message1(__m256i wRegister, __m128i nextRegister) {
        Lanes w = Of(wRegister);
        uint64_t next[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(next), nextRegister);
        for (int i = 0; i < 4; ++i) w[i] += LowerSigma0(i < 3 ? w[i + 1] : next[0]);
        return From(w);
    }
    VEX_AVX2_TARGET static __m256i Message2(__m256i partialRegister, __m256i previousRegister) {
        Lanes out = Of(partialRegister);
        const Lanes previous = Of(previousRegister);
        for (int i = 0; i < 4; ++i) out[i] += LowerSigma1(i < 2 ? previous[i + 2] : out[i - 2]);
        return From(out);
    }
};

TEST(Sha512InstructionsModel, CompressionWrittenForTheInstructionsMatchesThePortableDigest) {
    if (!HasAvx2Bmi2()) GTEST_SKIP() << "the model runs on AVX2";
    std::mt19937 random(5120);
    for (size_t length : {size_t(0), size_t(3), size_t(111), size_t(112), size_t(500), size_t(4096 + 33)}) {
        const std::vector<uint8_t> message = RandomBytes(length, random);
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
        EXPECT_EQ(text, Hex(kSha512, message, {length + 1})) << "length " << length;
        ForceDigestPath(DigestPath::Auto);
    }
}
#endif

}  // namespace
