#pragma once
// Checks files against checksum files (the forms of ChecksumFileText.h): each entry's file
// is hashed with the entry's algorithm and gets one line, "OK - ", "FAILED - " or
// "Missing - "; an entry that names another computer or a device (by its text or by its full
// path) is not opened, and one whose open a link took to another computer or a device is
// not read. Signatures are named, not checked. Changes nothing on disk.
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "checksums/ChecksumFileText.h"
#include "checksums/EntryTarget.h"
#include "tools/hash/FileHasher.h"
#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"

class CEngine_ChecksumVerify : public CFileMoleImpl {
public:
    // `workers` files are hashed at once (FilesAtOnce), their lines in the order of the run.
    CEngine_ChecksumVerify(CLogSink& log, const CStopRequest& stop, size_t workers = 1);

    // A file met in a folder's walk: checked when it holds checksums, named when it is a
    // signature (RoleOfFile), else passed over.
    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }
    // A selected checksum file is checked at once and a signature named; any other selected
    // file is kept for VerifyListedFile, after the checksum files.
    int HandleSelectedFile(const std::wstring& path) override;
    const std::vector<std::wstring>& Downloads() const { return m_downloads; }

    // What a selected file is (RoleOfFile), no larger than 64 MiB for a checksum file or a
    // signature. Any other file is one to verify.
    static FileRole SelectedRole(const std::wstring& path, const CStopRequest& stop);
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
    // Checks a checksum file or names a signature; false for any other role.
    bool ReadOrNote(const std::wstring& path, FileRole role);
    // "Signature not checked - ", once for each signature in a run.
    void NoteSignature(const std::wstring& path);
    enum class ReadOutcome { Read, Failed, Elsewhere, Stopped };
    ReadOutcome ReadChecksumFile(const std::wstring& path, std::string& bytes);
    void CheckEntry(const std::wstring& folder, const ChecksumLine& line);
    // An entry's file hashed and compared beside the walk; reads only, and uses of the
    // engine's own state only the hashers of `worker`.
    ResultCode CheckFile(const std::wstring& path, const ChecksumLine& line, const std::u16string& homeShare,
                         CLogSink& log, size_t worker);
    static ResultCode Refuse(CLogSink& log, UINT prefixId, const std::wstring& path);
    // Reports `line` as not checked when `target` is no local file.
    bool RefusedAs(EntryTarget target, const ChecksumLine& line);
    // The share a checksum file's folder really lies on (ShareOfEntryName's form; empty on
    // this computer): its entries may name files there, the computer the user chose to read.
    const std::u16string& HomeShareOf(const std::wstring& folder);
    // A result line; only an entry's file that was hashed counts among the run's files.
    void Report(bool ok, std::wstring_view prefix, const std::wstring& path, bool hashed = false);
    CFileHasher& HasherFor(ChecksumAlgorithm algorithm, size_t worker);

    // For each worker, a hasher for each ChecksumAlgorithm, made when first needed.
    std::vector<std::array<std::unique_ptr<CFileHasher>, 5>> m_hashers;
    std::set<std::wstring> m_checked;          // full paths, in lower case
    std::set<std::wstring> m_notedSignatures;  // likewise
    std::vector<std::wstring> m_downloads;
    bool m_homeKnown = false;
    std::wstring m_homeFolder;
    std::u16string m_homeShare;
    int m_failures = 0;
    bool m_headings = false;
    CFilePool m_pool;  // last: its workers end before the hashers go
};

// Mode 6: checks every selected checksum file, and every one found in the selected
// folders and their sub-folders; any other selected file against the checksum files
// beside it.
// `workers` 0 reads as many files at once as FilesAtOnce allows.
CToolRun::Job VerifyChecksums(const std::vector<std::wstring>& paths, size_t workers = 0);
