#include "LogDlg.h"

#include "../framework/Handles.h"

namespace {

CLogSink* g_openLog = nullptr;

// Far more than any run writes; the control's default of about 32,000 characters
// would silently drop every line after it.
constexpr LPARAM kTextLimit = 0x7FFFFFFE;

constexpr COLORREF kErrorColor = RGB(255, 0, 0);
constexpr COLORREF kSuccessColor = RGB(0, 153, 51);

}  // namespace

CLogSink* OpenLog() { return g_openLog; }
void SetOpenLog(CLogSink* log) { g_openLog = log; }

void LogResultLine(bool success, const char* prefix, const char* path) {
    if (!g_openLog) return;
    if (success)
        g_openLog->AppendSuccess(prefix);
    else
        g_openLog->AppendError(prefix);
    g_openLog->AppendLine(path);
}

const std::vector<ResizeEntry>& CLogDlg::ResizeMap() {
    static const std::vector<ResizeEntry> map = {{IDC_LOG, DLSZ_SIZE_X | DLSZ_SIZE_Y}};
    return map;
}

BOOL CLogDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (ProcessResizeMessage(msg, wParam, lParam)) return TRUE;
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_CONTEXTMENU:
            OnContextMenu(lParam);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_EDIT_COPY) {
                SendMessageA(m_richEdit, WM_COPY, 0, 0);
                return TRUE;
            }
            if (LOWORD(wParam) == ID_EDIT_SELECT_ALL) {
                CHARRANGE all = {0, -1};
                SendMessageA(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            PostQuitMessage(0);
            return TRUE;
    }
    return FALSE;
}

LRESULT CLogDlg::OnInitDialog() {
    CenterWindow();
    m_richEdit = GetDlgItem(IDC_LOG);
    DlgResize_Init(m_hWnd);
    SendMessageA(m_richEdit, EM_EXLIMITTEXT, 0, kTextLimit);

    m_normal.cbSize = sizeof(CHARFORMATA);
    SendMessageA(m_richEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_normal));
    m_error = m_normal;
    m_error.dwMask = CFM_BOLD | CFM_COLOR;
    m_error.dwEffects = CFE_BOLD;
    m_error.crTextColor = kErrorColor;
    m_success = m_error;
    m_success.crTextColor = kSuccessColor;
    return TRUE;
}

void CLogDlg::OnContextMenu(LPARAM lParam) {
    UniqueMenu menu(LoadMenuA(_Module.Instance(), MAKEINTRESOURCEA(IDR_LOGMENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0, m_hWnd, nullptr);
}

void CLogDlg::AppendSuccess(const char* text) { AppendFormatted(m_success, text); }

void CLogDlg::AppendError(const char* text) { AppendFormatted(m_error, text); }

void CLogDlg::AppendLine(const char* text) {
    MoveToEnd();
    Replace(text);
    Replace("\r\n");
}

void CLogDlg::AppendFormatted(CHARFORMATA& format, const char* text) {
    SendMessageA(m_richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    MoveToEnd();
    Replace(text);
    SendMessageA(m_richEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&m_normal));
}

void CLogDlg::MoveToEnd() {
    // The control clamps a range past its text to the end: an insertion point after
    // the last character.
    const LONG limit = LONG(SendMessageA(m_richEdit, EM_GETLIMITTEXT, 0, 0));
    CHARRANGE end = {limit, limit};
    SendMessageA(m_richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

void CLogDlg::Replace(const char* text) {
    SendMessageA(m_richEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}
