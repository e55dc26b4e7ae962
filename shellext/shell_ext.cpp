// CShellExt: reference counting, selection, the "&Zembra" menu item and the start of the main program.
#include "shellext/shell_ext.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shellext/selection_command_line.h"
#include "shellext/varlo_globals.h"

namespace {

const char kInstallKey[] = "Software\\Orlaq\\Zembra";
const char kProgramName[] = "zembra.exe";

void Message(HWND owner, const char* text, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK);
}

// The install folder from the machine-wide "Path" value; false when it is missing, not a
// string, or longer than the 260 bytes a path may have.
bool ReadInstallPath(HKEY key, std::string& folder) {
    char value[MAX_PATH];
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ) return false;
    // The stored text need not end with a NUL; one that fills the buffer without one is too long.
    if (size == sizeof value && value[size - 1] != '\0') return false;
    folder.assign(value, strnlen(value, size));
    return true;
}

}  // namespace

// Born with one reference, owned by whoever created it.
CShellExt::CShellExt() : m_cRef(1), m_pDataObj(nullptr) {
    m_szPropSheetFileUserClickedOn[0] = '\0';
    m_szFileUserClickedOn[0] = '\0';
    InterlockedIncrement(&g_cRefThisDll);
}

CShellExt::~CShellExt() {
    if (m_pDataObj) m_pDataObj->Release();
    InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&pShellExt), nullptr, this);
    InterlockedDecrement(&g_cRefThisDll);
}

STDMETHODIMP CShellExt::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellExtInit))
        *ppv = static_cast<IShellExtInit*>(this);
    else if (IsEqualIID(riid, IID_IContextMenu))
        *ppv = static_cast<IContextMenu*>(this);
    else if (IsEqualIID(riid, IID_IExtractIconA))
        *ppv = static_cast<IExtractIconA*>(this);
    else if (IsEqualIID(riid, IID_IPersistFile))
        *ppv = static_cast<IPersistFile*>(this);
    else if (IsEqualIID(riid, IID_IShellPropSheetExt))
        *ppv = static_cast<IShellPropSheetExt*>(this);
    else if (IsEqualIID(riid, IID_IShellCopyHookA))
        *ppv = static_cast<ICopyHookA*>(this);
    else if (IsEqualIID(riid, IID_IDropSource))
        *ppv = static_cast<IDropSource*>(this);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return NOERROR;
}

STDMETHODIMP_(ULONG) CShellExt::AddRef() {
    return InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) CShellExt::Release() {
    LONG left = InterlockedDecrement(&m_cRef);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    OutputDebugStringA("CShellExt::Initialize()\r\n");
    pShellExt = this;
    // AddRef before Release: the new data object may be the one already held.
    if (data) data->AddRef();
    if (m_pDataObj) m_pDataObj->Release();
    m_pDataObj = data;
    return NOERROR;
}

STDMETHODIMP CShellExt::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    OutputDebugStringA("CShellExt::QueryContextMenu()\r\n");
    if (flags & CMF_EXPLORE) {
        OutputDebugStringA("CMF_EXPLORE...\r\n");
        if (firstId > lastId) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);  // no id left to use
        InsertMenuA(menu, index, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        InsertMenuA(menu, index + 1, MF_BYPOSITION | MF_STRING, firstId, "&Zembra");
        InsertMenuA(menu, index + 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }
    if (flags & CMF_DEFAULTONLY) {
        OutputDebugStringA("CMF_DEFAULTONLY...\r\n");
    } else {
        OutputDebugStringA("CMF_default...\r\n");
        char text[32];
        snprintf(text, sizeof text, "uFlags==>%d\r\n", static_cast<int>(flags));
        OutputDebugStringA(text);
    }
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
}

STDMETHODIMP CShellExt::InvokeCommand(LPCMINVOKECOMMANDINFO info) {
    OutputDebugStringA("CShellExt::InvokeCommand()\r\n");
    if (!info) return E_INVALIDARG;
    // A verb given as text, or any command but our one item, is not ours.
    if (!IS_INTRESOURCE(info->lpVerb) || LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0)
        return E_INVALIDARG;
    return DoContextMenu(info->hwnd, info->lpDirectory, info->lpVerb, info->lpParameters, info->nShow);
}

STDMETHODIMP CShellExt::GetCommandString(UINT_PTR, UINT type, UINT*, LPSTR name, UINT cchMax) {
    // No help text or verb; an empty string rather than an untouched buffer.
    if (name && cchMax > 0) {
        if (type & GCS_UNICODE)
            reinterpret_cast<WCHAR*>(name)[0] = L'\0';
        else
            name[0] = '\0';
    }
    return NOERROR;
}

HRESULT CShellExt::DoContextMenu(HWND window, LPCSTR, LPCSTR, LPCSTR, int) {
    if (pShellExt) pShellExt->DoSplitSelection(window);
    return NOERROR;
}

bool CShellExt::GetDropList(STGMEDIUM& medium) const {
    if (!m_pDataObj) return false;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    memset(&medium, 0, sizeof medium);
    if (FAILED(m_pDataObj->GetData(&format, &medium))) return false;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) {
        ReleaseStgMedium(&medium);
        return false;
    }
    return true;
}

void CShellExt::DoSplitSelection(HWND window) {
    STGMEDIUM medium;
    if (!GetDropList(medium)) return;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    CSelectionCommandLine line;
    CSelectionCommandLine::Result result = CSelectionCommandLine::Result::Ok;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && result == CSelectionCommandLine::Result::Ok; ++i) {
        // Each path is fetched whole, so the bound is checked on what was selected, not on a
        // silently shortened copy.
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::vector<char> path(length + 1, '\0');
        DragQueryFileA(drop, i, path.data(), length + 1);
        result = line.Add(path.data());
    }
    ReleaseStgMedium(&medium);
    if (result == CSelectionCommandLine::Result::PathTooLong) {
        Message(window, "A selected path is too long for Zembra.", "varlo");
        return;
    }
    if (result == CSelectionCommandLine::Result::LineTooLong) {
        Message(window, "Too many files are selected to pass to Zembra at once.", "varlo");
        return;
    }
    if (line.Count() == 0) return;

    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        Message(window, "Zembra Mailer not Registered!", "varlo");
        return;
    }
    std::string program;
    if (ReadInstallPath(key, program)) {
        if (program.empty() || program.back() != '\\') program += '\\';
        program += kProgramName;
        STARTUPINFOA startup;
        GetStartupInfoA(&startup);
        PROCESS_INFORMATION process;
        // CreateProcessA may write into the command line, so it gets a copy of its own.
        std::vector<char> commandLine(line.Line().begin(), line.Line().end());
        commandLine.push_back('\0');
        if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        } else {
            Message(window, "failed createproc", "Zembra");
        }
    }
    RegCloseKey(key);
}
