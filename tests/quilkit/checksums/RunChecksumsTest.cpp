// What a hash run keeps for Copy and Save Checksums, and how Save writes it; in-process
// under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "Driver.h"
#include "checksums/RunChecksums.h"
#include "framework/FileContents.h"
#include "framework/Handles.h"

namespace {

std::wstring W(const std::string& utf8) { return driver::Wide(utf8); }

TEST(RunChecksums, OneFolderNamesRelativeToItselfSeveralPathsToTheirCommonParent) {
    driver::TempFolder folder;
    CreateDirectoryW(W(folder / "top").c_str(), nullptr);
    CreateDirectoryW(W(folder / "top\\sub").c_str(), nullptr);
    CRunChecksums one;
    one.SetSelection({W(folder / "top\\")});
    EXPECT_EQ(one.CommonFolder(), W(folder / "top"));
    one.Add(DigestKind::Sha256, W(folder / "top\\sub\\a.txt"), std::string(64, 'A'));
    one.Add(DigestKind::Sha512, W(folder / "top\\b.txt"), std::string(128, 'B'));
    // The strongest digest of the run names the file.
    EXPECT_EQ(one.DefaultFileName(), L"checksums.sha512");
    EXPECT_EQ(one.Text(L"\n"), W(std::string(64, 'a') + " *sub/a.txt\n" + std::string(128, 'b') + " *b.txt\n"));

    CRunChecksums several;
    several.SetSelection({W(folder / "top\\sub"), W(folder / "top\\b.txt")});
    EXPECT_EQ(several.CommonFolder(), W(folder / "top"));
    // A single file is no folder: its parent holds the names.
    CRunChecksums file;
    file.SetSelection({W(folder / "top\\b.txt")});
    EXPECT_EQ(file.CommonFolder(), W(folder / "top"));
}

TEST(RunChecksums, TheSavedFileNeverListsItself) {
    driver::TempFolder folder;
    CRunChecksums checksums;
    checksums.SetSelection({W(folder.Path())});
    checksums.Add(DigestKind::Md5, W(folder / "a.txt"), std::string(32, '1'));
    checksums.Add(DigestKind::Md5, W(folder / "checksums.md5"), std::string(32, '2'));
    EXPECT_EQ(checksums.Text(L"\n", W(folder / "CHECKSUMS.MD5")), W(std::string(32, '1') + " *a.txt\n"));
    EXPECT_EQ(checksums.Text(L"\n", W(folder / "other.md5")),
              W(std::string(32, '1') + " *a.txt\n" + std::string(32, '2') + " *checksums.md5\n"));
}

TEST(ReplaceWholeFile, ReplacesOnlyOnceWrittenAndLeavesNoTemporaryFile) {
    driver::TempFolder folder;
    const std::string target = folder / "checksums.sha256";
    driver::WriteFile(target, "old");
    ASSERT_TRUE(ReplaceWholeFile(W(target), "new text\n"));
    EXPECT_EQ(driver::ReadFile(target), "new text\n");
    // The temporary file's place is taken: the write fails and the old file stays whole.
    const std::string temporary = target + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    ASSERT_TRUE(CreateDirectoryW(W(temporary).c_str(), nullptr));
    EXPECT_FALSE(ReplaceWholeFile(W(target), "lost"));
    EXPECT_EQ(driver::ReadFile(target), "new text\n");
    EXPECT_TRUE(RemoveDirectoryW(W(temporary).c_str()));
    // Only the target is left in the folder.
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW(W(folder / "*").c_str(), &entry));
    ASSERT_TRUE(find);
    int files = 0;
    do files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    while (FindNextFileW(find.Get(), &entry));
    EXPECT_EQ(files, 1);
}

}  // namespace
