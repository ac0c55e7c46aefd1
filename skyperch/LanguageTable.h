#pragma once
// The language texts: one record per locale, chosen once at start by exact equality with
// the user's locale identifier. A record's texts are code page 932 bytes, written as
// escapes so that the source stays ASCII; Text() converts them to UTF-16. Every other text
// of the program is in its resources, one file per language (res/skyperch).
#include <cstdint>
#include <string>

enum LanguageSlot {
    kFinderLabelText,
    kClassLabelText,
    kTypeLabelText,
    kTopMostText,
    kNotTopMostText,
    kChangeButtonText,
    kLanguageTextCount
};

struct LanguageRecord {
    std::uint32_t localeId;                 // 0 ends the table
    const char* texts[kLanguageTextCount];  // code page 932
};

class CLanguageTable {
public:
    static const LanguageRecord* Builtin();

    // The first record whose identifier equals localeId, or null (English) when none
    // does before the terminating record.
    static const LanguageRecord* Choose(const LanguageRecord* table, std::uint32_t localeId);

    // The slot's text of record, or the English one for a null record.
    static std::wstring Text(const LanguageRecord* record, LanguageSlot slot);
};
