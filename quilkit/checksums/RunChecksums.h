#pragma once
// The digests of a hash-checker run, kept to be copied or saved as a checksum file that
// GNU's tools and mode 6 read back: the strongest digest of the run for each file hashed
// successfully, in the order of the run, named relative to the one selected folder, or to
// the common parent folder of several selected paths. The worker adds; the window reads
// once the run has ended.
#include <mutex>
#include <string>
#include <vector>

#include "AnyDigest.h"

class CRunChecksums {
public:
    // The selected paths (absolute) fix the folder that the names are relative to: a
    // single folder is itself that folder, as checksum files are published in the folder
    // they describe.
    void SetSelection(const std::vector<std::wstring>& selected);
    void Add(DigestKind kind, const std::wstring& path, const std::string& hex);

    bool Empty() const;
    // The folder the names are relative to, without a trailing backslash.
    std::wstring CommonFolder() const;
    // "checksums.sha512", ".sha256", ".sha1" or ".md5", as the run's strongest digest;
    // "checksums.b3" when BLAKE3 was the run's only digest.
    std::wstring DefaultFileName() const;
    // "<hex> *<relative/name>" lines ("<hex>  <relative/name>" for BLAKE3, as b3sum writes
    // them), in lowercase hexadecimal, each ended by `lineEnd`;
    // the entry of `savedAs`, the file the text goes to, is left out: its digest changes
    // as it is written.
    std::wstring Text(std::wstring_view lineEnd, const std::wstring& savedAs = std::wstring()) const;

private:
    struct Entry {
        std::wstring path;
        std::string hex;
    };

    mutable std::mutex m_mutex;
    std::wstring m_commonFolder;
    DigestKind m_kind = DigestKind::Md5;
    std::vector<Entry> m_entries;
};
