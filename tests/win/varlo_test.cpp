// The shell extension varlo.dll, loaded from the build and driven through its COM exports:
// interfaces and counts, the context menu, the start of the main program, icon and page.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "varlo_test_support.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using Box = MessageBoxWatcher::Box;
using Lines = std::vector<std::string>;

const char kInstallKey[] = "Software\\Orlaq\\Zembra";

struct Suite {
    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
    CLSID clsid = {};
    std::string clsidText;
    std::string bin;         // the build's bin folder (varlo.dll, the stand-in), trailing backslash
    std::string root;        // this run's scratch folder, trailing backslash
    std::string installDir;  // where "Path" points: holds the stand-in as zembra.exe
    std::string filesDir;    // files to select, trailing backslash
    DebugOutputCapture* debug = nullptr;
} s;

std::string Launches() { return s.installDir + "\\launches.txt"; }
std::string Selected(const std::string& name) { return s.filesDir + name; }
Lines Trace() { return s.debug->Messages(); }

void SetInstallPath(const std::string& folder) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kInstallKey, "Path", REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
}

std::string RegText(const std::string& key, const char* value) {
    char text[1024] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size)) return "<missing>";
    return text;
}

// The stand-in's records, once at least `count` are there (or after a generous wait).
Lines WaitForLaunches(size_t count) {
    Lines lines;
    for (int tries = 0; tries < 600 && lines.size() < count; ++tries, Sleep(50)) {
        lines.clear();
        std::string text = ReadTextFile(Launches());
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

// A fresh CShellExt through the exports, asked for IContextMenu.
IContextMenu* NewExt() {
    IClassFactory* factory = nullptr;
    if (s.getClassObject(s.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) return nullptr;
    IContextMenu* menu = nullptr;
    factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(&menu));
    factory->Release();
    return menu;
}

template <class T>
T* As(IUnknown* object, REFIID iid) {
    T* out = nullptr;
    object->QueryInterface(iid, reinterpret_cast<void**>(&out));
    return out;
}

// Hands the selection to the object, giving up the caller's reference to it.
HRESULT Initialize(IContextMenu* ext, IDataObject* data) {
    IShellExtInit* init = As<IShellExtInit>(ext, IID_IShellExtInit);
    HRESULT hr = init->Initialize(nullptr, data, nullptr);
    init->Release();
    if (data) data->Release();
    return hr;
}

HRESULT Invoke(IContextMenu* ext, LPCSTR verb) {
    CMINVOKECOMMANDINFO info = {sizeof info, 0, nullptr, verb, nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr};
    return ext->InvokeCommand(&info);
}

// Proves nothing was started so far: a known selection is run, and its line must be the only one.
void ExpectNoLaunchSoFar() {
    IContextMenu* ext = NewExt();
    Initialize(ext, ShellDataObject(s.filesDir, {"two.txt"}));
    EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(0)), S_OK);
    ext->Release();
    EXPECT_EQ(WaitForLaunches(1), Lines{"arg " + Selected("two.txt")});
}

}  // namespace

class VarloTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A crash ends the run at once with a line saying so, instead of waiting on a crash dialog.
        SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* info) -> LONG {
            fprintf(stderr, "varlo_test: unhandled exception 0x%08lx\n", info->ExceptionRecord->ExceptionCode);
            fflush(stderr);
            ExitProcess(3);
        });
        OleInitialize(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        s.debug = new DebugOutputCapture();
        char path[MAX_PATH], temp[MAX_PATH];
        s.bin.assign(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        s.bin.erase(s.bin.find_last_of('\\') + 1);
        GetTempPathA(MAX_PATH, path);
        GetLongPathNameA(path, temp, MAX_PATH);
        s.root = std::string(temp) + "varlo_test_" + std::to_string(GetCurrentProcessId()) + "\\";
        s.installDir = s.root + "Zembra Install";
        s.filesDir = s.root + "files\\";
        for (const std::string& dir : {s.root, s.installDir, s.root + "empty", s.filesDir, s.filesDir + "sub folder"})
            CreateDirectoryA(dir.c_str(), nullptr);
        for (const char* name : {"a b.txt", "two.txt", "three.txt"}) WriteTextFile(s.filesDir + name, "x");
        CopyFileA((s.bin + "varlo_fake_zembra.exe").c_str(), (s.installDir + "\\zembra.exe").c_str(), FALSE);

        // Register as the installer does, from the registration file, with the build's folder.
        const char* source = getenv("ZEMBRA_SOURCE_DIR");
        ASSERT_TRUE(source) << "ZEMBRA_SOURCE_DIR is not set";
        std::string reg = ReadTextFile("Z:" + std::string(source) + "/resources/varlo.reg");
        size_t key = reg.find("[HKEY_CLASSES_ROOT\\CLSID\\{");
        ASSERT_NE(key, std::string::npos);
        s.clsidText = reg.substr(key + 25, 38);
        std::wstring wide(s.clsidText.begin(), s.clsidText.end());
        ASSERT_EQ(CLSIDFromString(wide.c_str(), &s.clsid), NOERROR) << s.clsidText;
        std::string escaped;
        for (char c : s.bin.substr(0, s.bin.size() - 1)) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (size_t at; (at = reg.find("%INSTALLDIR%")) != std::string::npos;) reg.replace(at, 12, escaped);
        ASSERT_TRUE(WriteTextFile(s.root + "varlo.reg", reg));
        ASSERT_EQ(system(("regedit.exe /s \"" + s.root + "varlo.reg\"").c_str()), 0);

        s.module = LoadLibraryA((s.bin + "varlo.dll").c_str());
        ASSERT_TRUE(s.module);
        s.getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllGetClassObject")));
        s.canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllCanUnloadNow")));
    }

    static void TearDownTestSuite() {
        if (s.module) FreeLibrary(s.module);
        delete s.debug;
        std::string from = s.root.substr(0, s.root.size() - 1) + std::string(2, '\0');
        SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
        SHFileOperationA(&op);
        OleUninitialize();
    }

    void SetUp() override {
        ASSERT_TRUE(s.getClassObject && s.canUnloadNow) << "the library did not load";
        SetInstallPath(s.installDir);
        DeleteFileA(Launches().c_str());
        s.debug->Clear();
    }

    // Every test gives back all it took: nothing of the library may be left alive.
    void TearDown() override { EXPECT_EQ(s.canUnloadNow(), S_OK) << "objects of the library are still alive"; }
};

