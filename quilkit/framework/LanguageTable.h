#pragma once
// Captions that replace the English captions of the dialog templates for one user locale.
#include <windows.h>

enum LanguageText {
    kTextSubFolders = 0,       // check box 1003 of the three options dialogs
    kTextInstaller = 1,        // static 101 of the main dialog
    kTextInstall = 2,          // button 1000 of the main dialog
    kTextUninstall = 3,        // button 1019 of the main dialog
    kTextExtensionPrompt = 4,  // static 108 of the cleaner dialog
    kTextFixedTime = 5,        // check box 1013 of the time dialog
    kTextSearch = 6,           // button 1021 of the editor-path dialog
    kLanguageTextCount = 7,
};

struct LanguageRecord {
    LCID lcid;
    const char* texts[kLanguageTextCount];
};

// Chooses the record whose identifier equals `lcid` exactly; null when none does.
const LanguageRecord* FindLanguageRecord(LCID lcid);

// The texts chosen at start-up for the user's locale, or null for the template captions.
void SelectLanguageTexts();
const LanguageRecord* LanguageTexts();

// Replaces the caption of `id` in `dialog` when language texts are chosen.
void ApplyLanguageText(HWND dialog, int id, LanguageText text);
