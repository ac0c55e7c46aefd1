#include "Engine_ExtCleaner.h"

#include <shellapi.h>

#include "text/LongPath.h"
#include "text/WideText.h"
#include "ExtDlg.h"
#include "ExtensionList.h"
#include "framework/RememberedChoices.h"
#include "log/LogSink.h"
#include "run/ToolRun.h"
#include "log/RunVerdict.h"
#include "resource.h"

namespace {

// The settings value that keeps the dialog's last choices.
constexpr const wchar_t* kCleanerChoices = L"Cleaner";

// From the last dot of the last name on, as the shell tells a file's type; empty when
// the name has no dot.
std::wstring_view ExtensionOf(const std::wstring& path) {
    const size_t nameStart = path.find_last_of(L'\\') + 1;
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < nameStart) return {};
    return std::wstring_view(path).substr(dot);
}

// The shell's own codes (DE_PATHTOODEEP, DE_FILENAMETOOLONG) for a path it will not take
// for its length: Windows documents SHFileOperationW for paths within MAX_PATH only.
constexpr int kShellPathTooDeep = 0x79;
constexpr int kShellFileNameTooLong = 0x81;

// The shell's return code as the file-system error it stands for, where it is one.
DWORD ShellError(int code) {
    if (code == kShellPathTooDeep || code == kShellFileNameTooLong) return ERROR_FILENAME_EXCED_RANGE;
    return DWORD(code);
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

void CEngine_ExtCleaner::SetExtensions(std::wstring_view text) {
    m_extensions.clear();
    for (const std::u16string& piece : SplitExtensions(ToUtf16(text))) m_extensions.push_back(ToWide(piece));
}

bool CEngine_ExtCleaner::IsListed(const std::wstring& path) const {
    const std::wstring_view extension = ExtensionOf(path);
    for (const std::wstring& entry : m_extensions)
        if (SameIgnoringCase(entry, extension)) return true;
    return false;
}

bool CEngine_ExtCleaner::Found(const std::wstring& path, PreviewedFile& file) const {
    const WIN32_FIND_DATAW* entry = FoundEntry();
    if (!entry) return StampOfFile(path, file);
    file.path = path;
    file.size = (uint64_t(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow;
    file.written = entry->ftLastWriteTime;
    return true;
}

ResultCode CEngine_ExtCleaner::OnFile(const std::wstring& path) {
    if (!IsListed(path)) return kResultOk;
    PreviewedFile file;
    const bool found = Found(path, file);
    if (!m_preview) return Recycle(path, file.size);
    if (!found) return ReportFailure(IDS_LINE_DELETE_FAILED, path, GetLastError());
    Log().AppendLine(Texts().Format(IDS_LINE_WOULD_DELETE, {path, FormatByteSize(file.size)}));
    Log().NoteTally(TallyKind::Previewed);
    Log().NoteFreed(file.size);
    m_preview->Add(std::move(file));
    return kResultOk;
}

ResultCode CEngine_ExtCleaner::Recycle(const std::wstring& path, uint64_t size) {
    // Gone since the walk saw it: the shell would take a file it cannot recycle for one
    // to destroy, and ask about it.
    if (GetFileAttributesW(FileSystemPath(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        return ReportFailure(IDS_LINE_DELETE_FAILED, path, GetLastError());

    // The source is a list of names ended by two NULs. A link is deleted as itself.
    std::wstring source = path;
    source.append(2, L'\0');

    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.pTo = nullptr;
    // A file that cannot go to the recycle bin (a drive without one) would be destroyed
    // for good: the shell asks first.
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI | FOF_WANTNUKEWARNING;  // 0x4454
    const int error = SHFileOperationW(&operation);
    const bool deleted = error == 0 && !operation.fAnyOperationsAborted;
    // A path the shell refuses for its length stays where it is, with its reason.
    if (!deleted) return ReportFailure(IDS_LINE_DELETE_FAILED, path, ShellError(error));
    LogResultLine(Log(), true, IDS_LINE_DELETE, path);
    Log().NoteTally(TallyKind::Deleted);
    Log().NoteFreed(size);
    return kResultOk;
}

CToolRun::Job AskExtCleaner(HWND owner, const std::vector<std::wstring>& paths, CToolRun& run) {
    CExtDlg dialog;
    CRememberedChoices choices(kCleanerChoices);
    dialog.m_extensions = choices.Text(L"extensions", CExtDlg::kDefaultExtensions);
    dialog.m_subFolders = choices.Flag(L"subfolders", dialog.m_subFolders);
    if (dialog.DoModal(owner) != IDOK) return nullptr;
    choices.SetText(L"extensions", dialog.m_extensions);
    choices.SetFlag(L"subfolders", dialog.m_subFolders);
    choices.Save();
    WalkOptions options;
    options.subFolders = dialog.m_subFolders;
    options.filesCount = true;
    const std::wstring extensions = dialog.m_extensions;
    if (!dialog.m_preview) {
        return [paths, options, extensions](CLogSink& log, const CStopRequest& stop) {
            CEngine_ExtCleaner engine(log, stop);
            engine.SetExtensions(extensions);
            return WalkPathList(engine, paths, options);
        };
    }
    auto preview = std::make_shared<CCleanerPreview>();
    run.SetCountWording(CountWording::CleanerPreview);
    run.OfferFollowUp([preview, extensions](CLogSink& log, const CStopRequest& stop) {
        CEngine_ExtCleaner engine(log, stop);
        engine.SetExtensions(extensions);
        return preview->DeleteThese(engine, log);
    });
    return [paths, options, extensions, preview](CLogSink& log, const CStopRequest& stop) {
        CEngine_ExtCleaner engine(log, stop);
        engine.SetExtensions(extensions);
        engine.PreviewInto(preview.get());
        const RunTally tally = WalkPathList(engine, paths, options);
        log.AppendLine(PreviewSummary(preview->Files().size(), preview->Bytes(), log.Texts().Ui()));
        return tally;
    };
}
