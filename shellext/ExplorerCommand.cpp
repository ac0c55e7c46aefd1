#include "ExplorerCommand.h"

#include <shlwapi.h>

#include <new>
#include <string>

#include "CommandEnum.h"
#include "FlintPop.h"
#include "MenuItems.h"
#include "Selection.h"
#include "text/LongPath.h"

namespace {

// Windows 11's menu shows no access keys: "&&" stays as "&", a single "&" goes, and so
// does an access key written after the text, as Japanese menus write it ("(&H)"), whole.
std::wstring WithoutAccessKey(const std::wstring& text) {
    std::wstring plain;
    for (size_t at = 0; at < text.size(); ++at) {
        const bool keyAfterText =
            text.compare(at, 2, L"(&") == 0 && at + 3 < text.size() && text[at + 2] != L'&' && text[at + 3] == L')';
        if (keyAfterText) {
            at += 3;
            continue;
        }
        if (text[at] == L'&' && ++at == text.size()) break;
        plain += text[at];
    }
    return plain;
}

HRESULT CopyToShell(const std::wstring& text, LPWSTR* copy) {
    if (!copy) return E_POINTER;
    return SHStrDupW(text.c_str(), copy);
}

}  // namespace

CExplorerCommand::CExplorerCommand() : m_tool(-1) { DllAddRef(); }

CExplorerCommand::CExplorerCommand(UINT tool) : m_tool(static_cast<int>(tool)) { DllAddRef(); }

CExplorerCommand::~CExplorerCommand() { DllRelease(); }

IFACEMETHODIMP CExplorerCommand::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IExplorerCommand)) {
        *object = static_cast<IExplorerCommand*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP_(ULONG) CExplorerCommand::AddRef() { return InterlockedIncrement(&m_refCount); }

IFACEMETHODIMP_(ULONG) CExplorerCommand::Release() {
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) delete this;
    return count;
}

IFACEMETHODIMP CExplorerCommand::GetTitle(IShellItemArray*, LPWSTR* name) {
    if (name) *name = nullptr;
    try {
        // The root is the classic menu's submenu.
        const UINT title = IsRoot() ? IDS_SUBMENU : kFlintPopCommands[m_tool].text;
        return CopyToShell(WithoutAccessKey(FlintPopTexts().Text(title)), name);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// VexQuilkit's own icon, from the program the commands start.
IFACEMETHODIMP CExplorerCommand::GetIcon(IShellItemArray*, LPWSTR* icon) {
    if (icon) *icon = nullptr;
    if (!IsRoot()) return E_NOTIMPL;
    try {
        const std::wstring folder = ParentFolder(ModuleFileName(FlintPopModule()));
        if (folder.empty()) return E_FAIL;
        return CopyToShell(folder + L"\\VexQuilkit.exe,0", icon);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CExplorerCommand::GetToolTip(IShellItemArray*, LPWSTR* infoTip) {
    if (infoTip) *infoTip = nullptr;
    if (IsRoot()) return E_NOTIMPL;
    try {
        return CopyToShell(FlintPopTexts().Text(kFlintPopCommands[m_tool].help), infoTip);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CExplorerCommand::GetCanonicalName(GUID* name) {
    if (!name) return E_POINTER;
    *name = IsRoot() ? CLSID_FlintPopCommand : GUID_NULL;
    return IsRoot() ? S_OK : E_NOTIMPL;
}

// The classic menu's rule: the tools for a selection with a path in the file system. One
// such path settles it, however many items are selected.
IFACEMETHODIMP CExplorerCommand::GetState(IShellItemArray* items, BOOL, EXPCMDSTATE* state) {
    if (!state) return E_POINTER;
    *state = ECS_HIDDEN;
    try {
        CSelection selection;
        if (items && SUCCEEDED(selection.ReadItems(items, 1)) && selection.OffersTools()) *state = ECS_ENABLED;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// On a folder's background Explorer hands over the folder itself as the one item.
IFACEMETHODIMP CExplorerCommand::Invoke(IShellItemArray* items, IBindCtx*) {
    if (IsRoot()) return E_NOTIMPL;
    try {
        CSelection selection;
        const HRESULT hr = selection.ReadItems(items);
        if (FAILED(hr)) return hr;
        return selection.Start(FlintPopModule(), kFlintPopCommands[m_tool], nullptr, false);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP CExplorerCommand::GetFlags(EXPCMDFLAGS* flags) {
    if (!flags) return E_POINTER;
    *flags = IsRoot() ? ECF_HASSUBCOMMANDS : ECF_DEFAULT;
    return S_OK;
}

IFACEMETHODIMP CExplorerCommand::EnumSubCommands(IEnumExplorerCommand** commands) {
    if (!commands) return E_POINTER;
    *commands = nullptr;
    if (!IsRoot()) return E_NOTIMPL;
    *commands = new (std::nothrow) CCommandEnum();
    return *commands ? S_OK : E_OUTOFMEMORY;
}
