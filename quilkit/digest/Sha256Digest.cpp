#include "Sha256Digest.h"

#include <cstdio>
#include <cstring>

#include "DigestPaths.h"
#include "DigestText.h"
#include "ShaExtensions.h"

namespace {

alignas(16) const uint32_t kRoundConstants[64] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};

inline uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline uint32_t ReadBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint32_t Sigma0(uint32_t x) { return RotateRight(x, 2) ^ RotateRight(x, 13) ^ RotateRight(x, 22); }
inline uint32_t Sigma1(uint32_t x) { return RotateRight(x, 6) ^ RotateRight(x, 11) ^ RotateRight(x, 25); }
inline uint32_t ScheduleSigma0(uint32_t x) { return RotateRight(x, 7) ^ RotateRight(x, 18) ^ (x >> 3); }
inline uint32_t ScheduleSigma1(uint32_t x) { return RotateRight(x, 17) ^ RotateRight(x, 19) ^ (x >> 10); }

// The eight working variables rotate by renaming, not by moving: each round writes only
// d and h, which the next round's caller passes one place further along.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, k, w)                  \
    do {                                                            \
        (h) += Sigma1(e) + ((g) ^ ((e) & ((f) ^ (g)))) + (k) + (w); \
        (d) += (h);                                                 \
        (h) += Sigma0(a) + (((a) & (b)) | ((c) & ((a) | (b))));     \
    } while (0)
#define SHA256_ROUNDS8(i, w0, w1, w2, w3, w4, w5, w6, w7)                   \
    do {                                                                    \
        SHA256_ROUND(a, b, c, d, e, f, g, h, kRoundConstants[(i) + 0], w0); \
        SHA256_ROUND(h, a, b, c, d, e, f, g, kRoundConstants[(i) + 1], w1); \
        SHA256_ROUND(g, h, a, b, c, d, e, f, kRoundConstants[(i) + 2], w2); \
        SHA256_ROUND(f, g, h, a, b, c, d, e, kRoundConstants[(i) + 3], w3); \
        SHA256_ROUND(e, f, g, h, a, b, c, d, kRoundConstants[(i) + 4], w4); \
        SHA256_ROUND(d, e, f, g, h, a, b, c, kRoundConstants[(i) + 5], w5); \
        SHA256_ROUND(c, d, e, f, g, h, a, b, kRoundConstants[(i) + 6], w6); \
        SHA256_ROUND(b, c, d, e, f, g, h, a, kRoundConstants[(i) + 7], w7); \
    } while (0)
// Message word t in the rolling 16-word schedule, which replaces word t - 16.
#define SHA256_NEXT(t) \
    (w[(t)&15] += ScheduleSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + ScheduleSigma0(w[((t) + 1) & 15]))

void Sha256BlocksPortable(uint32_t state[8], const uint8_t* data, size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i) w[i] = ReadBigEndian(data + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];

        SHA256_ROUNDS8(0, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
        SHA256_ROUNDS8(8, w[8], w[9], w[10], w[11], w[12], w[13], w[14], w[15]);
        for (int i = 16; i < 64; i += 16) {
            SHA256_ROUNDS8(i, SHA256_NEXT(0), SHA256_NEXT(1), SHA256_NEXT(2), SHA256_NEXT(3), SHA256_NEXT(4),
                           SHA256_NEXT(5), SHA256_NEXT(6), SHA256_NEXT(7));
            SHA256_ROUNDS8(i + 8, SHA256_NEXT(8), SHA256_NEXT(9), SHA256_NEXT(10), SHA256_NEXT(11), SHA256_NEXT(12),
                           SHA256_NEXT(13), SHA256_NEXT(14), SHA256_NEXT(15));
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

// Four rounds, two per instruction; the second takes the upper pair of words-plus-constants.
#define SHA256_ROUNDS4(w, group)                                                                               \
    do {                                                                                                       \
        const __m128i wk =                                                                                     \
            _mm_add_epi32(w, _mm_load_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * (group)))); \
        cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);                                                          \
        abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));                                 \
    } while (0)
