#include "CommandLine.h"

namespace {

bool EqualsAsciiNoCase(std::u16string_view text, std::string_view ascii) {
    if (text.size() != ascii.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
        char a = ascii[i];
        if (a >= 'a' && a <= 'z') a = char(a - 'a' + 'A');
        if (c != char16_t(a)) return false;
    }
    return true;
}

std::u16string Unquoted(std::u16string token) {
    if (token.size() >= 2 && token.front() == u'"' && token.back() == u'"') return token.substr(1, token.size() - 2);
    return token;
}

}  // namespace

void CCommandLine::Parse(std::u16string_view text) {
    size_t position = 0;
    for (;;) {
        position = text.find_first_not_of(u' ', position);
        if (position == std::u16string_view::npos) return;
        size_t end = text.find(u' ', position);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string token(text.substr(position, end - position));
        position = end;

        if (token[0] == u'/' || token[0] == u'-') {
            ApplyOption(std::u16string_view(token).substr(1));
            continue;
        }
        if (token[0] == u'"' && (token.size() == 1 || token.back() != u'"')) {
            // A quoted path with blanks runs on to the next double quote.
            const size_t from = text.find_first_not_of(u"\" ", position) == std::u16string_view::npos
                                    ? text.size()
                                    : std::min(text.find_first_not_of(u' ', position), text.size());
            size_t start = position < text.size() ? position + 1 : position;
            while (start < text.size() && text[start] == u'"') ++start;
            size_t to = text.find(u'"', start);
            if (to == std::u16string_view::npos) to = text.size();
            (void)from;
            if (start == to) {
                m_pathTokens.push_back(token.substr(1));
                return;
            }
            token += u' ';
            token.append(text.substr(start, to - start));
            token += u'"';
            position = to < text.size() ? to + 1 : to;
        }
        m_pathTokens.push_back(Unquoted(token));
    }
}

void CCommandLine::ApplyOption(std::u16string_view option) {
    if (EqualsAsciiNoCase(option, "L")) m_listFiles = true;
    if (EqualsAsciiNoCase(option, "Register")) m_registration = RegistrationStep::Register;
    if (EqualsAsciiNoCase(option, "Unregister")) m_registration = RegistrationStep::Unregister;
    for (int mode = 1; mode <= kHighestMode; ++mode)
        if (EqualsAsciiNoCase(option, "M" + std::to_string(mode))) m_mode = mode;
}
