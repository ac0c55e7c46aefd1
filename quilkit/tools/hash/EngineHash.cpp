#include "EngineHash.h"

#include "framework/Handles.h"
#include "framework/RememberedChoices.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "HashDlg.h"
#include "resource.h"

namespace {

ResultCode WriteFailure(CLogSink& log, const std::wstring& path) {
    if (IsPathTooLongError(GetLastError()))
        LogResultLine(log, false, IDS_LINE_PATH_TOO_LONG, path);
    else
        log.AppendError(log.Texts().Format(IDS_LINE_READ_ERROR, {path}) + L"\r\n");
    return kResultFail;
}

DigestKind KindOf(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Sha1:
            return DigestKind::Sha1;
        case ChecksumAlgorithm::Sha256:
            return DigestKind::Sha256;
        case ChecksumAlgorithm::Sha512:
            return DigestKind::Sha512;
        case ChecksumAlgorithm::Blake3:
            return DigestKind::Blake3;
        case ChecksumAlgorithm::Md5:
            break;
    }
    return DigestKind::Md5;
}

// The settings value that keeps the dialog's last choices.
constexpr const wchar_t* kHashCheckerChoices = L"HashChecker";

void LoadChoices(const CRememberedChoices& choices, CHashDlg& dialog) {
    dialog.m_subFolders = choices.Flag(L"subfolders", dialog.m_subFolders);
    dialog.m_md5 = choices.Flag(L"md5", dialog.m_md5);
    dialog.m_sha1 = choices.Flag(L"sha1", dialog.m_sha1);
    dialog.m_sha256 = choices.Flag(L"sha256", dialog.m_sha256);
    dialog.m_sha512 = choices.Flag(L"sha512", dialog.m_sha512);
    dialog.m_blake3 = choices.Flag(L"blake3", dialog.m_blake3);
}

void SaveChoices(CRememberedChoices& choices, const CHashDlg& dialog) {
    auto ticked = [&dialog](int box, int checked) { return checked && box != dialog.m_boxOfExpected; };
    choices.SetFlag(L"subfolders", dialog.m_subFolders);
    choices.SetFlag(L"md5", ticked(IDC_MD5, dialog.m_md5));
    choices.SetFlag(L"sha1", ticked(IDC_SHA1, dialog.m_sha1));
    choices.SetFlag(L"sha256", ticked(IDC_SHA256, dialog.m_sha256));
    choices.SetFlag(L"sha512", ticked(IDC_SHA512, dialog.m_sha512));
    choices.SetFlag(L"blake3", ticked(IDC_BLAKE3, dialog.m_blake3));
    choices.Save();
}

