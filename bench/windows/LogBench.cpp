// Lines through the real log window: a worker writes N result lines as fast as it can,
// the window takes them while its message loop runs, and at the end every line must be
// there, in order. Prints the time per line and the window thread's processor time per line.
//
//   log_bench.exe [lines] [hash]   (1,000,000 by default; "hash": each line as the hash
//                                   checker writes a file's, its quoted path and then its
//                                   MD5 and SHA-1 on the same line)
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/AppModule.h"
#include "framework/MessageLoop.h"
#include "text/WideText.h"
#include "log/LogDlg.h"
#include "run/ToolRun.h"

namespace {

std::string PathOf(long i) {
    char path[96];
    snprintf(path, sizeof(path), "C:\\src\\module%03ld\\file%07ld.obj", i % 500, i);
    return path;
}

std::string HashPathOf(long i) {
    char path[96];
    snprintf(path, sizeof(path), "\"Z:\\tmp\\vexbench\\dir%02ld\\vexbench_%05ld.obj\"", i % 50, i);
    return path;
}

std::string HashDigestsOf(long i) {
    char digests[128];
    snprintf(digests, sizeof(digests), " MD5: %032lx SHA1: %040lx", (unsigned long)i * 40503UL,
             (unsigned long)i * 2654435761UL);
    return digests;
}

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& time) {
        return double((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

std::string ReadAll(HWND edit) {
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    const LRESULT chars = SendMessageA(edit, EM_GETTEXTLENGTHEX, WPARAM(&length), 0);
    std::string text(size_t(chars) + 1, '\0');
    GETTEXTEX get = {DWORD(text.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    text.resize(size_t(SendMessageA(edit, EM_GETTEXTEX, WPARAM(&get), LPARAM(&text[0]))));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? atol(argv[1]) : 1000000;
    const bool hashShape = argc > 2 && strcmp(argv[2], "hash") == 0;
    LoadLibraryA("RICHED20.DLL");
    _Module.Init(GetModuleHandleW(nullptr));
    CMessageLoop loop;
    _Module.AddMessageLoop(&loop);

    CLogDlg log;
    if (!log.Create(nullptr)) return 2;
    ShowWindow(log.m_hWnd, SW_SHOW);
    CToolRun run;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const double cpuStart = ThreadCpuMs();
    log.Watch(run);
    run.Start([lines, hashShape](CLogSink& sink, const CStopRequest&) {
        for (long i = 0; i < lines; ++i) {
            if (!hashShape) {
                LogResultLine(sink, true, L"Delete - ", Widen(PathOf(i)));
                continue;
            }
            sink.AppendSuccess(Widen(HashPathOf(i)));
            sink.AppendLine(Widen(HashDigestsOf(i)));
        }
        return RunTally{};
    });
    MSG msg;
    while (log.IsRunning() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    QueryPerformanceCounter(&end);
    const double cpuMs = ThreadCpuMs() - cpuStart;
    run.StopAndJoin();
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);

    std::string expected;
    expected.reserve(size_t(lines) * 40);
    for (long i = 0; i < lines; ++i)
        expected += (hashShape ? HashPathOf(i) + HashDigestsOf(i) : "Delete - " + PathOf(i)) + "\r\n";
    expected += "---\r\nAll Success!\r\n";
    const std::string text = ReadAll(GetDlgItem(log.m_hWnd, 1019));
    const bool whole = text == expected;
    if (!whole) {
        size_t at = 0;
        while (at < text.size() && at < expected.size() && text[at] == expected[at]) ++at;
        printf("first difference at %zu of %zu (expected %zu): got \"%.60s\" expected \"%.60s\"\n", at, text.size(),
               expected.size(), text.c_str() + at, expected.c_str() + std::min(at, expected.size()));
    }
    printf("log: %ld lines in %.1f s, %.3f ms per line, window thread %.3f ms per line, every line in order: %s\n",
           lines, seconds, seconds * 1000 / double(lines), cpuMs / double(lines), whole ? "yes" : "NO");
    log.DestroyWindow();
    _Module.RemoveMessageLoop();
    return whole ? 0 : 1;
}
