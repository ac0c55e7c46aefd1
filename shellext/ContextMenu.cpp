#include "ContextMenu.h"

#include <shellapi.h>

#include <new>

#include "FlintPop.h"
#include "Handles.h"
#include "Launch.h"

namespace {

struct InterfaceEntry {
    const IID* iid;
    ptrdiff_t offset;
};

template <typename Interface>
ptrdiff_t OffsetOf(CFlintPopMenu* object) {
    return reinterpret_cast<char*>(static_cast<Interface*>(object)) - reinterpret_cast<char*>(object);
}

void CopyText(const char* text, UINT type, CHAR* name, UINT size) {
    if (type & GCS_UNICODE) {
        auto* wide = reinterpret_cast<wchar_t*>(name);
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, static_cast<int>(size)) == 0 && size > 0) wide[0] = L'\0';
    } else {
        lstrcpynA(name, text, static_cast<int>(size));
    }
}

}  // namespace

CFlintPopMenu::CFlintPopMenu() { DllAddRef(); }

CFlintPopMenu::~CFlintPopMenu() { DllRelease(); }

IFACEMETHODIMP CFlintPopMenu::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    const InterfaceEntry table[] = {
        {&IID_IUnknown, OffsetOf<IShellExtInit>(this)},
        {&IID_IShellExtInit, OffsetOf<IShellExtInit>(this)},
        {&IID_IContextMenu, OffsetOf<IContextMenu>(this)},
    };
    for (const InterfaceEntry& entry : table) {
        if (IsEqualIID(riid, *entry.iid)) {
            *object = reinterpret_cast<char*>(this) + entry.offset;
            AddRef();
            return S_OK;
        }
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP_(ULONG) CFlintPopMenu::AddRef() { return InterlockedIncrement(&m_refCount); }

IFACEMETHODIMP_(ULONG) CFlintPopMenu::Release() {
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) delete this;
    return count;
}

IFACEMETHODIMP CFlintPopMenu::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY) {
    try {
        m_paths.clear();
        const HRESULT hr = ReadSelection(folder, data);
        if (FAILED(hr)) m_paths.clear();
        return hr;
    } catch (const std::bad_alloc&) {
        m_paths.clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT CFlintPopMenu::ReadSelection(PCIDLIST_ABSOLUTE folder, IDataObject* data) {
    std::string path;
    if (!data) {
        // The folder's background: the folder itself is the selection.
        wchar_t widePath[MAX_PATH + 1];
        if (!folder || !SHGetPathFromIDListW(folder, widePath) || !ToSystemCodePage(widePath, path)) return E_FAIL;
        m_paths.push_back(path);
        return S_OK;
    }

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
    HRESULT hr = E_FAIL;
    if (HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        std::wstring widePath;
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            if (length == 0) continue;
            widePath.assign(length + 1, L'\0');
            DragQueryFileW(drop, i, &widePath[0], length + 1);
            // Paths that the list file cannot carry whole are left out.
            if (ToSystemCodePage(widePath.c_str(), path) && path.size() <= kMaxListPathLength) m_paths.push_back(path);
        }
        GlobalUnlock(medium.hGlobal);
        hr = m_paths.empty() ? E_FAIL : S_OK;
    }
    ReleaseStgMedium(&medium);
    return hr;
}

IFACEMETHODIMP CFlintPopMenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) || m_paths.empty()) return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    if (lastId < firstId || lastId - firstId < kFlintPopCommandCount - 1)
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);

    UniqueMenu submenu(CreatePopupMenu());
    if (!submenu) return HRESULT_FROM_WIN32(GetLastError());
    for (UINT i = 0; i < kFlintPopCommandCount; ++i)
        if (!AppendMenuA(submenu.Get(), MF_STRING, firstId + i, kFlintPopCommands[i].text))
            return HRESULT_FROM_WIN32(GetLastError());

    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_SUBMENU | MIIM_STRING;
    item.hSubMenu = submenu.Get();
    item.dwTypeData = const_cast<char*>(kFlintPopSubmenuText);
    if (!InsertMenuItemA(menu, index, TRUE, &item)) return HRESULT_FROM_WIN32(GetLastError());
    // The host's menu owns the submenu now.
    submenu.Release();
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, kFlintPopCommandCount);
}

int CFlintPopMenu::CommandOf(const CMINVOKECOMMANDINFO* info) const {
    const auto* infoEx = reinterpret_cast<const CMINVOKECOMMANDINFOEX*>(info);
    const bool unicode = info->cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info->fMask & CMIC_MASK_UNICODE);
    // A verb is a string unless its pointer fits 16 bits: HIWORD would also take a string
    // whose address has bits 16 to 31 clear, common on 64-bit, for an offset.
    if (unicode && !IS_INTRESOURCE(infoEx->lpVerbW)) {
        char verb[64];
        if (!WideCharToMultiByte(CP_ACP, 0, infoEx->lpVerbW, -1, verb, sizeof(verb), nullptr, nullptr)) return -1;
        for (UINT i = 0; i < kFlintPopCommandCount; ++i)
            if (lstrcmpiA(verb, kFlintPopCommands[i].verb) == 0) return static_cast<int>(i);
        return -1;
    }
    if (!IS_INTRESOURCE(info->lpVerb)) {
        for (UINT i = 0; i < kFlintPopCommandCount; ++i)
            if (lstrcmpiA(info->lpVerb, kFlintPopCommands[i].verb) == 0) return static_cast<int>(i);
        return -1;
    }
    const UINT offset = LOWORD(info->lpVerb);
    return offset < kFlintPopCommandCount ? static_cast<int>(offset) : -1;
}

IFACEMETHODIMP CFlintPopMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO)) return E_INVALIDARG;
    const int command = CommandOf(info);
    if (command < 0 || m_paths.empty()) return E_FAIL;
    try {
        char listFile[MAX_PATH + 1];
        const HRESULT hr = WriteListFile(m_paths, listFile);
        if (FAILED(hr)) return hr;
        return StartQuilkit(FlintPopModule(), kFlintPopCommands[command].mode, listFile, info->hwnd,
                            (info->fMask & CMIC_MASK_FLAG_NO_UI) != 0);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CFlintPopMenu::GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* name, UINT size) {
    if (command >= kFlintPopCommandCount) return E_INVALIDARG;
    switch (type & ~GCS_UNICODE) {
        case GCS_VALIDATEA:
            return S_OK;
        case GCS_VERBA:
            if (!name || size == 0) return E_INVALIDARG;
            CopyText(kFlintPopCommands[command].verb, type, name, size);
            return S_OK;
        case GCS_HELPTEXTA:
            if (!name || size == 0) return E_INVALIDARG;
            CopyText(kFlintPopCommands[command].help, type, name, size);
            return S_OK;
    }
    return E_NOTIMPL;
}
