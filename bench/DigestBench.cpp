// Throughput of our digests beside OpenSSL's, fed the way the hash checker feeds them:
// 8192-byte chunks of one buffer. Prints MB/s and the ratio ours/OpenSSL per pattern.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Md5Digest.h"
#include "Sha1Digest.h"

namespace {

constexpr size_t kChunk = 8192;
constexpr size_t kBufferSize = 64 * kChunk;

const std::vector<uint8_t>& Buffer() {
    static std::vector<uint8_t> buffer = [] {
        std::vector<uint8_t> b(kBufferSize);
        for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 131 + 17);
        return b;
    }();
    return buffer;
}

void OursMd5(benchmark::State& state) {
    const auto& buffer = Buffer();
    CMd5Digest md5;
    for (auto _ : state) {
        Md5Context context;
        md5.Init(&context);
        for (size_t offset = 0; offset < buffer.size(); offset += kChunk)
            md5.Update(&context, buffer.data() + offset, kChunk);
        md5.Final(&context);
        benchmark::DoNotOptimize(md5.Digest()[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OursSha1(benchmark::State& state) {
    const auto& buffer = Buffer();
    CSha1Digest sha1;
    uint8_t digest[20];
    for (auto _ : state) {
        sha1.Init();
        for (size_t offset = 0; offset < buffer.size(); offset += kChunk) sha1.Update(buffer.data() + offset, kChunk);
        sha1.Final();
        sha1.CopyDigest(digest);
        benchmark::DoNotOptimize(digest[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OursBoth(benchmark::State& state) {
    const auto& buffer = Buffer();
    CMd5Digest md5;
    CSha1Digest sha1;
    for (auto _ : state) {
        Md5Context context;
        md5.Init(&context);
        sha1.Init();
        for (size_t offset = 0; offset < buffer.size(); offset += kChunk) {
            sha1.Update(buffer.data() + offset, kChunk);
            md5.Update(&context, buffer.data() + offset, kChunk);
        }
        sha1.Final();
        md5.Final(&context);
        benchmark::DoNotOptimize(md5.Digest()[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void OpenSsl(benchmark::State& state, std::vector<const EVP_MD*> types) {
    const auto& buffer = Buffer();
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

void OpenSslMd5(benchmark::State& state) { OpenSsl(state, {EVP_md5()}); }
void OpenSslSha1(benchmark::State& state) { OpenSsl(state, {EVP_sha1()}); }
void OpenSslBoth(benchmark::State& state) { OpenSsl(state, {EVP_sha1(), EVP_md5()}); }

BENCHMARK(OursMd5);
BENCHMARK(OpenSslMd5);
BENCHMARK(OursSha1);
BENCHMARK(OpenSslSha1);
BENCHMARK(OursBoth);
BENCHMARK(OpenSslBoth);

// Keeps the console output and remembers each run's throughput for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) m_rates[run.benchmark_name()] = it->second.value;
        }
    }

    void PrintRatios() const {
        printf("\n%-6s %12s %12s %8s\n", "digest", "ours MB/s", "OpenSSL MB/s", "ratio");
        for (const char* name : {"Md5", "Sha1", "Both"}) {
            const double ours = Rate(std::string("Ours") + name);
            const double theirs = Rate(std::string("OpenSsl") + name);
            printf("%-6s %12.1f %12.1f %8.2f\n", name, ours / 1e6, theirs / 1e6, theirs > 0 ? ours / theirs : 0.0);
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
