// Reading list files from disk; the line grammar itself is tested natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"
#include "startup/PathList.h"

namespace {

using Paths = std::vector<std::wstring>;

class ListFile : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = m_folder / name;
        driver::WriteFile(path, content);
        return path;
    }
    Paths Read(const std::string& content) {
        CPathList list;
        list.ReadListFile(driver::Wide(Write("selection.lst", content)));
        return list.Paths();
    }

    driver::TempFolder m_folder;
};

TEST_F(ListFile, LinesInOrderAndTheFileIsDeleted) {
    EXPECT_EQ(Read("C:\\a\r\nC:\\b\r\nC:\\a\r\n"), (Paths{L"C:\\a", L"C:\\b", L"C:\\a"}));
    EXPECT_FALSE(driver::FileExists(m_folder / "selection.lst"));
}

TEST_F(ListFile, ByteOrderMarkMeansUtf8WhateverTheCodePage) {
    EXPECT_EQ(Read("\xEF\xBB\xBF"
                   "C:\\caf\xC3\xA9.txt\r\nC:\\\xF0\x9F\x98\x80.txt\r\nC:\\\xE6\x97\xA5.txt\r\n"),
              (Paths{L"C:\\caf\u00E9.txt", L"C:\\\U0001F600.txt", L"C:\\\u65E5.txt"}));
}

TEST_F(ListFile, WithoutTheMarkLinesAreInTheAnsiCodePage) {
    // "C:\café.txt" as code page 1252 writes it; "é" is not UTF-8 here.
    EXPECT_EQ(Read("C:\\caf\xE9.txt\r\n"), Paths{L"C:\\caf\u00E9.txt"});
}

TEST(ListFileCodePage932, DoubleByteNamesWhoseSecondByteIsABackslash) {
    // "表示.txt": the second byte of 表 is 0x5C.
    driver::TempFolder folder;
    const std::string list = folder / "selection.lst";
    driver::WriteFile(list, "C:\\\x95\x5C\x8E\xA6.txt\r\n");
    CPathList paths;
    paths.ReadListFile(driver::Wide(list));
    EXPECT_EQ(paths.Paths(), Paths{L"C:\\\u8868\u793A.txt"});
}

TEST_F(ListFile, AMissingFileIsRememberedAndTheOthersAppendInOrder) {
    CPathList list;
    list.ReadListFile(driver::Wide(Write("first.lst", "C:\\first\r\n")));
    list.ReadListFile(driver::Wide(m_folder / "missing.lst"));
    list.ReadListFile(driver::Wide(Write("second.lst", "C:\\second\r\n")));
    EXPECT_EQ(list.Paths(), (Paths{L"C:\\first", L"C:\\second"}));
    EXPECT_EQ(list.MissingListFiles(), Paths{driver::Wide(m_folder / "missing.lst")});
}

}  // namespace
