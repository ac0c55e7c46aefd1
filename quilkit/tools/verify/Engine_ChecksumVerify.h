#pragma once
// Checks files against checksum files (GNU and BSD forms of md5sum, sha1sum and
// sha256sum): each entry's file is hashed with the entry's algorithm and gets one line,
// "OK - ", "FAILED - " or "Missing - ". Changes nothing on disk.
#include <memory>
#include <string>
#include <vector>

#include "checksums/ChecksumFileText.h"
#include "tools/hash/FileHasher.h"
#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"

class CEngine_ChecksumVerify : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    // A file met in a folder's walk: checked when its name ends in .md5, .sha1 or .sha256.
    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }
    // A selected file is read as a checksum file, whatever its name.
    int HandleSelectedFile(const std::wstring& path) override;

    // Reads `path` as a checksum file and checks each of its entries.
    void VerifyChecksumFile(const std::wstring& path);
    // Every FAILED, Missing and bad line, and every checksum file that cannot be read.
    int Failures() const { return m_failures; }

private:
    void CheckEntry(const std::wstring& folder, const ChecksumLine& line);
    void Report(bool ok, std::wstring_view prefix, const std::wstring& path);
    CFileHasher& HasherFor(ChecksumAlgorithm algorithm);

    std::unique_ptr<CFileHasher> m_hashers[3];
    int m_failures = 0;
};

// Mode 6: checks every selected checksum file, and every one found in the selected
// folders and their sub-folders.
CToolRun::Job VerifyChecksums(const std::vector<std::wstring>& paths);
