#include "CommandEnum.h"

#include <new>

#include "ExplorerCommand.h"
#include "FlintPop.h"
#include "MenuItems.h"

CCommandEnum::CCommandEnum(UINT next) : m_next(next) { DllAddRef(); }

CCommandEnum::~CCommandEnum() { DllRelease(); }

IFACEMETHODIMP CCommandEnum::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumExplorerCommand)) {
        *object = static_cast<IEnumExplorerCommand*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP_(ULONG) CCommandEnum::AddRef() { return InterlockedIncrement(&m_refCount); }

IFACEMETHODIMP_(ULONG) CCommandEnum::Release() {
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) delete this;
    return count;
}

// S_FALSE when fewer than `count` were left; a failure hands over none.
IFACEMETHODIMP CCommandEnum::Next(ULONG count, IExplorerCommand** commands, ULONG* fetched) {
    if (fetched) *fetched = 0;
    if (!commands || (count > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    for (; done < count && m_next < kFlintPopCommandCount; ++done, ++m_next) {
        commands[done] = new (std::nothrow) CExplorerCommand(m_next);
        if (!commands[done]) {
            for (ULONG i = 0; i < done; ++i) commands[i]->Release();
            m_next -= done;
            return E_OUTOFMEMORY;
        }
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

IFACEMETHODIMP CCommandEnum::Skip(ULONG count) {
    const UINT left = kFlintPopCommandCount - m_next;
    m_next += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

IFACEMETHODIMP CCommandEnum::Reset() {
    m_next = 0;
    return S_OK;
}

IFACEMETHODIMP CCommandEnum::Clone(IEnumExplorerCommand** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) CCommandEnum(m_next);
    return *copy ? S_OK : E_OUTOFMEMORY;
}
