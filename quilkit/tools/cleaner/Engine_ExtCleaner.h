#pragma once
// Deletes, to the recycle bin, every file whose extension is in a list.
#include <string>
#include <vector>

#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"

class CEngine_ExtCleaner : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }

    // Takes "|"-separated text; empty pieces are dropped, case does not matter.
    void SetExtensions(std::wstring_view text);
    const std::vector<std::wstring>& Extensions() const { return m_extensions; }

private:
    bool IsListed(const std::wstring& path) const;

    std::vector<std::wstring> m_extensions;
};

// The cleaner's options dialog, owned by `owner`; after OK the job that cleans `paths`
// on the worker, else an empty job.
CToolRun::Job AskExtCleaner(HWND owner, const std::vector<std::wstring>& paths);
