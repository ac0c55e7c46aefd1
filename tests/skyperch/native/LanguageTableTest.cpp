// The choice of the language texts by locale identifier.
#include <gtest/gtest.h>

#include <cstring>

#include "LanguageTable.h"

namespace {

TEST(LanguageChoice, JapaneseLocaleGetsTheShiftJisRecord) {
    const LanguageRecord* record = CLanguageTable::Choose(CLanguageTable::Builtin(), 0x0411);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ("\x8D\xC5\x91\x4F\x97\xF1", record->texts[kTopMostText]);
    EXPECT_STREQ("\x95\xCF\x8D\x58", record->texts[kChangeButtonText]);
    for (const char* text : record->texts) {
        ASSERT_NE(nullptr, text);
        EXPECT_GT(std::strlen(text), 0u);
    }
}

TEST(LanguageChoice, OtherLocalesStayEnglish) {
    for (uint32_t locale : {0x0409u, 0x0809u, 0x0404u, 0x0804u, 0x0412u, 0x10411u, 0u}) {
        EXPECT_EQ(nullptr, CLanguageTable::Choose(CLanguageTable::Builtin(), locale)) << std::hex << locale;
    }
}

TEST(LanguageChoice, FirstEqualRecordWinsAndTheTerminatorEndsTheSearch) {
    const LanguageRecord table[] = {
        {0x0407, {"a"}},
        {0x0407, {"b"}},
        {0, {}},
        {0x040C, {"c"}},
    };
    EXPECT_EQ(&table[0], CLanguageTable::Choose(table, 0x0407));
    EXPECT_EQ(nullptr, CLanguageTable::Choose(table, 0x040C));
}

}  // namespace
