#include "FileMoleImpl.h"

#include "framework/Handles.h"
#include "text/LongPath.h"

namespace {

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

}  // namespace

void LogResultLine(CLogSink& log, bool success, std::wstring_view prefix, std::wstring_view path) {
    if (success)
        log.AppendSuccess(prefix);
    else
        log.AppendError(prefix);
    log.AppendLine(path);
}

ResultCode CFileMoleImpl::ReportFailure(std::wstring_view prefix, const std::wstring& path, DWORD error) {
    LogResultLine(m_log, false, IsPathTooLongError(error) ? L"Path too long - " : prefix, path);
    return kResultFail;
}

int CFileMoleImpl::HandleFile(const std::wstring& path) {
    m_log.NoteCurrent(path);
    const ResultCode result = OnFile(path);
    if (result == kResultOk || result < 0) m_log.NoteDone(result < 0);
    return result < 0 ? 1 : 0;
}

int CFileMoleImpl::HandleFolder(const std::wstring& path) {
    m_log.NoteCurrent(path);
    const bool failed = OnFolder(path) < 0;
    if (failed) m_log.NoteDone(true);
    return failed ? 1 : 0;
}

int CFileMoleImpl::SkipLink(const std::wstring& path) {
    m_log.AppendLine(L"Link skipped - " + path);
    return 0;
}

int CFileMoleImpl::WalkFolder(const std::wstring& path, int subFolders) {
    const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_log.NoteDone(true);
        return 1;
    }
    if (IsDirectoryLink(attributes)) return SkipLink(path);
    return WalkKnownFolder(path, subFolders);
}

// A folder that the caller knows to be one and no link: sub-folders met in a walk need
// no second look at their attributes.
int CFileMoleImpl::WalkKnownFolder(std::wstring path, int subFolders) {
    if (StopRequested()) return 0;
    if (path.empty() || path.back() != L'\\') path += L'\\';

    const int folderFailures = HandleFolder(path);
    const int entryFailures = WalkEntries(path, subFolders);
    // A folder that cannot be enumerated counts once, whatever OnFolder said.
    if (entryFailures < 0) {
        if (!folderFailures) m_log.NoteDone(true);
        return 1;
    }
    return folderFailures + entryFailures;
}

// Returns -1 when the enumeration cannot start.
int CFileMoleImpl::WalkEntries(const std::wstring& folder, int subFolders) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileExW(FileSystemPath(folder + L'*').c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return ReportUnreadableFolder(folder);

    int failures = 0;
    do {
        if (StopRequested()) return failures;
        failures += VisitEntry(folder, entry, subFolders);
    } while (FindNextFileW(find.Get(), &entry));
    // Stopping on anything but the end of the folder would skip entries silently.
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        m_log.NoteDone(true);
        ++failures;
    }
    find.Reset();
    if (!StopRequested()) OnFolderWalked(folder);
    return failures;
}

int CFileMoleImpl::ReportUnreadableFolder(const std::wstring& folder) {
    // Only a refused length is worth a line of its own: the folder's name is the cause.
    if (IsPathTooLongError(GetLastError())) LogResultLine(m_log, false, L"Path too long - ", folder);
    return -1;
}

int CFileMoleImpl::VisitEntry(const std::wstring& folder, const WIN32_FIND_DATAW& entry, int subFolders) {
    // "." and ".." refer to this folder and its parent, which are not entries of the walk.
    if (IsDotEntry(entry.cFileName)) return 0;

    const std::wstring fullPath = folder + entry.cFileName;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return HandleFile(fullPath);
    if (!subFolders) return 0;
    if (IsDirectoryLink(entry.dwFileAttributes)) return SkipLink(fullPath);
    return WalkKnownFolder(fullPath, subFolders);
}
