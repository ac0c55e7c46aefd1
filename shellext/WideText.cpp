#include "WideText.h"

namespace {

// The longest path Windows handles, with its terminator.
constexpr DWORD kMaxPathCharacters = 32768;

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
    std::wstring path;
    for (DWORD size = MAX_PATH + 1; size <= 2 * kMaxPathCharacters; size *= 2) {
        path.assign(size, L'\0');
        const DWORD length = GetModuleFileNameW(module, &path[0], size);
        if (length == 0) break;
        // A path that fills the whole buffer may have been cut.
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return std::wstring();
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
    return std::wstring();
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool ToUtf8(const std::wstring& wide, std::string& utf8) {
    utf8.clear();
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    utf8.assign(static_cast<size_t>(size), '\0');
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), length, &utf8[0], size, nullptr, nullptr) ==
           size;
}

bool FromCodePage(const char* text, UINT codePage, std::wstring& wide) {
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (size <= 0) return false;
    wide.assign(static_cast<size_t>(size), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, &wide[0], size) != size) return false;
    wide.resize(static_cast<size_t>(size) - 1);
    return true;
}

bool ToCodePage(const wchar_t* text, UINT codePage, std::string& narrow) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    narrow.assign(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, &narrow[0], size, nullptr, nullptr) != size)
        return false;
    narrow.resize(static_cast<size_t>(size) - 1);
    return true;
}
