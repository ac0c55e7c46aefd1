// Throughput of our digests beside OpenSSL's, fed the way the hash checker feeds them:
// 8192-byte chunks of one buffer. Prints MB/s and the ratio ours/OpenSSL per pattern.
// Then BLAKE3 beside its reference, b3sum, on one cached file (VEX_BENCH_BIG_MIB, 1024 MiB):
// one thread each, then all threads each.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "Blake3Digest.h"
#include "DigestPaths.h"
#include "Md5Digest.h"
#include "Sha1Digest.h"
#include "Sha256Digest.h"
#include "Sha512Digest.h"

namespace {

constexpr size_t kChunk = 8192;
constexpr size_t kBufferSize = 64 * kChunk;
// Large enough that starting two threads per iteration costs nothing measurable.
constexpr size_t kBothBufferSize = 64 << 20;

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> b(size);
    for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 131 + 17);
    return b;
}

const std::vector<uint8_t>& Buffer() {
    static const std::vector<uint8_t> buffer = Pattern(kBufferSize);
    return buffer;
}

const std::vector<uint8_t>& BothBuffer() {
    static const std::vector<uint8_t> buffer = Pattern(kBothBufferSize);
    return buffer;
}

void Md5Of(const std::vector<uint8_t>& buffer, CMd5Digest& md5) {
    Md5Context context;
    md5.Init(&context);
    for (size_t offset = 0; offset < buffer.size(); offset += kChunk)
        md5.Update(&context, buffer.data() + offset, kChunk);
    md5.Final(&context);
}

// CSha1Digest, CSha256Digest and CSha512Digest share their shape.
template <class Digest>
void ShaOf(const std::vector<uint8_t>& buffer, Digest& digest) {
    digest.Init();
    for (size_t offset = 0; offset < buffer.size(); offset += kChunk) digest.Update(buffer.data() + offset, kChunk);
    digest.Final();
}

