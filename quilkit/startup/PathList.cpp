#include "PathList.h"

#include <windows.h>

#include "../framework/Handles.h"
#include "../framework/LongPath.h"
#include "../framework/WideText.h"
#include "ListFileText.h"

namespace {

bool ReadWholeFile(const std::wstring& fileName, std::string& bytes) {
    UniqueFile file(CreateFileW(FileSystemPath(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

std::u16string DecodeAnsi(std::string_view bytes) { return ToUtf16(FromCodePage(CP_ACP, bytes)); }

}  // namespace

void CPathList::ReadListFile(const std::wstring& fileName) {
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        m_missingListFiles.push_back(FullPathName(fileName));
        return;
    }
    for (const std::u16string& path : ParseListFile(bytes, DecodeAnsi)) m_paths.push_back(ToWide(path));
    DeleteFileW(FileSystemPath(fileName).c_str());
}
