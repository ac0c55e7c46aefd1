#include "CommandLine.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

namespace {

// Scans in the system's multibyte code page, so that the second byte of a double-byte
// character is never taken for a blank or a double quote.
const char* FindChar(const char* p, char wanted) {
    while (*p && *p != wanted) p = CharNextA(p);
    return p;
}

const char* SkipChar(const char* p, char skipped) {
    while (*p == skipped) p = CharNextA(p);
    return p;
}

// The last character of a non-empty token, found by walking it character by character.
const char* LastChar(const std::string& token) {
    const char* p = token.c_str();
    const char* last = p;
    for (; *p; p = CharNextA(p)) last = p;
    return last;
}

std::string Unquoted(std::string token) {
    std::vector<char> buffer(token.begin(), token.end());
    buffer.push_back('\0');
    PathUnquoteSpacesA(buffer.data());
    return buffer.data();
}

}  // namespace

void CCommandLine::Parse(const char* text) {
    const char* position = text;
    for (;;) {
        position = SkipChar(position, ' ');
        if (!*position) return;
        const char* end = FindChar(position, ' ');
        std::string token(position, end);
        position = *end ? end + 1 : end;

        if (token[0] == '/' || token[0] == '-') {
            ApplyOption(token.c_str());
            continue;
        }
        if (token[0] == '"' && *LastChar(token) != '"') {
            // A quoted path with blanks runs on to the next double quote.
            const char* from = SkipChar(position, '"');
            const char* to = FindChar(from, '"');
            if (from == to) {
                // Nothing left to close the quote with: keep the token without its
                // opening quote and end the scan here.
                m_pathTokens.push_back(token.substr(1));
                return;
            }
            token += ' ';
            token.append(from, to);
            token += '"';
            position = *to ? to + 1 : to;
        }
        m_pathTokens.push_back(Unquoted(token));
    }
}

void CCommandLine::ApplyOption(const char* option) {
    const char* text = option + 1;
    if (lstrcmpiA(text, "L") == 0) {
        m_listFiles = true;
        return;
    }
    if (lstrcmpiA(text, "Register") == 0) m_registration = RegistrationStep::Register;
    if (lstrcmpiA(text, "Unregister") == 0) m_registration = RegistrationStep::Unregister;
    static const char* const kModes[] = {"M1", "M2", "M3", "M4", "M5"};
    for (int i = 0; i < 5; ++i)
        if (lstrcmpiA(text, kModes[i]) == 0) m_mode = i + 1;
}
