#pragma once
// What the cleaner's Preview showed: each file it would delete as the walk found it (its
// size and last write), and the deletion of exactly those files afterwards. A file
// changed or gone since the preview is named, not deleted.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "log/LogSink.h"
#include "run/StopRequest.h"
#include "run/ToolRun.h"

struct PreviewedFile {
    std::wstring path;
    uint64_t size = 0;
    FILETIME written = {};
};

class CEngine_ExtCleaner;

class CCleanerPreview {
public:
    void Add(PreviewedFile file) { m_files.push_back(std::move(file)); }
    const std::vector<PreviewedFile>& Files() const { return m_files; }
    uint64_t Bytes() const;

    // Deletes through `engine` each file shown that is still as it was.
    RunTally DeleteThese(CEngine_ExtCleaner& engine, CLogSink& log) const;

private:
    std::vector<PreviewedFile> m_files;
};

// The size and last write of the file at `path` now; false when there is none.
bool StampOfFile(const std::wstring& path, PreviewedFile& stamp);
