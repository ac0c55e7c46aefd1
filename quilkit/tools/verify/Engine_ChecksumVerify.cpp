#include "Engine_ChecksumVerify.h"

#include <algorithm>

#include "framework/FileContents.h"
#include "framework/Handles.h"
#include "text/LongPath.h"
#include "text/WideText.h"

namespace {

// Checksum files are small; a larger file of such a name is a file to verify.
constexpr uint64_t kLargestChecksumFile = 64ull << 20;

std::u16string FileNameOf(const std::wstring& path) { return ToUtf16(path.substr(path.find_last_of(L"\\/") + 1)); }

std::wstring Lowered(std::wstring path) {
    if (!path.empty()) CharLowerBuffW(&path[0], DWORD(path.size()));
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

// The first bytes of a file, enough to tell clear-signed text from a detached signature.
std::string FileHead(const std::wstring& path) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    std::string head(4096, '\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), &head[0], DWORD(head.size()), &read, nullptr)) return {};
    head.resize(read);
    return head;
}

// A file of this name and size holds checksums: the names of IsChecksumFileName, .asc files
// that hold clear-signed text, and a download's companion (<download>.sha256sum).
bool HoldsChecksums(const std::wstring& path, const std::u16string& name, uint64_t size, bool companion) {
    if (size > kLargestChecksumFile) return false;
    if (IsChecksumFileName(name)) return true;
    if (IsSignatureFileName(name)) return IsClearSigned(FileHead(path));
    return companion;
}

// The size of an existing file that is no folder.
bool FileSizeOf(const std::wstring& path, uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// The files in `folder` that may publish the digest of `download` (a name in it), by name.
std::vector<std::wstring> ChecksumFilesBeside(const std::wstring& folder, const std::u16string& download) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileExW(FileSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find) return found;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::u16string name = ToUtf16(entry.cFileName);
        if (name == download) continue;
        const uint64_t size = (uint64_t(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        const std::wstring path = folder + L"\\" + entry.cFileName;
        if (HoldsChecksums(path, name, size, IsCompanionName(name, download))) found.push_back(path);
    } while (FindNextFileW(find.Get(), &entry));
    std::sort(found.begin(), found.end());
    return found;
}

std::u16string DecodeAnsi(std::string_view bytes) { return ToUtf16(FromCodePage(CP_ACP, bytes)); }

DigestKind KindOf(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Sha512:
            return DigestKind::Sha512;
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
    // Most files of a walk are no checksum files: their names say so without a look at them.
    const std::u16string name = FileNameOf(path);
    if (!IsChecksumFileName(name) && !IsSignatureFileName(name)) return kResultUncounted;
    uint64_t size = 0;
    if (FileSizeOf(path, size) && HoldsChecksums(path, name, size, false)) VerifyChecksumFile(path);
    return kResultUncounted;
}

int CEngine_ChecksumVerify::HandleSelectedFile(const std::wstring& path) {
    if (IsReadAsChecksumFile(path))
        VerifyChecksumFile(path);
    else
        m_downloads.push_back(path);
    return 0;
}

bool CEngine_ChecksumVerify::IsReadAsChecksumFile(const std::wstring& path) {
    uint64_t size = 0;
    // A selected path that has gone keeps the role its name gives it.
    if (!FileSizeOf(path, size)) return IsChecksumFileName(FileNameOf(path));
    return HoldsChecksums(path, FileNameOf(path), size, false);
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
    const ChecksumFile file = ParseChecksumFile(bytes, DecodeAnsi);
    if (m_headings) Log().AppendLine(L"Checking - " + path);
    if (file.clearSigned) Log().AppendLine(L"Signature not checked - " + path);
    bool anyEntry = false;
    for (const ChecksumLine& line : file.lines) {
        if (StopRequested()) return NoteCutShort();
        anyEntry = anyEntry || !line.bad;
        if (line.bad)
            Report(false, L"Bad line " + std::to_wstring(line.number) + L" - ", path);
        else
            CheckEntry(folder, line);
    }
    // Nothing verified is no success.
    if (!anyEntry) Report(false, L"No checksums in - ", path);
}

void CEngine_ChecksumVerify::VerifyListedFile(const std::wstring& selected) {
    Log().NoteCurrent(selected);
    const std::wstring path = FullPathName(selected);
    const std::wstring folder = ParentFolder(path);
    // The entries naming the file, by checksum file, before any is checked: a heading
    // names each checksum file only when more than one lists it.
    struct Lister {
        std::wstring checksumFile;
        bool clearSigned = false;
        std::vector<ChecksumLine> entries;
    };
    std::vector<Lister> listers;
    for (const std::wstring& checksumFile : ChecksumFilesBeside(folder, FileNameOf(path))) {
        std::string bytes;
        bool read;
        {
            CStopRequest::ReadScope reading(StopRequestOf());
            read = ReadWholeFile(checksumFile, bytes);
        }
        if (StopRequested()) return NoteCutShort();
        if (!read) continue;
        const ChecksumFile file = ParseChecksumFile(bytes, DecodeAnsi);
        Lister lister{checksumFile, file.clearSigned, {}};
        for (const ChecksumLine& line : file.lines)
            if (!line.bad && ClassifyEntryName(line.name) == EntryTarget::LocalFile &&
                SamePath(EntryPath(folder, ToWide(line.name)), path))
                lister.entries.push_back(line);
        if (!lister.entries.empty()) listers.push_back(std::move(lister));
    }
    if (listers.empty()) return Report(false, L"No checksum file lists - ", selected);
    for (const Lister& lister : listers) {
        if (m_headings || listers.size() > 1) Log().AppendLine(L"Checking - " + lister.checksumFile);
        if (lister.clearSigned) Log().AppendLine(L"Signature not checked - " + lister.checksumFile);
        for (const ChecksumLine& line : lister.entries) {
            if (StopRequested()) return NoteCutShort();
            CheckEntry(folder, line);
        }
    }
}

void CEngine_ChecksumVerify::CheckEntry(const std::wstring& folder, const ChecksumLine& line) {
    // Opening such a name would connect to that computer with the user's credentials, or
    // wait on the device.
    switch (ClassifyEntryName(line.name)) {
        case EntryTarget::OtherComputer:
            return Report(false, L"Not checked (names another computer) - ", ToWide(line.name));
        case EntryTarget::Device:
            return Report(false, L"Not checked (names a device) - ", ToWide(line.name));
        case EntryTarget::LocalFile:
            break;
    }
    const std::wstring path = EntryPath(folder, ToWide(line.name));
    m_checked.insert(Lowered(path));
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
    Report(same, same ? L"OK - " : L"FAILED - ", path, true);
}

bool CEngine_ChecksumVerify::WasChecked(const std::wstring& path) const {
    return m_checked.count(Lowered(FullPathName(path))) != 0;
}

void CEngine_ChecksumVerify::Report(bool ok, std::wstring_view prefix, const std::wstring& path, bool hashed) {
    LogResultLine(Log(), ok, prefix, path);
    if (hashed)
        Log().NoteDone(!ok);
    else if (!ok)
        Log().NoteFailure();
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
        // Headings where the run may read more than one checksum file: a folder, or more
        // than one selected.
        int checksumFiles = 0;
        bool folder = false;
        for (const std::wstring& path : paths) {
            const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
            folder = folder || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
            checksumFiles += CEngine_ChecksumVerify::IsReadAsChecksumFile(path) ? 1 : 0;
        }
        engine.SetHeadings(folder || checksumFiles > 1);
        RunTally tally = WalkPathList(engine, paths, WalkOptions{});
        // The downloads after the checksum files and folders: one selected with its
        // checksum file is checked once, by that file.
        const std::vector<std::wstring>& downloads = engine.Downloads();
        for (size_t i = 0; i < downloads.size(); ++i) {
            if (engine.StopRequested()) {
                tally.notDone += int(downloads.size() - i);
                break;
            }
            engine.ClearCutShort();
            if (!engine.WasChecked(downloads[i])) engine.VerifyListedFile(downloads[i]);
            if (engine.WasCutShort()) ++tally.notDone;
        }
        tally.failures += engine.Failures();
        return tally;
    };
}
