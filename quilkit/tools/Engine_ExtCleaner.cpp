#include "Engine_ExtCleaner.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>

#include "ExtDlg.h"
#include "LogSink.h"
#include "ToolRun.h"

namespace {

// Lower-cases letters in the system code page; double-byte characters stay whole.
std::string ToLower(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], DWORD(text.size()));
    return text;
}

}  // namespace

void CEngine_ExtCleaner::SetExtensions(const char* text) {
    m_extensions.clear();
    const char* p = text;
    while (*p) {
        while (*p == '|') ++p;
        if (!*p) break;
        const char* start = p;
        // A "|" byte that trails a lead byte belongs to that character.
        while (*p && *p != '|') p = CharNextA(p);
        m_extensions.push_back(ToLower(std::string(start, p)));
    }
}

bool CEngine_ExtCleaner::IsListed(const char* path) const {
    const std::string extension = ToLower(PathFindExtensionA(path));
    for (const std::string& entry : m_extensions)
        if (entry == extension) return true;
    return false;
}

ResultCode CEngine_ExtCleaner::OnFile(const char* path) {
    if (!IsListed(path)) return kResultOk;

    // The source is a list of names ended by two NULs.
    char source[MAX_PATH + 2] = {};
    lstrcpynA(source, path, MAX_PATH + 1);

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;  // 0x0454
    const bool deleted = SHFileOperationA(&operation) == 0;

    LogResultLine(Log(), deleted, deleted ? "Delete - " : "Failed - ", path);
    return deleted ? kResultOk : kResultFail;
}

CToolRun::Job AskExtCleaner(HWND owner, const std::vector<std::string>& paths) {
    CExtDlg dialog;
    if (dialog.DoModal(owner) != IDOK) return nullptr;
    WalkOptions options;
    options.subFolders = dialog.m_subFolders;
    return [paths, options, extensions = std::string(dialog.m_extensions)](CLogSink& log, const CStopRequest& stop) {
        CEngine_ExtCleaner engine(log, stop);
        engine.SetExtensions(extensions.c_str());
        return WalkPathList(engine, paths, options);
    };
}
