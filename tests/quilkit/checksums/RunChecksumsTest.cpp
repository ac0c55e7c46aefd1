// What a hash run keeps for Copy and Save Checksums, and how Save writes it; in-process
// under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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
    // Saved over one of its files (in any case), the file never lists itself.
    EXPECT_EQ(one.Text(L"\n", W(folder / "top\\B.TXT")), W(std::string(64, 'a') + " *sub/a.txt\n"));

    CRunChecksums several;
    several.SetSelection({W(folder / "top\\sub"), W(folder / "top\\b.txt")});
    EXPECT_EQ(several.CommonFolder(), W(folder / "top"));
    // A single file is no folder: its parent holds the names.
    CRunChecksums file;
    file.SetSelection({W(folder / "top\\b.txt")});
    EXPECT_EQ(file.CommonFolder(), W(folder / "top"));
}

TEST(RunChecksums, SavedNamesAreRelativeToTheFolderSavedInAndWholeAtADriveRoot) {
    driver::TempFolder folder;
    CreateDirectoryW(W(folder / "top").c_str(), nullptr);
    CRunChecksums checksums;
    checksums.SetSelection({W(folder / "top")});
    checksums.Add(DigestKind::Md5, W(folder / "top\\a.txt"), std::string(32, '1'));
    // From another folder of the same volume (RelativeNameTest has the rule's every case).
    CreateDirectoryW(W(folder / "other").c_str(), nullptr);
    EXPECT_EQ(checksums.Text(L"\n", W(folder / "other\\x.md5")), W(std::string(32, '1') + " *../top/a.txt\n"));
    EXPECT_TRUE(checksums.OffVolume(W(folder / "other")).empty());
    // Another drive: named in full, and told.
    const std::wstring drive = W(folder.Path().substr(0, 1)) == L"Q" ? L"P:" : L"Q:";
    EXPECT_EQ(checksums.OffVolume(drive + L"\\"), std::vector<std::wstring>{W(folder / "top\\a.txt")});
    std::string full = folder / "top\\a.txt";
    std::replace(full.begin(), full.end(), '\\', '/');
    EXPECT_EQ(checksums.Text(L"\n", drive + L"\\x.md5"), W(std::string(32, '1') + " *" + full + "\n"));

    // A selected drive root keeps every character of the names.
    CRunChecksums root;
    root.SetSelection({L"C:\\"});
    root.Add(DigestKind::Md5, L"C:\\windows\\win.ini", std::string(32, '2'));
    EXPECT_EQ(root.CommonFolder(), L"C:\\");
    EXPECT_EQ(root.Text(L"\n"), W(std::string(32, '2') + " *windows/win.ini\n"));
}

// Each earlier file, replaced or refused; nothing is left beside it.
TEST(ReplaceWholeFile, KeepsWhatIsTheOldFilesOwnAndRefusesAReadOnlyOne) {
    enum Earlier { None, Plain, Hidden, ReadOnly, HardLinked, SymbolicLink, TemporaryNameTaken };
    for (Earlier earlier : {None, Plain, Hidden, ReadOnly, HardLinked, SymbolicLink, TemporaryNameTaken}) {
        SCOPED_TRACE(int(earlier));
        driver::TempFolder folder;
        const std::string target = folder / "checksums.sha256", other = folder / "other.sha256",
                          temporary = target + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
        const bool linked = earlier == HardLinked || earlier == SymbolicLink;
        const DWORD attribute = earlier == Hidden     ? FILE_ATTRIBUTE_HIDDEN
                                : earlier == ReadOnly ? FILE_ATTRIBUTE_READONLY
                                                      : 0;
        const DWORD error = earlier == ReadOnly             ? ERROR_FILE_READ_ONLY
                            : earlier == TemporaryNameTaken ? ERROR_FILE_EXISTS
                                                            : 0;
        std::unique_ptr<driver::UnixLink> link;
        if (earlier != None) driver::WriteFile(earlier == SymbolicLink ? other : target, "old");
        if (earlier == SymbolicLink) link = std::make_unique<driver::UnixLink>(other, target);
        if (attribute) SetFileAttributesW(W(target).c_str(), attribute);
        ASSERT_TRUE(earlier != HardLinked || CreateHardLinkW(W(other).c_str(), W(target).c_str(), nullptr));
        ASSERT_TRUE(earlier != TemporaryNameTaken || CreateDirectoryW(W(temporary).c_str(), nullptr));

        SetLastError(0);
        EXPECT_EQ(ReplaceWholeFile(W(target), "new text\n"), error == 0);
        EXPECT_EQ(error ? GetLastError() : 0, error);
        EXPECT_EQ(driver::ReadFile(target), error ? "old" : "new text\n");
        // Hidden or read-only as before; nothing else made so.
        EXPECT_EQ(GetFileAttributesW(W(target).c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), attribute);
        // Both names still name one file; the link still leads to its target.
        if (linked) {
            EXPECT_EQ(driver::ReadFile(other), "new text\n");
            driver::WriteFile(other, "later");
            EXPECT_EQ(driver::ReadFile(target), "later");
        }
        EXPECT_TRUE(earlier != TemporaryNameTaken || RemoveDirectoryW(W(temporary).c_str()));
        SetFileAttributesW(W(target).c_str(), FILE_ATTRIBUTE_NORMAL);
        WIN32_FIND_DATAW entry;
        UniqueFind find(FindFirstFileW(W(folder / "*").c_str(), &entry));
        ASSERT_TRUE(find);
        int files = 0;
        do files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        while (FindNextFileW(find.Get(), &entry));
        EXPECT_EQ(files, linked ? 2 : 1);
    }
}

}  // namespace
