#pragma once
// The SHA-512 compression on the x86 SHA-512 instructions, written over a type that supplies
// the three instructions: the digest passes the real ones, and the tests can pass a model of
// them on a processor that lacks the instructions.
#include <cstddef>
#include <cstdint>

#include "ShaExtensions.h"

// The 80 constants of the standard, shared by every path.
extern const uint64_t kSha512RoundConstants[80];

#ifdef VEX_SHA_EXTENSIONS

// The compilers we build with know neither the instructions nor their intrinsics, so each is
// written out as bytes, on registers pinned for the purpose: VEX.256.F2.0F38.W0 with the
// destination in ModRM.reg, the second source in VEX.vvvv (inverted), the last in ModRM.rm.
struct Sha512Instructions {
    // Two rounds: `cdgh` holds C,D,G,H and `abef` A,B,E,F, highest lane first; `wk` the two
    // message words plus constants. Returns the new A,B,E,F.
    VEX_AVX2_TARGET static __m256i Rounds2(__m256i cdgh, __m256i abef, __m128i wk) {
        register __m256i dst __asm__("ymm0") = cdgh;
        register __m256i src __asm__("ymm1") = abef;
        register __m128i k __asm__("xmm2") = wk;
        __asm__(".byte 0xC4, 0xE2, 0x77, 0xCB, 0xC2" : "+x"(dst) : "x"(src), "x"(k));  // vsha512rnds2 ymm0,ymm1,xmm2
        return dst;
    }
    // W[i] + sigma0(W[i+1]) for the four words in `w`, the fifth taken from `next`'s lowest lane.
    VEX_AVX2_TARGET static __m256i Message1(__m256i w, __m128i next) {
        register __m256i dst __asm__("ymm0") = w;
        register __m128i src __asm__("xmm1") = next;
        __asm__(".byte 0xC4, 0xE2, 0x7F, 0xCC, 0xC1" : "+x"(dst) : "x"(src));  // vsha512msg1 ymm0,xmm1
        return dst;
    }
    // Adds sigma1 of the two words before them to the four partial words, the first two from
    // the upper lanes of `previous`, the last two from the words just made.
    VEX_AVX2_TARGET static __m256i Message2(__m256i partial, __m256i previous) {
        register __m256i dst __asm__("ymm0") = partial;
        register __m256i src __asm__("ymm1") = previous;
        __asm__(".byte 0xC4, 0xE2, 0x7F, 0xCD, 0xC1" : "+x"(dst) : "x"(src));  // vsha512msg2 ymm0,ymm1
        return dst;
    }
};

// Four rounds, two per instruction; the second takes the upper pair of words-plus-constants.
#define SHA512_ROUNDS4(w, group)                                                                          \
    do {                                                                                                  \
        const __m256i wk = _mm256_add_epi64(                                                              \
            w, _mm256_load_si256(reinterpret_cast<const __m256i*>(kSha512RoundConstants + 4 * (group)))); \
        cdgh = Instructions::Rounds2(cdgh, abef, _mm256_castsi256_si128(wk));                             \
        abef = Instructions::Rounds2(abef, cdgh, _mm256_extracti128_si256(wk, 1));                        \
    } while (0)
// The next four schedule words from the previous sixteen, oldest group in `w0`; the words
// t-7 to t-4 straddle `w2` and `w3`.
#define SHA512_SCHEDULE(w0, w1, w2, w3)                                                                             \
    w0 = Instructions::Message2(_mm256_add_epi64(Instructions::Message1(w0, _mm256_castsi256_si128(w1)),            \
                                                 _mm256_permute4x64_epi64(_mm256_blend_epi32(w2, w3, 0x03), 0x39)), \
                                w3)

template <class Instructions>
VEX_AVX2_TARGET void Sha512BlocksWith(uint64_t state[8], const uint8_t* data, size_t blocks) {
    const __m256i byteSwap =
        _mm256_set_epi64x(0x08090A0B0C0D0E0FLL, 0x0001020304050607LL, 0x08090A0B0C0D0E0FLL, 0x0001020304050607LL);
    const __m256i abcd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state));
    const __m256i efgh = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state + 4));
    // The instructions keep the state as A,B,E,F and C,D,G,H, highest lane first.
    __m256i abef = _mm256_permute4x64_epi64(_mm256_permute2x128_si256(abcd, efgh, 0x20), 0x1B);
    __m256i cdgh = _mm256_permute4x64_epi64(_mm256_permute2x128_si256(abcd, efgh, 0x31), 0x1B);

    for (; blocks > 0; --blocks, data += 128) {
        const __m256i abefBefore = abef, cdghBefore = cdgh;
        const __m256i* p = reinterpret_cast<const __m256i*>(data);
        __m256i w0 = _mm256_shuffle_epi8(_mm256_loadu_si256(p + 0), byteSwap);
        __m256i w1 = _mm256_shuffle_epi8(_mm256_loadu_si256(p + 1), byteSwap);
        __m256i w2 = _mm256_shuffle_epi8(_mm256_loadu_si256(p + 2), byteSwap);
        __m256i w3 = _mm256_shuffle_epi8(_mm256_loadu_si256(p + 3), byteSwap);

        SHA512_ROUNDS4(w0, 0);
        SHA512_ROUNDS4(w1, 1);
        SHA512_ROUNDS4(w2, 2);
        SHA512_ROUNDS4(w3, 3);
        for (int group = 4; group < 20; group += 4) {
            SHA512_SCHEDULE(w0, w1, w2, w3);
            SHA512_ROUNDS4(w0, group);
            SHA512_SCHEDULE(w1, w2, w3, w0);
            SHA512_ROUNDS4(w1, group + 1);
            SHA512_SCHEDULE(w2, w3, w0, w1);
            SHA512_ROUNDS4(w2, group + 2);
            SHA512_SCHEDULE(w3, w0, w1, w2);
            SHA512_ROUNDS4(w3, group + 3);
        }

        abef = _mm256_add_epi64(abef, abefBefore);
        cdgh = _mm256_add_epi64(cdgh, cdghBefore);
    }

    // Back to A,B,C,D and E,F,G,H, lowest lane first.
    const __m256i abThenEf = _mm256_permute4x64_epi64(abef, 0x1B);
    const __m256i cdThenGh = _mm256_permute4x64_epi64(cdgh, 0x1B);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(state), _mm256_permute2x128_si256(abThenEf, cdThenGh, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(state + 4), _mm256_permute2x128_si256(abThenEf, cdThenGh, 0x31));
}

#undef SHA512_ROUNDS4
#undef SHA512_SCHEDULE

#endif
