#pragma once
// The class object of the context-menu handler.
#include <windows.h>
#include <unknwn.h>

class CClassFactory final : public IClassFactory {
public:
    CClassFactory();

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory();
    LONG m_refCount = 1;
};
