#include "CleanerPreview.h"

#include "text/LongPath.h"
#include "Engine_ExtCleaner.h"
#include "resource.h"

bool StampOfFile(const std::wstring& path, PreviewedFile& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp.path = path;
    stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.written = data.ftLastWriteTime;
    return true;
}

uint64_t CCleanerPreview::Bytes() const {
    uint64_t bytes = 0;
    for (const PreviewedFile& file : m_files) bytes += file.size;
    return bytes;
}

RunTally CCleanerPreview::DeleteThese(CEngine_ExtCleaner& engine, CLogSink& log) const {
    RunTally tally;
    log.NoteTotal(m_files.size());
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (engine.StopRequested()) {
            tally.notDone = int(m_files.size() - i);
            break;
        }
        const PreviewedFile& shown = m_files[i];
        log.NoteCurrent(shown.path);
        PreviewedFile now;
        UINT reason = 0;
        if (!StampOfFile(shown.path, now))
            reason = IDS_LINE_GONE_SINCE_PREVIEW;
        else if (now.size != shown.size || CompareFileTime(&now.written, &shown.written) != 0)
            reason = IDS_LINE_CHANGED_SINCE_PREVIEW;
        bool failed = true;
        if (reason)
            LogResultLine(log, false, reason, shown.path);
        else
            failed = engine.Recycle(shown.path, shown.size) < 0;
        log.NoteDone(failed);
        tally.failures += failed ? 1 : 0;
    }
    return tally;
}
