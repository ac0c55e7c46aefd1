#include "TextPattern.h"

std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
    std::wstring said;
    for (size_t at = 0; at < pattern.size(); ++at) {
        const wchar_t next = at + 1 < pattern.size() ? pattern[at + 1] : L'\0';
        if (pattern[at] == L'%' && next == L'%') {
            said += L'%';
            ++at;
        } else if (pattern[at] == L'%' && next >= L'1' && next <= L'9') {
            const size_t index = size_t(next - L'1');
            if (index < args.size()) said += *(args.begin() + index);
            ++at;
        } else {
            said += pattern[at];
        }
    }
    return said;
}
