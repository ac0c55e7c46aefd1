#include "LogDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "framework/Dpi.h"
#include "framework/LanguageTable.h"
#include "text/WideText.h"
#include "ChecksumSave.h"

namespace {

// Far more than any run writes; the control's default of about 32,000 characters
// would silently drop every line after it.
constexpr LPARAM kTextLimit = 0x7FFFFFFE;

// WM_APP, not WM_USER: dialog messages live in the WM_USER range.
constexpr UINT kRunWake = WM_APP + 1;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 150;
// A closed log waits this long for a worker held in a read before the program ends
// without it; with the last wait in the program's end, the process is gone within 2 s.
// A worker that writes is waited for.
constexpr UINT_PTR kCloseDeadlineTimer = 2;
constexpr UINT kCloseDeadlineMs = 1000;
// Log-off waits no longer for a worker held in a read.
constexpr DWORD kEndSessionWaitMs = 1000;

// Painting walks the whole text under Wine: a few paints a second show the progress.
constexpr ULONGLONG kPaintEveryMs = 300;

double NowMs() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct StreamSource {
    const char* data;
    size_t left;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t count = std::min(source->left, size_t(size));
    memcpy(buffer, source->data, count);
    source->data += count;
    source->left -= count;
    *read = LONG(count);
    return 0;
}

// "12.3 s" in the user's words, or "4:05".
std::wstring FormatElapsed(ULONGLONG ms, const CUiTexts& texts) {
    char text[32];
    if (ms < 60000)
        snprintf(text, sizeof(text), "%.1f", ms / 1000.0);
    else
        snprintf(text, sizeof(text), "%llu:%02llu", ms / 60000, ms / 1000 % 60);
    return ms < 60000 ? texts.Format(IDS_STATUS_SECONDS, {Widen(text)}) : Widen(text);
}

// Another program may hold the clipboard for a moment (one reading it, a clipboard
// manager): a copy waits a little for it rather than be lost.
bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(25);
    }
    return false;
}

// Lines of context above a failure brought into view.
constexpr LONG kLinesAboveFailure = 2;

// A failure's own line: the summary and the stop's mark are red too, but notices.
bool StartsFailureLine(const LogEntry& entry) { return entry.format == LogFormat::Error; }

// The line breaks in `text` as the control makes them: CR LF, CR or LF alone each one.
LONG LineBreaksIn(const std::wstring& text) {
    LONG breaks = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (text[i] == L'\r' || text[i] == L'\n') ++breaks;
    }
    return breaks;
}

// Wide enough for a line with all three digests of a file in a short path.
constexpr int kFirstWidthDlu = 1000;
constexpr int kFirstHeightDlu = 300;

}  // namespace

// The log lays out its two controls itself, around the status bar's own height.
const std::vector<ResizeEntry>& CLogDlg::ResizeMap() {
    static const std::vector<ResizeEntry> map;
    return map;
}

