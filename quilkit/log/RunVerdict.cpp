#include "RunVerdict.h"

#include <shlwapi.h>

#include "text/WideText.h"

namespace {

// `language`'s text with %1 and %2 replaced; `english` where there is no language.
std::wstring Say(const LanguageRecord* language, LanguageText text, const std::wstring& english,
                 const std::wstring& first = {}, const std::wstring& second = {}) {
    if (!language) return english;
    std::wstring said = LanguageTextOf(language, text, L"");
    for (const auto& [mark, value] : {std::pair{L"%1", &first}, std::pair{L"%2", &second}}) {
        const size_t at = said.find(mark);
        if (at != std::wstring::npos) said.replace(at, 2, *value);
    }
    return said;
}

std::wstring Number(uint64_t value) { return std::to_wstring(value); }

std::wstring Files(uint64_t count) { return Widen(CountOf(count, "file", "files")); }

RunVerdict Working(const RunStanding& standing, const LanguageRecord* language) {
    if (standing.stopRequested) return {VerdictTone::Working, Say(language, kTextVerdictStopping, L"Stopping...")};
    const std::wstring& current = standing.progress.current;
    if (current.empty()) return {VerdictTone::Working, Say(language, kTextVerdictWorking, L"Working...", L"...")};
    return {VerdictTone::Working, Say(language, kTextVerdictWorking, L"Working on " + current, current)};
}

RunVerdict Stopped(const RunCounts& counts, const LanguageRecord* language) {
    if (counts.total > counts.files)
        return {VerdictTone::Stopped,
                Say(language, kTextVerdictStoppedOf,
                    L"Stopped: " + Number(counts.files) + L" of " + Number(counts.total) + L" files done",
                    Number(counts.files), Number(counts.total))};
    return {VerdictTone::Stopped,
            Say(language, kTextVerdictStopped, L"Stopped: " + Files(counts.files) + L" done, the rest not done",
                Number(counts.files))};
}

// What the run did, in its tool's words, without its failures.
std::wstring Achieved(CountWording wording, const RunProgress& progress, const LanguageRecord* language) {
    switch (wording) {
        case CountWording::Cleaner: {
            const std::wstring freed = FormatByteSize(progress.bytesFreed);
            return Say(language, kTextVerdictDeleted,
                       Number(progress.deleted) + L" deleted, " + freed + L" to the Recycle Bin",
                       Number(progress.deleted), freed);
        }
        case CountWording::CleanerPreview:
            return PreviewSummary(progress.previewed, progress.bytesFreed, language);
        case CountWording::TimeChanger: {
            const uint64_t stamped = progress.filesStamped + progress.foldersStamped;
            return Say(language, kTextVerdictStamped, Number(stamped) + L" stamped", Number(stamped));
        }
        case CountWording::Digests:
            break;
    }
    return {};
}

RunVerdict Ended(const RunStanding& standing, const LanguageRecord* language) {
    const RunProgress& progress = standing.progress;
    // One file and a pasted digest: the answer to the one question asked.
    if (progress.files == 1 && progress.matched + progress.mismatched == 1 && progress.failures <= 1) {
        const bool matches = progress.matched == 1;
        return {matches ? VerdictTone::Passed : VerdictTone::Failed,
                matches
                    ? Say(language, kTextVerdictMatches, L"Matches " + progress.algorithm, progress.algorithm)
                    : Say(language, kTextVerdictMismatch, L"Does not match " + progress.algorithm, progress.algorithm)};
    }
    std::wstring failed;
    if (progress.failures > 0 && progress.failures <= progress.files)
        failed = Say(language, kTextVerdictFailedOf,
                     Number(progress.failures) + L" of " + Number(progress.files) + L" failed",
                     Number(progress.failures), Number(progress.files));
    else if (progress.failures > 0)
        failed = Say(language, kTextVerdictFailed, Number(progress.failures) + L" failed", Number(progress.failures));
    const std::wstring achieved = Achieved(standing.wording, progress, language);
    if (!achieved.empty()) {
        if (failed.empty()) return {VerdictTone::Passed, achieved};
        return {VerdictTone::Failed, failed + (language ? L"\x3001" : L", ") + achieved};
    }
    if (!failed.empty()) return {VerdictTone::Failed, failed};
    if (progress.files == 0) return {VerdictTone::Passed, Say(language, kTextVerdictNoFiles, L"No files found")};
    const std::wstring ok = progress.files == 1 ? L"1 file OK" : L"All " + Files(progress.files) + L" OK";
    return {VerdictTone::Passed, Say(language, kTextVerdictAllOk, ok, Number(progress.files))};
}

}  // namespace

RunVerdict VerdictOf(const RunStanding& standing, const LanguageRecord* language) {
    if (standing.running) return Working(standing, language);
    if (standing.stopRequested) return Stopped(standing.progress, language);
    return Ended(standing, language);
}

TaskbarShow TaskbarShowOf(const RunStanding& standing) {
    const RunProgress& progress = standing.progress;
    if (!standing.running) return {};
    TaskbarShow show;
    // Red from the first failure on, whether or not the total is known.
    if (progress.failures > 0)
        show.state = TBPF_ERROR;
    else if (standing.stopRequested)
        show.state = TBPF_PAUSED;
    else
        show.state = progress.total > 0 ? TBPF_NORMAL : TBPF_INDETERMINATE;
    if (progress.total > 0) {
        show.total = progress.total;
        show.completed = std::min(progress.files, progress.total);
    } else if (show.state != TBPF_INDETERMINATE) {
        // A red or paused bar without a total shows full: there is no part to show.
        show.total = show.completed = 1;
    }
    return show;
}

std::wstring PreviewSummary(uint64_t files, uint64_t bytes, const LanguageRecord* language) {
    const std::wstring size = FormatByteSize(bytes);
    return Say(language, kTextVerdictPreview, Files(files) + L", " + size + L" would go to the Recycle Bin",
               Number(files), size);
}

// StrFormatByteSizeEx where the system has it (Windows Vista on; Wine lacks it), else its
// older form.
std::wstring FormatByteSize(uint64_t bytes) {
    using FormatEx = HRESULT(WINAPI*)(ULONGLONG, SFBS_FLAGS, PWSTR, UINT);
    static const auto formatEx = reinterpret_cast<FormatEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shlwapi.dll"), "StrFormatByteSizeEx")));
    wchar_t text[64] = L"";
    if (formatEx && SUCCEEDED(formatEx(bytes, SFBS_FLAGS_ROUND_TO_NEAREST_DISPLAYED_DIGIT, text, 64))) return text;
    if (StrFormatByteSizeW(LONGLONG(bytes), text, 64)) return text;
    return Widen(FormatBytes(bytes));
}
