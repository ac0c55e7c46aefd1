#pragma once
// BLAKE3 on vectors of 32-bit lanes, one input per lane, written once over a type `V` that
// supplies the vector operations of one instruction set. Only the files compiled for that
// set include this; everything here has internal linkage so that no copy built for a wider
// set can stand in, at link time, for code a narrower processor runs.
#include <cstddef>
#include <cstdint>

#include "Blake3Kernels.h"

namespace blake3 {
namespace {

template <class V>
inline void MixLanes(typename V::T& a, typename V::T& b, typename V::T& c, typename V::T& d, typename V::T x,
                     typename V::T y) {
    a = V::Add(V::Add(a, b), x);
    d = V::Ror16(V::Xor(d, a));
    c = V::Add(c, d);
    b = V::Ror12(V::Xor(b, c));
    a = V::Add(V::Add(a, b), y);
    d = V::Ror8(V::Xor(d, a));
    c = V::Add(c, d);
    b = V::Ror7(V::Xor(b, c));
}

// Round `R`, its message words picked at compile time so that they stay in registers.
template <class V, int R>
inline void RoundLanes(typename V::T v[16], const typename V::T m[16]) {
    constexpr const uint8_t* s = kSchedule[R];
    MixLanes<V>(v[0], v[4], v[8], v[12], m[s[0]], m[s[1]]);
    MixLanes<V>(v[1], v[5], v[9], v[13], m[s[2]], m[s[3]]);
    MixLanes<V>(v[2], v[6], v[10], v[14], m[s[4]], m[s[5]]);
    MixLanes<V>(v[3], v[7], v[11], v[15], m[s[6]], m[s[7]]);
    MixLanes<V>(v[0], v[5], v[10], v[15], m[s[8]], m[s[9]]);
    MixLanes<V>(v[1], v[6], v[11], v[12], m[s[10]], m[s[11]]);
    MixLanes<V>(v[2], v[7], v[8], v[13], m[s[12]], m[s[13]]);
    MixLanes<V>(v[3], v[4], v[9], v[14], m[s[14]], m[s[15]]);
}

// Hashes the `used` inputs from `first` on (at most V::kLanes), writing their chaining values
// to out + 32 * i. Lanes past `used` repeat the last input and their results are dropped: one
// call of any width costs about what the portable code takes for two or three inputs.
template <class V>
inline void HashLanes(const ManyInputs& inputs, size_t first, size_t used, uint8_t* out) {
    using T = typename V::T;
    const uint8_t* lanes[V::kLanes];
    uint32_t low[V::kLanes], high[V::kLanes];
    for (size_t lane = 0; lane < V::kLanes; ++lane) {
        const size_t input = first + (lane < used ? lane : used - 1);
        lanes[lane] = inputs.data + input * inputs.stride;
        const uint64_t counter = inputs.counter + (inputs.countUp ? input : 0);
        low[lane] = uint32_t(counter);
        high[lane] = uint32_t(counter >> 32);
    }
    const T counterLow = V::Load(low), counterHigh = V::Load(high);
    T h[8];
    for (int i = 0; i < 8; ++i) h[i] = V::Set1(kIv[i]);

    for (size_t b = 0; b < inputs.blocks; ++b) {
        uint32_t flags = inputs.flags;
        if (b == 0) flags |= inputs.flagsStart;
        if (b + 1 == inputs.blocks) flags |= inputs.flagsEnd;
        T m[16];
        V::LoadTransposed(lanes, b * kBlockSize, m);
        T v[16] = {h[0],
                   h[1],
                   h[2],
                   h[3],
                   h[4],
                   h[5],
                   h[6],
                   h[7],
                   V::Set1(kIv[0]),
                   V::Set1(kIv[1]),
                   V::Set1(kIv[2]),
                   V::Set1(kIv[3]),
                   counterLow,
                   counterHigh,
                   V::Set1(uint32_t(kBlockSize)),
                   V::Set1(flags)};
        RoundLanes<V, 0>(v, m);
        RoundLanes<V, 1>(v, m);
        RoundLanes<V, 2>(v, m);
        RoundLanes<V, 3>(v, m);
        RoundLanes<V, 4>(v, m);
        RoundLanes<V, 5>(v, m);
        RoundLanes<V, 6>(v, m);
        for (int i = 0; i < 8; ++i) h[i] = V::Xor(v[i], v[i + 8]);
    }

    uint32_t words[8][V::kLanes];
    for (int i = 0; i < 8; ++i) V::Store(words[i], h[i]);
    for (size_t lane = 0; lane < used; ++lane) {
        uint8_t* cv = out + 32 * (first + lane);
        for (int i = 0; i < 8; ++i)
            for (int k = 0; k < 4; ++k) cv[4 * i + k] = uint8_t(words[i][lane] >> (8 * k));
    }
}

// Fewer inputs than this go to `narrower` rather than filling part of the lanes.
constexpr size_t kFewestForPartLanes = 3;

// The whole groups of lanes here, and a last part group unless it is only one or two inputs,
// which `narrower` takes.
template <class V>
inline void HashManyLanes(const ManyInputs& inputs, uint8_t* out, void (*narrower)(const ManyInputs&, uint8_t*)) {
    size_t first = 0;
    for (; first + V::kLanes <= inputs.count; first += V::kLanes) HashLanes<V>(inputs, first, V::kLanes, out);
    const size_t left = inputs.count - first;
    if (left == 0) return;
    if (left >= kFewestForPartLanes) return HashLanes<V>(inputs, first, left, out);
    ManyInputs rest = inputs;
    rest.data += first * inputs.stride;
    rest.count = left;
    if (inputs.countUp) rest.counter += first;
    narrower(rest, out + 32 * first);
}

}  // namespace
}  // namespace blake3
