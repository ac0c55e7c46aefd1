// The hash checker's job (MD5 and SHA-1) on the given files in-process, with a given number
// of files read at once, from its start to the end of the run, its lines taken as the log
// window takes them. Wine cannot say whether a disk seeks, so the real program reads one
// file at a time there; this measures what several at once bring.
//
//   hash_bench.exe WORKERS FILE...
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "run/ToolRun.h"
#include "tools/hash/EngineHash.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: hash_bench WORKERS FILE...\n");
        return 2;
    }
    const size_t workers = wcstoul(argv[1], nullptr, 10);
    const std::vector<std::wstring> paths(argv + 2, argv + argc);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    CToolRun run;
    run.Feed().SetConsumer(nullptr, 0);
    run.Start(HashCheckJob(paths, WalkOptions{}, {DigestKind::Md5, DigestKind::Sha1}, run.Checksums(), "",
                           ChecksumAlgorithm::Md5, workers));
    std::vector<LogEntry> batch;
    size_t lines = 0;
    while (!run.Feed().Progress().finished || run.Feed().HasWaiting()) {
        run.Feed().Take(batch, 10000);
        lines += batch.size();
        if (batch.empty()) Sleep(1);
    }
    run.StopAndJoin();
    QueryPerformanceCounter(&end);
    const double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
    const RunProgress progress = run.Feed().Progress();
    printf("RESULT workers=%zu files=%llu failures=%llu entries=%zu ms=%.1f\n", workers,
           (unsigned long long)progress.files, (unsigned long long)progress.failures, lines, ms);
    return progress.failures == 0 ? 0 : 1;
}
