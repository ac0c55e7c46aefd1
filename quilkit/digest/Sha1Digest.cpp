#include "Sha1Digest.h"

#include <cstdio>
#include <cstring>

#include "DigestPaths.h"
#include "DigestText.h"
#include "ShaExtensions.h"

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

#ifdef VEX_SHA_EXTENSIONS

// Four rounds: `e` carries E plus the four message words; the next group's E is the
// rotated A of the state before these rounds, plus the next four words.
#define SHA1_ROUNDS4(f, e, next, w)               \
    do {                                          \
        next = abcd;                              \
        abcd = _mm_sha1rnds4_epu32(abcd, e, (f)); \
        next = _mm_sha1nexte_epu32(next, w);      \
    } while (0)
// The next four schedule words from the previous sixteen, oldest group in `w0`.
#define SHA1_SCHEDULE(w0, w1, w2, w3) w0 = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w0, w1), w2), w3)

VEX_SHA_TARGET void Sha1BlocksShaExtensions(uint32_t state[5], const uint8_t* data, size_t blocks) {
    // The message words are big-endian and the instructions want word 0 in the top lane.
    const __m128i reverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(int(state[4]), 0, 0, 0);
    __m128i e1;

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcdBefore = abcd, eBefore = e0;
        const __m128i* p = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(p + 0), reverse);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(p + 1), reverse);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(p + 2), reverse);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(p + 3), reverse);

        e0 = _mm_add_epi32(e0, w0);
        SHA1_ROUNDS4(0, e0, e1, w1);
        SHA1_ROUNDS4(0, e1, e0, w2);
        SHA1_ROUNDS4(0, e0, e1, w3);
        SHA1_SCHEDULE(w0, w1, w2, w3);
        SHA1_ROUNDS4(0, e1, e0, w0);
        SHA1_SCHEDULE(w1, w2, w3, w0);
        SHA1_ROUNDS4(0, e0, e1, w1);
        SHA1_SCHEDULE(w2, w3, w0, w1);
        SHA1_ROUNDS4(1, e1, e0, w2);
        SHA1_SCHEDULE(w3, w0, w1, w2);
        SHA1_ROUNDS4(1, e0, e1, w3);
        SHA1_SCHEDULE(w0, w1, w2, w3);
        SHA1_ROUNDS4(1, e1, e0, w0);
        SHA1_SCHEDULE(w1, w2, w3, w0);
        SHA1_ROUNDS4(1, e0, e1, w1);
        SHA1_SCHEDULE(w2, w3, w0, w1);
        SHA1_ROUNDS4(1, e1, e0, w2);
        SHA1_SCHEDULE(w3, w0, w1, w2);
        SHA1_ROUNDS4(2, e0, e1, w3);
        SHA1_SCHEDULE(w0, w1, w2, w3);
        SHA1_ROUNDS4(2, e1, e0, w0);
        SHA1_SCHEDULE(w1, w2, w3, w0);
        SHA1_ROUNDS4(2, e0, e1, w1);
        SHA1_SCHEDULE(w2, w3, w0, w1);
        SHA1_ROUNDS4(2, e1, e0, w2);
        SHA1_SCHEDULE(w3, w0, w1, w2);
        SHA1_ROUNDS4(2, e0, e1, w3);
        SHA1_SCHEDULE(w0, w1, w2, w3);
        SHA1_ROUNDS4(3, e1, e0, w0);
        SHA1_SCHEDULE(w1, w2, w3, w0);
        SHA1_ROUNDS4(3, e0, e1, w1);
        SHA1_SCHEDULE(w2, w3, w0, w1);
        SHA1_ROUNDS4(3, e1, e0, w2);
        SHA1_SCHEDULE(w3, w0, w1, w2);
        SHA1_ROUNDS4(3, e0, e1, w3);
        SHA1_ROUNDS4(3, e1, e0, eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = uint32_t(_mm_extract_epi32(e0, 3));
}

#endif

}  // namespace

// The block arrives little-endian on the machines we build for; each word is turned
// big-endian just before the step that first reads it.
#define SHA1_BLK0(i) (m_block[i] = (RotateLeft(m_block[i], 24) & 0xFF00FF00) | (RotateLeft(m_block[i], 8) & 0x00FF00FF))
// Rolling 16-word schedule: the word of step t replaces that of step t - 16.
#define SHA1_BLK(i)                \
    (m_block[(i)&15] = RotateLeft( \
         m_block[((i) + 13) & 15] ^ m_block[((i) + 8) & 15] ^ m_block[((i) + 2) & 15] ^ m_block[(i)&15], 1))

