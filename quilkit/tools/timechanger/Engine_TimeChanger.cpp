#include "Engine_TimeChanger.h"

#include "framework/Handles.h"
#include "framework/RememberedChoices.h"
#include "text/LongPath.h"
#include "log/LogSink.h"
#include "TimeDlg.h"
#include "run/ToolRun.h"
#include "resource.h"

namespace {

// The settings value that keeps the dialog's last choices.
constexpr const wchar_t* kTimeChangerChoices = L"TimeChanger";

}  // namespace

SYSTEMTIME FixedMoment() {
    SYSTEMTIME moment = {};
    moment.wYear = 2000;
    moment.wMonth = 4;
    moment.wDayOfWeek = 6;
    moment.wDay = 1;
    return moment;
}

void CEngine_TimeChanger::SetMoment(const SYSTEMTIME& local) {
    // LocalFileTimeToFileTime would apply the offset of the day of the run: a winter date
    // chosen in summer would land an hour off. The zone's rules for the chosen moment
    // give the instant the user meant.
    SYSTEMTIME utc = {};
    if (TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) {
        SystemTimeToFileTime(&utc, &m_fileTime);
        return;
    }
    FILETIME localFileTime = {};
    SystemTimeToFileTime(&local, &localFileTime);
    LocalFileTimeToFileTime(&localFileTime, &m_fileTime);
}

// Writing the stamps needs no more than FILE_WRITE_ATTRIBUTES, which read-only objects
// grant too; full sharing lets it stamp what Explorer or a prompt holds open. A link is
// stamped itself, never its target, which may lie outside the selection.
bool CEngine_TimeChanger::Stamp(const std::wstring& path, DWORD flags) const {
    UniqueFile object(CreateFileW(FileSystemPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return object && SetFileTime(object.Get(), &m_fileTime, &m_fileTime, &m_fileTime);
}

ResultCode CEngine_TimeChanger::SetTimes(const std::wstring& path, DWORD flags) {
    if (!Stamp(path, flags)) return ReportFailure(IDS_LINE_STAMP_FAILED, path, GetLastError());
    LogResultLine(Log(), true, IDS_LINE_STAMPED, path);
    Log().NoteTally(flags & FILE_FLAG_BACKUP_SEMANTICS ? TallyKind::FolderStamped : TallyKind::FileStamped);
    return kResultOk;
}

ResultCode CEngine_TimeChanger::OnFile(const std::wstring& path) { return SetTimes(path, 0); }

ResultCode CEngine_TimeChanger::OnFolder(const std::wstring& path) {
    return SetTimes(path, FILE_FLAG_BACKUP_SEMANTICS);
}

// Reading a folder's entries moves its last-access time: the folder's line stands where
// the folder came, and its stamps are set once more after the walk.
void CEngine_TimeChanger::OnFolderWalked(const std::wstring& path) { Stamp(path, FILE_FLAG_BACKUP_SEMANTICS); }

CToolRun::Job AskTimeChanger(HWND owner, const std::vector<std::wstring>& paths) {
    CTimeDlg dialog;
    CRememberedChoices choices(kTimeChangerChoices);
    dialog.m_fixedTime = choices.Flag(L"fixed", dialog.m_fixedTime);
    dialog.m_subFolders = choices.Flag(L"subfolders", dialog.m_subFolders);
    if (dialog.DoModal(owner) != IDOK) return nullptr;
    choices.SetFlag(L"fixed", dialog.m_fixedTime);
    choices.SetFlag(L"subfolders", dialog.m_subFolders);
    choices.Save();
    const SYSTEMTIME moment = dialog.m_fixedTime ? FixedMoment() : dialog.m_time;

    // Without sub-folders a selected folder changes only its own stamps, not its contents.
    WalkOptions options;
    options.folders = dialog.m_subFolders ? FolderHandling::Walk : FolderHandling::FolderOnly;
    options.subFolders = 1;
    options.filesCount = true;
    return [paths, options, moment](CLogSink& log, const CStopRequest& stop) {
        CEngine_TimeChanger engine(log, stop);
        engine.SetMoment(moment);
        return WalkPathList(engine, paths, options);
    };
}
