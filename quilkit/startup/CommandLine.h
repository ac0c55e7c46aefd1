#pragma once
// The command-line grammar: blank-separated tokens, options after "/" or "-" ("L" and
// "M1" to "M5", any case, anywhere), quoted paths that may hold blanks.
#include <string>
#include <vector>

class CCommandLine {
public:
    void Parse(const char* text);

    int Mode() const { return m_mode; }
    bool ListFiles() const { return m_listFiles; }
    const std::vector<std::string>& PathTokens() const { return m_pathTokens; }

private:
    void ApplyOption(const char* option);

    int m_mode = 0;
    bool m_listFiles = false;
    std::vector<std::string> m_pathTokens;
};