#define SHA1_R0(v, w, x, y, z, i)                                                \
    do {                                                                         \
        z += ((w & (x ^ y)) ^ y) + SHA1_BLK0(i) + 0x5A827999 + RotateLeft(v, 5); \
        w = RotateLeft(w, 30);                                                   \
    } while (0)
#define SHA1_R1(v, w, x, y, z, i)                                               \
    do {                                                                        \
        z += ((w & (x ^ y)) ^ y) + SHA1_BLK(i) + 0x5A827999 + RotateLeft(v, 5); \
        w = RotateLeft(w, 30);                                                  \
    } while (0)
#define SHA1_R2(v, w, x, y, z, i)                                       \
    do {                                                                \
        z += (w ^ x ^ y) + SHA1_BLK(i) + 0x6ED9EBA1 + RotateLeft(v, 5); \
        w = RotateLeft(w, 30);                                          \
    } while (0)
#define SHA1_R3(v, w, x, y, z, i)                                                     \
    do {                                                                              \
        z += (((w | x) & y) | (w & x)) + SHA1_BLK(i) + 0x8F1BBCDC + RotateLeft(v, 5); \
        w = RotateLeft(w, 30);                                                        \
    } while (0)
#define SHA1_R4(v, w, x, y, z, i)                                       \
    do {                                                                \
        z += (w ^ x ^ y) + SHA1_BLK(i) + 0xCA62C1D6 + RotateLeft(v, 5); \
        w = RotateLeft(w, 30);                                          \
    } while (0)

CSha1Digest::CSha1Digest() : m_block(m_workspace) { Init(); }

void CSha1Digest::Init() {
    m_state[0] = 0x67452301;
    m_state[1] = 0xEFCDAB89;
    m_state[2] = 0x98BADCFE;
    m_state[3] = 0x10325476;
    m_state[4] = 0xC3D2E1F0;
    m_count[0] = 0;
    m_count[1] = 0;
}

void CSha1Digest::Update(const uint8_t* data, uint32_t length) {
    uint32_t index = (m_count[0] >> 3) & 63;
    const uint32_t bits = length << 3;
    m_count[0] += bits;
    if (m_count[0] < bits) ++m_count[1];
    m_count[1] += length >> 29;

    uint32_t offset = 0;
    if (index + length > 63) {
        offset = 64 - index;
        memcpy(&m_buffer[index], data, offset);
        const uint32_t blocks = (length - offset) / 64;
#ifdef VEX_SHA_EXTENSIONS
        if (ActiveDigestPath() == DigestPath::ShaExtensions) {
            Sha1BlocksShaExtensions(m_state, m_buffer, 1);
            Sha1BlocksShaExtensions(m_state, data + offset, blocks);
        } else
#endif
        {
            Transform(m_state, m_buffer);
            for (uint32_t i = 0; i < blocks; ++i) Transform(m_state, data + offset + 64 * i);
        }
        offset += 64 * blocks;
        index = 0;
    }
    if (length > offset) memcpy(&m_buffer[index], &data[offset], length - offset);
}

void CSha1Digest::Final() {
    uint8_t bitLength[8];
    for (int i = 0; i < 8; ++i) bitLength[i] = uint8_t(m_count[i >= 4 ? 0 : 1] >> ((3 - (i & 3)) * 8));

    static const uint8_t kOne = 0x80;
    static const uint8_t kZero = 0;
    Update(&kOne, 1);
    while ((m_count[0] & 504) != 448) Update(&kZero, 1);
    Update(bitLength, 8);

    for (int i = 0; i < kDigestSize; ++i) m_digest[i] = uint8_t(m_state[i >> 2] >> ((3 - (i & 3)) * 8));

    // Wipe everything that held message data; the transform of a zero block over a
    // zero state overwrites the workspace with values independent of the message.
    memset(m_buffer, 0, sizeof(m_buffer));
    memset(m_state, 0, sizeof(m_state));
    memset(m_count, 0, sizeof(m_count));
    Transform(m_state, m_buffer);
}

void CSha1Digest::Report(char* text, uint8_t reportType) const {
    WriteDigestText(m_digest, kDigestSize, reportType, text);
}

void CSha1Digest::CopyDigest(uint8_t* digest) const { memcpy(digest, m_digest, kDigestSize); }

