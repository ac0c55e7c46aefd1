// The portable BLAKE3 compression: every processor runs it, and the wide paths leave it the
// inputs that do not fill their lanes.
#include "Blake3Kernels.h"

namespace blake3 {
namespace {

inline uint32_t RotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline uint32_t ReadLittleEndian(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void Mix(uint32_t v[16], int a, int b, int c, int d, uint32_t x, uint32_t y) {
    v[a] += v[b] + x;
    v[d] = RotateRight(v[d] ^ v[a], 16);
    v[c] += v[d];
    v[b] = RotateRight(v[b] ^ v[c], 12);
    v[a] += v[b] + y;
    v[d] = RotateRight(v[d] ^ v[a], 8);
    v[c] += v[d];
    v[b] = RotateRight(v[b] ^ v[c], 7);
}

// The columns, then the diagonals.
inline void Round(uint32_t v[16], const uint32_t m[16], const uint8_t s[16]) {
    Mix(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
    Mix(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
    Mix(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
    Mix(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
    Mix(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
    Mix(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
    Mix(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
    Mix(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
}

}  // namespace

void Compress(uint32_t cv[8], const uint8_t block[kBlockSize], uint32_t blockLength, uint64_t counter, uint8_t flags) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i) m[i] = ReadLittleEndian(block + 4 * i);
    uint32_t v[16] = {cv[0],
                      cv[1],
                      cv[2],
                      cv[3],
                      cv[4],
                      cv[5],
                      cv[6],
                      cv[7],
                      kIv[0],
                      kIv[1],
                      kIv[2],
                      kIv[3],
                      uint32_t(counter),
                      uint32_t(counter >> 32),
                      blockLength,
                      flags};
    for (int r = 0; r < 7; ++r) Round(v, m, kSchedule[r]);
    for (int i = 0; i < 8; ++i) cv[i] = v[i] ^ v[i + 8];
}

void HashManyPortable(const ManyInputs& inputs, uint8_t* out) {
    for (size_t i = 0; i < inputs.count; ++i) {
        const uint8_t* input = inputs.data + i * inputs.stride;
        const uint64_t counter = inputs.counter + (inputs.countUp ? i : 0);
        uint32_t cv[8];
        for (int w = 0; w < 8; ++w) cv[w] = kIv[w];
        for (size_t b = 0; b < inputs.blocks; ++b) {
            uint8_t flags = inputs.flags;
            if (b == 0) flags |= inputs.flagsStart;
            if (b + 1 == inputs.blocks) flags |= inputs.flagsEnd;
            Compress(cv, input + b * kBlockSize, kBlockSize, counter, flags);
        }
        for (int w = 0; w < 8; ++w)
            for (int k = 0; k < 4; ++k) out[32 * i + 4 * w + k] = uint8_t(cv[w] >> (8 * k));
    }
}

}  // namespace blake3
