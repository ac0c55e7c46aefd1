#pragma once
// Sets the creation, last-access and last-write times of files and folders to one moment.
#include <string>
#include <vector>

#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"

class CEngine_TimeChanger : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring& path) override;
    void OnFolderWalked(const std::wstring& path) override;

    // Converts a local moment to UTC with the time-zone rules in force at that moment.
    void SetMoment(const SYSTEMTIME& local);
    const FILETIME& FileTime() const { return m_fileTime; }

private:
    bool Stamp(const std::wstring& path, DWORD flags) const;
    ResultCode SetTimes(const std::wstring& path, DWORD flags);

    FILETIME m_fileTime = {};
};

// The fixed moment of the options dialog: April 1, 2000, 00:00:00, local time.
SYSTEMTIME FixedMoment();

// The time changer's options dialog, owned by `owner`; after OK the job that stamps
// `paths` on the worker, else an empty job.
CToolRun::Job AskTimeChanger(HWND owner, const std::vector<std::wstring>& paths);
