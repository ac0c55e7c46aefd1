#include "FileMoleImpl.h"

#include <cstdio>
#include <cstring>

#include "../framework/Handles.h"
#include "LogSink.h"

namespace {

bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

// A path that does not fit the walker's buffers is named in the log and counted.
int ReportTooLong(const char* folder, const char* name) {
    char line[2 * MAX_PATH + 16];
    snprintf(line, sizeof(line), "%s%s", folder, name);
    LogResultLine(false, "Path too long - ", line);
    return 1;
}

}  // namespace

int CFileMoleImpl::WalkFolder(char* path, int subFolders, EntryAttributes attributes) {
    const DWORD pathAttributes = GetFileAttributesA(path);
    if (!(pathAttributes & FILE_ATTRIBUTE_DIRECTORY)) return 1;

    size_t length = strlen(path);
    if (length == 0 || path[length - 1] != '\\') {
        // The pattern ("\\*") must still fit MAX_PATH characters.
        if (length + 2 > MAX_PATH) return ReportTooLong(path, "\\");
        path[length++] = '\\';
        path[length] = '\0';
    }
    if (length + 1 > MAX_PATH) return ReportTooLong(path, "*");

    const int folderFailures = OnFolder(path) < 0 ? 1 : 0;
    const int entryFailures = WalkEntries(path, subFolders, attributes);
    // A folder that cannot be enumerated counts once, whatever OnFolder said.
    return entryFailures < 0 ? 1 : folderFailures + entryFailures;
}

// Returns -1 when the enumeration cannot start.
int CFileMoleImpl::WalkEntries(const char* folder, int subFolders, EntryAttributes attributes) {
    char pattern[MAX_PATH + 1];
    snprintf(pattern, sizeof(pattern), "%s*", folder);

    WIN32_FIND_DATAA entry;
    UniqueFind find(FindFirstFileA(pattern, &entry));
    if (!find) return -1;

    int failures = 0;
    do {
        failures += VisitEntry(folder, entry, subFolders, attributes);
    } while (FindNextFileA(find.Get(), &entry));
    // Stopping on anything but the end of the folder would skip entries silently.
    if (GetLastError() != ERROR_NO_MORE_FILES) ++failures;
    return failures;
}

int CFileMoleImpl::VisitEntry(const char* folder, const WIN32_FIND_DATAA& entry, int subFolders,
                              EntryAttributes attributes) {
    // "." and ".." refer to this folder and its parent, which are not entries of the walk.
    if (IsDotEntry(entry.cFileName)) return 0;

    char fullPath[kPathBufferSize];
    if (strlen(folder) + strlen(entry.cFileName) > MAX_PATH) return ReportTooLong(folder, entry.cFileName);
    snprintf(fullPath, sizeof(fullPath), "%s%s", folder, entry.cFileName);

    if (attributes == EntryAttributes::Normalise) SetFileAttributesA(fullPath, FILE_ATTRIBUTE_NORMAL);

    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return OnFile(fullPath) < 0 ? 1 : 0;
    if (!subFolders) return 0;
    return WalkFolder(fullPath, subFolders, attributes);
}
