#pragma once
// Skyperch's one dialog: modeless, top-most, with the finder on its icon control and the
// class name and top-most state of the picked window; "Change" flips that state.
#include <windows.h>

#include <array>
#include <string>

#include "DialogImpl.h"
#include "LanguageTable.h"
#include "MessageLoop.h"
#include "UniqueIcon.h"
#include "WindowFinder.h"

class CMainDlg : public CDialogImpl<CMainDlg> {
public:
    // language is the chosen language record, or null for the English of the template.
    CMainDlg(CMessageLoop& loop, const LanguageRecord* language);

    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnDestroy();

private:
    void CenterInWorkArea();
    void SetIcons();
    void ApplyLanguageTexts();
    void RefreshTypeText();
    void ChangeTopMost();

    CMessageLoop& loop_;
    const bool labelsFromRecord_;
    std::array<std::wstring, kLanguageTextCount> texts_;
    CWindowFinder finder_;
    CUniqueIcon bigIcon_;
    CUniqueIcon smallIcon_;
};
