// CShellExt: the one object of the shell extension (menu, icon, persist file, page, drag, copy hook).
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

class CShellExt : public IContextMenu,
                  public IShellExtInit,
                  public IExtractIconA,
                  public IPersistFile,
                  public IShellPropSheetExt,
                  public IDropSource,
                  public ICopyHookA {
public:
    CShellExt();
    virtual ~CShellExt();

    // IUnknown, shared by every interface through IContextMenu.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    STDMETHODIMP InvokeCommand(LPCMINVOKECOMMANDINFO info) override;
    STDMETHODIMP GetCommandString(UINT_PTR id, UINT type, UINT* reserved, LPSTR name, UINT cchMax) override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progKey) override;

    // IExtractIconA
    STDMETHODIMP GetIconLocation(UINT flags, LPSTR iconFile, UINT cchMax, int* index, UINT* outFlags) override;
    STDMETHODIMP Extract(LPCSTR file, UINT index, HICON* large, HICON* small, UINT iconSizes) override;

    // IPersistFile (and IPersist)
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPCOLESTR fileName, DWORD mode) override;
    STDMETHODIMP Save(LPCOLESTR fileName, BOOL remember) override;
    STDMETHODIMP SaveCompleted(LPCOLESTR fileName) override;
    STDMETHODIMP GetCurFile(LPOLESTR* fileName) override;

    // IShellPropSheetExt
    STDMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM param) override;
    STDMETHODIMP ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM param) override;

    // IDropSource
    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    STDMETHODIMP GiveFeedback(DWORD effect) override;

    // ICopyHookA
    STDMETHODIMP_(UINT) CopyCallback(HWND owner, UINT func, UINT flags, LPCSTR srcFile, DWORD srcAttribs,
                                     LPCSTR destFile, DWORD destAttribs) override;

    // The file the property page edits (set by AddPages; empty when none).
    const char* SelectedFile() const { return m_szPropSheetFileUserClickedOn; }

protected:
    // Runs the selection of the object that last received one (pShellExt).
    HRESULT DoContextMenu(HWND window, LPCSTR folder, LPCSTR verb, LPCSTR parameters, int showMode);
    // Starts the main program with this object's selection on its command line.
    void DoSplitSelection(HWND window);

private:
    // The held data object's dropped-file list; false when it delivers none.
    bool GetDropList(STGMEDIUM& medium) const;

    char m_szPropSheetFileUserClickedOn[MAX_PATH];
    LONG m_cRef;
    IDataObject* m_pDataObj;
    char m_szFileUserClickedOn[MAX_PATH];
};
