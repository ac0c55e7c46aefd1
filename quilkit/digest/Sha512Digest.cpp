#include "Sha512Digest.h"

#include <cstring>
#include <utility>

#include "DigestPaths.h"
#include "DigestText.h"
#include "Sha512Extensions.h"
#include "ShaExtensions.h"

alignas(32) const uint64_t kSha512RoundConstants[80] = {
    0x428A2F98D728AE22, 0x7137449123EF65CD, 0xB5C0FBCFEC4D3B2F, 0xE9B5DBA58189DBBC, 0x3956C25BF348B538,
    0x59F111F1B605D019, 0x923F82A4AF194F9B, 0xAB1C5ED5DA6D8118, 0xD807AA98A3030242, 0x12835B0145706FBE,
    0x243185BE4EE4B28C, 0x550C7DC3D5FFB4E2, 0x72BE5D74F27B896F, 0x80DEB1FE3B1696B1, 0x9BDC06A725C71235,
    0xC19BF174CF692694, 0xE49B69C19EF14AD2, 0xEFBE4786384F25E3, 0x0FC19DC68B8CD5B5, 0x240CA1CC77AC9C65,
    0x2DE92C6F592B0275, 0x4A7484AA6EA6E483, 0x5CB0A9DCBD41FBD4, 0x76F988DA831153B5, 0x983E5152EE66DFAB,
    0xA831C66D2DB43210, 0xB00327C898FB213F, 0xBF597FC7BEEF0EE4, 0xC6E00BF33DA88FC2, 0xD5A79147930AA725,
    0x06CA6351E003826F, 0x142929670A0E6E70, 0x27B70A8546D22FFC, 0x2E1B21385C26C926, 0x4D2C6DFC5AC42AED,
    0x53380D139D95B3DF, 0x650A73548BAF63DE, 0x766A0ABB3C77B2A8, 0x81C2C92E47EDAEE6, 0x92722C851482353B,
    0xA2BFE8A14CF10364, 0xA81A664BBC423001, 0xC24B8B70D0F89791, 0xC76C51A30654BE30, 0xD192E819D6EF5218,
    0xD69906245565A910, 0xF40E35855771202A, 0x106AA07032BBD1B8, 0x19A4C116B8D2D0C8, 0x1E376C085141AB53,
    0x2748774CDF8EEB99, 0x34B0BCB5E19B48A8, 0x391C0CB3C5C95A63, 0x4ED8AA4AE3418ACB, 0x5B9CCA4F7763E373,
    0x682E6FF3D6B2B8A3, 0x748F82EE5DEFB2FC, 0x78A5636F43172F60, 0x84C87814A1F0AB72, 0x8CC702081A6439EC,
    0x90BEFFFA23631E28, 0xA4506CEBDE82BDE9, 0xBEF9A3F7B2C67915, 0xC67178F2E372532B, 0xCA273ECEEA26619C,
    0xD186B8C721C0C207, 0xEADA7DD6CDE0EB1E, 0xF57D4F7FEE6ED178, 0x06F067AA72176FBA, 0x0A637DC5A2C898A6,
    0x113F9804BEF90DAE, 0x1B710B35131C471B, 0x28DB77F523047D84, 0x32CAAB7B40C72493, 0x3C9EBE0A15C9BEBC,
    0x431D67C49C100D4C, 0x4CC5D4BECB3E42B6, 0x597F299CFC657E2A, 0x5FCB6FAB3AD6FAEC, 0x6C44198C4A475817,
};

