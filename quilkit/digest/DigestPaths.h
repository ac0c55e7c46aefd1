#pragma once

// Which compression code the SHA digests run. The process-wide choice exists so that the
// tests can check every path and the benchmark can time each; the program leaves it on Auto.
enum class DigestPath { Auto, Portable, ShaExtensions };

// A request for ShaExtensions on a processor without them runs the portable code.
void ForceDigestPath(DigestPath path);

// Whether this processor has SHA-1/SHA-256 instructions, with the SSSE3 and SSE4.1 they need.
bool HasShaExtensions();

// The path the next Update will take: Portable or ShaExtensions, never Auto.
DigestPath ActiveDigestPath();
