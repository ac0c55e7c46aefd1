#include "LanguageTable.h"

#include "text/WideText.h"

namespace {

// Code page 932 bytes, written as escapes so the source file's encoding cannot change them.
const LanguageRecord kLanguageTable[] = {
    {0x0411,
     {
         "\x83\x54\x83\x75\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xF0\x8A\xDC\x82\xDF\x82\xE9",  // サブフォルダーを含める
         "\x89\x45\x83\x4E\x83\x8A\x83\x62\x83\x4E\x83\x81\x83\x6A\x83\x85\x81\x5B",  // 右クリックメニュー
         "\x93\x6F\x98\x5E(&I)",                                                      // 登録(&I)
         "\x89\xF0\x8F\x9C(&U)",                                                      // 解除(&U)
         "\x8D\xED\x8F\x9C\x82\xB5\x82\xBD\x82\xA2\x8A\x67\x92\xA3\x8E\x71\x82\xF0\x7C\x82\xC5\x8B\xE6\x90\xD8\x82"
         "\xC1\x82\xC4\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2",  // 削除したい拡張子を|で区切って入力してください
         "2000/4/1 00:00:00\x82\xC9\x90\xDD\x92\xE8",  // 2000/4/1 00:00:00に設定
         "\x8E\x51\x8F\xC6",                           // 参照
     }},
    {0, {}},
};

const LanguageRecord* g_languageTexts = nullptr;

constexpr UINT kLanguageCodePage = 932;

}  // namespace

const LanguageRecord* FindLanguageRecord(LCID lcid) {
    for (const LanguageRecord* record = kLanguageTable; record->lcid != 0; ++record)
        if (record->lcid == lcid) return record;
    return nullptr;
}

void SelectLanguageTexts() { g_languageTexts = FindLanguageRecord(GetUserDefaultLCID()); }

const LanguageRecord* LanguageTexts() { return g_languageTexts; }

void ApplyLanguageText(HWND dialog, int id, LanguageText text) {
    // The texts are code page 932 bytes whatever the system's code page.
    if (g_languageTexts)
        SetWindowTextW(GetDlgItem(dialog, id), FromCodePage(kLanguageCodePage, g_languageTexts->texts[text]).c_str());
}
