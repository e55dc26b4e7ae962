// CShellExtClassFactory: the class factory that DllGetClassObject hands out.
#pragma once

#include <windows.h>
#include <objbase.h>

class CShellExtClassFactory : public IClassFactory {
public:
    CShellExtClassFactory();
    virtual ~CShellExtClassFactory();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    LONG m_cRef;
};
