#include "RunCounts.h"

#include <cstdio>

std::string CountOf(uint64_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::string FormatBytes(uint64_t bytes) {
    if (bytes < 1024) return CountOf(bytes, "byte", "bytes");
    char text[32];
    if (bytes < 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f KB", double(bytes) / 1024.0);
    else if (bytes < 1024ull * 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f MB", double(bytes) / (1024.0 * 1024));
    else
        snprintf(text, sizeof(text), "%.2f GB", double(bytes) / (1024.0 * 1024 * 1024));
    return text;
}

std::string FormatRunCounts(CountWording wording, const RunCounts& counts) {
    const std::string failed = std::to_string(counts.failures) + " failed";
    switch (wording) {
        case CountWording::Cleaner:
            return std::to_string(counts.files) + " looked at, " + std::to_string(counts.deleted) + " deleted, " +
                   failed;
        case CountWording::CleanerPreview:
            return std::to_string(counts.files) + " looked at, " + std::to_string(counts.previewed) +
                   " would be deleted, " + failed;
        case CountWording::TimeChanger:
            return CountOf(counts.filesStamped, "file", "files") + " and " +
                   CountOf(counts.foldersStamped, "folder", "folders") + " stamped, " + failed;
        case CountWording::Digests:
            break;
    }
    return CountOf(counts.files, "file", "files") + ", " + failed + ", " + FormatBytes(counts.bytesRead) + " read";
}

std::string FormatStoppedCounts(CountWording wording, const RunCounts& counts) {
    const std::string failed = std::to_string(counts.failures) + " failed, ";
    const std::string left = counts.total > counts.files
                                 ? std::to_string(counts.total - counts.files) + " not done"
                                 : std::to_string(counts.pathsNotDone) + " of the selected paths not finished";
    switch (wording) {
        case CountWording::Cleaner:
            return std::to_string(counts.files) + " looked at, " + std::to_string(counts.deleted) + " deleted, " +
                   failed + left;
        case CountWording::CleanerPreview:
            return std::to_string(counts.files) + " looked at, " + std::to_string(counts.previewed) +
                   " would be deleted, " + failed + left;
        case CountWording::TimeChanger:
            return CountOf(counts.filesStamped, "file", "files") + " and " +
                   CountOf(counts.foldersStamped, "folder", "folders") + " stamped, " + failed + left;
        case CountWording::Digests:
            break;
    }
    const std::string done = counts.total > counts.files ? std::to_string(counts.files) + " of " +
                                                               std::to_string(counts.total) + " files done, "
                                                         : CountOf(counts.files, "file", "files") + " done, ";
    return done + failed + left + ", " + FormatBytes(counts.bytesRead) + " read";
}