BOOL CLogDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (ProcessResizeMessage(msg, wParam, lParam)) return TRUE;
    if (msg == m_taskbarButtonCreated && msg != 0) {
        OnTaskbarButtonCreated();
        return TRUE;
    }
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) LayOut(LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_GETMINMAXINFO:
            // The template's size is the smallest.
            if (!m_minTrackSize.x) return FALSE;
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = m_minTrackSize;
            return TRUE;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return TRUE;
        case WM_GETDPISCALEDSIZE: {
            long width, height;
            if (!m_scaleRule.KeptSize(width, height)) return FALSE;
            *reinterpret_cast<SIZE*>(lParam) = {width, height};
            result = TRUE;
            return TRUE;
        }
        case WM_DRAWITEM:
            if (wParam != IDC_LOG_VERDICT) return FALSE;
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_LOG || header->code != EN_MSGFILTER) return FALSE;
            result = OnMessageFilter(*reinterpret_cast<const MSGFILTER*>(lParam)) ? 1 : 0;
            return TRUE;
        }
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case ID_EDIT_COPY:
                    SendMessageW(m_richEdit, WM_COPY, 0, 0);
                    return TRUE;
                case ID_EDIT_SELECT_ALL: {
                    CHARRANGE all = {0, -1};
                    SendMessageW(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
                    return TRUE;
                }
                case ID_LOG_STOP:
                    OnStop();
                    return TRUE;
                case ID_LOG_COPY_CHECKSUMS:
                    OnCopyChecksums();
                    return TRUE;
                case ID_LOG_SAVE_CHECKSUMS:
                    OnSaveChecksums();
                    return TRUE;
                case ID_LOG_DELETE_THESE:
                    OnDeleteThese();
                    return TRUE;
                case ID_LOG_NEXT_FAILURE:
                    GoToFailure(true);
                    return TRUE;
                case ID_LOG_PREVIOUS_FAILURE:
                    GoToFailure(false);
                    return TRUE;
                case IDC_LOG_VERDICT:
                    // A click on the verdict goes to the first failure.
                    if (HIWORD(wParam) == STN_CLICKED && !m_failureLines.empty()) SelectLine(m_failureLines.front());
                    return TRUE;
            }
            return FALSE;
        case kRunWake:
            m_wakePosted = false;
            PumpLines();
            return TRUE;
        case WM_TIMER:
            if (wParam == kCloseDeadlineTimer) {
                OnCloseDeadline();
                return TRUE;
            }
            if (wParam != kRefreshTimer) return FALSE;
            // A stop that came as the worker entered a read found nothing to cancel.
            if (m_running && m_run->IsStopRequested()) m_run->CancelBlockedRead();
            PumpLines();
            return TRUE;
        case WM_ENDSESSION:
            // The process may end as soon as this returns: nothing may be left half done.
            // A worker still held in a read then has no write under way.
            if (wParam && m_run) m_run->StopAndJoin(kEndSessionWaitMs);
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
    }
    return FALSE;
}

LRESULT CLogDlg::OnInitDialog() {
    m_runTexts = CRunTexts(_Module.Texts());
    m_richEdit = GetDlgItem(IDC_LOG);
    CreateStatusBar();
    m_verdict.Create(m_hWnd, IDC_LOG_VERDICT, _Module.Instance());
    ApplyDpi(CDpi::ForWindow(m_hWnd));
    DlgResize_Init(m_hWnd);
    PlaceWindow();
    SendMessageW(m_richEdit, EM_EXLIMITTEXT, 0, kTextLimit);
    // One path per line, as a console shows it: wrapping would also make every insertion
    // cost more the longer the log grows.
    SendMessageW(m_richEdit, EM_SETTARGETDEVICE, 0, 1);
    // The text is read-only: an undo record per insertion would only cost time and memory.
    SendMessageW(m_richEdit, EM_SETUNDOLIMIT, 0, 0);
    // F8 reaches the window as EN_MSGFILTER, wherever the caret is.
    const LRESULT events = SendMessageW(m_richEdit, EM_GETEVENTMASK, 0, 0);
    SendMessageW(m_richEdit, EM_SETEVENTMASK, 0, events | ENM_KEYEVENTS);

    m_normal.cbSize = sizeof(CHARFORMATW);
    SendMessageW(m_richEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_normal));
    m_rtf = std::make_unique<CLogRtf>(m_normal, GetACP());

    m_taskbarButtonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
    // An elevated window would otherwise never hear from the shell's taskbar.
    if (m_taskbarButtonCreated) ChangeWindowMessageFilterEx(m_hWnd, m_taskbarButtonCreated, MSGFLT_ALLOW, nullptr);
    return TRUE;
}

void CLogDlg::CreateStatusBar() {
    m_status =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LOG_STATUS)), _Module.Instance(), nullptr);
    if (!m_status) return;
    // The bar takes the height of its font; the layout keeps that height.
    SendMessageW(m_status, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(m_status, &bar);
    m_barHeight = bar.bottom - bar.top;
}