namespace {

inline uint64_t RotateRight(uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }

inline uint64_t ReadBigEndian(const uint8_t* p) {
    uint64_t x = 0;
    for (int i = 0; i < 8; ++i) x = (x << 8) | p[i];
    return x;
}

inline uint64_t Sigma0(uint64_t x) { return RotateRight(x, 28) ^ RotateRight(x, 34) ^ RotateRight(x, 39); }
inline uint64_t Sigma1(uint64_t x) { return RotateRight(x, 14) ^ RotateRight(x, 18) ^ RotateRight(x, 41); }
inline uint64_t ScheduleSigma0(uint64_t x) { return RotateRight(x, 1) ^ RotateRight(x, 8) ^ (x >> 7); }
inline uint64_t ScheduleSigma1(uint64_t x) { return RotateRight(x, 19) ^ RotateRight(x, 61) ^ (x >> 6); }

// As in SHA-256, the working variables rotate by renaming: each round writes only d and h.
// `kw` is the round constant plus the message word. Maj(a,b,c) is b ^ ((a ^ b) & (b ^ c)), and
// this round's a ^ b is the next round's b ^ c, carried in `bc`.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, kw) \
    do {                                         \
        (h) += (kw);                             \
        (h) += ((e) & (f)) + (~(e) & (g));       \
        (h) += Sigma1(e);                        \
        (d) += (h);                              \
        const uint64_t ab = (a) ^ (b);           \
        (h) += Sigma0(a) + ((b) ^ (ab & bc));    \
        bc = ab;                                 \
    } while (0)
#define SHA512_ROUNDS8(kw, i)                              \
    do {                                                   \
        SHA512_ROUND(a, b, c, d, e, f, g, h, kw((i) + 0)); \
        SHA512_ROUND(h, a, b, c, d, e, f, g, kw((i) + 1)); \
        SHA512_ROUND(g, h, a, b, c, d, e, f, kw((i) + 2)); \
        SHA512_ROUND(f, g, h, a, b, c, d, e, kw((i) + 3)); \
        SHA512_ROUND(e, f, g, h, a, b, c, d, kw((i) + 4)); \
        SHA512_ROUND(d, e, f, g, h, a, b, c, kw((i) + 5)); \
        SHA512_ROUND(c, d, e, f, g, h, a, b, kw((i) + 6)); \
        SHA512_ROUND(b, c, d, e, f, g, h, a, kw((i) + 7)); \
    } while (0)
// Message word t in the rolling 16-word schedule, which replaces word t - 16.
#define SHA512_NEXT(t) \
    (w[(t)&15] += ScheduleSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + ScheduleSigma0(w[((t) + 1) & 15]))
#define SHA512_KW_FIRST(t) (kSha512RoundConstants[t] + w[t])
#define SHA512_KW_NEXT(t) (kSha512RoundConstants[i + (t)] + SHA512_NEXT(t))

void Sha512BlocksPortable(uint64_t state[8], const uint8_t* data, size_t blocks) {
    for (; blocks > 0; --blocks, data += 128) {
        uint64_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = ReadBigEndian(data + 8 * i);
        uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        uint64_t bc = b ^ c;

        SHA512_ROUNDS8(SHA512_KW_FIRST, 0);
        SHA512_ROUNDS8(SHA512_KW_FIRST, 8);
        for (int i = 16; i < 80; i += 16) {
            SHA512_ROUNDS8(SHA512_KW_NEXT, 0);
            SHA512_ROUNDS8(SHA512_KW_NEXT, 8);
        }

        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef VEX_SHA_EXTENSIONS

// The AVX2 path: the rounds run on the scalar units, with BMI2's rotations, from words plus
// constants that the vector units stored beforehand. The vector units build the schedule of two
// blocks at once, one per 128-bit half of each register, two words of each block per register,
// and they build the next pair's while the scalar units run this pair's rounds.
struct Sha512Schedule {
    alignas(32) uint64_t first[80];
    alignas(32) uint64_t second[80];
};

#define SHA512_VROTATE(x, n) _mm256_or_si256(_mm256_srli_epi64(x, n), _mm256_slli_epi64(x, 64 - (n)))

VEX_AVX2_TARGET inline __m256i VectorSigma0(__m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(SHA512_VROTATE(x, 1), SHA512_VROTATE(x, 8)), _mm256_srli_epi64(x, 7));
}

VEX_AVX2_TARGET inline __m256i VectorSigma1(__m256i x) {
    return _mm256_xor_si256(_mm256_xor_si256(SHA512_VROTATE(x, 19), SHA512_VROTATE(x, 61)), _mm256_srli_epi64(x, 6));
}

VEX_AVX2_TARGET inline void StoreWordsPlusConstants(Sha512Schedule& out, int t, __m256i words) {
    const __m256i k =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(kSha512RoundConstants + t)));
    const __m256i kw = _mm256_add_epi64(words, k);
    _mm_store_si128(reinterpret_cast<__m128i*>(out.first + t), _mm256_castsi256_si128(kw));
    _mm_store_si128(reinterpret_cast<__m128i*>(out.second + t), _mm256_extracti128_si256(kw, 1));
}

