#pragma once
// The class object of each of the DLL's classes: the classic context-menu handler and
// Windows 11's command. It makes its objects through `create`.
#include <windows.h>
#include <unknwn.h>

class CClassFactory final : public IClassFactory {
public:
    // A new object of the class, with one reference, or null when memory ran out.
    using Create = IUnknown* (*)();
    explicit CClassFactory(Create create);

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory();
    LONG m_refCount = 1;
    const Create m_create;
};
