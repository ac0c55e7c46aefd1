#pragma once
// Checks files against checksum files (the forms of ChecksumFileText.h): each entry's file
// is hashed with the entry's algorithm and gets one line, "OK - ", "FAILED - " or
// "Missing - "; an entry that names another computer or a device is not opened. Changes
// nothing on disk.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "checksums/ChecksumFileText.h"
#include "tools/hash/FileHasher.h"
#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"

class CEngine_ChecksumVerify : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    // A file met in a folder's walk: checked when it holds checksums (IsReadAsChecksumFile).
    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }
    // A selected checksum file is checked at once; any other selected file is kept for
    // VerifyListedFile, after the checksum files.
    int HandleSelectedFile(const std::wstring& path) override;
    const std::vector<std::wstring>& Downloads() const { return m_downloads; }

    // Whether a selected file is read as a checksum file: named like one (clear-signed text
    // for .asc) and no larger than 64 MiB. Any other file is one to verify.
    static bool IsReadAsChecksumFile(const std::wstring& path);
    // Reads `path` as a checksum file and checks each of its entries.
    void VerifyChecksumFile(const std::wstring& path);
    // Checks `path` against the entries that name it in the checksum files of its folder,
    // and only those; the file itself is read only to hash it.
    void VerifyListedFile(const std::wstring& path);
    // Whether an entry of a checksum file checked so far named `path`.
    bool WasChecked(const std::wstring& path) const;
    // Whether each checksum file's entries get a heading that names it: where the run may
    // read more than one.
    void SetHeadings(bool headings) { m_headings = headings; }
    // Every FAILED, Missing, bad and refused line, every checksum file that cannot be read
    // or holds no entry, every selected file that no checksum file lists.
    int Failures() const { return m_failures; }

private:
    void CheckEntry(const std::wstring& folder, const ChecksumLine& line);
    // A result line; only an entry's file that was hashed counts among the run's files.
    void Report(bool ok, std::wstring_view prefix, const std::wstring& path, bool hashed = false);
    CFileHasher& HasherFor(ChecksumAlgorithm algorithm);

    std::unique_ptr<CFileHasher> m_hashers[4];
    std::set<std::wstring> m_checked;  // full paths, in lower case
    std::vector<std::wstring> m_downloads;
    int m_failures = 0;
    bool m_headings = false;
};

// Mode 6: checks every selected checksum file, and every one found in the selected
// folders and their sub-folders; any other selected file against the checksum files
// beside it.
CToolRun::Job VerifyChecksums(const std::vector<std::wstring>& paths);
