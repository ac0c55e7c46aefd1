#pragma once
// The selected paths, in command-line and line order, duplicates kept, and the list
// files that could not be read. Filled only at start-up; the tools are handed it
// afterwards.
#include <string>
#include <vector>

class CPathList {
public:
    void Add(std::wstring path) { m_paths.push_back(std::move(path)); }

    // Appends the paths of a list file, then deletes the file. A file with a UTF-8
    // byte-order mark is read as UTF-8, any other in the system's ANSI code page, as
    // older callers write them. A file that cannot be read is remembered, adds nothing
    // and stays where it is.
    void ReadListFile(const std::wstring& fileName);

    const std::vector<std::wstring>& Paths() const { return m_paths; }
    const std::vector<std::wstring>& MissingListFiles() const { return m_missingListFiles; }

private:
    std::vector<std::wstring> m_paths;
    std::vector<std::wstring> m_missingListFiles;
};
