// CShellExt: icon handler, persist file, property page, drop source and copy hook answers.
#include "shellext/shell_ext.h"

#include <prsht.h>

#include "resources/varlo_res.h"
#include "shellext/varlo_globals.h"
#include "shellext/vex_page.h"

STDMETHODIMP CShellExt::GetIconLocation(UINT, LPSTR iconFile, UINT cchMax, int* index, UINT* outFlags) {
    OutputDebugStringA("CShellExt::GetIconLocation()\r\n");
    if (!iconFile || !index || cchMax == 0) return E_INVALIDARG;
    DWORD length = GetModuleFileNameA(g_hmodThisDll, iconFile, cchMax);
    // A path cut short to fit would name another file.
    if (length == 0 || length >= cchMax) {
        iconFile[0] = '\0';
        return E_FAIL;
    }
    *index = m_szFileUserClickedOn[0]
                 ? static_cast<int>(GetPrivateProfileIntA("IconImage", "Index", 0, m_szFileUserClickedOn))
                 : 0;
    if (outFlags) *outFlags = 0;
    return NOERROR;
}

STDMETHODIMP CShellExt::Extract(LPCSTR, UINT, HICON*, HICON*, UINT) {
    OutputDebugStringA("CShellExt::Extract()\r\n");
    return S_FALSE;  // the file manager extracts the icon from the location itself
}

STDMETHODIMP CShellExt::GetClassID(CLSID*) {
    OutputDebugStringA("CShellExt::GetClassID()\r\n");
    return E_FAIL;
}

STDMETHODIMP CShellExt::IsDirty() {
    OutputDebugStringA("CShellExt::IsDirty()\r\n");
    return S_FALSE;
}

STDMETHODIMP CShellExt::Load(LPCOLESTR fileName, DWORD) {
    OutputDebugStringA("CShellExt::Load()\r\n");
    m_szFileUserClickedOn[0] = '\0';
    if (!fileName) return E_INVALIDARG;
    // A name whose ANSI form does not fit in 260 bytes is refused rather than cut short.
    if (WideCharToMultiByte(CP_ACP, 0, fileName, -1, m_szFileUserClickedOn, MAX_PATH, nullptr, nullptr) == 0) {
        m_szFileUserClickedOn[0] = '\0';
        return E_FAIL;
    }
    return NOERROR;
}

STDMETHODIMP CShellExt::Save(LPCOLESTR, BOOL) {
    OutputDebugStringA("CShellExt::Save()\r\n");
    return E_FAIL;
}

STDMETHODIMP CShellExt::SaveCompleted(LPCOLESTR) {
    OutputDebugStringA("CShellExt::SaveCompleted()\r\n");
    return E_FAIL;
}

STDMETHODIMP CShellExt::GetCurFile(LPOLESTR*) {
    OutputDebugStringA("CShellExt::GetCurFile()\r\n");
    return E_FAIL;
}

STDMETHODIMP CShellExt::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM param) {
    OutputDebugStringA("CShellExt::AddPages()\r\n");
    if (!addPage) return E_INVALIDARG;
    STGMEDIUM medium;
    if (!GetDropList(medium)) return NOERROR;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    // The page edits one file; its name must fit the 260-byte field whole.
    bool one = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1 && DragQueryFileA(drop, 0, nullptr, 0) < MAX_PATH;
    if (one) DragQueryFileA(drop, 0, m_szPropSheetFileUserClickedOn, MAX_PATH);
    ReleaseStgMedium(&medium);
    if (!one) return NOERROR;

    PROPSHEETPAGEA psp = {};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_USETITLE | PSP_USECALLBACK | PSP_USEREFPARENT;
    psp.hInstance = g_hmodThisDll;
    psp.pszTemplate = MAKEINTRESOURCEA(IDD_VEX_PAGE);
    psp.pszTitle = "VEX Color";
    psp.pfnDlgProc = VEXPageDlgProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    psp.pfnCallback = VEXPageCallback;
    psp.pcRefParent = reinterpret_cast<UINT*>(&g_cRefThisDll);

    // The page holds the object until its release callback runs.
    AddRef();
    HPROPSHEETPAGE page = CreatePropertySheetPageA(&psp);
    if (!page) {
        Release();
        return NOERROR;
    }
    // Destroying a refused page runs the release callback, which drops the page's reference.
    if (!addPage(page, param)) DestroyPropertySheetPage(page);
    return NOERROR;
}

STDMETHODIMP CShellExt::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) {
    OutputDebugStringA("CShellExt::ReplacePage()\r\n");
    return E_FAIL;
}

STDMETHODIMP CShellExt::QueryContinueDrag(BOOL escapePressed, DWORD) {
    return escapePressed ? DRAGDROP_S_CANCEL : NOERROR;
}

STDMETHODIMP CShellExt::GiveFeedback(DWORD) {
    return NOERROR;
}

STDMETHODIMP_(UINT) CShellExt::CopyCallback(HWND, UINT, UINT, LPCSTR, DWORD, LPCSTR, DWORD) {
    OutputDebugStringA("CShellExt::CopyCallback\r\n");
    return IDYES;  // never blocks a copy, move, rename or delete
}