// Words 2j and 2j+1 of both blocks into x[j].
#define SHA512_VLOAD(j)                                                                                      \
    do {                                                                                                     \
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 16 * (j)));             \
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 16 * (j)));           \
        x[j] = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1), byteSwap); \
        StoreWordsPlusConstants(out, 2 * (j), x[j]);                                                         \
    } while (0)
// Words t and t+1 (t even) replace words t-16 and t-15 in x[j], j = t/2 mod 8; the pairs
// t-15,t-14 and t-7,t-6 straddle two registers, and _mm256_alignr_epi8 works within each half,
// so within each block.
#define SHA512_VSCHEDULE(t, j)                                                             \
    do {                                                                                   \
        const __m256i older = _mm256_alignr_epi8(x[((j) + 1) & 7], x[j], 8);               \
        const __m256i middle = _mm256_alignr_epi8(x[((j) + 5) & 7], x[((j) + 4) & 7], 8);  \
        x[j] = _mm256_add_epi64(_mm256_add_epi64(x[j], VectorSigma0(older)),               \
                                _mm256_add_epi64(middle, VectorSigma1(x[((j) + 7) & 7]))); \
        StoreWordsPlusConstants(out, (t), x[j]);                                           \
    } while (0)
// The schedule of a pair in 40 steps: 8 loads, then 32 steps of two words.
#define SHA512_VSTEP(u)                                      \
    do {                                                     \
        if ((u) < 8)                                         \
            SHA512_VLOAD((u)&7);                             \
        else                                                 \
            SHA512_VSCHEDULE(16 + 2 * ((u)-8), ((u)-8) & 7); \
    } while (0)
#define SHA512_ROUNDS8_AND_STEPS(kw, i, u) \
    do {                                   \
        SHA512_ROUNDS8(kw, i);             \
        if (first != nullptr) {            \
            SHA512_VSTEP(u);               \
            SHA512_VSTEP((u) + 1);         \
        }                                  \
    } while (0)
#define SHA512_KW_FIRST_BLOCK(t) (current.first[t])
#define SHA512_KW_SECOND_BLOCK(t) (current.second[t])

VEX_AVX2_TARGET void AddWorkingVariables(uint64_t state[8], uint64_t a, uint64_t b, uint64_t c, uint64_t d, uint64_t e,
                                         uint64_t f, uint64_t g, uint64_t h) {
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

// The rounds of one or two blocks from `current`; meanwhile the schedule of the two blocks at
// `first` and `second` (the same block when one is left) into `out`, unless `first` is null.
VEX_AVX2_TARGET void Sha512RoundsAndNextSchedule(uint64_t state[8], const Sha512Schedule& current, bool twoBlocks,
                                                 const uint8_t* first, const uint8_t* second, Sha512Schedule& out) {
    const __m256i byteSwap =
        _mm256_set_epi64x(0x08090A0B0C0D0E0FLL, 0x0001020304050607LL, 0x08090A0B0C0D0E0FLL, 0x0001020304050607LL);
    __m256i x[8];
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    uint64_t bc = b ^ c;
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 0, 0);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 8, 2);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 16, 4);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 24, 6);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 32, 8);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 40, 10);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 48, 12);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 56, 14);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 64, 16);
    SHA512_ROUNDS8_AND_STEPS(SHA512_KW_FIRST_BLOCK, 72, 18);
    AddWorkingVariables(state, a, b, c, d, e, f, g, h);
    if (twoBlocks) {
        a = state[0], b = state[1], c = state[2], d = state[3];
        e = state[4], f = state[5], g = state[6], h = state[7];
        bc = b ^ c;
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 0, 20);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 8, 22);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 16, 24);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 24, 26);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 32, 28);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 40, 30);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 48, 32);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 56, 34);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 64, 36);
        SHA512_ROUNDS8_AND_STEPS(SHA512_KW_SECOND_BLOCK, 72, 38);
        AddWorkingVariables(state, a, b, c, d, e, f, g, h);
    }
}

VEX_AVX2_TARGET void ScheduleTwoBlocks(const uint8_t* first, const uint8_t* second, Sha512Schedule& out) {
    const __m256i byteSwap =
        _mm256_set_epi64x(0x08090A0B0C0D0E0FLL, 0x0001020304050607LL, 0x08090A0B0C0D0E0FLL, 0x0001020304050607LL);
    __m256i x[8];
#pragma GCC unroll 40
    for (int u = 0; u < 40; ++u) SHA512_VSTEP(u);
}