void OursMd5(benchmark::State& state) {
    const auto& buffer = Buffer();
    CMd5Digest md5;
    for (auto _ : state) {
        Md5Of(buffer, md5);
        benchmark::DoNotOptimize(md5.Digest()[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

template <class Digest>
void OursSha(benchmark::State& state, DigestPath path) {
    const auto& buffer = Buffer();
    ForceDigestPath(path);
    Digest digest;
    uint8_t bytes[Digest::kDigestSize];
    for (auto _ : state) {
        ShaOf(buffer, digest);
        digest.CopyDigest(bytes);
        benchmark::DoNotOptimize(bytes[0]);
    }
    ForceDigestPath(DigestPath::Auto);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OursSha1(benchmark::State& state) { OursSha<CSha1Digest>(state, DigestPath::Auto); }
void OursSha1Portable(benchmark::State& state) { OursSha<CSha1Digest>(state, DigestPath::Portable); }
void OursSha256(benchmark::State& state) { OursSha<CSha256Digest>(state, DigestPath::Auto); }
void OursSha256Portable(benchmark::State& state) { OursSha<CSha256Digest>(state, DigestPath::Portable); }
void OursSha512(benchmark::State& state) { OursSha<CSha512Digest>(state, DigestPath::Auto); }
void OursSha512Avx2Bmi2(benchmark::State& state) { OursSha<CSha512Digest>(state, DigestPath::Avx2Bmi2); }
void OursSha512Portable(benchmark::State& state) { OursSha<CSha512Digest>(state, DigestPath::Portable); }

// BLAKE3 on one thread, fed 1 MiB at a time as the hash checker reads.
void OursBlake3(benchmark::State& state, DigestPath path) {
    const auto& buffer = BothBuffer();
    ForceDigestPath(path);
    CBlake3Digest blake3;
    uint8_t digest[CBlake3Digest::kDigestSize];
    for (auto _ : state) {
        for (size_t offset = 0; offset < buffer.size(); offset += 1 << 20)
            blake3.Update(buffer.data() + offset, 1 << 20);
        blake3.Final();
        blake3.CopyDigest(digest);
        benchmark::DoNotOptimize(digest[0]);
    }
    ForceDigestPath(DigestPath::Auto);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OursBlake3Auto(benchmark::State& state) { OursBlake3(state, DigestPath::Auto); }
void OursBlake3Avx2(benchmark::State& state) { OursBlake3(state, DigestPath::Avx2); }
void OursBlake3Sse41(benchmark::State& state) { OursBlake3(state, DigestPath::Sse41); }
void OursBlake3Portable(benchmark::State& state) { OursBlake3(state, DigestPath::Portable); }

// MD5 and SHA-1 of one buffer on a thread each, as the hash checker computes them.
void OursBoth(benchmark::State& state) {
    const auto& buffer = BothBuffer();
    CMd5Digest md5;
    CSha1Digest sha1;
    uint8_t digest[CSha1Digest::kDigestSize];
    for (auto _ : state) {
        std::thread md5Thread([&] { Md5Of(buffer, md5); });
        std::thread sha1Thread([&] { ShaOf(buffer, sha1); });
        md5Thread.join();
        sha1Thread.join();
        sha1.CopyDigest(digest);
        benchmark::DoNotOptimize(md5.Digest()[0]);
        benchmark::DoNotOptimize(digest[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

// Every type in turn over each chunk, on this thread.
void OpenSsl(benchmark::State& state, const std::vector<uint8_t>& buffer, std::vector<const EVP_MD*> types) {
    std::vector<EVP_MD_CTX*> contexts;
    for (size_t i = 0; i < types.size(); ++i) contexts.push_back(EVP_MD_CTX_new());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < types.size(); ++i) EVP_DigestInit_ex(contexts[i], types[i], nullptr);
        for (size_t offset = 0; offset < buffer.size(); offset += kChunk)
            for (auto* context : contexts) EVP_DigestUpdate(context, buffer.data() + offset, kChunk);
        for (auto* context : contexts) EVP_DigestFinal_ex(context, digest, &length);
        benchmark::DoNotOptimize(digest[0]);
    }
    for (auto* context : contexts) EVP_MD_CTX_free(context);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OpenSslMd5(benchmark::State& state) { OpenSsl(state, Buffer(), {EVP_md5()}); }
void OpenSslSha1(benchmark::State& state) { OpenSsl(state, Buffer(), {EVP_sha1()}); }
void OpenSslSha256(benchmark::State& state) { OpenSsl(state, Buffer(), {EVP_sha256()}); }
void OpenSslSha512(benchmark::State& state) { OpenSsl(state, Buffer(), {EVP_sha512()}); }
void OpenSslBoth(benchmark::State& state) { OpenSsl(state, BothBuffer(), {EVP_md5(), EVP_sha1()}); }

BENCHMARK(OursMd5);
BENCHMARK(OpenSslMd5);
BENCHMARK(OursSha1);
BENCHMARK(OursSha1Portable);
BENCHMARK(OpenSslSha1);
BENCHMARK(OursSha256);
BENCHMARK(OursSha256Portable);
BENCHMARK(OpenSslSha256);
BENCHMARK(OursSha512);
BENCHMARK(OursSha512Avx2Bmi2);
BENCHMARK(OursSha512Portable);
BENCHMARK(OpenSslSha512);
BENCHMARK(OursBlake3Auto);
BENCHMARK(OursBlake3Avx2);
BENCHMARK(OursBlake3Sse41);
BENCHMARK(OursBlake3Portable);
// Wall-clock time: the main thread of OursBoth only waits, so its CPU time says nothing.
BENCHMARK(OursBoth)->UseRealTime();
BENCHMARK(OpenSslBoth)->UseRealTime();

// Keeps the console output and remembers each run's throughput for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) m_rates[run.run_name.function_name] = it->second.value;
        }
    }

    void PrintRatios() const {
        printf("\ndigest  ours MB/s  OpenSSL MB/s  ratio\n");
        for (const char* name : {"Md5", "Sha1", "Sha256", "Sha512", "Both"}) {
            const double ours = Rate(std::string("Ours") + name);
            const double theirs = Rate(std::string("OpenSsl") + name);
            printf("%-6s  %9.1f  %12.1f  %5.2f\n", name, ours / 1e6, theirs / 1e6, theirs > 0 ? ours / theirs : 0.0);
        }
        printf("BLAKE3 in memory, one thread, MB/s: widest path %.1f, AVX2 %.1f, SSE4.1 %.1f, portable %.1f\n",
               Rate("OursBlake3Auto") / 1e6, Rate("OursBlake3Avx2") / 1e6, Rate("OursBlake3Sse41") / 1e6,
               Rate("OursBlake3Portable") / 1e6);
    }

private:
    double Rate(const std::string& name) const {
        auto it = m_rates.find(name);
        return it == m_rates.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> m_rates;
};

// Wall-clock and processor seconds (user and system, every thread) of one measurement; on
// a machine shared with other work the processor time is the steadier of the two.
struct Timing {
    double wall = 1e30, cpu = 1e30;
};

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The best of three runs of `what`, counting the processor time of `who`.
template <class Function>
Timing BestOfThree(int who, Function what) {
    Timing best;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds(who);
        if (!what()) return {-1, -1};
        best.cpu = std::min(best.cpu, CpuSeconds(who) - cpuStart);
        best.wall =
            std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

Timing TimeB3sum(const std::string& arguments) {
    return BestOfThree(RUSAGE_CHILDREN, [&] { return system(("b3sum " + arguments + " >/dev/null").c_str()) == 0; });
}

// Hashes the mapped file, as b3sum maps it, fed 1 MiB at a time.
Timing TimeOurs(const uint8_t* data, size_t size, unsigned threads) {
    return BestOfThree(RUSAGE_SELF, [&] {
        CBlake3Digest blake3(threads);
        for (size_t offset = 0; offset < size; offset += 1 << 20)
            blake3.Update(data + offset, std::min<size_t>(1 << 20, size - offset));
        blake3.Final();
        uint8_t digest[CBlake3Digest::kDigestSize];
        blake3.CopyDigest(digest);
        benchmark::DoNotOptimize(digest[0]);
        return true;
    });
}

void PrintComparison(const char* name, Timing ours, Timing theirs, const char* target) {
    printf("%-34s %8.0f  %8.0f  %5.2f  %8.0f  %8.0f  %5.2f  %s\n", name, ours.wall * 1000, theirs.wall * 1000,
           theirs.wall / ours.wall, ours.cpu * 1000, theirs.cpu * 1000, theirs.cpu / ours.cpu, target);
}

void CompareWithB3sum() {
    const char* mib = getenv("VEX_BENCH_BIG_MIB");
    const size_t size = size_t(mib ? atoi(mib) : 1024) << 20;
    char path[] = "/tmp/vexblake3XXXXXX";
    const int file = mkstemp(path);
    if (file < 0) return;
    const std::vector<uint8_t>& pattern = BothBuffer();
    for (size_t written = 0; written < size; written += pattern.size())
        if (write(file, pattern.data(), std::min(pattern.size(), size - written)) < 0) break;
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) {
        const auto* data = static_cast<const uint8_t*>(mapped);
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const Timing oursOne = TimeOurs(data, size, 1), oursAll = TimeOurs(data, size, cores);
        const Timing theirsOne = TimeB3sum(std::string("--num-threads 1 ") + path);
        const Timing theirsAll = TimeB3sum(path);
        printf("\nBLAKE3, cached %4zu MiB file        wall ms: ours  b3sum  ratio   cpu ms: ours  b3sum  ratio\n",
               size >> 20);
        if (theirsOne.wall < 0 || theirsAll.wall < 0)
            printf("b3sum did not run: is it installed (scripts/install-deps.sh)?\n");
        PrintComparison("one thread (b3sum --num-threads 1)", oursOne, theirsOne, "(target 0.90)");
        PrintComparison(("all " + std::to_string(cores) + " threads (b3sum)").c_str(), oursAll, theirsAll, "");
        printf("(ratio: b3sum's time over ours; above 1 we are faster)\n");
        munmap(mapped, size);
    }
    close(file);
    unlink(path);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    CompareWithB3sum();
    benchmark::Shutdown();
    return 0;
}
