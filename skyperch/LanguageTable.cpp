#include "LanguageTable.h"

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

const char* const kEnglish[kLanguageTextCount] = {
    "Finder:", "Class name:", "Window type:", "Top-most window", "Not top-most window", "Change",
};

}  // namespace

const LanguageRecord* CLanguageTable::Builtin() { return kRecords; }

const LanguageRecord* CLanguageTable::Choose(const LanguageRecord* table, std::uint32_t localeId) {
    for (const LanguageRecord* record = table; record->localeId != 0; ++record) {
        if (record->localeId == localeId) return record;
    }
    return nullptr;
}

const char* CLanguageTable::EnglishText(LanguageSlot slot) { return kEnglish[slot]; }
