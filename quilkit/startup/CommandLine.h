#pragma once
// The command-line grammar: blank-separated tokens, options after "/" or "-" ("L" and
// "M1" to "M5", any case, anywhere), quoted paths that may hold blanks. "Register" and
// "Unregister" are the program's own, for its elevated instance.
#include <string>
#include <vector>

#include "../maindlg/ExtensionRegistrar.h"

class CCommandLine {
public:
    void Parse(const char* text);

    int Mode() const { return m_mode; }
    bool ListFiles() const { return m_listFiles; }
    RegistrationStep Registration() const { return m_registration; }
    const std::vector<std::string>& PathTokens() const { return m_pathTokens; }

private:
    void ApplyOption(const char* option);

    int m_mode = 0;
    bool m_listFiles = false;
    RegistrationStep m_registration = RegistrationStep::None;
    std::vector<std::string> m_pathTokens;
};
