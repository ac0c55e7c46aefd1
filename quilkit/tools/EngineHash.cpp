#include "EngineHash.h"

#include <cstdio>

#include "../framework/Handles.h"

#include "HashDlg.h"
#include "LogSink.h"
#include "ToolRun.h"

namespace {

// Shared as the C library's "rb" shares it: other programs may keep writing the file.
UniqueFile OpenForReading(const char* path) {
    return UniqueFile(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// False on a read error; a pipe whose writer has gone has simply ended.
bool ReadChunk(HANDLE file, uint8_t* buffer, DWORD size, DWORD& read) {
    if (ReadFile(file, buffer, size, &read, nullptr)) return true;
    read = 0;
    return GetLastError() == ERROR_BROKEN_PIPE;
}

void WriteFailure(CLogSink& log, const char* path) {
    char line[MAX_PATH + 32];
    snprintf(line, sizeof(line), "\"%s\" Error...\r\n", path);
    log.AppendError(line);
}

}  // namespace

void CEngineHash::SetDigests(int md5Wanted, int sha1Wanted) {
    m_md5Wanted = md5Wanted;
    m_sha1Wanted = sha1Wanted;
    if (!m_md5Wanted && !m_sha1Wanted) m_md5Wanted = 1;
}

ResultCode CEngineHash::OnFile(const char* path) {
    UniqueFile file = OpenForReading(path);
    if (!file) {
        WriteFailure(Log(), path);
        return kResultFail;
    }

    Md5Context md5Context;
    if (m_sha1Wanted) m_sha1.Init();
    if (m_md5Wanted) m_md5.Init(&md5Context);

    uint8_t buffer[kChunkSize];
    DWORD read = 0;
    bool readError = false;
    while (!(readError = !ReadChunk(file.Get(), buffer, kChunkSize, read)) && read != 0) {
        // Reading changes nothing, so a stop may cut a file short; such a file gets no line.
        if (StopRequested()) return kResultStopped;
        if (m_sha1Wanted) m_sha1.Update(buffer, read);
        if (m_md5Wanted) m_md5.Update(&md5Context, buffer, read);
        Log().NoteBytesRead(read);
    }
    // Digests of a file cut short by a read error would pass for the file's digests.
    if (StopRequested()) return kResultStopped;
    file.Reset();
    if (readError) {
        WriteFailure(Log(), path);
        return kResultFail;
    }

    char sha1Text[512] = {};
    char md5Text[512] = {};
    if (m_sha1Wanted) {
        m_sha1.Final();
        m_sha1.Report(sha1Text, CSha1Digest::kReportHex);
    }
    if (m_md5Wanted) {
        m_md5.Final(&md5Context);
        m_md5.Report(md5Text, sizeof(md5Text));
    }

    char quoted[MAX_PATH + 8];
    snprintf(quoted, sizeof(quoted), "\"%s\"", path);
    Log().AppendSuccess(quoted);

    char digests[128] = {};
    size_t length = 0;
    if (m_md5Wanted) length += snprintf(digests + length, sizeof(digests) - length, " MD5:%s", md5Text);
    if (m_sha1Wanted) snprintf(digests + length, sizeof(digests) - length, " SHA1:%s", sha1Text);
    Log().AppendLine(digests);
    return kResultOk;
}

CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::string>& paths) {
    CHashDlg dialog;
    if (dialog.DoModal(owner) != IDOK) return nullptr;

    // A checksum tool must leave the files' attributes as it found them.
    WalkOptions options;
    options.subFolders = dialog.m_subFolders;
    options.attributes = EntryAttributes::Keep;
    return [paths, options, md5 = dialog.m_md5, sha1 = dialog.m_sha1](CLogSink& log, const CStopRequest& stop) {
        CEngineHash engine(log, stop);
        engine.SetDigests(md5, sha1);
        return WalkPathList(engine, paths, options);
    };
}
