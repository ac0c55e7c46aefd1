#pragma once
// The command-line grammar: blank-separated tokens, options after "/" or "-" ("L" and
// "M1" to "M5", any case, anywhere), quoted paths that may hold blanks. "Register" and
// "Unregister" are the program's own, for its elevated instance. Platform-free.
#include <string>
#include <string_view>
#include <vector>

#include "../maindlg/RegistrationStep.h"

class CCommandLine {
public:
    static constexpr int kHighestMode = 5;

    // `text`: the command line after the program name.
    void Parse(std::u16string_view text);

    int Mode() const { return m_mode; }
    bool ListFiles() const { return m_listFiles; }
    RegistrationStep Registration() const { return m_registration; }
    const std::vector<std::u16string>& PathTokens() const { return m_pathTokens; }

private:
    void ApplyOption(std::u16string_view option);

    int m_mode = 0;
    bool m_listFiles = false;
    RegistrationStep m_registration = RegistrationStep::None;
    std::vector<std::u16string> m_pathTokens;
};
