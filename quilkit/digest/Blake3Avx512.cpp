// BLAKE3 sixteen inputs at a time on AVX-512. This file alone is compiled for AVX-512F; it
// runs only where the processor has it and the system saves its registers.
#include "Blake3Kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "Blake3Lanes.h"

namespace blake3 {
namespace {

struct Avx512 {
    using T = __m512i;
    static constexpr size_t kLanes = 16;
    static T Set1(uint32_t x) { return _mm512_set1_epi32(int(x)); }
    static T Load(const uint32_t* p) { return _mm512_loadu_si512(p); }
    static void Store(uint32_t* p, T x) { _mm512_storeu_si512(p, x); }
    static T Add(T a, T b) { return _mm512_add_epi32(a, b); }
    static T Xor(T a, T b) { return _mm512_xor_si512(a, b); }
    static T Ror16(T x) { return _mm512_ror_epi32(x, 16); }
    static T Ror12(T x) { return _mm512_ror_epi32(x, 12); }
    static T Ror8(T x) { return _mm512_ror_epi32(x, 8); }
    static T Ror7(T x) { return _mm512_ror_epi32(x, 7); }

    // Word w of the block at `offset` of each lane's input into m[w]: a 16x16 transpose, by
    // pairs of words, then quads, then 128-bit quarters.
    static void LoadTransposed(const uint8_t* const lanes[16], size_t offset, T m[16]) {
        T r[16];
        for (int i = 0; i < 16; ++i) {
            // Sixteen streams 1 KiB apart are more than the processor's prefetcher follows.
            _mm_prefetch(reinterpret_cast<const char*>(lanes[i] + offset + 256), _MM_HINT_T0);
            r[i] = _mm512_loadu_si512(lanes[i] + offset);
        }
        T t[16];
        for (int i = 0; i < 16; i += 2) {
            t[i] = _mm512_unpacklo_epi32(r[i], r[i + 1]);
            t[i + 1] = _mm512_unpackhi_epi32(r[i], r[i + 1]);
        }
        // w[4 * group + k]: quarter q holds word 4q + k of the four inputs of `group`.
        T w[16];
        for (int group = 0; group < 4; ++group) {
            const T* s = t + 4 * group;
            w[4 * group + 0] = _mm512_unpacklo_epi64(s[0], s[2]);
            w[4 * group + 1] = _mm512_unpackhi_epi64(s[0], s[2]);
            w[4 * group + 2] = _mm512_unpacklo_epi64(s[1], s[3]);
            w[4 * group + 3] = _mm512_unpackhi_epi64(s[1], s[3]);
        }
        for (int k = 0; k < 4; ++k) {
            const T low01 = _mm512_shuffle_i32x4(w[k], w[4 + k], 0x44);
            const T high01 = _mm512_shuffle_i32x4(w[k], w[4 + k], 0xEE);
            const T low23 = _mm512_shuffle_i32x4(w[8 + k], w[12 + k], 0x44);
            const T high23 = _mm512_shuffle_i32x4(w[8 + k], w[12 + k], 0xEE);
            m[k] = _mm512_shuffle_i32x4(low01, low23, 0x88);
            m[4 + k] = _mm512_shuffle_i32x4(low01, low23, 0xDD);
            m[8 + k] = _mm512_shuffle_i32x4(high01, high23, 0x88);
            m[12 + k] = _mm512_shuffle_i32x4(high01, high23, 0xDD);
        }
    }
};

}  // namespace

#if defined(__i386__)
// A 32-bit Windows thread may start on a stack aligned to only 4 bytes.
__attribute__((force_align_arg_pointer))
#endif
void HashManyAvx512(const ManyInputs& inputs, uint8_t* out) {
    HashManyLanes<Avx512>(inputs, out, HashManyAvx2);
}

}  // namespace blake3

#else

void blake3::HashManyAvx512(const ManyInputs& inputs, uint8_t* out) { HashManyPortable(inputs, out); }

#endif