// The next four schedule words from the previous sixteen, oldest group in `w0`.
#define SHA256_SCHEDULE(w0, w1, w2, w3) \
    w0 = _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4)), w3)

VEX_SHA_TARGET void Sha256BlocksShaExtensions(uint32_t state[8], const uint8_t* data, size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0C0D0E0F08090A0BLL, 0x0405060700010203LL);
    // The instructions keep the state as the pairs A,B,E,F and C,D,G,H, highest lane first.
    const __m128i badc = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    const __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        const __m128i* p = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(p + 0), byteSwap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(p + 1), byteSwap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(p + 2), byteSwap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(p + 3), byteSwap);

        SHA256_ROUNDS4(w0, 0);
        SHA256_ROUNDS4(w1, 1);
        SHA256_ROUNDS4(w2, 2);
        SHA256_ROUNDS4(w3, 3);
        for (int group = 4; group < 16; group += 4) {
            SHA256_SCHEDULE(w0, w1, w2, w3);
            SHA256_ROUNDS4(w0, group);
            SHA256_SCHEDULE(w1, w2, w3, w0);
            SHA256_ROUNDS4(w1, group + 1);
            SHA256_SCHEDULE(w2, w3, w0, w1);
            SHA256_ROUNDS4(w2, group + 2);
            SHA256_SCHEDULE(w3, w0, w1, w2);
            SHA256_ROUNDS4(w3, group + 3);
        }

        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

#endif

void Sha256Blocks(uint32_t state[8], const uint8_t* data, size_t blocks) {
#ifdef VEX_SHA_EXTENSIONS
    if (ActiveDigestPath() == DigestPath::ShaExtensions) {
        Sha256BlocksShaExtensions(state, data, blocks);
        return;
    }
#endif
    Sha256BlocksPortable(state, data, blocks);
}

}  // namespace

CSha256Digest::CSha256Digest() { Init(); }

void CSha256Digest::Init() {
    static const uint32_t kInitialState[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                              0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};
    memcpy(m_state, kInitialState, sizeof(m_state));
    m_count = 0;
}

void CSha256Digest::Update(const uint8_t* data, uint32_t length) {
    uint32_t index = uint32_t(m_count >> 3) & 63;
    m_count += uint64_t(length) << 3;

    if (index != 0) {
        const uint32_t take = (length < 64 - index) ? length : 64 - index;
        memcpy(m_buffer + index, data, take);
        data += take;
        length -= take;
        if (index + take < 64) return;
        Sha256Blocks(m_state, m_buffer, 1);
    }
    const uint32_t blocks = length / 64;
    if (blocks != 0) Sha256Blocks(m_state, data, blocks);
    index = 64 * blocks;
    if (length > index) memcpy(m_buffer, data + index, length - index);
}

void CSha256Digest::Final() {
    const uint64_t bits = m_count;
    uint32_t index = uint32_t(bits >> 3) & 63;
    m_buffer[index++] = 0x80;
    if (index > 56) {
        memset(m_buffer + index, 0, 64 - index);
        Sha256Blocks(m_state, m_buffer, 1);
        index = 0;
    }
    memset(m_buffer + index, 0, 56 - index);
    for (int i = 0; i < 8; ++i) m_buffer[56 + i] = uint8_t(bits >> (56 - 8 * i));
    Sha256Blocks(m_state, m_buffer, 1);

    for (int i = 0; i < kDigestSize; ++i) m_digest[i] = uint8_t(m_state[i >> 2] >> ((3 - (i & 3)) * 8));

    memset(m_buffer, 0, sizeof(m_buffer));
    memset(m_state, 0, sizeof(m_state));
    m_count = 0;
}

void CSha256Digest::Report(char* text, uint8_t reportType) const {
    WriteDigestText(m_digest, kDigestSize, reportType, text);
}

void CSha256Digest::CopyDigest(uint8_t* digest) const { memcpy(digest, m_digest, kDigestSize); }
