#pragma once
// Sets the creation, last-access and last-write times of files and folders to one moment.
#include "FileMoleImpl.h"

class CEngine_TimeChanger : public CFileMoleImpl {
public:
    ResultCode OnFile(const char* path) override;
    ResultCode OnFolder(const char* path) override;

    // Converts a local moment to UTC with the time-zone rules in force at that moment.
    void SetMoment(const SYSTEMTIME& local);
    const FILETIME& FileTime() const { return m_fileTime; }

private:
    ResultCode SetTimes(const char* path, DWORD flagsAndAttributes);

    FILETIME m_fileTime = {};
};

// The fixed moment of the options dialog: April 1, 2000, 00:00:00, local time.
SYSTEMTIME FixedMoment();

// The time changer's run: options dialog, moment, walk, summary. E_FAIL when the dialog
// was closed without OK.
ResultCode RunTimeChanger(CEngine_TimeChanger& engine);
