#include "ContextMenu.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <new>
#include <string>

#include "FlintPop.h"
#include "framework/Handles.h"
#include "text/WideText.h"

namespace {

struct InterfaceEntry {
    const IID* iid;
    ptrdiff_t offset;
};

template <typename Interface>
ptrdiff_t OffsetOf(CFlintPopMenu* object) {
    return reinterpret_cast<char*>(static_cast<Interface*>(object)) - reinterpret_cast<char*>(object);
}

// The index into kFlintPopCommands of the item with this verb, or -1.
int CommandNamed(const wchar_t* verb) {
    for (UINT i = 0; i < kFlintPopCommandCount; ++i)
        if (lstrcmpiW(verb, kFlintPopCommands[i].verb) == 0) return static_cast<int>(i);
    return -1;
}

// Copies as much of `text` as the host's buffer takes, in the form that `type` asks for.
HRESULT CopyText(const wchar_t* text, UINT type, CHAR* name, UINT size) {
    const int capacity = static_cast<int>(std::min<UINT>(size, INT_MAX));
    if (type & GCS_UNICODE) {
        lstrcpynW(reinterpret_cast<wchar_t*>(name), text, capacity);
        return S_OK;
    }
    std::string narrow;
    if (!ToCodePageExactly(CP_ACP, text, narrow)) return E_FAIL;
    lstrcpynA(name, narrow.c_str(), capacity);
    return S_OK;
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
        m_selection.Clear();
        const HRESULT hr = ReadSelection(folder, data);
        if (FAILED(hr)) m_selection.Clear();
        return hr;
    } catch (const std::bad_alloc&) {
        m_selection.Clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT CFlintPopMenu::ReadSelection(PCIDLIST_ABSOLUTE folder, IDataObject* data) {
    // The folder's background: the folder itself is the selection.
    const HRESULT hr = data ? m_selection.ReadDroppedFiles(data) : m_selection.ReadFolder(folder);
    if (FAILED(hr)) return hr;
    return m_selection.OffersTools() ? S_OK : E_FAIL;
}

IFACEMETHODIMP CFlintPopMenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    if ((flags & CMF_DEFAULTONLY) || !m_selection.OffersTools())
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    if (lastId < firstId || lastId - firstId < kFlintPopCommandCount - 1)
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    try {
        return InsertSubmenu(menu, index, firstId);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CFlintPopMenu::InsertSubmenu(HMENU menu, UINT index, UINT firstId) const {
    const CUiTexts texts = FlintPopTexts();
    UniqueMenu submenu(CreatePopupMenu());
    if (!submenu) return HRESULT_FROM_WIN32(GetLastError());
    for (UINT i = 0; i < kFlintPopCommandCount; ++i)
        if (!AppendMenuW(submenu.Get(), MF_STRING, firstId + i, texts.Text(kFlintPopCommands[i].text).c_str()))
            return HRESULT_FROM_WIN32(GetLastError());

    std::wstring submenuText = texts.Text(IDS_SUBMENU);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_SUBMENU | MIIM_STRING;
    item.hSubMenu = submenu.Get();
    item.dwTypeData = &submenuText[0];
    if (!InsertMenuItemW(menu, index, TRUE, &item)) return HRESULT_FROM_WIN32(GetLastError());
    // The host's menu owns the submenu now.
    submenu.Release();
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, kFlintPopCommandCount);
}

int CFlintPopMenu::CommandOf(const CMINVOKECOMMANDINFO* info) const {
    const auto* infoEx = reinterpret_cast<const CMINVOKECOMMANDINFOEX*>(info);
    const bool unicode = info->cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info->fMask & CMIC_MASK_UNICODE);
    // A verb is a string unless its pointer fits 16 bits: HIWORD would also take a string
    // whose address has bits 16 to 31 clear, common on 64-bit, for an offset.
    if (unicode && !IS_INTRESOURCE(infoEx->lpVerbW)) return CommandNamed(infoEx->lpVerbW);
    if (!IS_INTRESOURCE(info->lpVerb)) {
        std::wstring verb;
        return FromCodePageExactly(CP_ACP, info->lpVerb, verb) ? CommandNamed(verb.c_str()) : -1;
    }
    const UINT offset = LOWORD(info->lpVerb);
    return offset < kFlintPopCommandCount ? static_cast<int>(offset) : -1;
}

IFACEMETHODIMP CFlintPopMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO)) return E_INVALIDARG;
    const int command = CommandOf(info);
    if (command < 0) return E_FAIL;
    try {
        return m_selection.Start(FlintPopModule(), kFlintPopCommands[command], info->hwnd,
                                 (info->fMask & CMIC_MASK_FLAG_NO_UI) != 0);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CFlintPopMenu::GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* name, UINT size) {
    if (command >= kFlintPopCommandCount) return E_INVALIDARG;
    try {
        switch (type & ~GCS_UNICODE) {
            case GCS_VALIDATEA:
                return S_OK;
            case GCS_VERBA:
                if (!name || size == 0) return E_INVALIDARG;
                return CopyText(kFlintPopCommands[command].verb, type, name, size);
            case GCS_HELPTEXTA:
                if (!name || size == 0) return E_INVALIDARG;
                return CopyText(FlintPopTexts().Text(kFlintPopCommands[command].help).c_str(), type, name, size);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return E_NOTIMPL;
}