TEST_F(VarloTest, ExportsAndClassFactory) {
    auto* base = reinterpret_cast<const BYTE*>(s.module);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    ASSERT_EQ(exports->NumberOfFunctions, 2u);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + names[0]), "DllCanUnloadNow");
    EXPECT_STREQ(reinterpret_cast<const char*>(base + names[1]), "DllGetClassObject");

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(s.getClassObject(CLSID_ShellLink, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(s.getClassObject(s.clsid, IID_IContextMenu, &out), E_NOINTERFACE);
    EXPECT_EQ(s.canUnloadNow(), S_OK) << "a refused query leaves no factory behind";

    IClassFactory* factory = nullptr;
    ASSERT_EQ(s.getClassObject(s.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(s.canUnloadNow(), S_FALSE);
    IUnknown* unknown = As<IUnknown>(factory, IID_IUnknown);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(As<IContextMenu>(factory, IID_IContextMenu), nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(unknown, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(VarloTest, QueryInterfaceAndReferenceCounts) {
    IContextMenu* ext = NewExt();
    ASSERT_TRUE(ext);
    const IID* mine[] = {&IID_IUnknown, &IID_IShellExtInit, &IID_IContextMenu, &IID_IExtractIconA,
                         &IID_IPersistFile, &IID_IShellPropSheetExt, &IID_IShellCopyHookA, &IID_IDropSource};
    std::vector<void*> given;
    for (const IID* iid : mine) {
        given.push_back(nullptr);
        EXPECT_EQ(ext->QueryInterface(*iid, &given.back()), S_OK);
    }
    EXPECT_EQ(given[0], given[1]) << "IUnknown is the IShellExtInit pointer";
    EXPECT_EQ(given[2], static_cast<void*>(ext)) << "IContextMenu is the primary pointer";
    for (size_t i = 1; i < given.size(); ++i)
        for (size_t j = i + 1; j < given.size(); ++j) EXPECT_NE(given[i], given[j]) << i << " " << j;
    for (const IID* iid : {&IID_IPersist, &IID_IDataObject, &IID_IExtractIconW, &IID_IShellCopyHookW, &IID_IContextMenu2}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(ext->QueryInterface(*iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    // One reference from creation plus one per interface given out.
    EXPECT_EQ(ext->AddRef(), 2u + given.size());
    EXPECT_EQ(ext->Release(), 1u + given.size());
    for (void* p : given) static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(s.canUnloadNow(), S_FALSE);
    EXPECT_EQ(ext->Release(), 0u);
    EXPECT_TRUE(Trace().empty()) << "QueryInterface, AddRef and Release write no trace";

    // Initialize holds one data object at a time and gives it back with the object.
    ext = NewExt();
    auto* first = new DropDataObject({"C:\\one.txt"});
    auto* second = new DropDataObject({"C:\\two.txt"});
    first->AddRef();
    second->AddRef();
    EXPECT_EQ(Initialize(ext, first), S_OK);
    EXPECT_EQ(Initialize(ext, second), S_OK);
    EXPECT_EQ(first->Refs(), 1) << "the earlier data object is released";
    EXPECT_EQ(second->Refs(), 2);
    ext->Release();
    EXPECT_EQ(second->Refs(), 1) << "released with the extension";
    first->Release();
    second->Release();
    EXPECT_EQ(Trace(), Lines(2, "CShellExt::Initialize()\r\n"));
}

TEST_F(VarloTest, ContextMenuItemOnlyWithExplore) {
    const std::string entered = "CShellExt::QueryContextMenu()\r\n";
    const struct {
        UINT flags;
        Lines trace;
    } cases[] = {
        {CMF_EXPLORE | CMF_CANRENAME, {entered, "CMF_EXPLORE...\r\n"}},
        {CMF_NORMAL, {entered, "CMF_default...\r\n", "uFlags==>0\r\n"}},
        {CMF_VERBSONLY | CMF_CANRENAME, {entered, "CMF_default...\r\n", "uFlags==>18\r\n"}},
        {CMF_DEFAULTONLY, {entered, "CMF_DEFAULTONLY...\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "Open");
        AppendMenuA(menu, MF_STRING, 2, "Properties");
        HRESULT hr = ext->QueryContextMenu(menu, 1, 100, 200, c.flags);
        EXPECT_EQ(Trace(), c.trace);
        std::string items;  // position by position: id, or "-" for a separator
        for (int at = 0; at < GetMenuItemCount(menu); ++at)
            items += (GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR) ? "-" : std::to_string(GetMenuItemID(menu, at));
        char text[64] = "";
        GetMenuStringA(menu, 100, text, sizeof text, MF_BYCOMMAND);
        if (c.flags & CMF_EXPLORE) {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
            EXPECT_EQ(items, "1-100-2");
            EXPECT_STREQ(text, "&Zembra");
        } else {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(items, "12");
        }
        DestroyMenu(menu);
        ext->Release();
    }
}

TEST_F(VarloTest, InvokeStartsTheMainProgramWithTheSelection) {
    const struct {
        Lines names;
        std::string line;
    } cases[] = {
        {{"a b.txt"}, "arg " + Selected("a b.txt")},
        {{"a b.txt", "two.txt", "three.txt"},
         "arg " + Selected("a b.txt") + "*" + Selected("two.txt") + "*" + Selected("three.txt")},
        {{"sub folder", "two.txt"}, "arg " + Selected("sub folder") + "*" + Selected("two.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteFileA(Launches().c_str());
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        EXPECT_EQ(Initialize(ext, ShellDataObject(s.filesDir, c.names)), S_OK);
        MessageBoxWatcher boxes;
        EXPECT_EQ(Invoke(ext, "open"), E_INVALIDARG) << "a verb given as text is not ours";
        EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(1)), E_INVALIDARG) << "nor is any command but the first";
        EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(0)), S_OK);
        EXPECT_EQ(WaitForLaunches(1), Lines{c.line});
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(Trace(), (Lines{"CShellExt::Initialize()\r\n", "CShellExt::InvokeCommand()\r\n",
                                  "CShellExt::InvokeCommand()\r\n", "CShellExt::InvokeCommand()\r\n"}));
        ext->Release();
    }
}

TEST_F(VarloTest, InvokeActsOnTheLatestSelectionWhileItsObjectLives) {
    IContextMenu* older = NewExt();
    IContextMenu* latest = NewExt();
    Initialize(older, ShellDataObject(s.filesDir, {"a b.txt"}));
    Initialize(latest, ShellDataObject(s.filesDir, {"three.txt"}));
    EXPECT_EQ(Invoke(older, MAKEINTRESOURCEA(0)), S_OK);
    EXPECT_EQ(WaitForLaunches(1), Lines{"arg " + Selected("three.txt")});

    // Once the object holding the latest selection is gone, there is nothing to start.
    DeleteFileA(Launches().c_str());
    latest->Release();
    MessageBoxWatcher boxes;
    EXPECT_EQ(Invoke(older, MAKEINTRESOURCEA(0)), S_OK);
    EXPECT_TRUE(boxes.Boxes().empty());
    older->Release();
    ExpectNoLaunchSoFar();
}

TEST_F(VarloTest, FailedStartsAreReportedAndStartNothing) {
    auto oneFile = [] { return ShellDataObject(s.filesDir, {"two.txt"}); };
    auto drop = [](Lines paths, bool offer = true) {
        return [=] { return static_cast<IDataObject*>(new DropDataObject(paths, offer)); };
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        std::function<IDataObject*()> selection;
        std::vector<Box> boxes;
    } cases[] = {
        {"no install key", [] { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey); }, oneFile,
         {{"varlo", "Zembra Mailer not Registered!"}}},
        {"no Path value", [] { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kInstallKey, "Path"); }, oneFile, {}},
        {"no zembra.exe there", [] { SetInstallPath(s.root + "empty"); }, oneFile, {{"Zembra", "failed createproc"}}},
        {"Path too long", [] { SetInstallPath("C:\\" + std::string(300, 'x')); }, oneFile, {}},
        {"path too long", [] {}, drop({"C:\\ok.txt", "C:\\" + std::string(520, 'p')}),
         {{"varlo", "A selected path is too long for Zembra."}}},
        {"line too long", [] {}, drop(Lines(70, "C:\\" + std::string(470, 'm'))),
         {{"varlo", "Too many files are selected to pass to Zembra at once."}}},
        {"no file list", [] {}, drop({"C:\\a"}, false), {}},
        {"no data object", [] {}, [] { return static_cast<IDataObject*>(nullptr); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(Launches().c_str());
        c.prepare();
        IContextMenu* ext = NewExt();
        Initialize(ext, c.selection());
        {
            MessageBoxWatcher boxes;
            EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(0)), S_OK);
            EXPECT_EQ(boxes.Boxes(), c.boxes);
        }
        ext->Release();
        SetInstallPath(s.installDir);
        ExpectNoLaunchSoFar();
    }
}

TEST_F(VarloTest, IconLocationIsThisLibraryWithTheFilesIndex) {
    char library[MAX_PATH];
    GetModuleFileNameA(s.module, library, MAX_PATH);
    WriteTextFile(Selected("two.vex"), "[Other]\r\nIndex=1\r\n[IconImage]\r\nIndex=2\r\n");
    const struct {
        std::string load;  // empty: Load is not called
        HRESULT loaded;
        int index;
    } cases[] = {
        {Selected("two.vex"), S_OK, 2},
        {Selected("a b.txt"), S_OK, 0},
        {"", S_OK, 0},
        {Selected(std::string(300, 'n')), E_FAIL, 0},  // longer than a path: refused, not cut
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.load);
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        IPersistFile* persist = As<IPersistFile>(ext, IID_IPersistFile);
        IExtractIconA* icon = As<IExtractIconA>(ext, IID_IExtractIconA);
        if (!c.load.empty()) {
            EXPECT_EQ(persist->Load(std::wstring(c.load.begin(), c.load.end()).c_str(), 0), c.loaded);
        }
        char path[MAX_PATH] = "", small[8] = "x";
        int index = -1;
        UINT flags = 0;
        EXPECT_EQ(icon->GetIconLocation(0, path, MAX_PATH, &index, &flags), S_OK);
        EXPECT_STREQ(path, library);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(icon->GetIconLocation(0, small, sizeof small, &index, &flags), E_FAIL) << "no cut-off path";
        EXPECT_EQ(icon->Extract(path, index, nullptr, nullptr, 0), S_FALSE);
        Lines trace(2, "CShellExt::GetIconLocation()\r\n");
        if (!c.load.empty()) trace.insert(trace.begin(), "CShellExt::Load()\r\n");
        trace.push_back("CShellExt::Extract()\r\n");
        EXPECT_EQ(Trace(), trace);
        persist->Release();
        icon->Release();
        ext->Release();
    }
}

TEST_F(VarloTest, CopyHookAndDropSourceNeverBlock) {
    IContextMenu* ext = NewExt();
    ICopyHookA* hook = As<ICopyHookA>(ext, IID_IShellCopyHookA);
    IDropSource* drop = As<IDropSource>(ext, IID_IDropSource);
    for (UINT operation : {FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME})
        EXPECT_EQ(hook->CopyCallback(nullptr, operation, 0, "C:\\a", 0, "C:\\b", 0), static_cast<UINT>(IDYES));
    EXPECT_EQ(drop->QueryContinueDrag(TRUE, 0), DRAGDROP_S_CANCEL);
    EXPECT_EQ(drop->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(Trace(), Lines(4, "CShellExt::CopyCallback\r\n"));
    hook->Release();
    drop->Release();
    ext->Release();
}

namespace {

struct PageSink {
    std::vector<HPROPSHEETPAGE> pages;
    BOOL accept = TRUE;
    static BOOL CALLBACK Add(HPROPSHEETPAGE page, LPARAM self) {
        reinterpret_cast<PageSink*>(self)->pages.push_back(page);
        return reinterpret_cast<PageSink*>(self)->accept;
    }
};

HRESULT AddPages(IContextMenu* ext, IDataObject* data, PageSink& sink) {
    Initialize(ext, data);
    IShellPropSheetExt* sheet = As<IShellPropSheetExt>(ext, IID_IShellPropSheetExt);
    HRESULT hr = sheet->AddPages(PageSink::Add, reinterpret_cast<LPARAM>(&sink));
    sheet->Release();
    return hr;
}

}  // namespace

TEST_F(VarloTest, PageOnlyForOneFileAndARefusedPageLetsGo) {
    std::function<IDataObject*()> selections[] = {
        [] { return ShellDataObject(s.filesDir, {"a b.txt", "two.txt"}); },
        [] { return static_cast<IDataObject*>(new DropDataObject({"C:\\a"}, false)); },
        [] { return static_cast<IDataObject*>(new DropDataObject({"C:\\" + std::string(280, 'n')})); },
    };
    for (auto& selection : selections) {
        IContextMenu* ext = NewExt();
        PageSink sink;
        EXPECT_EQ(AddPages(ext, selection(), sink), S_OK);
        EXPECT_TRUE(sink.pages.empty());
        EXPECT_EQ(ext->Release(), 0u);
    }
    IContextMenu* ext = NewExt();
    PageSink sink;
    sink.accept = FALSE;
    EXPECT_EQ(AddPages(ext, ShellDataObject(s.filesDir, {"two.txt"}), sink), S_OK);
    EXPECT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(ext->Release(), 0u) << "the refused page holds no reference";
    EXPECT_EQ(Trace().back(), "CShellExt::AddPages()\r\n");
}

TEST_F(VarloTest, PageShowsAndWritesTheIconIndex) {
    const std::string file = Selected("page.vex");
    WriteTextFile(file, "[IconImage]\r\nIndex=2\r\n");
    IContextMenu* ext = NewExt();
    PageSink sink;
    ASSERT_EQ(AddPages(ext, ShellDataObject(s.filesDir, {"page.vex"}), sink), S_OK);
    ASSERT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(ext->Release(), 1u) << "the page keeps the object";

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.nPages = 1;
    header.phpage = sink.pages.data();
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_TRUE(page);
    char title[64] = "";
    TCITEMA tab = {TCIF_TEXT, 0, 0, title, sizeof title, 0, 0};
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(title, "VEX Color");
    for (int id : {1000, 1001, 1002}) EXPECT_EQ(IsDlgButtonChecked(page, id), id == 1002 ? BST_CHECKED : BST_UNCHECKED);

    // Apply before any click leaves the file alone.
    WriteTextFile(file, "[IconImage]\r\nIndex=7\r\n");
    PropSheet_Apply(sheet);
    EXPECT_EQ(ReadTextFile(file), "[IconImage]\r\nIndex=7\r\n");
    SendMessageA(GetDlgItem(page, 1000), BM_CLICK, 0, 0);
    PropSheet_Apply(sheet);
    EXPECT_EQ(GetPrivateProfileIntA("IconImage", "Index", -1, file.c_str()), 0);

    EXPECT_EQ(s.canUnloadNow(), S_FALSE) << "the open page counts as an object of the library";
    DestroyWindow(sheet);
}

TEST_F(VarloTest, InstallerRegistrationMakesTheClassCreatable) {
    const std::string server = "CLSID\\" + s.clsidText + "\\InprocServer32";
    EXPECT_EQ(RegText(server, nullptr), s.bin + "varlo.dll");
    EXPECT_EQ(RegText(server, "ThreadingModel"), "Apartment");
    for (const char* handler : {"*\\shellex\\ContextMenuHandlers\\Zembra", "Directory\\shellex\\ContextMenuHandlers\\Zembra",
                                "*\\shellex\\PropertySheetHandlers\\Zembra"})
        EXPECT_EQ(RegText(handler, nullptr), s.clsidText) << handler;
    IContextMenu* menu = nullptr;
    ASSERT_EQ(CoCreateInstance(s.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, reinterpret_cast<void**>(&menu)),
              S_OK);
    EXPECT_EQ(s.canUnloadNow(), S_FALSE) << "COM loaded the same library";
    menu->Release();
}
