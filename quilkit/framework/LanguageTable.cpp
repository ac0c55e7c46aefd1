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
         "\x8A\xFA\x91\xD2\x92\x6C\x3A",               // 期待値:
         "\x8A\xFA\x91\xD2\x82\xB7\x82\xE9\x83\x5F\x83\x43\x83\x57\x83\x46\x83\x58\x83\x67\x82\xCD\x20\x31\x36\x20\x90"
         "\x69\x90\x94\x20\x33\x32\x81\x41\x34\x30\x81\x41\x36\x34\x81\x41\x31\x32\x38\x20\x8C\x85\x82\xCC\x82\xC7\x82"
         "\xEA\x82\xA9\x82\xC5\x82\xB7\x81\x42",  // 期待するダイジェストは 16 進数 32、40、64、128 桁のどれかです。
         "\x36\x34\x20\x8C\x85\x82\xCC\x8A\xFA\x91\xD2\x92\x6C\x82\xCD\x20\x53\x48\x41\x32\x35\x36\x20\x82\xC6\x82\xB5"
         "\x82\xC4\x81\x41\x42\x4C\x41\x4B\x45\x33\x20\x82\xF0\x83\x49\x83\x93\x82\xC9\x82\xB5\x82\xBD\x82\xC6\x82\xAB"
         "\x82\xCD\x20\x42\x4C\x41\x4B\x45\x33\x20\x82\xC6\x82\xB5\x82\xC4\x8F\xC6\x8D\x87\x82\xB5\x82\xDC\x82\xB7\x81"
         "\x42",  // 64 桁の期待値は SHA256 として、BLAKE3 をオンにしたときは BLAKE3 として照合します。
         "%1 \x8C\xC2\x82\xCC\x83t\x83@\x83"
         "C\x83\x8B\x82\xB7\x82\xD7\x82\xC4 OK",                  // %1 個のファイルすべて OK
         "%2 \x8C\xC2\x92\x86 %1 \x8C\xC2\x82\xAA\x8E\xB8\x94s",  // %2 個中 %1 個が失敗
         "%1 \x8C\x8F\x82\xAA\x8E\xB8\x94s",                      // %1 件が失敗
         "\x92\x86\x8E~: %2 \x8C\xC2\x92\x86 %1 \x8C\xC2\x82\xCC\x83t\x83@\x83"
         "C\x83\x8B\x82\xF0\x8F\x88\x97\x9D\x8D\xCF\x82\xDD",  // 中止: %2 個中 %1 個のファイルを処理済み
         "\x92\x86\x8E~: %1 \x8C\xC2\x82\xCC\x83t\x83@\x83"
         "C\x83\x8B\x82\xF0\x8F\x88\x97\x9D\x8D\xCF\x82\xDD\x81"
         "A\x8E"
         "c\x82\xE8\x82\xCD\x96\xA2\x8F\x88\x97\x9D",  // 中止: %1 個のファイルを処理済み、残りは未処理
         "%1 \x82\xC6\x88\xEA\x92v",                   // %1 と一致
         "%1 \x82\xC6\x88\xEA\x92v\x82\xB5\x82\xDC\x82\xB9\x82\xF1",  // %1 と一致しません
         "%1 \x8C\xC2\x82\xF0\x8D\xED\x8F\x9C\x81"
         "A%2 \x82\xF0\x82\xB2\x82\xDD\x94\xA0\x82\xD6",  // %1 個を削除、%2 をごみ箱へ
         "%1 \x8C\xC2\x82\xC9\x83^\x83"
         "C\x83\x80\x83X\x83^\x83\x93\x83v\x82\xF0\x90\xDD\x92\xE8",  // %1 個にタイムスタンプを設定
         "\x91\xCE\x8F\xDB\x82\xCC\x83t\x83@\x83"
         "C\x83\x8B\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1",  // 対象のファイルはありません
         "\x8F\x88\x97\x9D\x92\x86: %1",                               // 処理中: %1
         "\x92\x86\x8E~\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7...",   // 中止しています...
         "%1 \x8C\xC2\x82\xCC\x83t\x83@\x83"
         "C\x83\x8B\x81"
         "A%2 \x82\xAA\x82\xB2\x82\xDD\x94\xA0\x82\xD6\x88\xDA\x93\xAE\x82\xB3\x82\xEA\x82\xDC\x82\xB7",  // %1
                                                                                                          // 個のファイル、%2
                                                                                                          // がごみ箱へ移動されます
         "\x8E\x9F\x82\xCC\x8E\xB8\x94s(&N)\tF8",     // 次の失敗(&N)\tF8
         "\x91O\x82\xCC\x8E\xB8\x94s(&P)\tShift+F8",  // 前の失敗(&P)\tShift+F8
         "\x92\x86\x8E~\x91O\x82\xCC\x83`\x83"
         "F\x83"
         "b\x83N\x83T\x83\x80\x82\xF0\x83R\x83s\x81[(&H)",  // 中止前のチェックサムをコピー(&H)
         "\x92\x86\x8E~\x91O\x82\xCC\x83`\x83"
         "F\x83"
         "b\x83N\x83T\x83\x80\x82\xF0\x95\xDB\x91\xB6(&V)...",    // 中止前のチェックサムを保存(&V)...
         "\x83v\x83\x8C\x83r\x83\x85\x81[(&P)",                   // プレビュー(&P)
         "\x82\xB1\x82\xEA\x82\xE7\x82\xF0\x8D\xED\x8F\x9C(&D)",  // これらを削除(&D)
         "\x83\x4E\x83\x8A\x83\x62\x83\x76\x83\x7B\x81\x5B\x83\x68\x82\xA9\x82\xE7",  // クリップボードから
         "\x93\xFA\x95\x74\x3A",                                                      // 日付:
         "\x8E\x9E\x8D\x8F\x3A",                                                      // 時刻:
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

std::wstring LanguageTextOr(LanguageText text, const wchar_t* english) {
    return LanguageTextOf(g_languageTexts, text, english);
}

std::wstring LanguageTextOf(const LanguageRecord* record, LanguageText text, const wchar_t* english) {
    return record ? FromCodePage(kLanguageCodePage, record->texts[text]) : english;
}

std::wstring EnglishOrJapanese(const wchar_t* english, const char* japanese) {
    return g_languageTexts ? FromCodePage(kLanguageCodePage, japanese) : english;
}

void ApplyLanguageText(HWND dialog, int id, LanguageText text) {
    // The texts are code page 932 bytes whatever the system's code page.
    if (g_languageTexts)
        SetWindowTextW(GetDlgItem(dialog, id), FromCodePage(kLanguageCodePage, g_languageTexts->texts[text]).c_str());
}
