#include "Launch.h"

#include <shellapi.h>

#include <cstdio>

#include "Handles.h"

HRESULT WriteListFile(const std::vector<std::string>& paths, char* listFile) {
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return E_FAIL;
    // Creates the file, so two selections never share a name.
    if (!GetTempFileNameA(folder, "vqk", 0, listFile)) return HRESULT_FROM_WIN32(GetLastError());

    UniqueFile file(CreateFileA(listFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    bool written = file.IsValid();
    for (const std::string& path : paths) {
        const std::string line = path + "\r\n";
        DWORD done = 0;
        written = written && WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &done, nullptr) &&
                  done == line.size();
    }
    if (!written) {
        const DWORD error = GetLastError();
        file.Reset();
        DeleteFileA(listFile);
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return S_OK;
}

HRESULT StartQuilkit(HMODULE module, int mode, const char* listFile, HWND owner, bool noUi) {
    char folder[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(module, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        DeleteFileA(listFile);
        return E_FAIL;
    }
    char* name = folder + length;
    while (name > folder && name[-1] != '\\') --name;
    *name = '\0';

    char program[MAX_PATH + 32];
    char parameters[MAX_PATH + 32];
    snprintf(program, sizeof(program), "%sVexQuilkit.exe", folder);
    snprintf(parameters, sizeof(parameters), "/M%d /L \"%s\"", mode, listFile);

    // ShellExecuteEx, not CreateProcess: VexQuilkit asks for administrator rights, and
    // only the shell offers the elevation.
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | (noUi ? SEE_MASK_FLAG_NO_UI : 0);
    info.hwnd = owner;
    info.lpFile = program;
    info.lpParameters = parameters;
    info.lpDirectory = folder;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        const DWORD error = GetLastError();
        DeleteFileA(listFile);
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return S_OK;
}

namespace {

bool Narrow(const wchar_t* wide, std::string& narrow) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    narrow.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size) - 1);
    return true;
}

}  // namespace

bool ToSystemCodePage(const wchar_t* widePath, std::string& path) {
    if (Narrow(widePath, path)) return true;
    wchar_t shortPath[MAX_PATH + 1];
    const DWORD length = GetShortPathNameW(widePath, shortPath, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH && Narrow(shortPath, path);
}
