#include "DigestPaths.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

std::atomic<DigestPath> g_forced{DigestPath::Auto};

#if defined(__x86_64__) || defined(__i386__)

struct CpuidLeaf {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

CpuidLeaf Cpuid(unsigned leaf, unsigned subleaf) {
    CpuidLeaf r;
    if (__get_cpuid_max(0, nullptr) >= leaf) __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
}

// AVX needs the system to save the upper halves of the registers on a thread switch; a
// processor can report AVX2 under a system that does not.
bool SystemSavesYmm() {
    const unsigned osxsave = 1u << 27, avx = 1u << 28;
    if ((Cpuid(1, 0).ecx & (osxsave | avx)) != (osxsave | avx)) return false;
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 6) == 6;
}

// AVX-512 needs, beyond that, the mask registers and both halves of the 32 wide registers.
bool SystemSavesZmm() {
    if (!SystemSavesYmm()) return false;
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 0xE6) == 0xE6;
}

bool DetectSse41() {
    const CpuidLeaf one = Cpuid(1, 0);
    return (one.ecx & bit_SSSE3) != 0 && (one.ecx & bit_SSE4_1) != 0;
}

bool DetectAvx2() { return (Cpuid(7, 0).ebx & bit_AVX2) != 0 && SystemSavesYmm(); }

bool DetectAvx512() { return (Cpuid(7, 0).ebx & bit_AVX512F) != 0 && SystemSavesZmm(); }

bool DetectShaExtensions() {
    const CpuidLeaf one = Cpuid(1, 0);
    const bool ssse3 = (one.ecx & bit_SSSE3) != 0;
    const bool sse41 = (one.ecx & bit_SSE4_1) != 0;
    return ssse3 && sse41 && (Cpuid(7, 0).ebx & bit_SHA) != 0;
}

bool DetectAvx2Bmi2() {
    const CpuidLeaf seven = Cpuid(7, 0);
    const unsigned wanted = bit_AVX2 | bit_BMI | bit_BMI2;
    return (seven.ebx & wanted) == wanted && SystemSavesYmm();
}

bool DetectSha512Extensions() {
    // Leaf 7 sub-leaf 1 exists only where sub-leaf 0 says so; its EAX bit 0 is SHA512.
    if (Cpuid(7, 0).eax < 1) return false;
    return (Cpuid(7, 1).eax & 1u) != 0 && DetectAvx2Bmi2();
}

#else

bool DetectShaExtensions() { return false; }
bool DetectAvx2Bmi2() { return false; }
bool DetectSha512Extensions() { return false; }
bool DetectSse41() { return false; }
bool DetectAvx2() { return false; }
bool DetectAvx512() { return false; }

#endif

bool Allows(DigestPath forced, DigestPath path) { return forced == DigestPath::Auto || forced == path; }

}  // namespace

void ForceDigestPath(DigestPath path) { g_forced.store(path, std::memory_order_relaxed); }

bool HasShaExtensions() {
    static const bool has = DetectShaExtensions();
    return has;
}

bool HasAvx2Bmi2() {
    static const bool has = DetectAvx2Bmi2();
    return has;
}

bool HasSha512Extensions() {
    static const bool has = DetectSha512Extensions();
    return has;
}

bool HasSse41() {
    static const bool has = DetectSse41();
    return has;
}

bool HasAvx2() {
    static const bool has = DetectAvx2();
    return has;
}

bool HasAvx512() {
    static const bool has = DetectAvx512();
    return has;
}

DigestPath ActiveDigestPath() {
    const DigestPath forced = g_forced.load(std::memory_order_relaxed);
    if (Allows(forced, DigestPath::ShaExtensions) && HasShaExtensions()) return DigestPath::ShaExtensions;
    return DigestPath::Portable;
}

DigestPath ActiveSha512Path() {
    const DigestPath forced = g_forced.load(std::memory_order_relaxed);
    if (Allows(forced, DigestPath::ShaExtensions) && HasSha512Extensions()) return DigestPath::ShaExtensions;
    if (Allows(forced, DigestPath::Avx2Bmi2) && HasAvx2Bmi2()) return DigestPath::Avx2Bmi2;
    return DigestPath::Portable;
}

DigestPath ActiveBlake3Path() {
    // A forced narrower path keeps the wider ones out; each wider one also needs the narrower.
    const DigestPath forced = g_forced.load(std::memory_order_relaxed);
    if (Allows(forced, DigestPath::Avx512) && HasAvx512() && HasAvx2() && HasSse41()) return DigestPath::Avx512;
    if (Allows(forced, DigestPath::Avx2) && HasAvx2() && HasSse41()) return DigestPath::Avx2;
    if (Allows(forced, DigestPath::Sse41) && HasSse41()) return DigestPath::Sse41;
    return DigestPath::Portable;
}
