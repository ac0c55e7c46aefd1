#pragma once
// Writes the MD5 and/or SHA-1 digest of every file it meets; changes nothing on disk.
#include "../digest/Md5Digest.h"
#include "../digest/Sha1Digest.h"
#include "FileMoleImpl.h"

class CEngineHash : public CFileMoleImpl {
public:
    static constexpr int kChunkSize = 8192;

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

// The hash checker's run: options dialog, digest choice, walk, summary. E_FAIL when the
// dialog was closed without OK.
ResultCode RunHashCheck(CEngineHash& engine);
