#include "FileMoleImpl.h"

#include <cstdio>
#include <cstring>

#include "../framework/Handles.h"

namespace {

bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

}  // namespace

void LogResultLine(CLogSink& log, bool success, const char* prefix, const char* path) {
    if (success)
        log.AppendSuccess(prefix);
    else
        log.AppendError(prefix);
    log.AppendLine(path);
}

int CFileMoleImpl::HandleFile(const char* path) {
    m_log.NoteCurrent(path);
    const ResultCode result = OnFile(path);
    if (result != kResultStopped) m_log.NoteDone(result < 0);
    return result < 0 ? 1 : 0;
}

int CFileMoleImpl::HandleFolder(const char* path) {
    m_log.NoteCurrent(path);
    const bool failed = OnFolder(path) < 0;
    if (failed) m_log.NoteDone(true);
    return failed ? 1 : 0;
}

int CFileMoleImpl::ReportTooLong(const char* folder, const char* name) {
    char line[2 * MAX_PATH + 16];
    snprintf(line, sizeof(line), "%s%s", folder, name);
    LogResultLine(m_log, false, "Path too long - ", line);
    m_log.NoteDone(true);
    return 1;
}

int CFileMoleImpl::WalkFolder(char* path, int subFolders) {
    const DWORD pathAttributes = GetFileAttributesA(path);
    if (!(pathAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_log.NoteDone(true);
        return 1;
    }
    return WalkKnownFolder(path, subFolders);
}

// A folder that the caller knows to be one: sub-folders met in a walk need no second
// look at their attributes.
int CFileMoleImpl::WalkKnownFolder(char* path, int subFolders) {
    if (StopRequested()) return 0;
    size_t length = strlen(path);
    if (length == 0 || path[length - 1] != '\\') {
        // The pattern ("\\*") must still fit MAX_PATH characters.
        if (length + 2 > MAX_PATH) return ReportTooLong(path, "\\");
        path[length++] = '\\';
        path[length] = '\0';
    }
    if (length + 1 > MAX_PATH) return ReportTooLong(path, "*");

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
int CFileMoleImpl::WalkEntries(const char* folder, int subFolders) {
    char pattern[MAX_PATH + 1];
    snprintf(pattern, sizeof(pattern), "%s*", folder);

    WIN32_FIND_DATAA entry;
    UniqueFind find(
        FindFirstFileExA(pattern, FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return -1;

    int failures = 0;
    do {
        if (StopRequested()) return failures;
        failures += VisitEntry(folder, entry, subFolders);
    } while (FindNextFileA(find.Get(), &entry));
    // Stopping on anything but the end of the folder would skip entries silently.
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        m_log.NoteDone(true);
        ++failures;
    }
    find.Reset();
    if (!StopRequested()) OnFolderWalked(folder);
    return failures;
}

int CFileMoleImpl::VisitEntry(const char* folder, const WIN32_FIND_DATAA& entry, int subFolders) {
    // "." and ".." refer to this folder and its parent, which are not entries of the walk.
    if (IsDotEntry(entry.cFileName)) return 0;

    char fullPath[kPathBufferSize];
    if (strlen(folder) + strlen(entry.cFileName) > MAX_PATH) return ReportTooLong(folder, entry.cFileName);
    snprintf(fullPath, sizeof(fullPath), "%s%s", folder, entry.cFileName);

    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return HandleFile(fullPath);
    if (!subFolders) return 0;
    return WalkKnownFolder(fullPath, subFolders);
}
