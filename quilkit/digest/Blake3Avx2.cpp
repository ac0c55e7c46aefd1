// BLAKE3 eight inputs at a time on AVX2. This file alone is compiled for AVX2; it runs only
// where the processor has it and the system saves its registers.
#include "Blake3Kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "Blake3Lanes.h"

namespace blake3 {
namespace {

struct Avx2 {
    using T = __m256i;
    static constexpr size_t kLanes = 8;
    static T Set1(uint32_t x) { return _mm256_set1_epi32(int(x)); }
    static T Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const T*>(p)); }
    static void Store(uint32_t* p, T x) { _mm256_storeu_si256(reinterpret_cast<T*>(p), x); }
    static T Add(T a, T b) { return _mm256_add_epi32(a, b); }
    static T Xor(T a, T b) { return _mm256_xor_si256(a, b); }
    static T Ror16(T x) {
        return _mm256_shuffle_epi8(x, _mm256_set_epi8(13, 12, 15, 14, 9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2, 13, 12, 15,
                                                      14, 9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2));
    }
    static T Ror8(T x) {
        return _mm256_shuffle_epi8(x, _mm256_set_epi8(12, 15, 14, 13, 8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1, 12, 15, 14,
                                                      13, 8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1));
    }
    static T Ror12(T x) { return _mm256_or_si256(_mm256_srli_epi32(x, 12), _mm256_slli_epi32(x, 20)); }
    static T Ror7(T x) { return _mm256_or_si256(_mm256_srli_epi32(x, 7), _mm256_slli_epi32(x, 25)); }

    // Word w of the block at `offset` of each lane's input into m[w]: an 8x8 transpose of each
    // half block.
    static void LoadTransposed(const uint8_t* const lanes[8], size_t offset, T m[16]) {
        for (int g = 0; g < 2; ++g) {
            T r[8];
            for (int i = 0; i < 8; ++i) {
                // Eight streams 1 KiB apart: the prefetcher is told what comes next.
                if (g == 0) _mm_prefetch(reinterpret_cast<const char*>(lanes[i] + offset + 256), _MM_HINT_T0);
                r[i] = _mm256_loadu_si256(reinterpret_cast<const T*>(lanes[i] + offset + 32 * g));
            }
            T t[8];
            for (int i = 0; i < 8; i += 2) {
                t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
                t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
            }
            T u[8];
            for (int i = 0; i < 8; i += 4) {
                u[i + 0] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
                u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
                u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
                u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
            }
            for (int k = 0; k < 4; ++k) {
                m[8 * g + k] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x20);
                m[8 * g + k + 4] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x31);
            }
        }
    }
};

}  // namespace

#if defined(__i386__)
// A 32-bit Windows thread may start on a stack aligned to only 4 bytes.
__attribute__((force_align_arg_pointer))
#endif
void HashManyAvx2(const ManyInputs& inputs, uint8_t* out) {
    HashManyLanes<Avx2>(inputs, out, HashManySse41);
}

}  // namespace blake3

#else

void blake3::HashManyAvx2(const ManyInputs& inputs, uint8_t* out) { HashManyPortable(inputs, out); }

#endif
