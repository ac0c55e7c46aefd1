#include <windows.h>

#include <gtest/gtest.h>

#include "startup/CommandLine.h"

namespace {

using Tokens = std::vector<std::string>;

CCommandLine Parsed(const char* text) {
    CCommandLine commandLine;
    commandLine.Parse(text);
    return commandLine;
}

TEST(CommandLine, EmptyOrBlankLineIsModeZeroWithoutPaths) {
    for (const char* text : {"", "   "}) {
        EXPECT_EQ(Parsed(text).Mode(), 0);
        EXPECT_TRUE(Parsed(text).PathTokens().empty());
        EXPECT_FALSE(Parsed(text).ListFiles());
    }
}

TEST(CommandLine, ModeOptionsInAnyCaseAfterEitherPrefixLastOneCounts) {
    EXPECT_EQ(Parsed("/M2").Mode(), 2);
    EXPECT_EQ(Parsed("-m2").Mode(), 2);
    EXPECT_EQ(Parsed("/m2 x /M4").Mode(), 4);
    EXPECT_EQ(Parsed("/M1").Mode(), 1);
    EXPECT_EQ(Parsed("/M5").Mode(), 5);
}

TEST(CommandLine, UnknownOptionsAndLonePrefixesAreIgnored) {
    for (const char* text : {"/X", "/M6", "/M2x", "-", "/", "/M 2"}) {
        const CCommandLine commandLine = Parsed(text);
        EXPECT_EQ(commandLine.Mode(), 0) << text;
        EXPECT_FALSE(commandLine.ListFiles()) << text;
    }
    // "/M 2": the blank ends the option; the 2 is a path token.
    EXPECT_EQ(Parsed("/M 2").PathTokens(), Tokens{"2"});
    // A relative path that starts with '-' is taken for an option.
    EXPECT_TRUE(Parsed("-x.txt").PathTokens().empty());
}

TEST(CommandLine, BlanksSeparateButTabsBelongToTheToken) {
    EXPECT_EQ(Parsed("  C:\\a    C:\\b  ").PathTokens(), (Tokens{"C:\\a", "C:\\b"}));
    EXPECT_EQ(Parsed("C:\\a\tb").PathTokens(), Tokens{"C:\\a\tb"});
}

TEST(CommandLine, QuotedPathsKeepTheirBlanks) {
    EXPECT_EQ(Parsed("/M3 \"C:\\My Files\\a.txt\"").PathTokens(), Tokens{"C:\\My Files\\a.txt"});
    EXPECT_EQ(Parsed("\"C:\\a  b\"").PathTokens(), Tokens{"C:\\a  b"});
    EXPECT_EQ(Parsed("\"C:\\a\"").PathTokens(), Parsed("C:\\a").PathTokens());
    EXPECT_EQ(Parsed("\"C:\\one two\\three four\" C:\\b").PathTokens(), (Tokens{"C:\\one two\\three four", "C:\\b"}));
}

TEST(CommandLine, OptionRightAfterAClosingQuoteStillCounts) {
    const CCommandLine commandLine = Parsed("\"C:\\My Files\\a.txt\"-M2");
    EXPECT_EQ(commandLine.PathTokens(), Tokens{"C:\\My Files\\a.txt"});
    EXPECT_EQ(commandLine.Mode(), 2);
}

TEST(CommandLine, UnclosedQuoteAtTheEndKeepsThePathWithoutItsQuote) {
    EXPECT_EQ(Parsed("/M3 \"C:\\a").PathTokens(), Tokens{"C:\\a"});
    // The quote runs on over the following tokens up to the next quote or the end.
    EXPECT_EQ(Parsed("\"C:\\a \"\" /M2").PathTokens(), Tokens{"C:\\a  /M2"});
    // Nothing but quotes after the blank: one entry, and the scan ends there.
    EXPECT_EQ(Parsed("\"C:\\a \"\"").PathTokens(), Tokens{"C:\\a"});
}

TEST(CommandLine, DuplicatesKeptInOrderAndListFlagAppliesToEarlierTokens) {
    EXPECT_EQ(Parsed("C:\\a C:\\b C:\\a").PathTokens(), (Tokens{"C:\\a", "C:\\b", "C:\\a"}));
    const CCommandLine commandLine = Parsed("list.txt /L /M2");
    EXPECT_TRUE(commandLine.ListFiles());
    EXPECT_EQ(commandLine.PathTokens(), Tokens{"list.txt"});
}

TEST(CommandLineCodePage932, DoubleByteNamesAreScannedAsCharacters) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    // "表" is 0x95 0x5C in code page 932: its second byte is a backslash, not a separator.
    const char* name = "\"C:\\\x95\x5C dir\\\x83\x74\x83\x40\x83\x43\x83\x8B.txt\" C:\\\x95\x5C";
    EXPECT_EQ(Parsed(name).PathTokens(),
              (Tokens{"C:\\\x95\x5C dir\\\x83\x74\x83\x40\x83\x43\x83\x8B.txt", "C:\\\x95\x5C"}));
}

}  // namespace
