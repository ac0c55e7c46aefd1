#pragma once
// Writes the chosen digests (MD5, SHA-1, SHA-256) of every file it meets; changes nothing
// on disk.
#include <string>
#include <vector>

#include "checksums/AnyDigest.h"
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
    static std::vector<DigestKind> Choose(int md5, int sha1, int sha256);

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }

private:
    CFileHasher m_hasher;
    CRunChecksums* m_checksums;
};

// The hash checker's options dialog, owned by `owner`; after OK the job that hashes
// `paths` on the worker and keeps their digests in `checksums`, else an empty job.
CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths,
                           std::shared_ptr<CRunChecksums> checksums);
