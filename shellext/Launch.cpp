#include "Launch.h"

#include <shellapi.h>

#include <algorithm>

#include "framework/Handles.h"
#include "text/LongPath.h"

namespace {

// Marks the file as UTF-8 for VexQuilkit, which reads a file without it in the ANSI code page.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

HRESULT LastError() {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

std::wstring Hex(DWORD value) {
    std::wstring text;
    for (; value || text.empty(); value >>= 4) text.insert(text.begin(), L"0123456789ABCDEF"[value & 0xF]);
    return text;
}

// Creates a file that did not exist, named as GetTempFileName names one; unlike that
// function, whatever the length of the folder's path.
UniqueFile CreateUniqueFile(const std::wstring& folder, std::wstring& name) {
    const DWORD start = GetTickCount();
    for (DWORD attempt = 0; attempt <= 0xFFFF; ++attempt) {
        const DWORD unique = (start + attempt) & 0xFFFF;
        if (unique == 0) continue;
        name = folder + L"vqk" + Hex(unique) + L".tmp";
        UniqueFile file(CreateFileW(FileSystemPath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = GetLastError();
        if (file || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) return file;
    }
    return UniqueFile();
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    for (size_t offset = 0; offset < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + offset, chunk, &done, nullptr) || done == 0) return false;
        offset += done;
    }
    return true;
}

void DeleteListFile(const std::wstring& listFile) { DeleteFileW(FileSystemPath(listFile).c_str()); }

}  // namespace

HRESULT WriteListFile(const std::vector<std::string>& utf8Paths, std::wstring& listFile) {
    const std::wstring folder = TempFolder();
    if (folder.empty()) return LastError();
    UniqueFile file = CreateUniqueFile(folder, listFile);
    if (!file) return LastError();

    std::string text = kByteOrderMark;
    for (const std::string& path : utf8Paths) text += path + "\r\n";
    if (!WriteAll(file.Get(), text)) {
        const HRESULT hr = LastError();
        file.Reset();
        DeleteListFile(listFile);
        return hr;
    }
    return S_OK;
}

HRESULT StartQuilkit(HMODULE module, int mode, const std::wstring& listFile, HWND owner, bool noUi) {
    const std::wstring parent = ParentFolder(ModuleFileName(module));
    if (parent.empty()) {
        DeleteListFile(listFile);
        return E_FAIL;
    }
    // With its final backslash, so that a drive's root stays the root.
    const std::wstring folder = parent + L"\\";
    const std::wstring program = folder + L"VexQuilkit.exe";
    const std::wstring parameters = L"/M" + std::to_wstring(mode) + L" /L \"" + listFile + L"\"";

    // ShellExecuteEx, not CreateProcess: the shell reports a failure to start in its own
    // box, unless the host asked for no user interface.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | (noUi ? SEE_MASK_FLAG_NO_UI : 0);
    info.hwnd = owner;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        const HRESULT hr = LastError();
        DeleteListFile(listFile);
        return hr;
    }
    return S_OK;
}
