#pragma once
// Writes the MD5 and/or SHA-1 digest of every file it meets; changes nothing on disk.
#include "../digest/Md5Digest.h"
#include "../digest/Sha1Digest.h"
#include <string>
#include <vector>

#include "FileMoleImpl.h"
#include "ToolRun.h"

class CEngineHash : public CFileMoleImpl {
public:
    static constexpr int kChunkSize = 8192;

    using CFileMoleImpl::CFileMoleImpl;

    ResultCode OnFile(const char* path) override;
    ResultCode OnFolder(const char*) override { return kResultOk; }

    // With neither digest chosen, MD5 is used.
    void SetDigests(int md5Wanted, int sha1Wanted);
    int Md5Wanted() const { return m_md5Wanted; }
    int Sha1Wanted() const { return m_sha1Wanted; }

private:
    CSha1Digest m_sha1;
    CMd5Digest m_md5;
    int m_md5Wanted = 0;
    int m_sha1Wanted = 0;
};

// The hash checker's options dialog, owned by `owner`; after OK the job that hashes
// `paths` on the worker, else an empty job.
CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::string>& paths);
