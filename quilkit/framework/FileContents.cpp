#include "FileContents.h"

#include <windows.h>

#include "Handles.h"
#include "text/LongPath.h"

namespace {

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool ReadFrom(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file, &bytes[done], DWORD(bytes.size() - done), &read, nullptr)) return false;
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size() &&
           FlushFileBuffers(file);
}

bool WriteTo(const std::wstring& path, DWORD disposition, const std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), bytes);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(FileSystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name of our own beside `path`, on its volume, as ReplaceFileW needs.
std::wstring Beside(const std::wstring& path, const wchar_t* ending) {
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + ending;
}

// The file that `path` finally names: a symbolic link's target, so that the link stays.
std::wstring FinalPath(const std::wstring& path) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file.Get(), &final[0], DWORD(final.size()), VOLUME_NAME_DOS);
    if (length >= final.size()) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(file.Get(), &final[0], DWORD(final.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= final.size()) return path;
    final.resize(length);
    return final;
}

// A new file is written where it goes; a part of one that failed is removed.
bool CreateWhole(const std::wstring& path, const std::string& bytes) {
    if (WriteTo(path, CREATE_NEW, bytes)) return true;
    const DWORD error = GetLastError();
    // CREATE_NEW fails on a file that was there: only one this call made goes.
    if (error != ERROR_FILE_EXISTS) DeleteFileW(FileSystemPath(path).c_str());
    return Fail(error);
}

// The file itself takes the text: it stays the same file, with all its names and all that
// is its own. Should the write fail part-way, its old text is put back.
bool OverwriteInPlace(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    std::string old;
    if (!file || !ReadFrom(file.Get(), old)) return false;
    const auto writeFromStart = [&](const std::string& text) {
        LARGE_INTEGER start = {};
        return SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) && WriteAll(file.Get(), text) &&
               SetEndOfFile(file.Get());
    };
    if (writeFromStart(bytes)) return true;
    const DWORD error = GetLastError();
    writeFromStart(old);
    return Fail(error);
}

// The attributes a replacement carries over. ReplaceFileW merges them itself; the new file
// is made with them too, for systems whose ReplaceFileW only renames (Wine).
DWORD KeptAttributes(DWORD attributes) {
    attributes &=
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// The new text goes to a file beside the old one, which takes the old one's place only once
// written whole; the old one waits under a backup name until then, so that no failure of
// the swap can lose it.
bool ReplaceThroughTemporary(const std::wstring& path, DWORD attributes, const std::string& bytes) {
    const std::wstring temporary = Beside(path, L".tmp"), backup = Beside(path, L".bak");
    if (!CreateWhole(temporary, bytes)) {
        const DWORD error = GetLastError();
        // A folder that takes no new file, where this one may be written: as a plain save
        // would, the file itself takes the text.
        if (error == ERROR_ACCESS_DENIED) return OverwriteInPlace(path, bytes);
        return Fail(error);
    }
    SetFileAttributesW(FileSystemPath(temporary).c_str(), KeptAttributes(attributes));
    if (ReplaceFileW(FileSystemPath(path).c_str(), FileSystemPath(temporary).c_str(), FileSystemPath(backup).c_str(), 0,
                     nullptr, nullptr)) {
        DeleteFileW(FileSystemPath(backup).c_str());
        return true;
    }
    const DWORD error = GetLastError();
    // The old file went to the backup's name, and the new one did not take its place
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2): the old one comes back.
    if (!Exists(path) && Exists(backup)) MoveFileExW(FileSystemPath(backup).c_str(), FileSystemPath(path).c_str(), 0);
    DeleteFileW(FileSystemPath(temporary).c_str());
    // The old file may not be removed or renamed (no right to delete it, or a program holds
    // it open), and is as it was: it may still take the text itself, as a plain save would.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED) return OverwriteInPlace(path, bytes);
    return Fail(error);
}

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return file && ReadFrom(file.Get(), bytes);
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) { return WriteTo(path, CREATE_ALWAYS, bytes); }

bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring target = FinalPath(path);
    BY_HANDLE_FILE_INFORMATION existing = {};
    {
        UniqueFile file(CreateFileW(FileSystemPath(target).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND ? CreateWhole(target, bytes) : false;
        if (!GetFileInformationByHandle(file.Get(), &existing)) return false;
    }
    if (existing.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_FILE_READ_ONLY);
    // A file of several names: replacing one name would part it from the others.
    if (existing.nNumberOfLinks > 1) return OverwriteInPlace(target, bytes);
    return ReplaceThroughTemporary(target, existing.dwFileAttributes, bytes);
}
