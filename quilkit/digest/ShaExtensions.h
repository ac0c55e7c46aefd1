#pragma once

// For the SHA digests: whether this compiler can emit the x86 SHA instructions, and the
// attribute that lets one function use them without the whole build assuming them.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VEX_SHA_EXTENSIONS 1
#if defined(__i386__)
// A 32-bit Windows thread may start on a stack aligned to only 4 bytes; vector spills need 16.
#define VEX_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3"), force_align_arg_pointer))
#else
#define VEX_SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))
#endif
#endif
