#pragma once

// Which compression code the SHA digests run. The process-wide choice exists so that the
// tests can check every path and the benchmark can time each; the program leaves it on Auto.
// SHA-1 and SHA-256 have a portable and a SHA-extensions path; SHA-512 has a portable path,
// one on AVX2 and BMI2, and one on the SHA-512 extensions.
enum class DigestPath { Auto, Portable, ShaExtensions, Avx2Bmi2 };

// A request for a path this processor cannot run runs the portable code.
void ForceDigestPath(DigestPath path);

// Whether this processor has SHA-1/SHA-256 instructions, with the SSSE3 and SSE4.1 they need.
bool HasShaExtensions();

// Whether this processor has AVX2, BMI1 and BMI2 and the system saves the 256-bit registers.
bool HasAvx2Bmi2();

// Whether this processor has the SHA-512 instructions, with AVX2 and the system's support for
// the 256-bit registers they work on.
bool HasSha512Extensions();

// The path the next SHA-1 or SHA-256 Update will take: Portable or ShaExtensions, never Auto.
DigestPath ActiveDigestPath();

// The path the next SHA-512 Update will take: Portable, Avx2Bmi2 or ShaExtensions, never Auto.
DigestPath ActiveSha512Path();