// Where the user left the window, else its first size; the template's size stays the
// smallest it can be made.
void CLogDlg::PlaceWindow() {
    RECT window;
    GetWindowRect(m_hWnd, &window);
    m_minTrackSize = {window.right - window.left, window.bottom - window.top};
    RECT place;
    if (m_placement) {
        place = KeptOnMonitor(m_placement->normal);
    } else {
        RECT first = {0, 0, kFirstWidthDlu, kFirstHeightDlu};
        MapDialogRect(m_hWnd, &first);
        place = FirstPlace(m_hWnd, first.right, first.bottom);
    }
    m_scaleRule.BeginPlacing({place.left, place.top, place.right, place.bottom});
    SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_scaleRule.EndPlacing();
    RECT client;
    GetClientRect(m_hWnd, &client);
    LayOut(client.right, client.bottom);
}

void CLogDlg::Show() { ShowWindow(m_hWnd, m_placement && m_placement->maximised ? SW_SHOWMAXIMIZED : SW_SHOW); }

// The status bar takes the foot of the client area, the verdict the band above it, the
// text area the rest. At every size
// the bar gets its one part across the whole width and is drawn again whole: left to its
// own WM_SIZE, a maximised or resized window kept a bar that showed nothing until the
// window was restored.
void CLogDlg::LayOut(int width, int height) {
    if (!m_richEdit) return;
    int barHeight = 0;
    if (m_status) {
        barHeight = std::min(m_barHeight, height);
        SetWindowPos(m_status, nullptr, 0, height - barHeight, width, barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        int whole = -1;
        SendMessageW(m_status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
        InvalidateRect(m_status, nullptr, TRUE);
    }
    const int verdictHeight = std::min(m_verdict.Height(), height - barHeight);
    SetWindowPos(m_verdict.Handle(), nullptr, 0, height - barHeight - verdictHeight, width, verdictHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_verdict.Handle(), nullptr, TRUE);
    SetWindowPos(m_richEdit, nullptr, 0, 0, width, height - barHeight - verdictHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

// What the code sizes itself follows the monitor's scale: the status bar's font (and so
// its height) and the text's zoom, against the system scale that the rich edit draws at.
void CLogDlg::ApplyDpi(int dpi) {
    NONCLIENTMETRICSW metrics;
    if (m_status && CDpi::NonClientMetrics(metrics, dpi)) {
        UniqueFont font(CreateFontIndirectW(&metrics.lfStatusFont));
        SendMessageW(m_status, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        m_statusFont = std::move(font);
        SendMessageW(m_status, WM_SIZE, 0, 0);
        RECT bar;
        GetWindowRect(m_status, &bar);
        m_barHeight = bar.bottom - bar.top;
    }
    m_verdict.ApplyDpi(dpi);
    const int systemDpi = CDpi::ForWindow(nullptr);
    if (dpi == systemDpi)
        SendMessageW(m_richEdit, EM_SETZOOM, 0, 0);
    else
        SendMessageW(m_richEdit, EM_SETZOOM, dpi, systemDpi);
    m_dpi = dpi;
    RECT client;
    GetClientRect(m_hWnd, &client);
    LayOut(client.right, client.bottom);
}

// Moved to a monitor of another scale: the window takes the rectangle Windows suggests (the
// place it opens at keeps its size), the smallest size scales, and the layout is made again.
void CLogDlg::OnDpiChanged(int dpi, const RECT& suggested) {
    if (m_dpi > 0 && m_minTrackSize.x)
        m_minTrackSize = {MulDiv(m_minTrackSize.x, dpi, m_dpi), MulDiv(m_minTrackSize.y, dpi, m_dpi)};
    const ScreenRect taken =
        m_scaleRule.RectAfterChange({suggested.left, suggested.top, suggested.right, suggested.bottom});
    SetWindowPos(m_hWnd, nullptr, taken.left, taken.top, taken.right - taken.left, taken.bottom - taken.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(dpi);
}

void CLogDlg::OnContextMenu(LPARAM lParam) {
    UniqueMenu menu(_Module.Texts().Menu(IDR_LOGMENU));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    LocalizeMenu(popup);
    const bool canStop = m_running && !m_run->IsStopRequested();
    EnableMenuItem(popup, ID_LOG_STOP, MF_BYCOMMAND | (canStop ? MF_ENABLED : MF_GRAYED));
    const UINT checksums = MF_BYCOMMAND | (HasChecksums() ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, ID_LOG_COPY_CHECKSUMS, checksums);
    EnableMenuItem(popup, ID_LOG_SAVE_CHECKSUMS, checksums);
    EnableMenuItem(popup, ID_LOG_DELETE_THESE, MF_BYCOMMAND | (CanDeleteThese() ? MF_ENABLED : MF_GRAYED));
    const UINT failures = MF_BYCOMMAND | (m_failureLines.empty() ? MF_GRAYED : MF_ENABLED);
    EnableMenuItem(popup, ID_LOG_NEXT_FAILURE, failures);
    EnableMenuItem(popup, ID_LOG_PREVIOUS_FAILURE, failures);
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0, m_hWnd, nullptr);
}

// During a run the window stays until the worker has finished its file and stopped; then
// the program ends as it would have at once.
void CLogDlg::OnClose() {
    if (!m_closedPlacement) m_closedPlacement = PlacementOf(m_hWnd);
    if (!m_running) {
        PostQuitMessage(0);
        return;
    }
    m_closePending = true;
    m_run->Feed().Abandon();
    m_run->RequestStop();
    ShowWindow(m_hWnd, SW_HIDE);
    SetTimer(m_hWnd, kCloseDeadlineTimer, kCloseDeadlineMs, nullptr);
}

// The worker has not stopped. Held in a read that does not return, it is let go: the
// program ends all the same. Otherwise it finishes its file first, as any run does.
void CLogDlg::OnCloseDeadline() {
    if (m_running && !m_run->IsWorkerReading()) return;
    KillTimer(m_hWnd, kCloseDeadlineTimer);
    if (m_running) PostQuitMessage(0);
}

void CLogDlg::OnStop() {
    if (!m_running) return;
    m_run->RequestStop();
    RefreshStatus();
}

// Only a hash-checker run that has ended keeps digests to offer.
bool CLogDlg::HasChecksums() const { return !m_running && m_run && !m_run->Checksums()->Empty(); }

// A preview that ran in full offers its deletion, once.
bool CLogDlg::CanDeleteThese() const { return !m_running && m_run && m_run->FollowUp() && !m_run->IsStopRequested(); }

// The deletion runs on a worker of its own, its lines after the preview's.
void CLogDlg::OnDeleteThese() {
    if (!CanDeleteThese()) return;
    const CToolRun::Job job = m_run->FollowUp();
    m_followUpRun = std::make_unique<CToolRun>();
    Watch(*m_followUpRun, CountWording::Cleaner);
    m_followUpRun->Start(job);
}

void CLogDlg::OnCopyChecksums() {
    if (!HasChecksums()) return;
    const std::wstring text = m_run->Checksums()->Text(L"\r\n");
    if (!OpenClipboardPatiently(m_hWnd)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        // The clipboard owns the memory once it has taken it.
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

void CLogDlg::OnSaveChecksums() {
    if (!HasChecksums()) return;
    const std::wstring saved = CChecksumSave(*m_run->Checksums(), _Module.Texts()).Run(m_hWnd);
    // Where the file went stays in the log.
    if (!saved.empty()) AppendLine(_Module.Texts().Text(IDS_LINE_SAVED) + saved);
}

// The menu's words in the user's language; after a stop, Copy and Save say that the
// digests are those of the files hashed before it.
void CLogDlg::LocalizeMenu(HMENU popup) const {
    auto rename = [popup](UINT id, const std::wstring& text) {
        ModifyMenuW(popup, id, MF_BYCOMMAND | MF_STRING, id, text.c_str());
    };
    if (!m_run || m_running || !m_run->IsStopRequested()) return;
    rename(ID_LOG_COPY_CHECKSUMS, _Module.Texts().Text(IDS_MENU_COPY_BEFORE_STOP));
    rename(ID_LOG_SAVE_CHECKSUMS, _Module.Texts().Text(IDS_MENU_SAVE_BEFORE_STOP));
}

void CLogDlg::OnTaskbarButtonCreated() {
    if (FAILED(
            CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, m_taskbar.Put())) ||
        FAILED(m_taskbar->HrInit())) {
        m_taskbar.Reset();
        return;
    }
    // A new button (Explorer restarted) shows nothing yet.
    m_taskbarShown = {};
    if (m_run) RefreshTaskbar(Standing());
}

void CLogDlg::RefreshTaskbar(const RunStanding& standing) {
    const TaskbarShow show = TaskbarShowOf(standing);
    if (!m_taskbar) return;
    if (show.state != m_taskbarShown.state) m_taskbar->SetProgressState(m_hWnd, show.state);
    if (show.total && (show.completed != m_taskbarShown.completed || show.total != m_taskbarShown.total))
        m_taskbar->SetProgressValue(m_hWnd, show.completed, show.total);
    m_taskbarShown = show;
}

// The outcome stays on the button as an overlay once the bar has gone; a log that is not
// in front flashes its button.
void CLogDlg::ShowOutcomeOnTaskbar(VerdictTone tone) {
    if (m_taskbar) {
        UniqueIcon mark(CVerdictBar::MarkIcon(tone, CDpi::Metric(SM_CXSMICON, m_dpi ? m_dpi : CDpi::kDefault)));
        m_taskbar->SetOverlayIcon(m_hWnd, mark.Get(), VerdictOf(Standing(), _Module.Texts()).text.c_str());
    }
    if (GetForegroundWindow() == m_hWnd) return;
    FLASHWINFO flash = {sizeof(flash), m_hWnd, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

RunStanding CLogDlg::Standing() const {
    RunStanding standing;
    standing.wording = m_wording;
    standing.running = m_running;
    if (!m_run) return standing;
    standing.progress = m_run->Feed().Progress();
    standing.stopRequested = m_run->IsStopRequested();
    return standing;
}

void CLogDlg::RefreshVerdict() {
    if (!m_run) return;
    const RunStanding standing = Standing();
    m_verdict.Show(VerdictOf(standing, _Module.Texts()));
    RefreshTaskbar(standing);
}

void CLogDlg::OnDrawItem(const DRAWITEMSTRUCT& item) { m_verdict.Draw(item); }

bool CLogDlg::OnMessageFilter(const MSGFILTER& filter) {
    if (filter.msg != WM_KEYDOWN || filter.wParam != VK_F8) return false;
    GoToFailure(GetKeyState(VK_SHIFT) >= 0);
    return true;
}

void CLogDlg::NameRun(const std::wstring& tool, const std::wstring& firstSelected) {
    std::wstring name = firstSelected;
    while (name.size() > 3 && name.back() == L'\\') name.pop_back();
    const size_t slash = name.find_last_of(L"\\/");
    // A drive's root keeps its whole name.
    if (slash != std::wstring::npos && slash + 1 < name.size()) name.erase(0, slash + 1);
    const CUiTexts& texts = _Module.Texts();
    const std::wstring title =
        name.empty() ? texts.Format(IDS_LOG_TITLE, {tool}) : texts.Format(IDS_LOG_TITLE_NAMED, {tool, name});
    SetWindowTextW(m_hWnd, title.c_str());
}

bool CLogDlg::GoToFailure(bool forward) {
    CHARRANGE selection = {};
    SendMessageW(m_richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LONG current = LONG(SendMessageW(m_richEdit, EM_EXLINEFROMCHAR, 0, selection.cpMin));
    if (forward) {
        const auto next = std::upper_bound(m_failureLines.begin(), m_failureLines.end(), current);
        if (next == m_failureLines.end()) return false;
        SelectLine(*next);
    } else {
        const auto next = std::lower_bound(m_failureLines.begin(), m_failureLines.end(), current);
        if (next == m_failureLines.begin()) return false;
        SelectLine(*std::prev(next));
    }
    return true;
}

// The whole line selected, with a few lines above it in view.
void CLogDlg::SelectLine(LONG line) {
    const LONG start = LONG(SendMessageW(m_richEdit, EM_LINEINDEX, line, 0));
    if (start < 0) return;
    LONG end = LONG(SendMessageW(m_richEdit, EM_LINEINDEX, line + 1, 0));
    if (end < 0) end = start + LONG(SendMessageW(m_richEdit, EM_LINELENGTH, start, 0));
    // A few lines above it come to the top of the view the way a caret does from below:
    // scroll positions in pixels, which would say where, are 16-bit in the rich edit, and a
    // log of a few thousand lines is taller than that.
    const LONG above = LONG(SendMessageW(m_richEdit, EM_LINEINDEX, std::max(0L, line - kLinesAboveFailure), 0));
    CHARRANGE caret = {above, above}, range = {start, end};
    SendMessageW(m_richEdit, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    SendMessageW(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CLogDlg::Watch(CToolRun& run, CountWording wording) {
    m_run = &run;
    m_wording = wording;
    m_running = true;
    // The dialog manager selected the empty text when it gave the control the focus; the
    // run's lines start from a caret at the end.
    MoveToEnd();
    m_startTick = GetTickCount64();
    run.Feed().SetConsumer(m_hWnd, kRunWake);
    run.SetCountWording(wording);
    run.SetTexts(m_runTexts);
    SetTimer(m_hWnd, kRefreshTimer, kRefreshMs, nullptr);
    RefreshStatus();
}

// Takes one batch of what has arrived and shows it; more batches follow through a posted
// wake-up, so that input, paints and other programs' messages get their turn in between.
void CLogDlg::PumpLines() {
    if (!m_running) return;
    CRunFeed& feed = m_run->Feed();

    const bool more = feed.Take(m_batch, m_pacer.NextBatch(m_shown));
    if (!m_batch.empty() && !m_closePending) {
        const double start = NowMs();
        InsertBatch(m_batch);
        m_pacer.Record(m_shown, m_batch.size(), NowMs() - start);
        m_shown += m_batch.size();
    }
    if (more) {
        // At most one wake-up waits in the queue.
        if (!m_wakePosted) m_wakePosted = PostMessageW(m_hWnd, kRunWake, 0, 0) != FALSE;
    } else if (feed.Progress().finished && !feed.HasWaiting()) {
        OnRunEnded();
        return;
    }
    // Posted batches in a row would keep the paint waiting: show the text and the progress
    // a few times a second regardless, and no more often (a paint walks the whole text).
    if (GetTickCount64() - m_lastPaintTick >= kPaintEveryMs) {
        RefreshStatus();
        UpdateWindow(m_richEdit);
        m_lastPaintTick = GetTickCount64();
    }
}

void CLogDlg::OnRunEnded() {
    m_running = false;
    m_endTick = GetTickCount64();
    KillTimer(m_hWnd, kRefreshTimer);
    RefreshStatus();
    if (m_closePending) {
        PostQuitMessage(0);
        return;
    }
    // A failure is never out of view when the run ends; without one, the summary is.
    if (!m_failureLines.empty()) {
        SelectLine(m_failureLines.front());
    } else {
        MoveToEnd();
        SendMessageW(m_richEdit, WM_VSCROLL, SB_BOTTOM, 0);
    }
    ShowOutcomeOnTaskbar(VerdictOf(Standing(), _Module.Texts()).tone);
}

void CLogDlg::RefreshStatus() {
    if (!m_status || !m_run) return;
    const RunProgress progress = m_run->Feed().Progress();
    const ULONGLONG elapsed = (m_running ? GetTickCount64() : m_endTick) - m_startTick;
    RefreshVerdict();
    const CUiTexts& texts = _Module.Texts();
    const CountWords& words = m_runTexts.Counts();
    std::wstring text;
    if (m_running) {
        text = texts.Format(IDS_STATUS_RUNNING,
                            {FormatRunCounts(m_wording, progress, words), FormatElapsed(elapsed, texts)});
        if (m_run->IsStopRequested()) text = texts.Format(IDS_STATUS_STOPPING, {text});
        if (!progress.current.empty()) text += L" - " + progress.current;
    } else if (m_run->IsStopRequested()) {
        // A stop's counts in the words of its summary.
        text = texts.Format(IDS_STATUS_STOPPED,
                            {FormatStoppedCounts(m_wording, progress, words), FormatElapsed(elapsed, texts)});
    } else {
        text =
            texts.Format(IDS_STATUS_DONE, {FormatRunCounts(m_wording, progress, words), FormatElapsed(elapsed, texts)});
    }
    if (text == m_statusText) return;
    m_statusText = text;
    SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CLogDlg::AppendSuccess(std::wstring_view text) { Insert(LogFormat::Success, std::wstring(text)); }

void CLogDlg::AppendError(std::wstring_view text) { Insert(LogFormat::Error, std::wstring(text)); }

void CLogDlg::AppendNotice(std::wstring_view text) { Insert(LogFormat::Notice, std::wstring(text)); }

void CLogDlg::AppendLine(std::wstring_view text) { Insert(LogFormat::Plain, std::wstring(text) + L"\r\n"); }

void CLogDlg::Insert(LogFormat format, std::wstring text) {
    std::vector<LogEntry> one;
    one.push_back({format, std::move(text)});
    InsertBatch(one);
    ++m_shown;
}

// One insertion per batch, with the control's drawing suspended: appending line by line
// to a visible control repaints and scrolls for every piece. The reader's selection and
// place in the text stay where they were, unless the view was following the end.
void CLogDlg::InsertBatch(const std::vector<LogEntry>& batch) {
    for (const LogEntry& entry : batch) {
        if (StartsFailureLine(entry) && (m_failureLines.empty() || m_failureLines.back() != m_lines))
            m_failureLines.push_back(m_lines);
        m_lines += LineBreaksIn(entry.text);
    }
    const std::string rtf = m_rtf->Build(batch);
    const bool following = IsScrolledToEnd();
    CHARRANGE selection = {};
    SendMessageW(m_richEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    POINT scroll = {};
    SendMessageW(m_richEdit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));

    SendMessageW(m_richEdit, WM_SETREDRAW, FALSE, 0);
    MoveToEnd();
    StreamSource source = {rtf.data(), rtf.size()};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
    SendMessageW(m_richEdit, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&stream));
    // A caret alone stays at the end, where the appends leave it; a selection the reader
    // made (to copy it) is kept.
    if (selection.cpMin != selection.cpMax)
        SendMessageW(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    else
        MoveToEnd();
    if (following)
        SendMessageW(m_richEdit, WM_VSCROLL, SB_BOTTOM, 0);
    else
        SendMessageW(m_richEdit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SendMessageW(m_richEdit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_richEdit, nullptr, TRUE);
}

bool CLogDlg::IsScrolledToEnd() const {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_richEdit, SB_VERT, &info)) return true;
    return info.nPos + int(info.nPage) >= info.nMax;
}

void CLogDlg::MoveToEnd() {
    // The control clamps a range past its text to the end: an insertion point after
    // the last character.
    const LONG limit = LONG(SendMessageW(m_richEdit, EM_GETLIMITTEXT, 0, 0));
    CHARRANGE end = {limit, limit};
    SendMessageW(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}
