#include "Md5Digest.h"

#include <cstdio>
#include <cstring>

namespace {

const uint8_t kPadding[64] = {0x80};

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// F and G in their select form: same values as RFC 1321's, one operation fewer.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return y ^ (z & (x ^ y)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

inline uint32_t ReadLittleEndian(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void WriteLittleEndian(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

}  // namespace

// One MD5 step: a = b + ((a + f(b, c, d) + x + ac) <<< s).
#define MD5_STEP(f, a, b, c, d, x, s, ac)     \
    do {                                      \
        (a) += f((b), (c), (d)) + (x) + (ac); \
        (a) = RotateLeft((a), (s));           \
        (a) += (b);                           \
    } while (0)

void CMd5Digest::Init(Md5Context* context) {
    context->count[0] = 0;
    context->count[1] = 0;
    context->state[0] = 0x67452301;
    context->state[1] = 0xEFCDAB89;
    context->state[2] = 0x98BADCFE;
    context->state[3] = 0x10325476;
}

void CMd5Digest::Update(Md5Context* context, const uint8_t* input, uint32_t length) {
    uint32_t index = (context->count[0] >> 3) & 0x3F;
    const uint32_t bits = length << 3;
    context->count[0] += bits;
    if (context->count[0] < bits) ++context->count[1];
    context->count[1] += length >> 29;

    const uint32_t part = 64 - index;
    uint32_t offset = 0;
    if (length >= part) {
        memcpy(&context->buffer[index], input, part);
        Transform(context->state, context->buffer);
        for (offset = part; offset + 63 < length; offset += 64) Transform(context->state, &input[offset]);
        index = 0;
    }
    if (length > offset) memcpy(&context->buffer[index], &input[offset], length - offset);
}

void CMd5Digest::Final(Md5Context* context) {
    uint8_t bitLength[8];
    WriteLittleEndian(bitLength, context->count[0]);
    WriteLittleEndian(bitLength + 4, context->count[1]);

    const uint32_t index = (context->count[0] >> 3) & 0x3F;
    const uint32_t padLength = (index < 56) ? (56 - index) : (120 - index);
    Update(context, kPadding, padLength);
    Update(context, bitLength, 8);

    for (int i = 0; i < 4; ++i) WriteLittleEndian(&m_digest[4 * i], context->state[i]);
    memset(context, 0, sizeof(*context));
}

void CMd5Digest::Report(char* text, int size) const {
    if (size <= 0) return;
    text[0] = '\0';
    for (int i = 0; i < kDigestSize && 2 * i + 2 < size; ++i) snprintf(text + 2 * i, 3, "%02X", m_digest[i]);
}

void CMd5Digest::Transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    const uint32_t x0 = ReadLittleEndian(block + 0), x1 = ReadLittleEndian(block + 4);
    const uint32_t x2 = ReadLittleEndian(block + 8), x3 = ReadLittleEndian(block + 12);
    const uint32_t x4 = ReadLittleEndian(block + 16), x5 = ReadLittleEndian(block + 20);
    const uint32_t x6 = ReadLittleEndian(block + 24), x7 = ReadLittleEndian(block + 28);
    const uint32_t x8 = ReadLittleEndian(block + 32), x9 = ReadLittleEndian(block + 36);
    const uint32_t x10 = ReadLittleEndian(block + 40), x11 = ReadLittleEndian(block + 44);
    const uint32_t x12 = ReadLittleEndian(block + 48), x13 = ReadLittleEndian(block + 52);
    const uint32_t x14 = ReadLittleEndian(block + 56), x15 = ReadLittleEndian(block + 60);

    // Round 1
    MD5_STEP(F, a, b, c, d, x0, 7, 0xD76AA478);
    MD5_STEP(F, d, a, b, c, x1, 12, 0xE8C7B756);
    MD5_STEP(F, c, d, a, b, x2, 17, 0x242070DB);
    MD5_STEP(F, b, c, d, a, x3, 22, 0xC1BDCEEE);
    MD5_STEP(F, a, b, c, d, x4, 7, 0xF57C0FAF);
    MD5_STEP(F, d, a, b, c, x5, 12, 0x4787C62A);
    MD5_STEP(F, c, d, a, b, x6, 17, 0xA8304613);
    MD5_STEP(F, b, c, d, a, x7, 22, 0xFD469501);
    MD5_STEP(F, a, b, c, d, x8, 7, 0x698098D8);
    MD5_STEP(F, d, a, b, c, x9, 12, 0x8B44F7AF);
    MD5_STEP(F, c, d, a, b, x10, 17, 0xFFFF5BB1);
    MD5_STEP(F, b, c, d, a, x11, 22, 0x895CD7BE);
    MD5_STEP(F, a, b, c, d, x12, 7, 0x6B901122);
    MD5_STEP(F, d, a, b, c, x13, 12, 0xFD987193);
    MD5_STEP(F, c, d, a, b, x14, 17, 0xA679438E);
    MD5_STEP(F, b, c, d, a, x15, 22, 0x49B40821);

    // Round 2
    MD5_STEP(G, a, b, c, d, x1, 5, 0xF61E2562);
    MD5_STEP(G, d, a, b, c, x6, 9, 0xC040B340);
    MD5_STEP(G, c, d, a, b, x11, 14, 0x265E5A51);
    MD5_STEP(G, b, c, d, a, x0, 20, 0xE9B6C7AA);
    MD5_STEP(G, a, b, c, d, x5, 5, 0xD62F105D);
    MD5_STEP(G, d, a, b, c, x10, 9, 0x02441453);
    MD5_STEP(G, c, d, a, b, x15, 14, 0xD8A1E681);
    MD5_STEP(G, b, c, d, a, x4, 20, 0xE7D3FBC8);
    MD5_STEP(G, a, b, c, d, x9, 5, 0x21E1CDE6);
    MD5_STEP(G, d, a, b, c, x14, 9, 0xC33707D6);
    MD5_STEP(G, c, d, a, b, x3, 14, 0xF4D50D87);
    MD5_STEP(G, b, c, d, a, x8, 20, 0x455A14ED);
    MD5_STEP(G, a, b, c, d, x13, 5, 0xA9E3E905);
    MD5_STEP(G, d, a, b, c, x2, 9, 0xFCEFA3F8);
    MD5_STEP(G, c, d, a, b, x7, 14, 0x676F02D9);
    MD5_STEP(G, b, c, d, a, x12, 20, 0x8D2A4C8A);

    // Round 3
    MD5_STEP(H, a, b, c, d, x5, 4, 0xFFFA3942);
    MD5_STEP(H, d, a, b, c, x8, 11, 0x8771F681);
    MD5_STEP(H, c, d, a, b, x11, 16, 0x6D9D6122);
    MD5_STEP(H, b, c, d, a, x14, 23, 0xFDE5380C);
    MD5_STEP(H, a, b, c, d, x1, 4, 0xA4BEEA44);
    MD5_STEP(H, d, a, b, c, x4, 11, 0x4BDECFA9);
    MD5_STEP(H, c, d, a, b, x7, 16, 0xF6BB4B60);
    MD5_STEP(H, b, c, d, a, x10, 23, 0xBEBFBC70);
    MD5_STEP(H, a, b, c, d, x13, 4, 0x289B7EC6);
    MD5_STEP(H, d, a, b, c, x0, 11, 0xEAA127FA);
    MD5_STEP(H, c, d, a, b, x3, 16, 0xD4EF3085);
    MD5_STEP(H, b, c, d, a, x6, 23, 0x04881D05);
    MD5_STEP(H, a, b, c, d, x9, 4, 0xD9D4D039);
    MD5_STEP(H, d, a, b, c, x12, 11, 0xE6DB99E5);
    MD5_STEP(H, c, d, a, b, x15, 16, 0x1FA27CF8);
    MD5_STEP(H, b, c, d, a, x2, 23, 0xC4AC5665);

    // Round 4
    MD5_STEP(I, a, b, c, d, x0, 6, 0xF4292244);
    MD5_STEP(I, d, a, b, c, x7, 10, 0x432AFF97);
    MD5_STEP(I, c, d, a, b, x14, 15, 0xAB9423A7);
    MD5_STEP(I, b, c, d, a, x5, 21, 0xFC93A039);
    MD5_STEP(I, a, b, c, d, x12, 6, 0x655B59C3);
    MD5_STEP(I, d, a, b, c, x3, 10, 0x8F0CCC92);
    MD5_STEP(I, c, d, a, b, x10, 15, 0xFFEFF47D);
    MD5_STEP(I, b, c, d, a, x1, 21, 0x85845DD1);
    MD5_STEP(I, a, b, c, d, x8, 6, 0x6FA87E4F);
    MD5_STEP(I, d, a, b, c, x15, 10, 0xFE2CE6E0);
    MD5_STEP(I, c, d, a, b, x6, 15, 0xA3014314);
    MD5_STEP(I, b, c, d, a, x13, 21, 0x4E0811A1);
    MD5_STEP(I, a, b, c, d, x4, 6, 0xF7537E82);
    MD5_STEP(I, d, a, b, c, x11, 10, 0xBD3AF235);
    MD5_STEP(I, c, d, a, b, x2, 15, 0x2AD7D2BB);
    MD5_STEP(I, b, c, d, a, x9, 21, 0xEB86D391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