VEX_AVX2_TARGET void Sha512BlocksAvx2(uint64_t state[8], const uint8_t* data, size_t blocks) {
    if (blocks == 0) return;
    Sha512Schedule schedules[2];
    Sha512Schedule* current = &schedules[0];
    Sha512Schedule* next = &schedules[1];
    ScheduleTwoBlocks(data, blocks > 1 ? data + 128 : data, *current);
    while (blocks > 0) {
        const size_t taken = blocks > 1 ? 2 : 1;
        const uint8_t* following = blocks > taken ? data + 128 * taken : nullptr;
        const uint8_t* followingSecond = blocks > taken + 1 ? following + 128 : following;
        Sha512RoundsAndNextSchedule(state, *current, taken == 2, following, followingSecond, *next);
        std::swap(current, next);
        blocks -= taken;
        data += 128 * taken;
    }
}

#endif

void Sha512Blocks(uint64_t state[8], const uint8_t* data, size_t blocks) {
#ifdef VEX_SHA_EXTENSIONS
    switch (ActiveSha512Path()) {
        case DigestPath::ShaExtensions:
            Sha512BlocksWith<Sha512Instructions>(state, data, blocks);
            return;
        case DigestPath::Avx2Bmi2:
            Sha512BlocksAvx2(state, data, blocks);
            return;
        default:
            break;
    }
#endif
    Sha512BlocksPortable(state, data, blocks);
}

}  // namespace

CSha512Digest::CSha512Digest() { Init(); }

void CSha512Digest::Init() {
    static const uint64_t kInitialState[8] = {0x6A09E667F3BCC908, 0xBB67AE8584CAA73B, 0x3C6EF372FE94F82B,
                                              0xA54FF53A5F1D36F1, 0x510E527FADE682D1, 0x9B05688C2B3E6C1F,
                                              0x1F83D9ABFB41BD6B, 0x5BE0CD19137E2179};
    memcpy(m_state, kInitialState, sizeof(m_state));
    m_length = 0;
}

void CSha512Digest::Update(const uint8_t* data, uint32_t length) {
    uint32_t index = uint32_t(m_length) & 127;
    m_length += length;

    if (index != 0) {
        const uint32_t take = (length < 128 - index) ? length : 128 - index;
        memcpy(m_buffer + index, data, take);
        data += take;
        length -= take;
        if (index + take < 128) return;
        Sha512Blocks(m_state, m_buffer, 1);
    }
    const uint32_t blocks = length / 128;
    if (blocks != 0) Sha512Blocks(m_state, data, blocks);
    index = 128 * blocks;
    if (length > index) memcpy(m_buffer, data + index, length - index);
}

void CSha512Digest::Final() {
    const uint64_t bytes = m_length;
    uint32_t index = uint32_t(bytes) & 127;
    m_buffer[index++] = 0x80;
    if (index > 112) {
        memset(m_buffer + index, 0, 128 - index);
        Sha512Blocks(m_state, m_buffer, 1);
        index = 0;
    }
    memset(m_buffer + index, 0, 112 - index);
    // The length in bits, as 128 bits big-endian: the top 61 bits of the byte count are the
    // high half's low bits.
    const uint64_t high = bytes >> 61, low = bytes << 3;
    for (int i = 0; i < 8; ++i) {
        m_buffer[112 + i] = uint8_t(high >> (56 - 8 * i));
        m_buffer[120 + i] = uint8_t(low >> (56 - 8 * i));
    }
    Sha512Blocks(m_state, m_buffer, 1);

    for (int i = 0; i < kDigestSize; ++i) m_digest[i] = uint8_t(m_state[i >> 3] >> ((7 - (i & 7)) * 8));

    memset(m_buffer, 0, sizeof(m_buffer));
    memset(m_state, 0, sizeof(m_state));
    m_length = 0;
}

void CSha512Digest::Report(char* text, uint8_t reportType) const {
    WriteDigestText(m_digest, kDigestSize, reportType, text);
}

void CSha512Digest::CopyDigest(uint8_t* digest) const { memcpy(digest, m_digest, kDigestSize); }
