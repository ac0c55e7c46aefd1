#pragma once
// Writes the chosen digests (MD5, SHA-1, SHA-256, SHA-512, BLAKE3) of every file it meets, and
// whether each matches an expected digest when one was given; changes nothing on disk.
#include <string>
#include <vector>

#include "checksums/AnyDigest.h"
#include "checksums/ChecksumFileText.h"
#include "FileHasher.h"
#include "run/FileMoleImpl.h"
#include "checksums/RunChecksums.h"
#include "run/ToolRun.h"

class CEngineHash : public CFileMoleImpl {
public:
    // `checksums`, when given, keeps the strongest digest of each file hashed. `workers`
    // files are hashed at once (FilesAtOnce), their lines in the order of the walk.
    CEngineHash(CLogSink& log, const CStopRequest& stop, const std::vector<DigestKind>& kinds,
                CRunChecksums* checksums = nullptr, size_t workers = 1);

    // The digests of the dialog's boxes in the order of the result line; MD5 alone when
    // none is chosen.
    static std::vector<DigestKind> Choose(int md5, int sha1, int sha256, int sha512, int blake3 = 0);

    // Each file's line is followed by "Matches - <algorithm>", or "Does not match - "
    // and one failure. `hex` is lowercase; its algorithm must be among the kinds.
    void Expect(const std::string& hex, ChecksumAlgorithm algorithm) {
        m_expected = hex;
        m_expectedAlgorithm = algorithm;
    }

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }

private:
    // A file's work beside the walk: reads only, and changes nothing of the engine's.
    ResultCode HashFile(const std::wstring& path, CFileHasher& hasher, CLogSink& log,
                        std::vector<std::string>& texts) const;
    // Whether the digest of the expected kind among `texts` is the expected one.
    bool MatchesExpected(const std::vector<std::string>& texts) const;
    // "Matches - " or "Does not match - ", where a digest was expected.
    ResultCode ReportComparison(bool matches, CLogSink& log) const;
    void Keep(const std::wstring& path, const std::vector<std::string>& texts);

    std::vector<DigestKind> m_kinds;
    std::vector<std::unique_ptr<CFileHasher>> m_hashers;  // one for each worker
    CRunChecksums* m_checksums;
    std::string m_expected;
    ChecksumAlgorithm m_expectedAlgorithm = ChecksumAlgorithm::Md5;
    CFilePool m_pool;  // last: its workers end before the hashers go
};

// The hash checker's options dialog, owned by `owner`; after OK the job that hashes
// `paths` on the worker and keeps their digests in `checksums`, else an empty job.
// The job that hashes `paths`; `workers` 0 reads as many files at once as FilesAtOnce allows.
CToolRun::Job HashCheckJob(const std::vector<std::wstring>& paths, const WalkOptions& options,
                           const std::vector<DigestKind>& kinds, std::shared_ptr<CRunChecksums> checksums,
                           const std::string& expected, ChecksumAlgorithm algorithm, size_t workers = 0);

CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths,
                           std::shared_ptr<CRunChecksums> checksums);
