#pragma once
// The command-line grammar: blank-separated tokens, options after "/" or "-" ("L" and
// "M1" to "M6", any case, anywhere), quoted paths that may hold blanks. "Register" and
// "Unregister" are the program's own, for its elevated instance.
#include <string>
#include <string_view>
#include <vector>

#include "maindlg/RegistrationStep.h"

class CCommandLine {
public:
    static constexpr int kHighestMode = 6;

    void Parse(std::u16string_view text);  // the command line after the program name

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
