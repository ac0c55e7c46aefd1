#include "EngineHash.h"

#include "../framework/Handles.h"
#include "../framework/LongPath.h"
#include "../framework/WideText.h"
#include "HashDlg.h"

namespace {

// Shared as the C library's "rb" shares it: other programs may keep writing the file.
UniqueFile OpenForReading(const std::wstring& path) {
    return UniqueFile(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

void WriteFailure(CLogSink& log, const std::wstring& path) {
    if (IsPathTooLongError(GetLastError()))
        LogResultLine(log, false, L"Path too long - ", path);
    else
        log.AppendError(L"\"" + path + L"\" Error...\r\n");
}

}  // namespace

std::vector<DigestKind> CEngineHash::Choose(int md5, int sha1, int sha256) {
    std::vector<DigestKind> kinds;
    if (md5 || (!sha1 && !sha256)) kinds.push_back(DigestKind::Md5);
    if (sha1) kinds.push_back(DigestKind::Sha1);
    if (sha256) kinds.push_back(DigestKind::Sha256);
    return kinds;
}

ResultCode CEngineHash::OnFile(const std::wstring& path) {
    UniqueFile file = OpenForReading(path);
    if (!file) {
        WriteFailure(Log(), path);
        return kResultFail;
    }
    std::vector<std::string> texts;
    switch (m_hasher.Hash(file.Get(), StopRequestOf(), Log(), texts)) {
        case CFileHasher::Outcome::Stopped:
            return kResultStopped;
        case CFileHasher::Outcome::ReadError:
            // Digests of a file cut short by a read error would pass for the file's digests.
            WriteFailure(Log(), path);
            return kResultFail;
        case CFileHasher::Outcome::Done:
            break;
    }

    Log().AppendSuccess(L"\"" + path + L"\"");
    std::string digests;
    for (size_t i = 0; i < texts.size(); ++i) digests += m_hasher.Digest(i).Label() + texts[i];
    Log().AppendLine(Widen(digests));
    return kResultOk;
}

CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths) {
    CHashDlg dialog;
    if (dialog.DoModal(owner) != IDOK) return nullptr;

    WalkOptions options;
    options.subFolders = dialog.m_subFolders;
    const std::vector<DigestKind> kinds = CEngineHash::Choose(dialog.m_md5, dialog.m_sha1, dialog.m_sha256);
    return [paths, options, kinds](CLogSink& log, const CStopRequest& stop) {
        CEngineHash engine(log, stop, kinds);
        return WalkPathList(engine, paths, options);
    };
}
