#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "startup/PathList.h"

namespace {

using Paths = std::vector<std::string>;

class ListFile : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(sizeof(folder), folder);
        GetTempFileNameA(folder, "vql", 0, m_name);
    }
    void TearDown() override { DeleteFileA(m_name); }

    Paths Read(const std::string& content) {
        FILE* file = fopen(m_name, "wb");
        fwrite(content.data(), 1, content.size(), file);
        fclose(file);
        CPathList list;
        list.ReadListFile(m_name);
        return list.Paths();
    }
    bool Exists() const { return GetFileAttributesA(m_name) != INVALID_FILE_ATTRIBUTES; }

    char m_name[MAX_PATH];
};

TEST_F(ListFile, LinesInOrderWithoutLineEndsAndTheFileIsDeleted) {
    EXPECT_EQ(Read("C:\\a\r\nC:\\b\r\nC:\\a\r\n"), (Paths{"C:\\a", "C:\\b", "C:\\a"}));
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read("C:\\a\nC:\\last"), (Paths{"C:\\a", "C:\\last"}));
}

TEST_F(ListFile, QuotesAroundTheWholeLineGoBlanksStay) {
    EXPECT_EQ(Read("\"C:\\My Files\\a.txt\"\r\n\"C:\\half\r\n\"C:\\x\" \r\n  C:\\b  \r\n"),
              (Paths{"C:\\My Files\\a.txt", "\"C:\\half", "\"C:\\x\" ", "  C:\\b  "}));
}

TEST_F(ListFile, ShortLineEndsTheListButTheFileIsStillDeleted) {
    EXPECT_EQ(Read("C:\\a\r\n\r\nC:\\b\r\n"), Paths{"C:\\a"});
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read("\r\nC:\\a\r\n"), Paths{});
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read("x\nC:\\a\nz"), (Paths{"x", "C:\\a"}));
}

TEST_F(ListFile, LongLinesComeInPiecesOf519) {
    const std::string exact(519, 'a');
    // A 519-character line fills the buffer; its line end then reads as an empty line.
    EXPECT_EQ(Read(exact + "\r\nC:\\b\r\n"), Paths{exact});
    const std::string fits(518, 'b');
    EXPECT_EQ(Read(fits + "\r\nC:\\b\r\n"), (Paths{fits, "C:\\b"}));
    const std::string longer = std::string(519, 'c') + "tail";
    EXPECT_EQ(Read(longer + "\nC:\\b\n"), (Paths{std::string(519, 'c'), "tail", "C:\\b"}));
}

TEST_F(ListFile, MissingFileAddsNothing) {
    DeleteFileA(m_name);
    CPathList list;
    list.ReadListFile(m_name);
    EXPECT_TRUE(list.Paths().empty());
}

TEST_F(ListFile, TwoListFilesAppendInOrder) {
    CPathList list;
    FILE* file = fopen(m_name, "wb");
    fputs("C:\\first\r\n", file);
    fclose(file);
    list.ReadListFile(m_name);
    file = fopen(m_name, "wb");
    fputs("C:\\second\r\n", file);
    fclose(file);
    list.ReadListFile(m_name);
    EXPECT_EQ(list.Paths(), (Paths{"C:\\first", "C:\\second"}));
}

}  // namespace
