#pragma once
// The log window: one coloured line per file a tool acts on, then a summary. It stays
// open after the run; closing it ends the program.
#include <windows.h>
#include <richedit.h>

#include "../framework/DialogImpl.h"
#include "../framework/DialogResize.h"
#include "../framework/MessageLoop.h"
#include "LogSink.h"
#include "resource.h"

class CLogDlg : public CDialogImpl<CLogDlg>, public CMessageFilter, public CDialogResize<CLogDlg>, public CLogSink {
public:
    enum { IDD = IDD_LOGDLG };

    void AppendSuccess(const char* text) override;
    void AppendError(const char* text) override;
    void AppendLine(const char* text) override;

    BOOL PreTranslateMessage(MSG*) override { return FALSE; }

    static const std::vector<ResizeEntry>& ResizeMap();
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    LRESULT OnInitDialog();
    void OnContextMenu(LPARAM lParam);
    void AppendFormatted(CHARFORMATA& format, const char* text);
    void MoveToEnd();
    void Replace(const char* text);

    HWND m_richEdit = nullptr;
    CHARFORMATA m_normal = {};
    CHARFORMATA m_error = {};
    CHARFORMATA m_success = {};
};
