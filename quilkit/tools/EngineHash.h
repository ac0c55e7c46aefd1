#pragma once
// Writes the chosen digests (MD5, SHA-1, SHA-256) of every file it meets; changes nothing
// on disk.
#include <string>
#include <vector>

#include "AnyDigest.h"
#include "FileHasher.h"
#include "FileMoleImpl.h"
#include "ToolRun.h"

class CEngineHash : public CFileMoleImpl {
public:
    CEngineHash(CLogSink& log, const CStopRequest& stop, const std::vector<DigestKind>& kinds)
        : CFileMoleImpl(log, stop), m_hasher(kinds) {}

    // The digests of the dialog's boxes in the order of the result line; MD5 alone when
    // none is chosen.
    static std::vector<DigestKind> Choose(int md5, int sha1, int sha256);

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }

private:
    CFileHasher m_hasher;
};

// The hash checker's options dialog, owned by `owner`; after OK the job that hashes
// `paths` on the worker, else an empty job.
CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths);
