// The hash checker's job (MD5 and SHA-1) on the given files in-process, with a given number
// of files read at once, from its start to the end of the run, its lines taken as the log
// window takes them. Wine cannot say whether a disk seeks, so the real program reads one
// file at a time there; this measures what several at once bring.
//
//   hash_bench.exe WORKERS FILE...
//   hash_bench.exe read FOLDER     the floor under it: every file below the folder listed,
//                                  opened, read to its end and closed, nothing else
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "run/ToolRun.h"
#include "tools/hash/EngineHash.h"

namespace {

double NowMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void FilesBelow(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW entry;
    const UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FilesBelow(folder + L"\\" + name, files);
        else
            files.push_back(folder + L"\\" + name);
    } while (FindNextFileW(find.Get(), &entry));
}

int ReadEveryFile(const std::wstring& folder) {
    const double start = NowMs();
    std::vector<std::wstring> files;
    FilesBelow(folder, files);
    const double listed = NowMs();
    std::vector<char> buffer(1 << 20);
    unsigned long long bytes = 0;
    for (const std::wstring& path : files) {
        const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD read = 0;
        while (file && ReadFile(file.Get(), buffer.data(), DWORD(buffer.size()), &read, nullptr) && read > 0)
            bytes += read;
    }
    const double end = NowMs();
    printf("RESULT mode=read files=%zu bytes=%llu ms=%.1f list_ms=%.1f\n", files.size(), bytes, end - start,
           listed - start);
    return files.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: hash_bench WORKERS FILE... | hash_bench read FOLDER\n");
        return 2;
    }
    if (std::wstring(argv[1]) == L"read") return ReadEveryFile(argv[2]);
    const size_t workers = wcstoul(argv[1], nullptr, 10);
    const std::vector<std::wstring> paths(argv + 2, argv + argc);
    const double start = NowMs();
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
    const double ms = NowMs() - start;
    const RunProgress progress = run.Feed().Progress();
    printf("RESULT workers=%zu files=%llu failures=%llu entries=%zu ms=%.1f\n", workers,
           (unsigned long long)progress.files, (unsigned long long)progress.failures, lines, ms);
    return progress.failures == 0 ? 0 : 1;
}
