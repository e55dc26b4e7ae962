// Test aids for the shell extension under Wine: debugger output capture, message box watcher,
// data objects carrying a dropped-file list.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Collects what this process writes with OutputDebugStringA. The text reaches a vectored
// exception handler as the DBG_PRINTEXCEPTION_C that OutputDebugStringA raises, before any
// debugger or the system's own handling sees it.
class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    std::vector<std::string> Messages() const;
    void Clear();

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info);
    void* handle_;
};

// Answers every message box this process shows (OK), recording caption and text, while alive.
class MessageBoxWatcher {
public:
    struct Box {
        std::string caption, text;
        bool operator==(const Box& o) const { return caption == o.caption && text == o.text; }
    };
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    std::vector<Box> Boxes() const;

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self);
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
    std::set<HWND> answered_;
};

// A data object holding a dropped-file list built from paths (ANSI), or offering no list at all.
// Its reference count is visible so tests can see that the extension releases what it holds.
class DropDataObject : public IDataObject {
public:
    explicit DropDataObject(std::vector<std::string> paths, bool offerDropList = true);
    LONG Refs() const { return refs_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~DropDataObject() = default;
    LONG refs_ = 1;
    std::vector<std::string> paths_;
    bool offer_;
};

// The shell's own data object for items of one folder, as the file manager hands it over.
IDataObject* ShellDataObject(const std::string& folder, const std::vector<std::string>& names);
