#pragma once
// The outcome of a run in a few large words, for the verdict area under the log's text:
// while the run lasts, what it is doing; once it has ended, what came of it, in the
// words of its tool. The same counts decide the taskbar button's state.
#include <windows.h>
#include <shobjidl.h>

#include <cstdint>
#include <string>

#include "text/UiTexts.h"
#include "RunFeed.h"

enum class VerdictTone : uint8_t { Working, Passed, Failed, Stopped };

struct RunVerdict {
    VerdictTone tone = VerdictTone::Working;
    std::wstring text;
};

// Where a run stands, as the log sees it.
struct RunStanding {
    CountWording wording = CountWording::Digests;
    RunProgress progress;
    bool running = false;
    bool stopRequested = false;
};

// In the words of `texts`.
RunVerdict VerdictOf(const RunStanding& standing, const CUiTexts& texts);

// The taskbar button of the log: its progress state and, while the total is known, how
// far the run has come; the overlay's tone once it has ended.
struct TaskbarShow {
    TBPFLAG state = TBPF_NOPROGRESS;
    uint64_t completed = 0;
    uint64_t total = 0;
};
TaskbarShow TaskbarShowOf(const RunStanding& standing);

// "N files, X MB would go to the Recycle Bin": the preview's summary line and verdict.
std::wstring PreviewSummary(uint64_t files, uint64_t bytes, const CUiTexts& texts);

// "3.4 MB" as the system writes sizes.
std::wstring FormatByteSize(uint64_t bytes);
