#include "CommandLine.h"

namespace {

constexpr char16_t kBlank = u' ';
constexpr char16_t kQuote = u'"';

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

// Options are ASCII words: no locale may fold any other letter onto them.
bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(char16_t(word[i]))) return false;
    return true;
}

size_t Skip(std::u16string_view text, size_t position, char16_t skipped) {
    while (position < text.size() && text[position] == skipped) ++position;
    return position;
}

size_t Find(std::u16string_view text, size_t position, char16_t wanted) {
    const size_t found = text.find(wanted, position);
    return found == std::u16string_view::npos ? text.size() : found;
}

std::u16string Unquoted(const std::u16string& token) {
    if (token.size() >= 2 && token.front() == kQuote && token.back() == kQuote)
        return std::u16string(token.begin() + 1, token.end() - 1);
    return token;
}

}  // namespace

void CCommandLine::Parse(std::u16string_view text) {
    size_t position = 0;
    for (;;) {
        position = Skip(text, position, kBlank);
        if (position == text.size()) return;
        const size_t end = Find(text, position, kBlank);
        std::u16string token(text.substr(position, end - position));
        position = end < text.size() ? end + 1 : end;

        if (token[0] == u'/' || token[0] == u'-') {
            ApplyOption(std::u16string_view(token).substr(1));
            continue;
        }
        if (token[0] == kQuote && token.back() != kQuote) {
            // A quoted path with blanks runs on to the next double quote.
            const size_t from = Skip(text, position, kQuote);
            const size_t to = Find(text, from, kQuote);
            if (from == to) {
                // Nothing left to close the quote with: keep the token without its
                // opening quote and end the scan here.
                m_pathTokens.push_back(token.substr(1));
                return;
            }
            token += kBlank;
            token.append(text.substr(from, to - from));
            token += kQuote;
            position = to < text.size() ? to + 1 : to;
        }
        m_pathTokens.push_back(Unquoted(token));
    }
}

void CCommandLine::ApplyOption(std::u16string_view option) {
    if (EqualsIgnoringAsciiCase(option, "L")) m_listFiles = true;
    if (EqualsIgnoringAsciiCase(option, "Register")) m_registration = RegistrationStep::Register;
    if (EqualsIgnoringAsciiCase(option, "Unregister")) m_registration = RegistrationStep::Unregister;
    for (int mode = 1; mode <= kHighestMode; ++mode)
        if (EqualsIgnoringAsciiCase(option, "M" + std::to_string(mode))) m_mode = mode;
}
