#pragma once
// Deletes, to the recycle bin, every file whose extension is in a list.
#include <string>
#include <vector>

#include "FileMoleImpl.h"
#include "ToolRun.h"

class CEngine_ExtCleaner : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    ResultCode OnFile(const char* path) override;
    ResultCode OnFolder(const char*) override { return kResultOk; }

    // Splits "|"-separated text into lower-case pieces; empty pieces are dropped.
    void SetExtensions(const char* text);
    const std::vector<std::string>& Extensions() const { return m_extensions; }

private:
    bool IsListed(const char* path) const;

    std::vector<std::string> m_extensions;
};

// The cleaner's options dialog, owned by `owner`; after OK the job that cleans `paths`
// on the worker, else an empty job.
CToolRun::Job AskExtCleaner(HWND owner, const std::vector<std::string>& paths);
