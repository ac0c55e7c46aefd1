#pragma once
// The selected paths, in command-line and line order, duplicates kept. Filled only at
// start-up; the tools are handed it afterwards.
#include <string>
#include <vector>

class CPathList {
public:
    static constexpr int kLineBufferSize = 520;

    void Add(const char* path) { m_paths.emplace_back(path); }

    // Appends the paths of a list file, then deletes the file. A file that cannot be
    // opened adds nothing and stays where it is.
    void ReadListFile(const char* fileName);

    const std::vector<std::string>& Paths() const { return m_paths; }
    void Clear() { m_paths.clear(); }

private:
    std::vector<std::string> m_paths;
};
