#include "FileMoleImpl.h"

#include <cwctype>

#include "FileKinds.h"
#include "framework/Handles.h"
#include "text/LongPath.h"
#include "resource.h"

struct CFileMoleImpl::Listing {
    std::wstring folder;  // ends in a backslash
    UniqueFind find;
    WIN32_FIND_DATAW entry = {};
    bool entryWaiting = false;  // `entry` holds the first entry, not yet visited
    DWORD error = ERROR_SUCCESS;

    // The next entry into `entry`; false at the end or on an error (kept in `error`).
    bool Next(const CStopRequest& stop) {
        if (entryWaiting) {
            entryWaiting = false;
            return true;
        }
        CStopRequest::ReadScope listing(stop);
        if (FindNextFileW(find.Get(), &entry)) return true;
        error = GetLastError();
        return false;
    }
};

namespace {

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// The system's words for `error`, in the language of the log's own lines where the system
// has them; "error N" besides.
std::wstring SystemReason(DWORD error, const CRunTexts& texts) {
    wchar_t text[512] = L"";
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageW(flags, nullptr, error, texts.Ui().Language(), text, DWORD(std::size(text)), nullptr);
    if (!length) length = FormatMessageW(flags, nullptr, error, 0, text, DWORD(std::size(text)), nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() && (std::iswspace(reason.back()) || reason.back() == L'.' || reason.back() == L'\u3002'))
        reason.pop_back();
    const std::wstring code = texts.Format(IDS_LINE_ERROR_CODE, {std::to_wstring(error)});
    return reason.empty() ? code : code + L": " + reason;
}

}  // namespace

void LogResultLine(CLogSink& log, bool success, std::wstring_view prefix, std::wstring_view path) {
    if (success)
        log.AppendSuccess(prefix);
    else
        log.AppendError(prefix);
    log.AppendLine(path);
}

void LogResultLine(CLogSink& log, bool success, UINT prefixId, std::wstring_view path) {
    LogResultLine(log, success, log.Texts().Text(prefixId), path);
}

bool IsNotFoundError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return true;
    }
    return false;
}

DWORD AttributesOf(const std::wstring& path, const CStopRequest& stop) {
    CStopRequest::ReadScope looking(stop);
    return GetFileAttributesW(FileSystemPath(path).c_str());
}

