// Test aids for the shell extension: debugger output, message boxes, data objects.
#include "varlo_test_support.h"

#include <shlobj.h>

#include <cstring>

namespace {
std::mutex g_debugMutex;
std::vector<std::string> g_debugMessages;
}  // namespace

DebugOutputCapture::DebugOutputCapture() : handle_(AddVectoredExceptionHandler(1, Handler)) {}

DebugOutputCapture::~DebugOutputCapture() {
    if (handle_) RemoveVectoredExceptionHandler(handle_);
}

LONG CALLBACK DebugOutputCapture::Handler(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        // Parameters: length including the NUL, then the text.
        size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        if (text) {
            std::lock_guard<std::mutex> lock(g_debugMutex);
            g_debugMessages.emplace_back(text, length > 0 ? strnlen(text, length) : 0);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;  // the system goes on as without us
}

std::vector<std::string> DebugOutputCapture::Messages() const {
    std::lock_guard<std::mutex> lock(g_debugMutex);
    return g_debugMessages;
}

void DebugOutputCapture::Clear() {
    std::lock_guard<std::mutex> lock(g_debugMutex);
    g_debugMessages.clear();
}

MessageBoxWatcher::MessageBoxWatcher() {
    thread_ = std::thread([this] {
        while (!stop_) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

BOOL CALLBACK MessageBoxWatcher::Visit(HWND window, LPARAM self) {
    auto* watcher = reinterpret_cast<MessageBoxWatcher*>(self);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    // A message box is a dialog whose text is the static with id 0xFFFF.
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
        !GetDlgItem(window, 0xFFFF))
        return TRUE;
    std::lock_guard<std::mutex> lock(watcher->mutex_);
    if (!watcher->answered_.insert(window).second) return TRUE;
    char caption[256] = "", text[1024] = "";
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    watcher->boxes_.push_back({caption, text});
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

std::vector<MessageBoxWatcher::Box> MessageBoxWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

DropDataObject::DropDataObject(std::vector<std::string> paths, bool offerDropList)
    : paths_(std::move(paths)), offer_(offerDropList) {}

STDMETHODIMP DropDataObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDataObject)) return E_NOINTERFACE;
    *ppv = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) DropDataObject::AddRef() {
    return InterlockedIncrement(&refs_);
}

STDMETHODIMP_(ULONG) DropDataObject::Release() {
    LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP DropDataObject::QueryGetData(FORMATETC* format) {
    return offer_ && format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK
                                                                                               : DV_E_FORMATETC;
}

STDMETHODIMP DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    // DROPFILES, then each path with its NUL, then one more NUL.
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths_) size += p.size() + 1;
    HGLOBAL global = GlobalAlloc(GHND, size);
    if (!global) return E_OUTOFMEMORY;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(global));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths_) {
        memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    GlobalUnlock(global);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = global;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

IDataObject* ShellDataObject(const std::string& folder, const std::vector<std::string>& names) {
    auto wide = [](const std::string& s) {
        std::wstring w(s.size() + 1, L'\0');
        int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
        w.resize(n > 0 ? n - 1 : 0);
        return w;
    };
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    IDataObject* data = nullptr;
    PIDLIST_RELATIVE folderId = nullptr;
    std::wstring folderName = wide(folder);
    IShellFolder* parent = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &folderName[0], nullptr, &folderId, nullptr)) &&
        SUCCEEDED(desktop->BindToObject(folderId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&parent)))) {
        std::vector<PITEMID_CHILD> items;
        bool parsed = true;
        for (const std::string& name : names) {
            std::wstring w = wide(name);
            PIDLIST_RELATIVE item = nullptr;
            if (FAILED(parent->ParseDisplayName(nullptr, nullptr, &w[0], nullptr, &item, nullptr))) {
                parsed = false;
                break;
            }
            items.push_back(reinterpret_cast<PITEMID_CHILD>(item));
        }
        if (parsed)
            parent->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()),
                                  const_cast<PCUITEMID_CHILD_ARRAY>(items.data()), IID_IDataObject, nullptr,
                                  reinterpret_cast<void**>(&data));
        for (PITEMID_CHILD item : items) CoTaskMemFree(item);
        parent->Release();
    }
    CoTaskMemFree(folderId);
    desktop->Release();
    return data;
}
