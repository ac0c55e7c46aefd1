#pragma once
// The digests of a hash-checker run, kept to be copied or saved as a checksum file that
// GNU's tools and mode 6 read back: the strongest digest of the run for each file hashed
// successfully, in the order of the run. Copied, the names are relative to the one
// selected folder, or to the common parent folder of several selected paths; saved, to
// the folder the file is saved in. The worker adds; the window reads once the run has
// ended.
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
    // The folder the copied names are relative to, where a saved file is first proposed;
    // without a trailing backslash but at a drive's root ("E:\").
    std::wstring CommonFolder() const;
    // "checksums.sha512", ".sha256", ".sha1" or ".md5", as the run's strongest digest;
    // "checksums.b3" when BLAKE3 was the run's only digest.
    std::wstring DefaultFileName() const;
    // "<hex> *<relative/name>" lines ("<hex>  <relative/name>" for BLAKE3, as b3sum writes
    // them), in lowercase hexadecimal, each ended by `lineEnd`.
    // For the file `savedAs` the names are relative to its folder, and its own entry is
    // left out: its digest changes as it is written. A file that no relative name reaches
    // (see OffVolume) is named by its full path.
    std::wstring Text(std::wstring_view lineEnd, const std::wstring& savedAs = std::wstring()) const;
    // The files that no name relative to `folder` reaches: they are on another drive or share.
    std::vector<std::wstring> OffVolume(const std::wstring& folder) const;

private:
    struct Entry {
        std::wstring path;
        std::string hex;
    };

    // The name of `path` in a checksum file in `folder`.
    static std::wstring NameFrom(const std::wstring& folder, const std::wstring& path);

    mutable std::mutex m_mutex;
    std::wstring m_commonFolder;
    DigestKind m_kind = DigestKind::Md5;
    std::vector<Entry> m_entries;
};
