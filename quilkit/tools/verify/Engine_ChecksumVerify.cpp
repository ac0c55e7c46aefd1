#include "Engine_ChecksumVerify.h"

#include <algorithm>

#include "checksums/EntryTarget.h"
#include "framework/FileContents.h"
#include "framework/Handles.h"
#include "run/FileKinds.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "resource.h"

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

// What the folder's entry says of a file.
struct FileFacts {
    uint64_t size = 0;
    DWORD attributes = 0;
};

FileFacts FactsOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow) {
    return FileFacts{(uint64_t(sizeHigh) << 32) | sizeLow, attributes};
}

// The first bytes of a file, enough to tell clear-signed text from a detached signature.
std::string FileHead(const std::wstring& path, const CStopRequest& stop) {
    CStopRequest::ReadScope reading(stop);
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    std::string head(4096, '\0');
    DWORD read = 0;
    if (!file || !ReadFile(file.Get(), &head[0], DWORD(head.size()), &read, nullptr)) return {};
    head.resize(read);
    return head;
}

// What a file of this name and size is: its name tells, and for .asc and .gpg its first
// bytes; a download's companion (<download>.digests) holds checksums whatever its ending.
// The head of a file whose data is not on this computer is not fetched to look: such an
// .asc may hold checksums, and its reader says why it cannot read it; such a .gpg is a
// file like any other, which the hasher does not fetch either.
FileRole RoleOf(const std::wstring& path, const std::u16string& name, const FileFacts& facts, bool companion,
                const CStopRequest& stop) {
    if (facts.size > kLargestChecksumFile) return FileRole::Other;
    FileRole role;
    if (!RoleNeedsHead(name))
        role = RoleOfFile(name, {});
    else if (filekinds::IsDataElsewhere(facts.attributes))  // an .asc without its head is a signature
        role = RoleOfFile(name, {}) == FileRole::Signature ? FileRole::Checksums : FileRole::Other;
    else {
        const std::string head = FileHead(path, stop);
        // A head cut short by a stop tells nothing: the file is left undone, not named.
        if (stop.IsRequested()) return FileRole::Other;
        role = RoleOfFile(name, head);
    }
    return role == FileRole::Other && companion ? FileRole::Checksums : role;
}

// What the file system says of an existing file that is no folder.
bool FactsOfFile(const std::wstring& path, const CStopRequest& stop, FileFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    {
        CStopRequest::ReadScope looking(stop);
        if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    facts = FactsOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow);
    return true;
}

bool FindNext(HANDLE find, WIN32_FIND_DATAW& entry, const CStopRequest& stop) {
    CStopRequest::ReadScope listing(stop);
    return FindNextFileW(find, &entry);
}

