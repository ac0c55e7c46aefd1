// BLAKE3 four inputs at a time on SSE4.1. This file alone is compiled for SSE4.1; it runs
// only where the processor has it.
#include "Blake3Kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "Blake3Lanes.h"

namespace blake3 {
namespace {

struct Sse41 {
    using T = __m128i;
    static constexpr size_t kLanes = 4;
    static T Set1(uint32_t x) { return _mm_set1_epi32(int(x)); }
    static T Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const T*>(p)); }
    static void Store(uint32_t* p, T x) { _mm_storeu_si128(reinterpret_cast<T*>(p), x); }
    static T Add(T a, T b) { return _mm_add_epi32(a, b); }
    static T Xor(T a, T b) { return _mm_xor_si128(a, b); }
    static T Ror16(T x) {
        return _mm_shuffle_epi8(x, _mm_set_epi8(13, 12, 15, 14, 9, 8, 11, 10, 5, 4, 7, 6, 1, 0, 3, 2));
    }
    static T Ror8(T x) {
        return _mm_shuffle_epi8(x, _mm_set_epi8(12, 15, 14, 13, 8, 11, 10, 9, 4, 7, 6, 5, 0, 3, 2, 1));
    }
    static T Ror12(T x) { return _mm_or_si128(_mm_srli_epi32(x, 12), _mm_slli_epi32(x, 20)); }
    static T Ror7(T x) { return _mm_or_si128(_mm_srli_epi32(x, 7), _mm_slli_epi32(x, 25)); }

    // Word w of the block at `offset` of each lane's input into m[w].
    static void LoadTransposed(const uint8_t* const lanes[4], size_t offset, T m[16]) {
        for (int g = 0; g < 4; ++g) {
            const T r0 = _mm_loadu_si128(reinterpret_cast<const T*>(lanes[0] + offset + 16 * g));
            const T r1 = _mm_loadu_si128(reinterpret_cast<const T*>(lanes[1] + offset + 16 * g));
            const T r2 = _mm_loadu_si128(reinterpret_cast<const T*>(lanes[2] + offset + 16 * g));
            const T r3 = _mm_loadu_si128(reinterpret_cast<const T*>(lanes[3] + offset + 16 * g));
            const T t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpackhi_epi32(r0, r1);
            const T t2 = _mm_unpacklo_epi32(r2, r3), t3 = _mm_unpackhi_epi32(r2, r3);
            m[4 * g + 0] = _mm_unpacklo_epi64(t0, t2);
            m[4 * g + 1] = _mm_unpackhi_epi64(t0, t2);
            m[4 * g + 2] = _mm_unpacklo_epi64(t1, t3);
            m[4 * g + 3] = _mm_unpackhi_epi64(t1, t3);
        }
    }
};

}  // namespace

#if defined(__i386__)
// A 32-bit Windows thread may start on a stack aligned to only 4 bytes.
__attribute__((force_align_arg_pointer))
#endif
void HashManySse41(const ManyInputs& inputs, uint8_t* out) {
    HashManyLanes<Sse41>(inputs, out, HashManyPortable);
}

}  // namespace blake3

#else

void blake3::HashManySse41(const ManyInputs& inputs, uint8_t* out) { HashManyPortable(inputs, out); }

#endif
