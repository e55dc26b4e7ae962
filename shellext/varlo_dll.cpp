// The library's entry point, its two exports and its process-wide state.
#include <windows.h>
#include <objbase.h>

#include <new>

#include "shellext/shell_ext_class_factory.h"
#include "shellext/varlo_globals.h"

LONG g_cRefThisDll = 0;
CShellExt* pShellExt = nullptr;
HINSTANCE g_hmodThisDll = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Thread notifications stay on: the statically linked runtime uses them for its
    // per-thread data.
    if (reason == DLL_PROCESS_ATTACH) g_hmodThisDll = instance;
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return g_cRefThisDll == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ZembraShellExt)) return CLASS_E_CLASSNOTAVAILABLE;
    CShellExtClassFactory* factory = new (std::nothrow) CShellExtClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    // The creation reference is dropped after the query: an interface the factory does not
    // have leaves no factory (and no object count) behind.
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}
