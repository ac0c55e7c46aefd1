#pragma once
// The log window: one coloured line per file a tool acts on, then a summary; under it the
// verdict in large type (what the run does, then what came of it) and a status bar with
// the run's progress. A run that ends with failures shows the first; F8 and Shift+F8 go
// from one failure line to the next. The run's lines arrive from its worker in batches;
// the window stays responsive throughout, and closing it ends the program (after the
// worker has stopped, when a run is under way, or within a second when it cannot).
#include <windows.h>
#include <richedit.h>
#include <shobjidl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/DialogImpl.h"
#include "framework/DialogResize.h"
#include "framework/Handles.h"
#include "framework/MessageLoop.h"
#include "BatchPacer.h"
#include "LogPlacement.h"
#include "LogRtf.h"
#include "LogSink.h"
#include "RunVerdict.h"
#include "VerdictBar.h"
#include "ScaleChangeRule.h"
#include "run/ToolRun.h"
#include "resource.h"

class CLogDlg : public CDialogImpl<CLogDlg>, public CMessageFilter, public CDialogResize<CLogDlg>, public CLogSink {
public:
    enum { IDD = IDD_LOGDLG };

    // Direct appends on this thread, one insertion each, in the words of the user's language.
    const CRunTexts& Texts() const override { return m_runTexts; }
    void AppendSuccess(std::wstring_view text) override;
    void AppendError(std::wstring_view text) override;
    void AppendLine(std::wstring_view text) override;
    void AppendNotice(std::wstring_view text) override;

    // Where the window opens, as the user left it last time; call before Create. Without
    // it the window opens at its first size.
    void SetPlacement(const LogPlacement& placement) { m_placement = placement; }
    // Shows the window, maximised when it was left so.
    void Show();
    // Where the window was when the user closed it; nothing while it has not been closed.
    const std::optional<LogPlacement>& ClosedPlacement() const { return m_closedPlacement; }

    // Shows the lines and progress of `run` from now until it finishes, its counts in
    // `wording`; call just before the run starts.
    void Watch(CToolRun& run, CountWording wording = CountWording::Digests);
    bool IsRunning() const { return m_running; }
    // "Log - <tool> - <first selected name>", so that the taskbar tells runs apart.
    void NameRun(const std::wstring& tool, const std::wstring& firstSelected);

    // The lines (from 0) that start with a failure, in order.
    const std::vector<LONG>& FailureLines() const { return m_failureLines; }
    // Selects the failure line after (or before) the caret's line and brings it into
    // view; false when there is none that way.
    bool GoToFailure(bool forward);

    BOOL PreTranslateMessage(MSG*) override { return FALSE; }

    static const std::vector<ResizeEntry>& ResizeMap();
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    LRESULT OnInitDialog();
    void CreateStatusBar();
    void PlaceWindow();
    void LayOut(int width, int height);
    void ApplyDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnContextMenu(LPARAM lParam);
    void OnClose();
    void OnCloseDeadline();
    void OnStop();
    void OnCopyChecksums();
    void OnSaveChecksums();
    bool HasChecksums() const;
    bool CanDeleteThese() const;
    void OnDeleteThese();
    void OnTaskbarButtonCreated();

    void PumpLines();
    void OnRunEnded();
    void RefreshStatus();
    void RefreshVerdict();
    void RefreshTaskbar(const RunStanding& standing);
    void ShowOutcomeOnTaskbar(VerdictTone tone);
    RunStanding Standing() const;
    void SelectLine(LONG line);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    bool OnMessageFilter(const MSGFILTER& filter);
    void LocalizeMenu(HMENU popup) const;

    void Insert(LogFormat format, std::wstring text);
    void InsertBatch(const std::vector<LogEntry>& batch);
    bool IsScrolledToEnd() const;
    void MoveToEnd();

    CRunTexts m_runTexts;  // of the user's language, from the window's creation on
    HWND m_richEdit = nullptr;
    HWND m_status = nullptr;
    CVerdictBar m_verdict;
    int m_barHeight = 0;
    int m_dpi = 0;
    UniqueFont m_statusFont;
    CHARFORMATW m_normal = {};
    std::unique_ptr<CLogRtf> m_rtf;

    CToolRun* m_run = nullptr;
    // The run the user started from the log (Delete These), once there is one.
    std::unique_ptr<CToolRun> m_followUpRun;
    bool m_running = false;
    bool m_closePending = false;
    bool m_wakePosted = false;
    ULONGLONG m_startTick = 0;
    ULONGLONG m_endTick = 0;
    ULONGLONG m_lastPaintTick = 0;
    CBatchPacer m_pacer;
    size_t m_shown = 0;
    std::vector<LogEntry> m_batch;
    std::wstring m_statusText;
    CountWording m_wording = CountWording::Digests;

    std::optional<LogPlacement> m_placement;
    std::optional<LogPlacement> m_closedPlacement;
    POINT m_minTrackSize = {};
    CScaleChangeRule m_scaleRule;

    UINT m_taskbarButtonCreated = 0;
    UniqueCom<ITaskbarList3> m_taskbar;
    TaskbarShow m_taskbarShown;

    // Lines inserted so far (each ends in a line break) and those that start a failure.
    LONG m_lines = 0;
    std::vector<LONG> m_failureLines;
};
