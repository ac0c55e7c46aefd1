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

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, &text[0], int(text.size()));
    text.resize(size_t(length > 0 ? length : 0));
    return text;
}
