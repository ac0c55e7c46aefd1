#include "LongPath.h"

namespace {

// Below this the plain form works everywhere, including for folders, which need room
// for an 8.3 name after them.
constexpr size_t kPlainLimit = MAX_PATH - 12;

bool IsExtended(const std::wstring& path) { return path.compare(0, 4, L"\\\\?\\") == 0; }

bool IsDrivePath(const std::wstring& path) { return path.size() >= 3 && path[1] == L':' && path[2] == L'\\'; }

bool IsUncPath(const std::wstring& path) { return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\'; }

}  // namespace

std::wstring FileSystemPath(const std::wstring& path) {
    if (path.size() < kPlainLimit || IsExtended(path)) return path;
    // The extended form skips the system's own clean-up, so it gets the full path.
    const std::wstring full = FullPathName(path);
    if (IsDrivePath(full)) return L"\\\\?\\" + full;
    if (IsUncPath(full)) return L"\\\\?\\UNC\\" + full.substr(2);
    return path;
}

std::wstring FullPathName(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    }
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

std::wstring ModuleFileName(HMODULE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, &name[0], DWORD(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

std::wstring TempFolder() {
    std::wstring folder;
    DWORD size = MAX_PATH + 1;
    // The variable it reads may change between the calls: a few rounds, each with the size asked for.
    for (int round = 0; round < 4; ++round) {
        folder.assign(size, L'\0');
        const DWORD length = GetTempPathW(size, &folder[0]);
        if (length == 0) break;
        if (length < size) {
            folder.resize(length);
            return folder;
        }
        size = length + 1;
    }
    return {};
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsPathTooLongError(DWORD error) { return error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_BUFFER_OVERFLOW; }
