#pragma once
// Deletes, to the recycle bin, every file whose extension is in a list; or, for a preview,
// lists each with its size and changes nothing.
#include <string>
#include <vector>

#include "run/FileMoleImpl.h"
#include "run/ToolRun.h"
#include "CleanerPreview.h"

class CEngine_ExtCleaner : public CFileMoleImpl {
public:
    using CFileMoleImpl::CFileMoleImpl;

    ResultCode OnFile(const std::wstring& path) override;
    ResultCode OnFolder(const std::wstring&) override { return kResultOk; }

    // Takes "|"-separated text; empty pieces are dropped, case does not matter.
    void SetExtensions(std::wstring_view text);
    const std::vector<std::wstring>& Extensions() const { return m_extensions; }
    // From now on OnFile adds each file it would delete to `preview` instead.
    void PreviewInto(CCleanerPreview* preview) { m_preview = preview; }

    // Sends `path` to the recycle bin, with its line; `size` counts as freed.
    ResultCode Recycle(const std::wstring& path, uint64_t size);

private:
    bool IsListed(const std::wstring& path) const;
    // The file as the walk found it, else as it is now.
    bool Found(const std::wstring& path, PreviewedFile& file) const;

    std::vector<std::wstring> m_extensions;
    CCleanerPreview* m_preview = nullptr;
};

// The cleaner's options dialog, owned by `owner`; after OK the job that cleans `paths`
// on the worker, after Preview the job that lists what it would delete (and offers
// `run` the deletion of those as its follow-up), else an empty job.
CToolRun::Job AskExtCleaner(HWND owner, const std::vector<std::wstring>& paths, CToolRun& run);
