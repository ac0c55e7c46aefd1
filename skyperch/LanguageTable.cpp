#include "LanguageTable.h"

#include <windows.h>

namespace {

const LanguageRecord kRecords[] = {
    {0x0411,
     {
         "\x8C\x9F\x8D\xF5",                                                          // 検索
         "\x83\x4E\x83\x89\x83\x58\x96\xBC",                                          // クラス名
         "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xCC\x8E\xED\x97\xDE\x81\x46",  // ウィンドウの種類：
         "\x8D\xC5\x91\x4F\x97\xF1",                                                  // 最前列
         "\x8D\xC5\x91\x4F\x97\xF1\x82\xC5\x82\xCD\x82\xC8\x82\xA2",                  // 最前列ではない
         "\x95\xCF\x8D\x58",                                                          // 変更
     }},
    {0, {}},
};

const wchar_t* const kEnglish[kLanguageTextCount] = {
    L"Finder:", L"Class name:", L"Window type:", L"Top-most window", L"Not top-most window", L"Change",
};

// Named explicitly: the texts must read the same whatever the system's code page is.
const UINT kRecordCodePage = 932;

std::wstring FromRecordCodePage(const char* text) {
    const int length = MultiByteToWideChar(kRecordCodePage, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kRecordCodePage, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

}  // namespace

const LanguageRecord* CLanguageTable::Builtin() { return kRecords; }

const LanguageRecord* CLanguageTable::Choose(const LanguageRecord* table, std::uint32_t localeId) {
    for (const LanguageRecord* record = table; record->localeId != 0; ++record) {
        if (record->localeId == localeId) return record;
    }
    return nullptr;
}

std::wstring CLanguageTable::Text(const LanguageRecord* record, LanguageSlot slot) {
    return record ? FromRecordCodePage(record->texts[slot]) : kEnglish[slot];
}
