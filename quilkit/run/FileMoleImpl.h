#pragma once
// The walker that the file tools share, and the engine interface they implement. An
// engine writes to the log and watches the stop request it was given; it reaches for
// nothing process-wide. Paths are whole and of any length; the walk never leaves the
// selection through a directory link.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "log/LogSink.h"
#include "FilePool.h"
#include "ResultCode.h"
#include "StopRequest.h"

class CFileMoleImpl {
public:
    CFileMoleImpl(CLogSink& log, const CStopRequest& stop) : m_log(&log), m_stop(stop) {}
    virtual ~CFileMoleImpl() = default;

    virtual ResultCode OnFile(const std::wstring& path) = 0;
    virtual ResultCode OnFolder(const std::wstring& path) = 0;
    // After the last entry of a walked folder; the path ends in a backslash.
    virtual void OnFolderWalked(const std::wstring& /*path*/) {}
    // A selected path that is no folder; 1 when it failed, else 0.
    virtual int HandleSelectedFile(const std::wstring& path) { return HandleFile(path); }

    // Walks a folder depth-first, pre-order, until a stop is requested. Returns the
    // number of failures. The walk changes nothing on disk itself: no attribute of an
    // entry, nothing beyond what the engine does. Its depth is bounded by the length of
    // a path alone: the open folders wait on a list, not on the stack.
    int WalkFolder(const std::wstring& path, int subFolders);

    // OnFile or OnFolder with the progress noted; 1 when it failed, else 0 (a file handed
    // over counts once released: FinishHandedOver).
    int HandleFile(const std::wstring& path);
    int HandleFolder(const std::wstring& path);
    // A directory link (junction, symbolic link, mount point) named and left alone: its
    // target lies outside what the user selected. Not a failure.
    int SkipLink(const std::wstring& path);
    // "Not found - " for a selected path that does not exist; one failure.
    int ReportNotFound(const std::wstring& path);

    // When every one of `paths` is a file, their number is the run's total.
    void NoteTotalOfFiles(const std::vector<std::wstring>& paths);

    bool StopRequested() const { return m_stop.IsRequested(); }
    const CStopRequest& StopRequestOf() const { return m_stop; }
    // The selected path (by its index) that the engine works on from now on.
    void BeginSelected(size_t index) { m_selected = index; }
    // Whether a stop left the selected path unfinished; a file handed over counts once released.
    bool WasCutShort() const { return m_cutShort.count(m_selected) != 0; }
    void NoteCutShort() { m_cutShort.insert(m_selected); }
    // How many selected paths a stop left unfinished.
    int SelectedCutShort() const { return int(m_cutShort.size()); }
    // Waits for the files handed over and releases them; returns their failures not yet
    // returned.
    int FinishHandedOver();

protected:
    CLogSink& Log() const { return *m_log; }
    // The words of the log's lines.
    const CRunTexts& Texts() const { return m_log->Texts(); }
    // Files may be handed over to `pool`, whose log takes the engine's lines from now on.
    void WorkThrough(CFilePool& pool) {
        m_pool = &pool;
        m_log = &pool.Log();
    }
    // Hands a file's work over (see CFilePool); once released, `then` sees its result, and
    // it counts as OnFile's would. Returns what OnFile returns meanwhile.
    ResultCode HandOver(CFilePool::Work work, CFilePool::Finish then = nullptr);
    // The failure line of `path`: "Path too long - " when the system refused the path for
    // its length (`error`), else the line text `prefixId`. Returns kResultFail.
    ResultCode ReportFailure(UINT prefixId, const std::wstring& path, DWORD error);
    // The walk's find data of the file OnFile was given; null for a selected file.
    const WIN32_FIND_DATAW* FoundEntry() const { return m_found; }

private:
    struct Listing;
    int WalkKnownFolder(std::wstring path, int subFolders);
    int EnterFolder(const std::wstring& folder, std::vector<Listing>& open);
    int LeaveFolder(std::vector<Listing>& open);
    int VisitEntry(const std::wstring& folder, const WIN32_FIND_DATAW& entry, int subFolders,
                   std::vector<Listing>& open);
    void ReportUnlistable(const std::wstring& folder, DWORD error);

    void CountResult(ResultCode result, size_t selected);

    CLogSink* m_log;
    const CStopRequest& m_stop;
    CFilePool* m_pool = nullptr;
    size_t m_selected = 0;
    std::set<size_t> m_cutShort;  // selected paths
    int m_lateFailures = 0;
    const WIN32_FIND_DATAW* m_found = nullptr;
};

// The looks at the file system below may wait as long as a read (a share that stops
// answering): each is made in a read that `stop` cancels, and fails with
// ERROR_OPERATION_ABORTED when it was.

// GetFileAttributesW's answer for `path`.
DWORD AttributesOf(const std::wstring& path, const CStopRequest& stop);

// Whether a folder with `attributes` at `path` is a link to somewhere else: a reparse
// point that names another object. Other reparse points (cloud files, projected or
// deduplicated folders) are folders of the user's.
bool IsFolderLink(const std::wstring& path, DWORD attributes, const CStopRequest& stop);

// Whether the data of the file at `path` is not on this computer (a cloud placeholder, an
// offline file): reading it would download or recall it first.
bool IsDataElsewhere(const std::wstring& path, const CStopRequest& stop);

// Whether a failed look at a path means that nothing is there.
bool IsNotFoundError(DWORD error);
