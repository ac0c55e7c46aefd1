#include "PathList.h"

#include <windows.h>

#include "framework/FileContents.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "ListFileText.h"

namespace {

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
