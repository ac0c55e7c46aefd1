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
    // `checksums`, when given, keeps the strongest digest of each file hashed.
    CEngineHash(CLogSink& log, const CStopRequest& stop, const std::vector<DigestKind>& kinds,
                CRunChecksums* checksums = nullptr)
        : CFileMoleImpl(log, stop), m_hasher(kinds), m_checksums(checksums) {}

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
    // Whether the digest of the expected kind among `texts` is the expected one.
    bool MatchesExpected(const std::vector<std::string>& texts) const;
    // "Matches - " or "Does not match - ", where a digest was expected.
    ResultCode ReportComparison(bool matches);

    CFileHasher m_hasher;
    CRunChecksums* m_checksums;
    std::string m_expected;
    ChecksumAlgorithm m_expectedAlgorithm = ChecksumAlgorithm::Md5;
};

// The hash checker's options dialog, owned by `owner`; after OK the job that hashes
// `paths` on the worker and keeps their digests in `checksums`, else an empty job.
CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths,
                           std::shared_ptr<CRunChecksums> checksums);
