#include "RunVerdict.h"

#include <shlwapi.h>

#include "resource.h"

namespace {

std::wstring Number(uint64_t value) { return std::to_wstring(value); }

std::wstring Files(uint64_t count, const CUiTexts& texts) {
    return texts.Format(count == 1 ? IDS_COUNT_ONE_FILE : IDS_COUNT_FILES, {Number(count)});
}

RunVerdict Working(const RunStanding& standing, const CUiTexts& texts) {
    if (standing.stopRequested) return {VerdictTone::Working, texts.Text(IDS_VERDICT_STOPPING)};
    const std::wstring& current = standing.progress.current;
    if (current.empty()) return {VerdictTone::Working, texts.Text(IDS_VERDICT_WORKING)};
    return {VerdictTone::Working, texts.Format(IDS_VERDICT_WORKING_ON, {current})};
}

RunVerdict Stopped(const RunCounts& counts, const CUiTexts& texts) {
    if (counts.total > counts.files)
        return {VerdictTone::Stopped,
                texts.Format(IDS_VERDICT_STOPPED_OF, {Number(counts.files), Number(counts.total)})};
    return {VerdictTone::Stopped, texts.Format(IDS_VERDICT_STOPPED, {Files(counts.files, texts)})};
}

// What the run did, in its tool's words, without its failures.
std::wstring Achieved(CountWording wording, const RunProgress& progress, const CUiTexts& texts) {
    switch (wording) {
        case CountWording::Cleaner:
            return texts.Format(IDS_VERDICT_DELETED, {Number(progress.deleted), FormatByteSize(progress.bytesFreed)});
        case CountWording::CleanerPreview:
            return PreviewSummary(progress.previewed, progress.bytesFreed, texts);
        case CountWording::TimeChanger:
            return texts.Format(IDS_VERDICT_STAMPED, {Number(progress.filesStamped + progress.foldersStamped)});
        case CountWording::Digests:
            break;
    }
    return {};
}

RunVerdict Ended(const RunStanding& standing, const CUiTexts& texts) {
    const RunProgress& progress = standing.progress;
    // One file and a pasted digest: the answer to the one question asked.
    if (progress.files == 1 && progress.matched + progress.mismatched == 1 && progress.failures <= 1) {
        const bool matches = progress.matched == 1;
        return {matches ? VerdictTone::Passed : VerdictTone::Failed,
                texts.Format(matches ? IDS_VERDICT_MATCHES : IDS_VERDICT_MISMATCH, {progress.algorithm})};
    }
    std::wstring failed;
    if (progress.failures > 0 && progress.failures <= progress.files)
        failed = texts.Format(IDS_VERDICT_FAILED_OF, {Number(progress.failures), Number(progress.files)});
    else if (progress.failures > 0)
        failed = texts.Format(IDS_VERDICT_FAILED, {Number(progress.failures)});
    const std::wstring achieved = Achieved(standing.wording, progress, texts);
    if (!achieved.empty()) {
        if (failed.empty()) return {VerdictTone::Passed, achieved};
        return {VerdictTone::Failed, texts.Format(IDS_VERDICT_BOTH, {failed, achieved})};
    }
    if (!failed.empty()) return {VerdictTone::Failed, failed};
    if (progress.files == 0) return {VerdictTone::Passed, texts.Text(IDS_VERDICT_NO_FILES)};
    if (progress.files == 1) return {VerdictTone::Passed, texts.Text(IDS_VERDICT_ONE_OK)};
    return {VerdictTone::Passed, texts.Format(IDS_VERDICT_ALL_OK, {Number(progress.files)})};
}

}  // namespace

RunVerdict VerdictOf(const RunStanding& standing, const CUiTexts& texts) {
    if (standing.running) return Working(standing, texts);
    if (standing.stopRequested) return Stopped(standing.progress, texts);
    return Ended(standing, texts);
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

std::wstring PreviewSummary(uint64_t files, uint64_t bytes, const CUiTexts& texts) {
    return texts.Format(IDS_VERDICT_PREVIEW, {Files(files, texts), FormatByteSize(bytes)});
}

// StrFormatByteSizeEx where the system has it (Windows Vista on; Wine lacks it), else its
// older form; the count in bytes, with the unit's symbol, should both fail.
std::wstring FormatByteSize(uint64_t bytes) {
    using FormatEx = HRESULT(WINAPI*)(ULONGLONG, SFBS_FLAGS, PWSTR, UINT);
    static const auto formatEx = reinterpret_cast<FormatEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shlwapi.dll"), "StrFormatByteSizeEx")));
    wchar_t text[64] = L"";
    if (formatEx && SUCCEEDED(formatEx(bytes, SFBS_FLAGS_ROUND_TO_NEAREST_DISPLAYED_DIGIT, text, 64))) return text;
    if (StrFormatByteSizeW(LONGLONG(bytes), text, 64)) return text;
    return std::to_wstring(bytes) + L" B";
}
