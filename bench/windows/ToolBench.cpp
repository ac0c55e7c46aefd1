// One file tool of the real VexQuilkit on a folder, from OK to the end of the run, with a
// WM_NULL sent to the log window every 20 ms the whole time, as another program would.
// Prints the time per file and the worst round trip.
//
//   tool_bench.exe MODE PATH       (2 cleaner with its default list, 3 hash checker with
//                                   MD5 and SHA-1, 3-sha256 hash checker with SHA-256
//                                   alone, 3-blake3 with BLAKE3 alone, 4 time changer
//                                   with the fixed moment)
//   tool_bench.exe recycle FOLDER  the reference for the cleaner: every .obj file in the
//                                   folder's sub-folders to the recycle bin, one
//                                   SHFileOperation each, with no window and no log
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <shellapi.h>

#include <vector>

#include "Driver.h"
#include "resource.h"

namespace {

double NowMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

HWND OptionsDialog(const driver::Process& app, int mode, bool sha256Only, bool blake3Only) {
    const char* titles[] = {"Cleaner - Quillkit", "Hash Checker - Quillkit", "Setting Time"};
    HWND dialog = driver::FindWindowOf(app, titles[mode - 2], 20000);
    if (!dialog) return nullptr;
    if (mode == 3) {
        driver::SetCheck(dialog, IDC_MD5, !sha256Only && !blake3Only);
        driver::SetCheck(dialog, IDC_SHA1, !sha256Only && !blake3Only);
        driver::SetCheck(dialog, IDC_SHA256, sha256Only);
        driver::SetCheck(dialog, IDC_BLAKE3, blake3Only);
    }
    if (mode == 4) driver::SetCheck(dialog, IDC_FIXEDTIME, true);
    return dialog;
}

std::vector<std::string> ObjFilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (std::string& file : ObjFilesBelow(folder + "\\" + name)) files.push_back(std::move(file));
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".obj") == 0) {
            files.push_back(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return files;
}

int RecycleReference(const std::string& folder) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::vector<std::string> files = ObjFilesBelow(folder);
    const double start = NowMs();
    for (const std::string& file : files) {
        const std::string source = file + '\0';
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = source.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
        if (SHFileOperationA(&operation) != 0) fprintf(stderr, "tool_bench: could not recycle %s\n", file.c_str());
    }
    const double elapsedMs = NowMs() - start;
    printf("recycle: %zu files in %.2f s\n", files.size(), elapsedMs / 1000);
    printf("RESULT mode=recycle files=%zu ms=%.1f\n", files.size(), elapsedMs);
    CoUninitialize();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: tool_bench MODE FOLDER\n");
        return 2;
    }
    if (strcmp(argv[1], "recycle") == 0) return RecycleReference(argv[2]);
    const int mode = atoi(argv[1]);
    const bool sha256Only = strcmp(argv[1], "3-sha256") == 0;
    const bool blake3Only = strcmp(argv[1], "3-blake3") == 0;
    driver::Process app = driver::Start(driver::QuilkitExe(), "/M" + std::to_string(mode) + " \"" + argv[2] + "\"");
    HWND dialog = OptionsDialog(app, mode, sha256Only, blake3Only);
    HWND log = driver::FindWindowOf(app, "Log", 20000);
    if (!dialog || !log) {
        fprintf(stderr, "tool_bench: VexQuilkit showed no options dialog or log\n");
        return 1;
    }

    driver::Click(dialog, IDOK);
    const double start = NowMs();
    double worstRoundTrip = 0;
    std::string status;
    for (;;) {
        const double roundTrip = driver::RoundTripMs(log);
        worstRoundTrip = roundTrip < 0 ? 1e9 : std::max(worstRoundTrip, roundTrip);
        status = driver::ReadStatus(log);
        if (status.rfind("Done: ", 0) == 0) break;
        if (NowMs() - start > 30 * 60 * 1000.0) {
            fprintf(stderr, "tool_bench: no end after 30 minutes; status \"%s\"\n", status.c_str());
            return 1;
        }
        Sleep(20);
    }
    const double elapsedMs = NowMs() - start;
    const unsigned long files = strtoul(status.c_str() + 6, nullptr, 10);
    printf("mode %s: %lu files in %.2f s; worst WM_NULL round trip %.1f ms; status \"%s\"\n", argv[1], files,
           elapsedMs / 1000, worstRoundTrip, status.c_str());
    printf("RESULT mode=%s files=%lu ms=%.1f worst_roundtrip_ms=%.1f\n", argv[1], files, elapsedMs, worstRoundTrip);
    const double closing = NowMs();
    driver::Close(log);
    const int exitCode = driver::WaitForExit(app);
    printf("closed after the run: exit code %d after %.0f ms\n", exitCode, NowMs() - closing);
    return exitCode == 0 ? 0 : 1;
}
