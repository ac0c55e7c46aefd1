#include "Engine_ChecksumVerify.h"

#include "framework/FileContents.h"
#include "text/LongPath.h"
#include "text/WideText.h"

namespace {

bool EndsWithIgnoringCase(const std::wstring& text, std::wstring_view ending) {
    if (text.size() < ending.size()) return false;
    return CompareStringOrdinal(text.c_str() + text.size() - ending.size(), int(ending.size()), ending.data(),
                                int(ending.size()), TRUE) == CSTR_EQUAL;
}

bool IsChecksumFileName(const std::wstring& path) {
    return EndsWithIgnoringCase(path, L".md5") || EndsWithIgnoringCase(path, L".sha1") ||
           EndsWithIgnoringCase(path, L".sha256");
}

std::u16string DecodeAnsi(std::string_view bytes) { return ToUtf16(FromCodePage(CP_ACP, bytes)); }

DigestKind KindOf(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Sha1:
            return DigestKind::Sha1;
        case ChecksumAlgorithm::Sha256:
            return DigestKind::Sha256;
        case ChecksumAlgorithm::Md5:
            break;
    }
    return DigestKind::Md5;
}

// An entry's name as a full path: names are relative to the checksum file's folder,
// with "/" or "\", unless they start at a drive, a share or the root.
std::wstring EntryPath(const std::wstring& folder, std::wstring name) {
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    const bool fromDrive = name.size() >= 2 && name[1] == L':';
    const bool fromShare = name.size() >= 2 && name[0] == L'\\' && name[1] == L'\\';
    if (fromDrive || fromShare) return FullPathName(name);
    if (!name.empty() && name[0] == L'\\') return FullPathName(folder.substr(0, 2) + name);
    return FullPathName(folder + L"\\" + name);
}

}  // namespace

ResultCode CEngine_ChecksumVerify::OnFile(const std::wstring& path) {
    if (IsChecksumFileName(path)) VerifyChecksumFile(path);
    return kResultUncounted;
}

int CEngine_ChecksumVerify::HandleSelectedFile(const std::wstring& path) {
    VerifyChecksumFile(path);
    return 0;
}

void CEngine_ChecksumVerify::VerifyChecksumFile(const std::wstring& path) {
    Log().NoteCurrent(path);
    std::string bytes;
    bool read;
    {
        CStopRequest::ReadScope reading(StopRequestOf());
        read = ReadWholeFile(path, bytes);
    }
    if (!read && StopRequested()) return NoteCutShort();
    if (!read) return Report(false, L"Missing - ", path);
    const std::wstring folder = ParentFolder(path);
    for (const ChecksumLine& line : ParseChecksumFile(bytes, DecodeAnsi)) {
        if (StopRequested()) return NoteCutShort();
        if (line.bad)
            Report(false, L"Bad line " + std::to_wstring(line.number) + L" - ", path);
        else
            CheckEntry(folder, line);
    }
}

void CEngine_ChecksumVerify::CheckEntry(const std::wstring& folder, const ChecksumLine& line) {
    const std::wstring path = EntryPath(folder, ToWide(line.name));
    Log().NoteCurrent(path);
    if (IsDataElsewhere(path)) return Report(false, L"Not on this computer - ", path);
    UniqueFile file = OpenForHashing(path, StopRequestOf());
    if (!file && StopRequested()) return NoteCutShort();
    if (!file) return Report(false, L"Missing - ", path);
    std::vector<std::string> texts;
    switch (HasherFor(line.algorithm).Hash(file.Get(), StopRequestOf(), Log(), texts)) {
        case CFileHasher::Outcome::Stopped:
            return NoteCutShort();
        case CFileHasher::Outcome::ReadError:
            return Report(false, L"Missing - ", path);
        case CFileHasher::Outcome::Done:
            break;
    }
    const bool same = LowercaseHex(texts.front()) == line.hex;
    Report(same, same ? L"OK - " : L"FAILED - ", path);
}

void CEngine_ChecksumVerify::Report(bool ok, std::wstring_view prefix, const std::wstring& path) {
    LogResultLine(Log(), ok, prefix, path);
    Log().NoteDone(!ok);
    if (!ok) ++m_failures;
}

CFileHasher& CEngine_ChecksumVerify::HasherFor(ChecksumAlgorithm algorithm) {
    std::unique_ptr<CFileHasher>& hasher = m_hashers[size_t(algorithm)];
    if (!hasher) hasher = std::make_unique<CFileHasher>(std::vector<DigestKind>{KindOf(algorithm)});
    return *hasher;
}

CToolRun::Job VerifyChecksums(const std::vector<std::wstring>& paths) {
    return [paths](CLogSink& log, const CStopRequest& stop) {
        CEngine_ChecksumVerify engine(log, stop);
        RunTally tally = WalkPathList(engine, paths, WalkOptions{});
        tally.failures += engine.Failures();
        return tally;
    };
}
