#include "FileContents.h"

#include <windows.h>

#include "Handles.h"
#include "text/LongPath.h"

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), &bytes[done], DWORD(bytes.size() - done), &read, nullptr)) return false;
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

namespace {

bool WriteTo(const std::wstring& path, DWORD disposition, const std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size() &&
           FlushFileBuffers(file.Get());
}

}  // namespace

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) { return WriteTo(path, CREATE_ALWAYS, bytes); }

bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    if (!WriteTo(temporary, CREATE_NEW, bytes)) {
        const DWORD error = GetLastError();
        // Only a file this call created is removed; CREATE_NEW fails on one that was there.
        if (error != ERROR_FILE_EXISTS) DeleteFileW(FileSystemPath(temporary).c_str());
        SetLastError(error);
        return false;
    }
    if (MoveFileExW(FileSystemPath(temporary).c_str(), FileSystemPath(path).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    DeleteFileW(FileSystemPath(temporary).c_str());
    SetLastError(error);
    return false;
}
