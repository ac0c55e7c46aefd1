#pragma once

// Which compression code the SHA digests run. The process-wide choice exists so that the
// tests can check every path and the benchmark can time each; the program leaves it on Auto.
// SHA-1 and SHA-256 have a portable and a SHA-extensions path; SHA-512 has a portable path,
// one on AVX2 and BMI2, and one on the SHA-512 extensions. BLAKE3 has a portable path and
// one each on SSE4.1, AVX2 and AVX-512, hashing 4, 8 or 16 chunks at once.
enum class DigestPath { Auto, Portable, ShaExtensions, Avx2Bmi2, Sse41, Avx2, Avx512 };

// A request for a path this processor cannot run runs the portable code.
void ForceDigestPath(DigestPath path);

// Whether this processor has SHA-1/SHA-256 instructions, with the SSSE3 and SSE4.1 they need.
bool HasShaExtensions();

// Whether this processor has AVX2, BMI1 and BMI2 and the system saves the 256-bit registers.
bool HasAvx2Bmi2();

// Whether this processor has the SHA-512 instructions, with AVX2 and the system's support for
// the 256-bit registers they work on.
bool HasSha512Extensions();

// Whether this processor has SSE4.1 (and the SSSE3 it implies).
bool HasSse41();

// Whether this processor has AVX2 and the system saves the 256-bit registers.
bool HasAvx2();

// Whether this processor has AVX-512 F and the system saves the 512-bit registers and
// the mask registers.
bool HasAvx512();

// The path the next SHA-1 or SHA-256 Update will take: Portable or ShaExtensions, never Auto.
DigestPath ActiveDigestPath();

// The path the next SHA-512 Update will take: Portable, Avx2Bmi2 or ShaExtensions, never Auto.
DigestPath ActiveSha512Path();

// The path the next BLAKE3 Update will take: Portable, Sse41, Avx2 or Avx512, never Auto.
DigestPath ActiveBlake3Path();
