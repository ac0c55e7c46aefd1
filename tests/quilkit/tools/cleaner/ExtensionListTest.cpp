// The cleaner's extension list, built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/cleaner/ExtensionList.h"

namespace {

using Texts = std::vector<std::u16string>;

TEST(ExtensionList, PiecesInOrderEmptyOnesDroppedCaseKept) {
    EXPECT_EQ(SplitExtensions(u".aps|.NCB|.obj"), (Texts{u".aps", u".NCB", u".obj"}));
    EXPECT_EQ(SplitExtensions(u"||.a|||.\u8868|"), (Texts{u".a", u".\u8868"}));
    EXPECT_EQ(SplitExtensions(u"|"), Texts{});
    EXPECT_EQ(SplitExtensions(u""), Texts{});
    EXPECT_EQ(SplitExtensions(u" .x "), Texts{u" .x "});
}

}  // namespace
