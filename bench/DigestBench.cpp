// Throughput of our digests beside OpenSSL's, fed the way the hash checker feeds them:
// 8192-byte chunks of one buffer. Prints MB/s and the ratio ours/OpenSSL per pattern.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

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
    }

private:
    double Rate(const std::string& name) const {
        auto it = m_rates.find(name);
        return it == m_rates.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> m_rates;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
