// Reading list files from disk with the system's code pages; the line grammar itself is
// tested natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"
#include "startup/PathList.h"

namespace {

using Paths = std::vector<std::wstring>;

Paths Read(const driver::TempFolder& folder, const std::string& content) {
    const std::string list = folder / "selection.lst";
    driver::WriteFile(list, content);
    CPathList paths;
    paths.ReadListFile(driver::Wide(list));
    EXPECT_FALSE(driver::FileExists(list));
    return paths.Paths();
}

// A byte-order mark means UTF-8 whatever the code page; without it each line is in the
// ANSI code page (1252 here, where "é" is not UTF-8).
TEST(ListFile, LinesInOrderInUtf8OrTheAnsiCodePageAndTheFileIsDeleted) {
    driver::TempFolder folder;
    EXPECT_EQ(Read(folder,
                   "\xEF\xBB\xBF"
                   "C:\\caf\xC3\xA9.txt\r\nC:\\\xF0\x9F\x98\x80.txt\r\nC:\\\xE6\x97\xA5.txt\r\n"),
              (Paths{L"C:\\caf\u00E9.txt", L"C:\\\U0001F600.txt", L"C:\\\u65E5.txt"}));
    EXPECT_EQ(Read(folder, "C:\\caf\xE9.txt\r\n"), Paths{L"C:\\caf\u00E9.txt"});
}

TEST(ListFileCodePage932, DoubleByteNamesWhoseSecondByteIsABackslash) {
    // "表示.txt": the second byte of 表 is 0x5C.
    driver::TempFolder folder;
    EXPECT_EQ(Read(folder, "C:\\\x95\x5C\x8E\xA6.txt\r\n"), Paths{L"C:\\\u8868\u793A.txt"});
}

TEST(ListFile, AMissingFileIsRememberedAndTheOthersAppendInOrder) {
    driver::TempFolder folder;
    driver::WriteFile(folder / "first.lst", "C:\\first\r\n");
    driver::WriteFile(folder / "second.lst", "C:\\second\r\n");
    CPathList list;
    for (const char* name : {"first.lst", "missing.lst", "second.lst"}) list.ReadListFile(driver::Wide(folder / name));
    EXPECT_EQ(list.Paths(), (Paths{L"C:\\first", L"C:\\second"}));
    EXPECT_EQ(list.MissingListFiles(), Paths{driver::Wide(folder / "missing.lst")});
}

}  // namespace
