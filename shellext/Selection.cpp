#include "Selection.h"

#include <shellapi.h>
#include <shlobj.h>

#include "Launch.h"
#include "framework/Handles.h"
#include "ShellHandles.h"
#include "text/Utf8Text.h"
#include "text/WideText.h"

HRESULT CSelection::ReadFolder(PCIDLIST_ABSOLUTE folder) {
    if (!folder) return E_FAIL;
    wchar_t* name = nullptr;
    const HRESULT hr = SHGetNameFromIDList(folder, SIGDN_FILESYSPATH, &name);
    const UniqueCoTaskString path(name);
    if (FAILED(hr)) return hr;
    Add(path.Get());
    return S_OK;
}

HRESULT CSelection::ReadDroppedFiles(IDataObject* data) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
    UniqueStgMedium release(&medium);
    const auto drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
    if (!drop) return E_FAIL;
    UniqueGlobalLock unlock(medium.hGlobal);

    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring path;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        path.assign(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, &path[0], length + 1));
        Add(path);
    }
    return S_OK;
}

// Items with no path in the file system (Control Panel, a phone's folders) are passed
// over, as they are missing from the classic menu's CF_HDROP.
HRESULT CSelection::ReadItems(IShellItemArray* items, size_t enough) {
    if (!items) return E_INVALIDARG;
    DWORD count = 0;
    const HRESULT hr = items->GetCount(&count);
    if (FAILED(hr)) return hr;
    for (DWORD i = 0; i < count && m_paths.size() < enough; ++i) {
        UniqueCom<IShellItem> item;
        if (FAILED(items->GetItemAt(i, reinterpret_cast<IShellItem**>(item.Put())))) continue;
        wchar_t* name = nullptr;
        const HRESULT named = item->GetDisplayName(SIGDN_FILESYSPATH, &name);
        const UniqueCoTaskString path(name);
        if (SUCCEEDED(named)) Add(path.Get());
    }
    return S_OK;
}

HRESULT CSelection::Start(HMODULE module, const FlintPopCommand& tool, HWND owner, bool noUi) const {
    if (m_paths.empty()) return E_FAIL;
    std::wstring listFile;
    const HRESULT hr = WriteListFile(m_paths, listFile);
    if (FAILED(hr)) return hr;
    return StartQuilkit(module, tool.mode, listFile, owner, noUi);
}

void CSelection::Add(const std::wstring& path) {
    if (!path.empty()) m_paths.push_back(Utf16ToWtf8(ToUtf16(path)));
}
