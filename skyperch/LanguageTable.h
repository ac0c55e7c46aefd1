#pragma once
// The language texts: one record per locale, chosen once at start by exact equality with
// the user's locale identifier. Texts are in code page 932.
#include <cstdint>

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
    std::uint32_t localeId;  // 0 ends the table
    const char* texts[kLanguageTextCount];
};

class CLanguageTable {
public:
    static const LanguageRecord* Builtin();

    // The first record whose identifier equals localeId, or null (English) when none
    // does before the terminating record.
    static const LanguageRecord* Choose(const LanguageRecord* table, std::uint32_t localeId);

    static const char* EnglishText(LanguageSlot slot);
};
