#pragma once
// Skyperch's one dialog: modeless, top-most, with the finder on its icon control and the
// class name and top-most state of the picked window; "Change" flips that state.
#include <windows.h>

#include <array>
#include <string>

#include "DialogImpl.h"
#include "DpiFunctions.h"
#include "LanguageTable.h"
#include "MessageLoop.h"
#include "UniqueIcon.h"
#include "WindowFinder.h"
#include "text/UiTexts.h"

class CMainDlg : public CDialogImpl<CMainDlg> {
public:
    // language is the chosen language record, or null for the English of the template;
    // texts are the resources' texts in the same language.
    CMainDlg(CMessageLoop& loop, const LanguageRecord* language, const CUiTexts& texts);

    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnDpiChanged(int dpi);

private:
    static std::array<std::wstring, kLanguageTextCount> Texts(const LanguageRecord* language);
    void CenterInWorkArea();
    void SetIcons(int dpi);
    void ApplyLanguageTexts();
    void RefreshTypeText();
    void ChangeTopMost();

    CMessageLoop& loop_;
    const bool labelsFromRecord_;
    std::array<std::wstring, kLanguageTextCount> texts_;
    CDpiFunctions dpi_;
    CWindowFinder finder_;
    // After Change: the state asked for, which the picked window's own thread sets when
    // it gets to it, and how many more times to look for it.
    bool awaitedTopMost_ = false;
    int stateChecksLeft_ = 0;
    CUniqueIcon bigIcon_;
    CUniqueIcon smallIcon_;
};
