#pragma once

// For the SHA digests: whether this compiler can emit the x86 SHA instructions, and the
// attributes that let one function use them, or AVX2 and BMI2, without the whole build
// assuming them.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEX_SHA_EXTENSIONS 1
#if defined(__i386__)
// A 32-bit Windows thread may start on a stack aligned to only 4 bytes; vector spills need 16.
#define VEX_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3"), force_align_arg_pointer))
#define VEX_AVX2_TARGET __attribute__((target("avx2,bmi,bmi2"), force_align_arg_pointer))
#else
#define VEX_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))
#define VEX_AVX2_TARGET __attribute__((target("avx2,bmi,bmi2")))
#endif
#endif
