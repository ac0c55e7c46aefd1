#pragma once
// Captions that replace the English captions of the dialog templates for one user locale.
#include <windows.h>

#include <string>

enum LanguageText {
    kTextSubFolders = 0,         // check box 1003 of the three options dialogs
    kTextInstaller = 1,          // static 101 of the main dialog
    kTextInstall = 2,            // button 1000 of the main dialog
    kTextUninstall = 3,          // button 1019 of the main dialog
    kTextExtensionPrompt = 4,    // static 108 of the cleaner dialog
    kTextFixedTime = 5,          // check box 1013 of the time dialog
    kTextSearch = 6,             // button 1021 of the editor-path dialog
    kTextExpected = 7,           // static 1026 of the hash dialog
    kTextBadDigest = 8,          // the hash dialog's message for a digest of no known length
    kTextBlake3Note = 9,         // static 1028 of the hash dialog: which algorithm 64 digits are
    kTextVerdictAllOk = 10,      // the verdict of a run without failures
    kTextVerdictFailedOf = 11,   // failures of so many files
    kTextVerdictFailed = 12,     // failures, where more failed than files
    kTextVerdictStoppedOf = 13,  // a stopped run, its total known
    kTextVerdictStopped = 14,    // a stopped run, its total unknown
    kTextVerdictMatches = 15,    // one file matches the pasted digest
    kTextVerdictMismatch = 16,   // one file does not match it
    kTextVerdictDeleted = 17,    // the cleaner's count and the space it freed
    kTextVerdictStamped = 18,    // the time changer's count
    kTextVerdictNoFiles = 19,    // a run that met no file
    kTextVerdictWorking = 20,    // what a run is doing
    kTextVerdictStopping = 21,   // a run asked to stop
    kTextVerdictPreview = 22,    // the cleaner's preview
    kTextNextFailure = 23,       // log menu
    kTextPreviousFailure = 24,   // log menu
    kTextCopyBeforeStop = 25,    // log menu after a stop
    kTextSaveBeforeStop = 26,    // log menu after a stop
    kTextPreview = 27,           // the cleaner dialog's button
    kTextDeleteThese = 28,       // log menu after a preview
    kTextFromClipboard = 29,     // static 1040 of the hash dialog
    kTextDate = 30,              // static 1041 of the time dialog
    kTextTime = 31,              // static 1042 of the time dialog
    kLanguageTextCount = 32,
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

// The chosen language's form of `text`, else `english`.
std::wstring LanguageTextOr(LanguageText text, const wchar_t* english);
// `record`'s form of `text`, else `english` (no record: the template's language).
std::wstring LanguageTextOf(const LanguageRecord* record, LanguageText text, const wchar_t* english);

// `japanese` (code page 932 bytes) when the Japanese texts are chosen, else `english`.
std::wstring EnglishOrJapanese(const wchar_t* english, const char* japanese);