bool IsFolderLink(const std::wstring& path, DWORD attributes, const CStopRequest& stop) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    std::wstring name = path;
    while (name.size() > 3 && name.back() == L'\\') name.pop_back();
    // The tag comes with the folder's entry in its parent; without it, a link is the
    // safe guess.
    WIN32_FIND_DATAW entry;
    UniqueFind find;
    {
        CStopRequest::ReadScope listing(stop);
        find.Reset(
            FindFirstFileExW(FileSystemPath(name).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    }
    if (!find || !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    return filekinds::IsLinkReparseTag(entry.dwReserved0);
}

bool IsDataElsewhere(const std::wstring& path, const CStopRequest& stop) {
    const DWORD attributes = AttributesOf(path, stop);
    return attributes != INVALID_FILE_ATTRIBUTES && filekinds::IsDataElsewhere(attributes);
}

ResultCode CFileMoleImpl::ReportFailure(UINT prefixId, const std::wstring& path, DWORD error) {
    LogResultLine(*m_log, false, IsPathTooLongError(error) ? IDS_LINE_PATH_TOO_LONG : prefixId, path);
    return kResultFail;
}

void CFileMoleImpl::NoteTotalOfFiles(const std::vector<std::wstring>& paths) {
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    }
    m_log->NoteTotal(paths.size());
}

int CFileMoleImpl::HandleFile(const std::wstring& path) {
    m_log->NoteCurrent(path);
    const ResultCode result = OnFile(path);
    if (result == kResultOk || result < 0) m_log->NoteDone(result < 0);
    if (result == kResultStopped) NoteCutShort();
    return result < 0 ? 1 : 0;
}

ResultCode CFileMoleImpl::HandOver(CFilePool::Work work, CFilePool::Finish then) {
    const size_t selected = m_selected;
    auto finish = [this, selected, then = std::move(then)](ResultCode result) {
        if (then) then(result);
        CountResult(result, selected);
    };
    if (m_pool) {
        m_pool->Submit(std::move(work), std::move(finish));
    } else {
        finish(work(*m_log, 0));
    }
    return kResultUncounted;
}

void CFileMoleImpl::CountResult(ResultCode result, size_t selected) {
    if (result == kResultFailUncounted)
        m_log->NoteFailure();
    else if (result == kResultOk || result < 0)
        m_log->NoteDone(result < 0);
    if (result < 0) ++m_lateFailures;
    if (result == kResultStopped) m_cutShort.insert(selected);
}

int CFileMoleImpl::FinishHandedOver() {
    if (m_pool) m_pool->Drain();
    const int failures = m_lateFailures;
    m_lateFailures = 0;
    return failures;
}

int CFileMoleImpl::HandleFolder(const std::wstring& path) {
    m_log->NoteCurrent(path);
    const bool failed = OnFolder(path) < 0;
    if (failed) m_log->NoteDone(true);
    return failed ? 1 : 0;
}

int CFileMoleImpl::SkipLink(const std::wstring& path) {
    m_log->AppendLine(m_log->Texts().Text(IDS_LINE_LINK_SKIPPED) + path);
    return 0;
}

int CFileMoleImpl::ReportNotFound(const std::wstring& path) {
    LogResultLine(*m_log, false, IDS_LINE_NOT_FOUND, path);
    m_log->NoteDone(true);
    return 1;
}

int CFileMoleImpl::WalkFolder(const std::wstring& path, int subFolders) {
    const DWORD attributes = AttributesOf(path, m_stop);
    if (attributes == INVALID_FILE_ATTRIBUTES && StopRequested()) {
        NoteCutShort();
        return 0;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES && IsNotFoundError(GetLastError())) return ReportNotFound(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_log->NoteDone(true);
        return 1;
    }
    if (IsFolderLink(path, attributes, m_stop)) return SkipLink(path);
    return WalkKnownFolder(path, subFolders);
}

// A folder that the caller knows to be one and no link. Each folder's search stays open
// on `open` while its sub-folders are walked: the order is that of a recursive walk.
int CFileMoleImpl::WalkKnownFolder(std::wstring path, int subFolders) {
    if (StopRequested()) {
        NoteCutShort();
        return 0;
    }
    if (path.empty() || path.back() != L'\\') path += L'\\';

    std::vector<Listing> open;
    int failures = EnterFolder(path, open);
    while (!open.empty()) {
        if (StopRequested()) {
            NoteCutShort();
            break;
        }
        Listing& top = open.back();
        if (!top.Next(m_stop)) {
            failures += LeaveFolder(open);
            continue;
        }
        const WIN32_FIND_DATAW entry = top.entry;
        failures += VisitEntry(top.folder, entry, subFolders, open);
    }
    return failures;
}

// Lists `folder` first: a folder that cannot be listed gets its reason and no OnFolder,
// so that no tool reports it done. A folder without a single entry (a drive's empty
// root has not even "." and "..") is an empty folder.
int CFileMoleImpl::EnterFolder(const std::wstring& folder, std::vector<Listing>& open) {
    Listing listing;
    listing.folder = folder;
    {
        CStopRequest::ReadScope listingScope(m_stop);
        listing.find.Reset(FindFirstFileExW(FileSystemPath(folder + L'*').c_str(), FindExInfoBasic, &listing.entry,
                                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    }
    if (!listing.find) {
        const DWORD error = GetLastError();
        // A listing the stop cancelled says nothing of the folder.
        if (StopRequested()) {
            NoteCutShort();
            return 0;
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            ReportUnlistable(folder, error);
            return 1;
        }
        const int failures = HandleFolder(folder);
        if (!StopRequested()) OnFolderWalked(folder);
        return failures;
    }
    listing.entryWaiting = true;
    const int failures = HandleFolder(folder);
    open.push_back(std::move(listing));
    return failures;
}

int CFileMoleImpl::LeaveFolder(std::vector<Listing>& open) {
    int failures = 0;
    const bool ended = open.back().error == ERROR_NO_MORE_FILES;
    // A listing the stop cancelled leaves the folder unfinished, not unlistable.
    if (!ended && StopRequested()) NoteCutShort();
    // Stopping on anything but the end of the folder would skip entries silently.
    if (!ended && !StopRequested()) {
        ReportUnlistable(open.back().folder, open.back().error);
        failures = 1;
    }
    const std::wstring folder = std::move(open.back().folder);
    open.pop_back();
    if (!StopRequested()) OnFolderWalked(folder);
    return failures;
}

void CFileMoleImpl::ReportUnlistable(const std::wstring& folder, DWORD error) {
    m_log->NoteDone(true);
    // A refused length has its own line: the folder's name is the cause.
    if (IsPathTooLongError(error)) return LogResultLine(*m_log, false, IDS_LINE_PATH_TOO_LONG, folder);
    LogResultLine(*m_log, false, IDS_LINE_CANNOT_LIST, folder + L" (" + SystemReason(error, m_log->Texts()) + L")");
}

int CFileMoleImpl::VisitEntry(const std::wstring& folder, const WIN32_FIND_DATAW& entry, int subFolders,
                              std::vector<Listing>& open) {
    // "." and ".." refer to this folder and its parent, which are not entries of the walk.
    if (IsDotEntry(entry.cFileName)) return 0;

    const std::wstring fullPath = folder + entry.cFileName;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_found = &entry;
        const int failures = HandleFile(fullPath);
        m_found = nullptr;
        return failures;
    }
    if (!subFolders) return 0;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && filekinds::IsLinkReparseTag(entry.dwReserved0))
        return SkipLink(fullPath);
    return EnterFolder(fullPath + L'\\', open);
}
