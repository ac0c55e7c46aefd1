// The command line and the list file, built natively with the sanitizers.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "startup/CommandLine.h"
#include "startup/ListFileText.h"
#include "text/Utf8Text.h"

namespace {

using Texts = std::vector<std::u16string>;

CCommandLine Parsed(std::u16string_view text) {
    CCommandLine commandLine;
    commandLine.Parse(text);
    return commandLine;
}

using OptionCase = std::tuple<const char16_t*, int, bool, RegistrationStep>;

TEST(CommandLine, OptionsInAnyCaseAfterEitherPrefixLastModeCounts) {
    constexpr RegistrationStep kNone = RegistrationStep::None;
    for (const auto& [text, mode, listFiles, registration] :
         {OptionCase{u"", 0, false, kNone}, OptionCase{u"   ", 0, false, kNone}, OptionCase{u"/M1", 1, false, kNone},
          OptionCase{u"-m2", 2, false, kNone}, OptionCase{u"/m2 x /M4", 4, false, kNone},
          OptionCase{u"/M5 /l", 5, true, kNone}, OptionCase{u"/register", 0, false, RegistrationStep::Register},
          OptionCase{u"-UNREGISTER /M3", 3, false, RegistrationStep::Unregister},
          // Unknown options and lone prefixes are ignored; letters that only Unicode
          // folds onto ASCII ("\u0131" dotless i, "\u017F" long s) do not make an option.
          OptionCase{u"/X /M7 /M2x /M02 /M0 /M 2 - / /Registe /LL", 0, false, kNone},
          OptionCase{u"/Reg\u0131ster /Unregi\u017Fter", 0, false, kNone},
          // An option right after a closing quote still counts; /L applies to earlier tokens.
          OptionCase{u"\"C:\\My Files\\a.txt\"-M2", 2, false, kNone}, OptionCase{u"list.txt /L /M2", 2, true, kNone}}) {
        const CCommandLine commandLine = Parsed(text);
        EXPECT_EQ(commandLine.Mode(), mode) << Utf16ToUtf8(text);
        EXPECT_EQ(commandLine.ListFiles(), listFiles) << Utf16ToUtf8(text);
        EXPECT_EQ(commandLine.Registration(), registration) << Utf16ToUtf8(text);
    }
}

using PathCase = std::pair<const char16_t*, Texts>;

TEST(CommandLine, PathTokensBlankSeparatedQuotesRunOnAndGo) {
    for (const auto& [text, paths] :
         {PathCase{u"  C:\\a    C:\\b  ", {u"C:\\a", u"C:\\b"}}, PathCase{u"C:\\a\tb", {u"C:\\a\tb"}},
          PathCase{u"/M 2", {u"2"}}, PathCase{u"\"C:\\My Files\\a.txt\"-M2", {u"C:\\My Files\\a.txt"}},
          PathCase{u"list.txt /L /M2", {u"list.txt"}}, PathCase{u"-x.txt", {}},
          PathCase{u"C:\\a C:\\b C:\\a", {u"C:\\a", u"C:\\b", u"C:\\a"}},
          PathCase{u"/M3 \"C:\\My Files\\a.txt\"", {u"C:\\My Files\\a.txt"}}, PathCase{u"\"C:\\a  b\"", {u"C:\\a  b"}},
          PathCase{u"\"C:\\a\"", {u"C:\\a"}},
          PathCase{u"\"C:\\one two\\three four\" C:\\b", {u"C:\\one two\\three four", u"C:\\b"}},
          PathCase{u"\" \"\"", {u"\"", u""}},
          // An unclosed quote runs on to the next quote or the end; with nothing left it
          // keeps the token without its quote and ends the scan.
          PathCase{u"/M3 \"C:\\a", {u"C:\\a"}}, PathCase{u"\"C:\\a \"\" /M2", {u"C:\\a  /M2"}},
          PathCase{u"\"C:\\a \"\" C:\\b", {u"C:\\a  C:\\b"}}, PathCase{u"\"C:\\a \"\"", {u"C:\\a"}},
          PathCase{u"\"C:\\caf\u00E9 \U0001F600\\\u65E5\u672C\" C:\\\u8868",
                   {u"C:\\caf\u00E9 \U0001F600\\\u65E5\u672C", u"C:\\\u8868"}}})
        EXPECT_EQ(Parsed(text).PathTokens(), paths) << Utf16ToUtf8(text);
}

// Stands for the ANSI code page (as Latin-1): marks each line so that the test sees it was used.
std::u16string FakeAnsi(std::string_view bytes) {
    std::u16string text = u"ansi:";
    for (const char byte : bytes) text += char16_t(static_cast<unsigned char>(byte));
    return text;
}

Texts ListOf(std::string_view bytes) { return ParseListFile(bytes, FakeAnsi); }
Texts Utf8ListOf(const std::string& lines) { return ListOf("\xEF\xBB\xBF" + lines); }

using ListCase = std::pair<std::string, Texts>;

TEST(ListFile, LinesEndAtCrLfLfOrCrAndAnEmptyLineEndsTheList) {
    for (const auto& [lines, paths] :
         {ListCase{"C:\\a\r\nC:\\b\r\nC:\\a\r\n", {u"C:\\a", u"C:\\b", u"C:\\a"}},
          ListCase{"C:\\a\nC:\\last", {u"C:\\a", u"C:\\last"}}, ListCase{"a\rb\r\n\nc", {u"a", u"b"}},
          ListCase{"C:\\a\r\n\r\nC:\\b\r\n", {u"C:\\a"}}, ListCase{"\r\nC:\\a\r\n", {}}, ListCase{"", {}},
          ListCase{"x\nC:\\a\nz", {u"x", u"C:\\a", u"z"}},
          ListCase{"\"C:\\My Files\\a.txt\"\r\n\"C:\\half\r\n\"C:\\x\" \r\n  C:\\b  \r\n\"\"\n\"\n",
                   {u"C:\\My Files\\a.txt", u"\"C:\\half", u"\"C:\\x\" ", u"  C:\\b  ", u"", u"\""}},
          ListCase{std::string(2000, 'c') + "\r\nC:\\b", {std::u16string(2000, u'c'), u"C:\\b"}},
          ListCase{"caf\xC3\xA9.txt\r\n\xF0\x9F\x98\x80.txt\r\n\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt\"\r\n",
                   {u"caf\u00E9.txt", u"\U0001F600.txt", u"\u65E5\u672C\u8A9E.txt"}},
          // A lead byte cut short by the line end or the end of the file.
          ListCase{"a\xE6\x97\r\nb\xF0", {u"a\uFFFD", u"b\uFFFD"}}})
        EXPECT_EQ(Utf8ListOf(lines), paths) << lines;
    EXPECT_EQ(ListOf(""), Texts{});
}

TEST(ListFile, WithoutTheByteOrderMarkEachLineIsInTheAnsiCodePage) {
    EXPECT_EQ(ListOf("C:\\\x95\x5C\r\nb\n"), (Texts{u"ansi:C:\\\x95\x5C", u"ansi:b"}));
    // Quotes come off after decoding; a mark that is not at the start is a line's text.
    EXPECT_EQ(ParseListFile("\"x\"\r\n", [](std::string_view) { return std::u16string(u"\"\u8868\""); }),
              Texts{u"\u8868"});
    EXPECT_EQ(ListOf("a\n\xEF\xBB\xBF"), (Texts{u"ansi:a", u"ansi:\xEF\xBB\xBF"}));
}

}  // namespace
