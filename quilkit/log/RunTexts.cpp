#include "RunTexts.h"

#include "resource.h"

namespace {

// The run's range of the string table.
constexpr UINT kFirstLine = 2400, kLastLine = 2599;

}  // namespace

CRunTexts::CRunTexts(const CUiTexts& texts) : m_ui(texts), m_counts(CountWordsOf(texts)) {
    m_lines.reserve(kLastLine - kFirstLine + 1);
    for (UINT id = kFirstLine; id <= kLastLine; ++id) m_lines.push_back(texts.Text(id));
}

const std::wstring& CRunTexts::Text(UINT id) const {
    static const std::wstring none;
    return id >= kFirstLine && id - kFirstLine < m_lines.size() ? m_lines[id - kFirstLine] : none;
}

std::wstring CRunTexts::Format(UINT id, std::initializer_list<std::wstring_view> args) const {
    return FormatText(Text(id), args);
}

CountWords CountWordsOf(const CUiTexts& texts) {
    CountWords words;
    words.oneFile = texts.Text(IDS_COUNT_ONE_FILE);
    words.files = texts.Text(IDS_COUNT_FILES);
    words.oneFolder = texts.Text(IDS_COUNT_ONE_FOLDER);
    words.folders = texts.Text(IDS_COUNT_FOLDERS);
    words.oneByte = texts.Text(IDS_COUNT_ONE_BYTE);
    words.bytes = texts.Text(IDS_COUNT_BYTES);
    words.digests = texts.Text(IDS_COUNTS_DIGESTS);
    words.cleaner = texts.Text(IDS_COUNTS_CLEANER);
    words.preview = texts.Text(IDS_COUNTS_PREVIEW);
    words.timeChanger = texts.Text(IDS_COUNTS_TIME_CHANGER);
    words.stoppedDigestsOf = texts.Text(IDS_COUNTS_STOPPED_DIGESTS_OF);
    words.stoppedDigests = texts.Text(IDS_COUNTS_STOPPED_DIGESTS);
    words.stopped = texts.Text(IDS_COUNTS_STOPPED);
    words.notDone = texts.Text(IDS_COUNTS_NOT_DONE);
    words.pathsNotFinished = texts.Text(IDS_COUNTS_PATHS_NOT_FINISHED);
    return words;
}
