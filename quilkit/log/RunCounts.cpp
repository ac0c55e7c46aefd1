#include "RunCounts.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "text/TextPattern.h"

namespace {

std::wstring Number(uint64_t value) { return std::to_wstring(value); }

std::wstring Files(uint64_t count, const CountWords& words) { return CountOf(count, words.oneFile, words.files); }

std::wstring Folders(uint64_t count, const CountWords& words) { return CountOf(count, words.oneFolder, words.folders); }

}  // namespace

std::wstring CountOf(uint64_t count, const std::wstring& singular, const std::wstring& plural) {
    return FormatText(count == 1 ? singular : plural, {Number(count)});
}

std::wstring FormatBytes(uint64_t bytes, const CountWords& words) {
    if (bytes < 1024) return CountOf(bytes, words.oneByte, words.bytes);
    char text[32];
    if (bytes < 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f KB", double(bytes) / 1024.0);
    else if (bytes < 1024ull * 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f MB", double(bytes) / (1024.0 * 1024));
    else
        snprintf(text, sizeof(text), "%.2f GB", double(bytes) / (1024.0 * 1024 * 1024));
    return std::wstring(text, text + strlen(text));  // ASCII
}

std::wstring FormatRunCounts(CountWording wording, const RunCounts& counts, const CountWords& words) {
    const std::wstring failed = Number(counts.failures);
    switch (wording) {
        case CountWording::Cleaner:
            return FormatText(words.cleaner, {Number(counts.files), Number(counts.deleted), failed});
        case CountWording::CleanerPreview:
            return FormatText(words.preview, {Number(counts.files), Number(counts.previewed), failed});
        case CountWording::TimeChanger:
            return FormatText(words.timeChanger,
                              {Files(counts.filesStamped, words), Folders(counts.foldersStamped, words), failed});
        case CountWording::Digests:
            break;
    }
    return FormatText(words.digests, {Files(counts.files, words), failed, FormatBytes(counts.bytesRead, words)});
}

std::wstring FormatStoppedCounts(CountWording wording, const RunCounts& counts, const CountWords& words) {
    const bool totalKnown = counts.total > counts.files;
    const std::wstring left = totalKnown ? FormatText(words.notDone, {Number(counts.total - counts.files)})
                                         : FormatText(words.pathsNotFinished, {Number(counts.pathsNotDone)});
    if (wording != CountWording::Digests)
        return FormatText(words.stopped, {FormatRunCounts(wording, counts, words), left});
    const std::wstring failed = Number(counts.failures), read = FormatBytes(counts.bytesRead, words);
    if (totalKnown)
        return FormatText(words.stoppedDigestsOf, {Number(counts.files), Number(counts.total), failed, left, read});
    return FormatText(words.stoppedDigests, {Files(counts.files, words), failed, left, read});
}
