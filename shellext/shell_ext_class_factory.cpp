// Class factory: builds CShellExt objects; each factory counts as one object of the library.
#include "shellext/shell_ext_class_factory.h"

#include <new>

#include "shellext/shell_ext.h"
#include "shellext/varlo_globals.h"

// Born with one reference, owned by whoever created it.
CShellExtClassFactory::CShellExtClassFactory() : m_cRef(1) {
    InterlockedIncrement(&g_cRefThisDll);
}

CShellExtClassFactory::~CShellExtClassFactory() {
    InterlockedDecrement(&g_cRefThisDll);
}

STDMETHODIMP CShellExtClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return NOERROR;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::AddRef() {
    return InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::Release() {
    LONG left = InterlockedDecrement(&m_cRef);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP CShellExtClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CShellExt* ext = new (std::nothrow) CShellExt();
    if (!ext) return E_OUTOFMEMORY;
    // The creation reference is dropped after the query, so an interface the object does not
    // have leaves nothing behind.
    HRESULT hr = ext->QueryInterface(riid, ppv);
    ext->Release();
    return hr;
}

STDMETHODIMP CShellExtClassFactory::LockServer(BOOL) {
    return NOERROR;
}
