#include "WideText.h"

std::wstring FromCodePage(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), &text[0], length);
    return text;
}

std::string ToCodePage(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string bytes(size_t(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

bool FromCodePageExactly(UINT codePage, const char* text, std::wstring& wide) {
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (size <= 0) return false;
    wide.assign(size_t(size), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, -1, &wide[0], size) != size) return false;
    wide.resize(size_t(size) - 1);
    return true;
}

bool ToCodePageExactly(UINT codePage, const wchar_t* text, std::string& narrow) {
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return false;
    narrow.assign(size_t(size), '\0');
    if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, &narrow[0], size, nullptr, nullptr) != size)
        return false;
    narrow.resize(size_t(size) - 1);
    return true;
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, &text[0], int(text.size()));
    text.resize(size_t(length > 0 ? length : 0));
    return text;
}
