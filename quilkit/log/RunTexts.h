#pragma once
// A run's texts in the user's language: its lines and the words of its counts, read from
// the string table once, before the run starts, so that its workers write thousands of
// lines a second without a look-up each, from any thread: nothing changes after.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "text/UiTexts.h"
#include "RunCounts.h"

class CRunTexts {
public:
    // English, from the process's own program file, as CUiTexts().
    CRunTexts() : CRunTexts(CUiTexts()) {}
    explicit CRunTexts(const CUiTexts& texts);

    // Line text `id`, one of the run's (IDS_LINE_..., IDS_SUMMARY_...); empty for another.
    const std::wstring& Text(UINT id) const;
    // Text(id) with each %1 to %9 replaced by that argument.
    std::wstring Format(UINT id, std::initializer_list<std::wstring_view> args) const;
    const CountWords& Counts() const { return m_counts; }
    // The rest of the texts, in the same language.
    const CUiTexts& Ui() const { return m_ui; }

private:
    CUiTexts m_ui;
    std::vector<std::wstring> m_lines;
    CountWords m_counts;
};

// The words of a run's counts in the language of `texts`.
CountWords CountWordsOf(const CUiTexts& texts);