void CSha1Digest::Transform(uint32_t* state, const uint8_t* block) {
    memcpy(m_workspace, block, 64);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];

    SHA1_R0(a, b, c, d, e, 0);
    SHA1_R0(e, a, b, c, d, 1);
    SHA1_R0(d, e, a, b, c, 2);
    SHA1_R0(c, d, e, a, b, 3);
    SHA1_R0(b, c, d, e, a, 4);
    SHA1_R0(a, b, c, d, e, 5);
    SHA1_R0(e, a, b, c, d, 6);
    SHA1_R0(d, e, a, b, c, 7);
    SHA1_R0(c, d, e, a, b, 8);
    SHA1_R0(b, c, d, e, a, 9);
    SHA1_R0(a, b, c, d, e, 10);
    SHA1_R0(e, a, b, c, d, 11);
    SHA1_R0(d, e, a, b, c, 12);
    SHA1_R0(c, d, e, a, b, 13);
    SHA1_R0(b, c, d, e, a, 14);
    SHA1_R0(a, b, c, d, e, 15);
    SHA1_R1(e, a, b, c, d, 16);
    SHA1_R1(d, e, a, b, c, 17);
    SHA1_R1(c, d, e, a, b, 18);
    SHA1_R1(b, c, d, e, a, 19);

    SHA1_R2(a, b, c, d, e, 20);
    SHA1_R2(e, a, b, c, d, 21);
    SHA1_R2(d, e, a, b, c, 22);
    SHA1_R2(c, d, e, a, b, 23);
    SHA1_R2(b, c, d, e, a, 24);
    SHA1_R2(a, b, c, d, e, 25);
    SHA1_R2(e, a, b, c, d, 26);
    SHA1_R2(d, e, a, b, c, 27);
    SHA1_R2(c, d, e, a, b, 28);
    SHA1_R2(b, c, d, e, a, 29);
    SHA1_R2(a, b, c, d, e, 30);
    SHA1_R2(e, a, b, c, d, 31);
    SHA1_R2(d, e, a, b, c, 32);
    SHA1_R2(c, d, e, a, b, 33);
    SHA1_R2(b, c, d, e, a, 34);
    SHA1_R2(a, b, c, d, e, 35);
    SHA1_R2(e, a, b, c, d, 36);
    SHA1_R2(d, e, a, b, c, 37);
    SHA1_R2(c, d, e, a, b, 38);
    SHA1_R2(b, c, d, e, a, 39);

    SHA1_R3(a, b, c, d, e, 40);
    SHA1_R3(e, a, b, c, d, 41);
    SHA1_R3(d, e, a, b, c, 42);
    SHA1_R3(c, d, e, a, b, 43);
    SHA1_R3(b, c, d, e, a, 44);
    SHA1_R3(a, b, c, d, e, 45);
    SHA1_R3(e, a, b, c, d, 46);
    SHA1_R3(d, e, a, b, c, 47);
    SHA1_R3(c, d, e, a, b, 48);
    SHA1_R3(b, c, d, e, a, 49);
    SHA1_R3(a, b, c, d, e, 50);
    SHA1_R3(e, a, b, c, d, 51);
    SHA1_R3(d, e, a, b, c, 52);
    SHA1_R3(c, d, e, a, b, 53);
    SHA1_R3(b, c, d, e, a, 54);
    SHA1_R3(a, b, c, d, e, 55);
    SHA1_R3(e, a, b, c, d, 56);
    SHA1_R3(d, e, a, b, c, 57);
    SHA1_R3(c, d, e, a, b, 58);
    SHA1_R3(b, c, d, e, a, 59);

    SHA1_R4(a, b, c, d, e, 60);
    SHA1_R4(e, a, b, c, d, 61);
    SHA1_R4(d, e, a, b, c, 62);
    SHA1_R4(c, d, e, a, b, 63);
    SHA1_R4(b, c, d, e, a, 64);
    SHA1_R4(a, b, c, d, e, 65);
    SHA1_R4(e, a, b, c, d, 66);
    SHA1_R4(d, e, a, b, c, 67);
    SHA1_R4(c, d, e, a, b, 68);
    SHA1_R4(b, c, d, e, a, 69);
    SHA1_R4(a, b, c, d, e, 70);
    SHA1_R4(e, a, b, c, d, 71);
    SHA1_R4(d, e, a, b, c, 72);
    SHA1_R4(c, d, e, a, b, 73);
    SHA1_R4(b, c, d, e, a, 74);
    SHA1_R4(a, b, c, d, e, 75);
    SHA1_R4(e, a, b, c, d, 76);
    SHA1_R4(d, e, a, b, c, 77);
    SHA1_R4(c, d, e, a, b, 78);
    SHA1_R4(b, c, d, e, a, 79);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}