// A digest on the clipboard names one file: a folder or several files would all be
// compared with it, and all but one would fail.
bool IsOneFile(const std::vector<std::wstring>& paths) {
    if (paths.size() != 1) return false;
    const DWORD attributes = GetFileAttributesW(FileSystemPath(paths[0]).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::vector<DigestKind> CEngineHash::Choose(int md5, int sha1, int sha256, int sha512, int blake3) {
    std::vector<DigestKind> kinds;
    if (md5 || (!sha1 && !sha256 && !sha512 && !blake3)) kinds.push_back(DigestKind::Md5);
    if (sha1) kinds.push_back(DigestKind::Sha1);
    if (sha256) kinds.push_back(DigestKind::Sha256);
    if (sha512) kinds.push_back(DigestKind::Sha512);
    if (blake3) kinds.push_back(DigestKind::Blake3);
    return kinds;
}

CEngineHash::CEngineHash(CLogSink& log, const CStopRequest& stop, const std::vector<DigestKind>& kinds,
                         CRunChecksums* checksums, size_t workers)
    : CFileMoleImpl(log, stop), m_kinds(kinds), m_checksums(checksums), m_pool(log, stop, workers) {
    for (size_t i = 0; i < m_pool.Workers(); ++i) m_hashers.push_back(std::make_unique<CFileHasher>(kinds));
    WorkThrough(m_pool);
}

bool CEngineHash::MatchesExpected(const std::vector<std::string>& texts) const {
    for (size_t i = 0; i < texts.size(); ++i)
        if (m_kinds[i] == KindOf(m_expectedAlgorithm)) return LowercaseHex(texts[i]) == m_expected;
    return false;
}

ResultCode CEngineHash::ReportComparison(bool matches, CLogSink& log) const {
    if (m_expected.empty()) return kResultOk;
    const std::wstring name = Widen(AlgorithmName(m_expectedAlgorithm));
    log.NoteComparison(matches, name);
    if (matches)
        log.AppendSuccess(log.Texts().Text(IDS_LINE_MATCHES) + name);
    else
        log.AppendError(log.Texts().Text(IDS_LINE_DOES_NOT_MATCH) + name);
    log.AppendLine(L"");
    return matches ? kResultOk : kResultFail;
}

ResultCode CEngineHash::OnFile(const std::wstring& path) {
    auto texts = std::make_shared<std::vector<std::string>>();
    return HandOver(
        [this, path, texts](CLogSink& log, size_t worker) { return HashFile(path, *m_hashers[worker], log, *texts); },
        [this, path, texts](ResultCode) {
            if (!texts->empty()) Keep(path, *texts);
        });
}

ResultCode CEngineHash::HashFile(const std::wstring& path, CFileHasher& hasher, CLogSink& log,
                                 std::vector<std::string>& texts) const {
    log.NoteCurrent(path);
    // Reading would download it first, gigabytes perhaps, unasked.
    if (IsDataElsewhere(path, StopRequestOf())) {
        LogResultLine(log, false, IDS_LINE_NOT_ON_COMPUTER, path);
        return kResultFail;
    }
    UniqueFile file = OpenForHashing(path, StopRequestOf());
    if (!file && StopRequested()) return kResultStopped;
    if (!file) return WriteFailure(log, path);
    switch (hasher.Hash(file.Get(), StopRequestOf(), log, texts)) {
        case CFileHasher::Outcome::Stopped:
            texts.clear();
            return kResultStopped;
        case CFileHasher::Outcome::ReadError:
            // Digests of a file cut short by a read error would pass for the file's digests.
            texts.clear();
            return WriteFailure(log, path);
        case CFileHasher::Outcome::Done:
            break;
    }

    // The file's own line takes the colour of its outcome.
    const bool matches = m_expected.empty() || MatchesExpected(texts);
    if (matches)
        log.AppendSuccess(L"\"" + path + L"\"");
    else
        log.AppendError(L"\"" + path + L"\"");
    std::string digests;
    for (size_t i = 0; i < texts.size(); ++i) digests += hasher.Digest(i).Label() + texts[i];
    log.AppendLine(Widen(digests));
    return ReportComparison(matches, log);
}

// The kinds run from MD5 to SHA-512, then BLAKE3: the last of the SHA-2 side is the
// strongest, which GNU's tools read; BLAKE3 is kept when it is the only digest.
void CEngineHash::Keep(const std::wstring& path, const std::vector<std::string>& texts) {
    size_t kept = texts.size() - 1;
    if (kept > 0 && m_kinds[kept] == DigestKind::Blake3) --kept;
    if (m_checksums) m_checksums->Add(m_kinds[kept], path, texts[kept]);
}

CToolRun::Job HashCheckJob(const std::vector<std::wstring>& paths, const WalkOptions& options,
                           const std::vector<DigestKind>& kinds, std::shared_ptr<CRunChecksums> checksums,
                           const std::string& expected, ChecksumAlgorithm algorithm, size_t workers) {
    return [=](CLogSink& log, const CStopRequest& stop) {
        CEngineHash engine(log, stop, kinds, checksums.get(), workers ? workers : FilesAtOnce(paths, stop));
        engine.Expect(expected, algorithm);
        return WalkPathList(engine, paths, options);
    };
}

CToolRun::Job AskHashCheck(HWND owner, const std::vector<std::wstring>& paths,
                           std::shared_ptr<CRunChecksums> checksums) {
    CHashDlg dialog;
    dialog.m_pasteExpected = IsOneFile(paths);
    CRememberedChoices choices(kHashCheckerChoices);
    LoadChoices(choices, dialog);
    if (dialog.DoModal(owner) != IDOK) return nullptr;
    // The expected digest belongs to this run's file; it is never kept.
    SaveChoices(choices, dialog);

    WalkOptions options;
    options.subFolders = dialog.m_subFolders;
    options.filesCount = true;
    const std::vector<DigestKind> kinds =
        CEngineHash::Choose(dialog.m_md5, dialog.m_sha1, dialog.m_sha256, dialog.m_sha512, dialog.m_blake3);
    checksums->SetSelection(paths);
    return HashCheckJob(paths, options, kinds, checksums, dialog.m_expected, dialog.m_expectedAlgorithm);
}
