#include "Md5Digest.h"

#include <cstdio>
#include <cstring>

namespace {

const uint8_t kPadding[64] = {0x80};

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t ReadLittleEndian(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint32_t value;
    memcpy(&value, p, 4);
    return value;
#else
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
#endif
}

inline void WriteLittleEndian(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
    p[3] = uint8_t(value >> 24);
}

// MD5 is one long chain of dependent steps, so each step adds the message word and the
// constant first and keeps off the chain whatever does not need b, the newest word.
// G's two terms share no bits and are added on their own; I's ~d is ready early.
#define MD5_F(a, b, c, d, x, s, k)        \
    do {                                  \
        (a) += (x) + (k);                 \
        (a) += (((c) ^ (d)) & (b)) ^ (d); \
        (a) = RotateLeft((a), (s)) + (b); \
    } while (0)
#define MD5_G(a, b, c, d, x, s, k)        \
    do {                                  \
        (a) += (x) + (k) + ((c) & ~(d));  \
        (a) += (b) & (d);                 \
        (a) = RotateLeft((a), (s)) + (b); \
    } while (0)
#define MD5_H(a, b, c, d, x, s, k)        \
    do {                                  \
        (a) += (x) + (k);                 \
        (a) += ((c) ^ (d)) ^ (b);         \
        (a) = RotateLeft((a), (s)) + (b); \
    } while (0)
#define MD5_I(a, b, c, d, x, s, k)        \
    do {                                  \
        (a) += (x) + (k);                 \
        (a) += ((b) | ~(d)) ^ (c);        \
        (a) = RotateLeft((a), (s)) + (b); \
    } while (0)

void Md5Blocks(uint32_t state[4], const uint8_t* data, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, data += 64) {
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;
        uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = ReadLittleEndian(data + 4 * i);

        MD5_F(a, b, c, d, x[0], 7, 0xD76AA478);
        MD5_F(d, a, b, c, x[1], 12, 0xE8C7B756);
        MD5_F(c, d, a, b, x[2], 17, 0x242070DB);
        MD5_F(b, c, d, a, x[3], 22, 0xC1BDCEEE);
        MD5_F(a, b, c, d, x[4], 7, 0xF57C0FAF);
        MD5_F(d, a, b, c, x[5], 12, 0x4787C62A);
        MD5_F(c, d, a, b, x[6], 17, 0xA8304613);
        MD5_F(b, c, d, a, x[7], 22, 0xFD469501);
        MD5_F(a, b, c, d, x[8], 7, 0x698098D8);
        MD5_F(d, a, b, c, x[9], 12, 0x8B44F7AF);
        MD5_F(c, d, a, b, x[10], 17, 0xFFFF5BB1);
        MD5_F(b, c, d, a, x[11], 22, 0x895CD7BE);
        MD5_F(a, b, c, d, x[12], 7, 0x6B901122);
        MD5_F(d, a, b, c, x[13], 12, 0xFD987193);
        MD5_F(c, d, a, b, x[14], 17, 0xA679438E);
        MD5_F(b, c, d, a, x[15], 22, 0x49B40821);

        MD5_G(a, b, c, d, x[1], 5, 0xF61E2562);
        MD5_G(d, a, b, c, x[6], 9, 0xC040B340);
        MD5_G(c, d, a, b, x[11], 14, 0x265E5A51);
        MD5_G(b, c, d, a, x[0], 20, 0xE9B6C7AA);
        MD5_G(a, b, c, d, x[5], 5, 0xD62F105D);
        MD5_G(d, a, b, c, x[10], 9, 0x02441453);
        MD5_G(c, d, a, b, x[15], 14, 0xD8A1E681);
        MD5_G(b, c, d, a, x[4], 20, 0xE7D3FBC8);
        MD5_G(a, b, c, d, x[9], 5, 0x21E1CDE6);
        MD5_G(d, a, b, c, x[14], 9, 0xC33707D6);
        MD5_G(c, d, a, b, x[3], 14, 0xF4D50D87);
        MD5_G(b, c, d, a, x[8], 20, 0x455A14ED);
        MD5_G(a, b, c, d, x[13], 5, 0xA9E3E905);
        MD5_G(d, a, b, c, x[2], 9, 0xFCEFA3F8);
        MD5_G(c, d, a, b, x[7], 14, 0x676F02D9);
        MD5_G(b, c, d, a, x[12], 20, 0x8D2A4C8A);

        MD5_H(a, b, c, d, x[5], 4, 0xFFFA3942);
        MD5_H(d, a, b, c, x[8], 11, 0x8771F681);
        MD5_H(c, d, a, b, x[11], 16, 0x6D9D6122);
        MD5_H(b, c, d, a, x[14], 23, 0xFDE5380C);
        MD5_H(a, b, c, d, x[1], 4, 0xA4BEEA44);
        MD5_H(d, a, b, c, x[4], 11, 0x4BDECFA9);
        MD5_H(c, d, a, b, x[7], 16, 0xF6BB4B60);
        MD5_H(b, c, d, a, x[10], 23, 0xBEBFBC70);
        MD5_H(a, b, c, d, x[13], 4, 0x289B7EC6);
        MD5_H(d, a, b, c, x[0], 11, 0xEAA127FA);
        MD5_H(c, d, a, b, x[3], 16, 0xD4EF3085);
        MD5_H(b, c, d, a, x[6], 23, 0x04881D05);
        MD5_H(a, b, c, d, x[9], 4, 0xD9D4D039);
        MD5_H(d, a, b, c, x[12], 11, 0xE6DB99E5);
        MD5_H(c, d, a, b, x[15], 16, 0x1FA27CF8);
        MD5_H(b, c, d, a, x[2], 23, 0xC4AC5665);

        MD5_I(a, b, c, d, x[0], 6, 0xF4292244);
        MD5_I(d, a, b, c, x[7], 10, 0x432AFF97);
        MD5_I(c, d, a, b, x[14], 15, 0xAB9423A7);
        MD5_I(b, c, d, a, x[5], 21, 0xFC93A039);
        MD5_I(a, b, c, d, x[12], 6, 0x655B59C3);
        MD5_I(d, a, b, c, x[3], 10, 0x8F0CCC92);
        MD5_I(c, d, a, b, x[10], 15, 0xFFEFF47D);
        MD5_I(b, c, d, a, x[1], 21, 0x85845DD1);
        MD5_I(a, b, c, d, x[8], 6, 0x6FA87E4F);
        MD5_I(d, a, b, c, x[15], 10, 0xFE2CE6E0);
        MD5_I(c, d, a, b, x[6], 15, 0xA3014314);
        MD5_I(b, c, d, a, x[13], 21, 0x4E0811A1);
        MD5_I(a, b, c, d, x[4], 6, 0xF7537E82);
        MD5_I(d, a, b, c, x[11], 10, 0xBD3AF235);
        MD5_I(c, d, a, b, x[2], 15, 0x2AD7D2BB);
        MD5_I(b, c, d, a, x[9], 21, 0xEB86D391);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

}  // namespace

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
        offset = part;
        const uint32_t blocks = (length - offset) / 64;
        Md5Blocks(context->state, input + offset, blocks);
        offset += 64 * blocks;
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

void CMd5Digest::Transform(uint32_t state[4], const uint8_t block[64]) { Md5Blocks(state, block, 1); }