// The files in `folder` that may publish the digest of `download` (a name in it), and the
// signatures there, by name.
struct FilesBeside {
    std::vector<std::wstring> checksumFiles;
    std::vector<std::wstring> signatures;
};
FilesBeside ChecksumFilesBeside(const std::wstring& folder, const std::u16string& download, const CStopRequest& stop) {
    FilesBeside found;
    WIN32_FIND_DATAW entry;
    UniqueFind find;
    {
        CStopRequest::ReadScope listing(stop);
        find.Reset(FindFirstFileExW(FileSystemPath(folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                    FindExSearchNameMatch, nullptr, 0));
    }
    for (bool more = bool(find); more; more = FindNext(find.Get(), entry, stop)) {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::u16string name = ToUtf16(entry.cFileName);
        if (name == download) continue;
        const FileFacts facts = FactsOf(entry.dwFileAttributes, entry.nFileSizeHigh, entry.nFileSizeLow);
        const std::wstring path = folder + L"\\" + entry.cFileName;
        switch (RoleOf(path, name, facts, IsCompanionName(name, download), stop)) {
            case FileRole::Checksums:
                found.checksumFiles.push_back(path);
                break;
            case FileRole::Signature:
                found.signatures.push_back(path);
                break;
            case FileRole::Other:
                break;
        }
    }
    std::sort(found.checksumFiles.begin(), found.checksumFiles.end());
    std::sort(found.signatures.begin(), found.signatures.end());
    return found;
}

// The signatures among `signatures` of the file at `path`.
std::vector<std::wstring> SignaturesOf(const std::wstring& path, const std::vector<std::wstring>& signatures) {
    std::vector<std::wstring> of;
    for (const std::wstring& signature : signatures)
        if (IsSignatureOf(FileNameOf(signature), FileNameOf(path))) of.push_back(signature);
    return of;
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
        case ChecksumAlgorithm::Blake3:
            return DigestKind::Blake3;
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

// What an entry reaches, by its text and by its full path: the full path names what the
// text may hide ("COM1:" is \\.\COM1, \\.\C:\..\UNC\h\s is \\.\UNC\h\s). A full path on the
// checksum file's own share (`homeShare`) stays on the computer the user chose to read from.
EntryTarget TargetOfEntry(const std::u16string& name, const std::wstring& path, const std::u16string& homeShare) {
    const EntryTarget byText = ClassifyEntryName(name);
    if (byText != EntryTarget::LocalFile) return byText;
    const std::u16string full = ToUtf16(path);
    const EntryTarget byPath = ClassifyEntryName(full);
    const bool atHome = !homeShare.empty() && ShareOfEntryName(full) == homeShare;
    return byPath == EntryTarget::OtherComputer && atHome ? EntryTarget::LocalFile : byPath;
}

// The name the system gives an open file or folder ("\\?\C:\...", "\\?\UNC\host\..."); empty
// when it gives none.
std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, &path[0], DWORD(path.size()), VOLUME_NAME_DOS);
    if (length >= path.size()) {  // the size it needs, with the terminating null
        path.resize(length);
        length = GetFinalPathNameByHandleW(handle, &path[0], DWORD(path.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path;
}

struct OpenedPlace {
    EntryTarget target = EntryTarget::LocalFile;
    std::u16string share;  // as ShareOfEntryName gives it, or the remote drive ("z:")
};

// Where an open file or folder really lies, whatever links its path went through. The
// system names a network file by its share (\\?\UNC\host\share) even on a mapped drive; a
// drive it names by its letter is asked for its type. A file the system cannot name is
// taken as local: the network's redirectors name theirs.
OpenedPlace PlaceOfOpened(HANDLE handle) {
    if (GetFileType(handle) != FILE_TYPE_DISK) return {EntryTarget::Device, {}};
    const std::wstring final = FinalPathOf(handle);
    const std::u16string name = ToUtf16(final);
    if (ClassifyEntryName(name) == EntryTarget::OtherComputer)
        return {EntryTarget::OtherComputer, ShareOfEntryName(name)};
    const bool onDrive = final.size() >= 7 && final.compare(0, 4, L"\\\\?\\") == 0 && final[5] == L':';
    if (onDrive && GetDriveTypeW((final.substr(4, 2) + L"\\").c_str()) == DRIVE_REMOTE)
        return {EntryTarget::OtherComputer, ToUtf16(Lowered(final.substr(4, 2)))};
    return {};
}

}  // namespace

ResultCode CEngine_ChecksumVerify::OnFile(const std::wstring& path) {
    // Most files of a walk are no checksum files: their names say so without a look at them.
    const std::u16string name = FileNameOf(path);
    if (!IsChecksumFileName(name) && !IsSignatureFileName(name)) return kResultUncounted;
    FileFacts facts;
    if (FactsOfFile(path, StopRequestOf(), facts)) ReadOrNote(path, RoleOf(path, name, facts, false, StopRequestOf()));
    return kResultUncounted;
}

int CEngine_ChecksumVerify::HandleSelectedFile(const std::wstring& path) {
    if (!ReadOrNote(path, SelectedRole(path, StopRequestOf()))) m_downloads.push_back(path);
    return 0;
}

FileRole CEngine_ChecksumVerify::SelectedRole(const std::wstring& path, const CStopRequest& stop) {
    FileFacts facts;
    // A selected path that has gone keeps the role its name gives it.
    if (!FactsOfFile(path, stop, facts))
        return IsChecksumFileName(FileNameOf(path)) ? FileRole::Checksums : FileRole::Other;
    return RoleOf(path, FileNameOf(path), facts, false, stop);
}

bool CEngine_ChecksumVerify::ReadOrNote(const std::wstring& path, FileRole role) {
    switch (role) {
        case FileRole::Checksums:
            VerifyChecksumFile(path);
            return true;
        case FileRole::Signature:
            NoteSignature(path);
            return true;
        case FileRole::Other:
            break;
    }
    return false;
}

// A signature is left to the tools that check it, and said so once.
void CEngine_ChecksumVerify::NoteSignature(const std::wstring& path) {
    if (m_notedSignatures.insert(Lowered(FullPathName(path))).second)
        Log().AppendLine(Texts().Text(IDS_LINE_SIGNATURE_NOT_CHECKED) + path);
}

void CEngine_ChecksumVerify::VerifyChecksumFile(const std::wstring& path) {
    Log().NoteCurrent(path);
    std::string bytes;
    const ReadOutcome read = ReadChecksumFile(path, bytes);
    if (read == ReadOutcome::Stopped) return NoteCutShort();
    if (read == ReadOutcome::Elsewhere) return Report(false, Texts().Text(IDS_LINE_NOT_ON_COMPUTER), path);
    if (read == ReadOutcome::Failed) return Report(false, Texts().Text(IDS_LINE_MISSING), path);
    const std::wstring folder = ParentFolder(path);
    const ChecksumFile file = ParseChecksumFile(bytes, DecodeAnsi, IsBlake3SumsName(FileNameOf(path)));
    if (m_headings) Log().AppendLine(Texts().Text(IDS_LINE_CHECKING) + path);
    if (file.clearSigned) NoteSignature(path);
    bool anyEntry = false;
    for (const ChecksumLine& line : file.lines) {
        if (StopRequested()) return NoteCutShort();
        anyEntry = anyEntry || !line.bad;
        if (line.bad)
            Report(false, Texts().Format(IDS_LINE_BAD_LINE, {std::to_wstring(line.number)}), path);
        else
            CheckEntry(folder, line);
    }
    // Nothing verified is no success.
    if (!anyEntry) Report(false, Texts().Text(IDS_LINE_NO_CHECKSUMS_IN), path);
}

void CEngine_ChecksumVerify::VerifyListedFile(const std::wstring& selected) {
    Log().NoteCurrent(selected);
    const std::wstring path = FullPathName(selected);
    const std::wstring folder = ParentFolder(path);
    const FilesBeside beside = ChecksumFilesBeside(folder, FileNameOf(path), StopRequestOf());
    if (StopRequested()) return NoteCutShort();
    for (const std::wstring& signature : SignaturesOf(path, beside.signatures)) NoteSignature(signature);
    // The entries naming the file, by checksum file, before any is checked: a heading
    // names each checksum file only when more than one lists it.
    struct Lister {
        std::wstring checksumFile;
        bool clearSigned = false;
        std::vector<ChecksumLine> entries;
    };
    std::vector<Lister> listers;
    for (const std::wstring& checksumFile : beside.checksumFiles) {
        std::string bytes;
        const ReadOutcome read = ReadChecksumFile(checksumFile, bytes);
        if (read == ReadOutcome::Stopped || StopRequested()) return NoteCutShort();
        // It may list the download: that it was not read is said.
        if (read == ReadOutcome::Elsewhere) Report(false, Texts().Text(IDS_LINE_NOT_ON_COMPUTER), checksumFile);
        if (read != ReadOutcome::Read) continue;
        const ChecksumFile file = ParseChecksumFile(bytes, DecodeAnsi, IsBlake3SumsName(FileNameOf(checksumFile)));
        Lister lister{checksumFile, file.clearSigned, {}};
        for (const ChecksumLine& line : file.lines)
            if (!line.bad && ClassifyEntryName(line.name) == EntryTarget::LocalFile &&
                SamePath(EntryPath(folder, ToWide(line.name)), path))
                lister.entries.push_back(line);
        if (!lister.entries.empty()) listers.push_back(std::move(lister));
    }
    if (listers.empty()) return Report(false, Texts().Text(IDS_LINE_NO_CHECKSUM_FILE_LISTS), selected);
    for (const Lister& lister : listers) {
        if (m_headings || listers.size() > 1) Log().AppendLine(Texts().Text(IDS_LINE_CHECKING) + lister.checksumFile);
        if (lister.clearSigned) NoteSignature(lister.checksumFile);
        for (const std::wstring& signature : SignaturesOf(lister.checksumFile, beside.signatures))
            NoteSignature(signature);
        for (const ChecksumLine& line : lister.entries) {
            if (StopRequested()) return NoteCutShort();
            CheckEntry(folder, line);
        }
    }
}

void CEngine_ChecksumVerify::CheckEntry(const std::wstring& folder, const ChecksumLine& line) {
    const std::wstring path = EntryPath(folder, ToWide(line.name));
    const std::u16string& homeShare = HomeShareOf(folder);
    // Opening such a name would connect to that computer with the user's credentials, or
    // wait on the device.
    if (RefusedAs(TargetOfEntry(line.name, path, homeShare), line)) return;
    m_checked.insert(Lowered(path));
    HandOver([this, path, line, homeShare](CLogSink& log, size_t worker) {
        return CheckFile(path, line, homeShare, log, worker);
    });
}

ResultCode CEngine_ChecksumVerify::CheckFile(const std::wstring& path, const ChecksumLine& line,
                                             const std::u16string& homeShare, CLogSink& log, size_t worker) {
    log.NoteCurrent(path);
    if (IsDataElsewhere(path, StopRequestOf())) return Refuse(log, IDS_LINE_NOT_ON_COMPUTER, path);
    UniqueFile file = OpenForHashing(path, StopRequestOf());
    if (!file && StopRequested()) return kResultStopped;
    if (!file) return Refuse(log, IDS_LINE_MISSING, path);
    // A link inside the tree may have taken the open elsewhere: nothing of it is read.
    const OpenedPlace opened = PlaceOfOpened(file.Get());
    const bool atHome = opened.target == EntryTarget::OtherComputer && !homeShare.empty() && opened.share == homeShare;
    if (!atHome && opened.target == EntryTarget::OtherComputer)
        return Refuse(log, IDS_LINE_NAMES_ANOTHER_COMPUTER, ToWide(line.name));
    if (!atHome && opened.target == EntryTarget::Device) return Refuse(log, IDS_LINE_NAMES_DEVICE, ToWide(line.name));
    std::vector<std::string> texts;
    switch (HasherFor(line.algorithm, worker).Hash(file.Get(), StopRequestOf(), log, texts)) {
        case CFileHasher::Outcome::Stopped:
            return kResultStopped;
        case CFileHasher::Outcome::ReadError:
            return Refuse(log, IDS_LINE_MISSING, path);
        case CFileHasher::Outcome::Done:
            break;
    }
    const bool same = LowercaseHex(texts.front()) == line.hex;
    LogResultLine(log, same, same ? IDS_LINE_OK : IDS_LINE_FAILED, path);
    return same ? kResultOk : kResultFail;
}

// A failure, and no file of the run's count: nothing was hashed.
ResultCode CEngine_ChecksumVerify::Refuse(CLogSink& log, UINT prefixId, const std::wstring& path) {
    LogResultLine(log, false, prefixId, path);
    return kResultFailUncounted;
}

// A checksum file's bytes, unless its data is not on this computer: reading would fetch
// it first, unasked, as hashing would.
CEngine_ChecksumVerify::ReadOutcome CEngine_ChecksumVerify::ReadChecksumFile(const std::wstring& path,
                                                                             std::string& bytes) {
    const bool elsewhere = IsDataElsewhere(path, StopRequestOf());
    if (StopRequested()) return ReadOutcome::Stopped;
    if (elsewhere) return ReadOutcome::Elsewhere;
    bool read;
    {
        CStopRequest::ReadScope reading(StopRequestOf());
        read = ReadWholeFile(path, bytes);
    }
    if (!read && StopRequested()) return ReadOutcome::Stopped;
    return read ? ReadOutcome::Read : ReadOutcome::Failed;
}

bool CEngine_ChecksumVerify::RefusedAs(EntryTarget target, const ChecksumLine& line) {
    switch (target) {
        case EntryTarget::OtherComputer:
            Report(false, Texts().Text(IDS_LINE_NAMES_ANOTHER_COMPUTER), ToWide(line.name));
            return true;
        case EntryTarget::Device:
            Report(false, Texts().Text(IDS_LINE_NAMES_DEVICE), ToWide(line.name));
            return true;
        case EntryTarget::LocalFile:
            break;
    }
    return false;
}

const std::u16string& CEngine_ChecksumVerify::HomeShareOf(const std::wstring& folder) {
    if (m_homeKnown && m_homeFolder == folder) return m_homeShare;
    m_homeFolder = folder;
    m_homeKnown = true;
    m_homeShare = ShareOfEntryName(ToUtf16(folder));
    CStopRequest::ReadScope opening(StopRequestOf());
    const UniqueFile opened(CreateFileW(FileSystemPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened) {
        const OpenedPlace place = PlaceOfOpened(opened.Get());
        if (place.target == EntryTarget::OtherComputer) m_homeShare = place.share;
    }
    return m_homeShare;
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

CFileHasher& CEngine_ChecksumVerify::HasherFor(ChecksumAlgorithm algorithm, size_t worker) {
    std::unique_ptr<CFileHasher>& hasher = m_hashers[worker][size_t(algorithm)];
    if (!hasher) hasher = std::make_unique<CFileHasher>(std::vector<DigestKind>{KindOf(algorithm)});
    return *hasher;
}

CEngine_ChecksumVerify::CEngine_ChecksumVerify(CLogSink& log, const CStopRequest& stop, size_t workers)
    : CFileMoleImpl(log, stop), m_pool(log, stop, workers) {
    m_hashers.resize(m_pool.Workers());
    WorkThrough(m_pool);
}

CToolRun::Job VerifyChecksums(const std::vector<std::wstring>& paths, size_t workers) {
    return [paths, workers](CLogSink& log, const CStopRequest& stop) {
        CEngine_ChecksumVerify engine(log, stop, workers ? workers : FilesAtOnce(paths, stop));
        // Headings where the run may read more than one checksum file: a folder, or more
        // than one selected.
        int checksumFiles = 0;
        bool folder = false;
        for (const std::wstring& path : paths) {
            DWORD attributes;
            {
                CStopRequest::ReadScope looking(stop);
                attributes = GetFileAttributesW(FileSystemPath(path).c_str());
            }
            folder = folder || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
            checksumFiles += CEngine_ChecksumVerify::SelectedRole(path, stop) == FileRole::Checksums ? 1 : 0;
            if (stop.IsRequested()) break;
        }
        engine.SetHeadings(folder || checksumFiles > 1);
        RunTally tally = WalkPathList(engine, paths, WalkOptions{});
        const int cutShort = engine.SelectedCutShort();
        // The downloads after the checksum files and folders: one selected with its
        // checksum file is checked once, by that file.
        const std::vector<std::wstring>& downloads = engine.Downloads();
        size_t reached = 0;
        for (; reached < downloads.size() && !engine.StopRequested(); ++reached) {
            engine.BeginSelected(paths.size() + reached);
            if (!engine.WasChecked(downloads[reached])) engine.VerifyListedFile(downloads[reached]);
        }
        tally.failures += engine.FinishHandedOver() + engine.Failures();
        tally.notDone += engine.SelectedCutShort() - cutShort + int(downloads.size() - reached);
        return tally;
    };
}
