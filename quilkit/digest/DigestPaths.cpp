#include "DigestPaths.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

std::atomic<DigestPath> g_forced{DigestPath::Auto};

bool DetectShaExtensions() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return ssse3 && sse41 && (ebx & bit_SHA) != 0;
#else
    return false;
#endif
}

}  // namespace

void ForceDigestPath(DigestPath path) { g_forced.store(path, std::memory_order_relaxed); }

bool HasShaExtensions() {
    static const bool has = DetectShaExtensions();
    return has;
}

DigestPath ActiveDigestPath() {
    if (g_forced.load(std::memory_order_relaxed) != DigestPath::Portable && HasShaExtensions())
        return DigestPath::ShaExtensions;
    return DigestPath::Portable;
}
