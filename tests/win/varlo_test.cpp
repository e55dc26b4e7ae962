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
using Messages = std::vector<std::string>;

const char kInstallKey[] = "Software\\Orlaq\\Zembra";

struct Suite {
    HMODULE module = nullptr;
    GetClassObjectFn getClassObject = nullptr;
    CanUnloadNowFn canUnloadNow = nullptr;
    CLSID clsid = {};
    std::string clsidText;
    std::string binFolder;    // the build's bin folder: varlo.dll and the stand-in
    std::string root;         // this run's scratch folder, with a trailing backslash
    std::string installDir;   // where "Path" points: holds zembra.exe (the stand-in)
    std::string emptyDir;     // a folder without zembra.exe
    std::string filesDir;     // files to select
    DebugOutputCapture* debug = nullptr;
};
Suite s;

std::string Launches() { return s.installDir + "\\launches.txt"; }

void SetInstallPath(const std::string& folder) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
}

std::string RegText(HKEY root, const std::string& subKey, const char* value) {
    char text[1024] = "";
    DWORD size = sizeof text;
    if (RegGetValueA(root, subKey.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

// Lines of the stand-in's record, once at least `count` are there (or after a generous wait).
Messages WaitForLaunches(size_t count) {
    Messages lines;
    for (int tries = 0; tries < 600; ++tries) {
        lines.clear();
        std::string text = ReadTextFile(Launches());
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        if (lines.size() >= count) break;
        Sleep(50);
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

HRESULT Initialize(IContextMenu* ext, IDataObject* data) {
    IShellExtInit* init = As<IShellExtInit>(ext, IID_IShellExtInit);
    HRESULT hr = init->Initialize(nullptr, data, nullptr);
    init->Release();
    return hr;
}

HRESULT Invoke(IContextMenu* ext, LPCSTR verb) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.lpVerb = verb;
    info.nShow = SW_SHOWNORMAL;
    return ext->InvokeCommand(&info);
}

std::string SelectedPath(const std::string& name) { return s.filesDir + name; }

// Proves nothing was started so far: a known selection is run, and its line must be the only one.
void ExpectNoLaunchSoFar() {
    IContextMenu* ext = NewExt();
    IDataObject* data = ShellDataObject(s.filesDir, {"two.txt"});
    ASSERT_TRUE(data);
    Initialize(ext, data);
    data->Release();
    EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(0)), S_OK);
    ext->Release();
    EXPECT_EQ(WaitForLaunches(1), Messages{"arg " + SelectedPath("two.txt")});
}

}  // namespace

class VarloTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A crash ends the run at once with a line saying so, instead of waiting on a crash dialog.
        SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* info) -> LONG {
            fprintf(stderr, "varlo_test: unhandled exception 0x%08lx\n",
                    static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
            fflush(stderr);
            ExitProcess(3);
        });
        OleInitialize(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        s.debug = new DebugOutputCapture();
        s.binFolder = ModuleFolderOf(nullptr);

        char temp[MAX_PATH], longTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetLongPathNameA(temp, longTemp, MAX_PATH);
        s.root = std::string(longTemp) + "varlo_test_" + std::to_string(GetCurrentProcessId()) + "\\";
        s.installDir = s.root + "Zembra Install";
        s.emptyDir = s.root + "empty";
        s.filesDir = s.root + "files\\";
        for (const std::string& dir : {s.root, s.installDir, s.emptyDir, s.filesDir, s.filesDir + "sub folder"})
            CreateDirectoryA(dir.c_str(), nullptr);
        for (const char* name : {"a b.txt", "two.txt", "three.txt"}) WriteTextFile(s.filesDir + name, "x");
        CopyFileA((s.binFolder + "varlo_fake_zembra.exe").c_str(), (s.installDir + "\\zembra.exe").c_str(), FALSE);

        // Register as the installer does, from the registration file, with the build's folder.
        const char* source = getenv("ZEMBRA_SOURCE_DIR");
        ASSERT_TRUE(source) << "ZEMBRA_SOURCE_DIR is not set";
        std::string reg = ReadTextFile(WinePath(source) + "\\resources\\varlo.reg");
        ASSERT_FALSE(reg.empty());
        size_t key = reg.find("[HKEY_CLASSES_ROOT\\CLSID\\{");
        ASSERT_NE(key, std::string::npos);
        s.clsidText = reg.substr(key + 25, 38);
        std::wstring wide(s.clsidText.begin(), s.clsidText.end());
        ASSERT_EQ(CLSIDFromString(wide.c_str(), &s.clsid), NOERROR) << s.clsidText;
        std::string installDir = s.binFolder.substr(0, s.binFolder.size() - 1), escaped;
        for (char c : installDir) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        for (size_t at; (at = reg.find("%INSTALLDIR%")) != std::string::npos;) reg.replace(at, 12, escaped);
        ASSERT_TRUE(WriteTextFile(s.root + "varlo.reg", reg));
        ASSERT_TRUE(RunAndWait("regedit.exe /s \"" + s.root + "varlo.reg\""));

        s.module = LoadLibraryA((s.binFolder + "varlo.dll").c_str());
        ASSERT_TRUE(s.module);
        s.getClassObject = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(s.module, "DllGetClassObject")));
        s.canUnloadNow = reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(s.module, "DllCanUnloadNow")));
        ASSERT_TRUE(s.getClassObject && s.canUnloadNow);
    }

    static void TearDownTestSuite() {
        if (s.module) FreeLibrary(s.module);
        delete s.debug;
        std::string from = s.root.substr(0, s.root.size() - 1) + std::string(2, '\0');
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationA(&op);
        OleUninitialize();
    }

    void SetUp() override {
        ASSERT_TRUE(s.getClassObject) << "the library did not load";
        SetInstallPath(s.installDir);
        DeleteFileA(Launches().c_str());
        s.debug->Clear();
    }

    void TearDown() override {
        // Every test gives back all it took: nothing of the library may be left alive.
        EXPECT_EQ(s.canUnloadNow(), S_OK) << "objects of the library are still alive";
    }

    static Messages Trace() { return s.debug->Messages(); }
};

TEST_F(VarloTest, ExportsExactlyTheTwoServerEntryPoints) {
    auto* base = reinterpret_cast<const BYTE*>(s.module);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    ASSERT_EQ(exports->NumberOfFunctions, 2u);
    auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    Messages found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) found.push_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(found, (Messages{"DllCanUnloadNow", "DllGetClassObject"}));
}

TEST_F(VarloTest, ClassObjectOnlyForItsOwnClass) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(s.getClassObject(CLSID_ShellLink, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(s.getClassObject(s.clsid, IID_IContextMenu, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(s.canUnloadNow(), S_OK) << "a refused query must not leave a factory behind";

    IClassFactory* factory = nullptr;
    ASSERT_EQ(s.getClassObject(s.clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(s.canUnloadNow(), S_FALSE);
    IUnknown* unknown = As<IUnknown>(factory, IID_IUnknown);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(As<IContextMenu>(factory, IID_IContextMenu), nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);

    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(unknown, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(VarloTest, QueryInterfaceAnswersItsSevenInterfaces) {
    IContextMenu* ext = NewExt();
    ASSERT_TRUE(ext);
    const IID* mine[] = {&IID_IUnknown, &IID_IShellExtInit, &IID_IContextMenu, &IID_IExtractIconA,
                         &IID_IPersistFile, &IID_IShellPropSheetExt, &IID_IShellCopyHookA, &IID_IDropSource};
    std::vector<void*> pointers;
    for (const IID* iid : mine) {
        void* out = nullptr;
        EXPECT_EQ(ext->QueryInterface(*iid, &out), S_OK);
        EXPECT_TRUE(out);
        pointers.push_back(out);
    }
    EXPECT_EQ(pointers[0], pointers[1]) << "IUnknown is the IShellExtInit pointer";
    EXPECT_EQ(pointers[2], static_cast<void*>(ext)) << "IContextMenu is the primary pointer";
    for (size_t i = 1; i < pointers.size(); ++i)
        for (size_t j = i + 1; j < pointers.size(); ++j) EXPECT_NE(pointers[i], pointers[j]) << i << " " << j;

    const IID* others[] = {&IID_IPersist, &IID_IDataObject, &IID_IExtractIconW, &IID_IShellCopyHookW,
                           &IID_IContextMenu2, &IID_IClassFactory};
    for (const IID* iid : others) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(ext->QueryInterface(*iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    // One reference from creation plus one per interface given out.
    EXPECT_EQ(ext->AddRef(), 2u + pointers.size());
    EXPECT_EQ(ext->Release(), 1u + pointers.size());
    for (void* p : pointers) static_cast<IUnknown*>(p)->Release();
    EXPECT_EQ(s.canUnloadNow(), S_FALSE);
    EXPECT_EQ(ext->Release(), 0u);
    EXPECT_TRUE(Trace().empty()) << "QueryInterface, AddRef and Release write no trace";
}

TEST_F(VarloTest, InitializeHoldsOneDataObjectAtATime) {
    IContextMenu* ext = NewExt();
    auto* first = new DropDataObject({"C:\\one.txt"});
    auto* second = new DropDataObject({"C:\\two.txt"});
    EXPECT_EQ(Initialize(ext, first), S_OK);
    EXPECT_EQ(first->Refs(), 2);
    EXPECT_EQ(Initialize(ext, second), S_OK);
    EXPECT_EQ(first->Refs(), 1) << "the earlier data object is released";
    EXPECT_EQ(second->Refs(), 2);
    EXPECT_EQ(Initialize(ext, second), S_OK);
    EXPECT_EQ(second->Refs(), 2) << "the same object again is held once";
    ext->Release();
    EXPECT_EQ(second->Refs(), 1) << "released with the extension";
    first->Release();
    second->Release();
    EXPECT_EQ(Trace(), Messages(3, "CShellExt::Initialize()\r\n"));
}

TEST_F(VarloTest, ContextMenuItemOnlyWithExplore) {
    struct Case {
        UINT flags;
        Messages trace;
        bool adds;
    };
    const std::string entered = "CShellExt::QueryContextMenu()\r\n";
    const Case cases[] = {
        {CMF_EXPLORE, {entered, "CMF_EXPLORE...\r\n"}, true},
        {CMF_EXPLORE | CMF_CANRENAME, {entered, "CMF_EXPLORE...\r\n"}, true},
        {CMF_NORMAL, {entered, "CMF_default...\r\n", "uFlags==>0\r\n"}, false},
        {CMF_VERBSONLY | CMF_CANRENAME, {entered, "CMF_default...\r\n", "uFlags==>18\r\n"}, false},
        {CMF_DEFAULTONLY, {entered, "CMF_DEFAULTONLY...\r\n"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "Open");
        AppendMenuA(menu, MF_STRING, 2, "Properties");
        HRESULT hr = ext->QueryContextMenu(menu, 1, 100, 200, c.flags);
        EXPECT_EQ(Trace(), c.trace);
        if (c.adds) {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
            ASSERT_EQ(GetMenuItemCount(menu), 5);
            for (int at : {1, 3}) {
                MENUITEMINFOA item = {};
                item.cbSize = sizeof item;
                item.fMask = MIIM_FTYPE;
                GetMenuItemInfoA(menu, at, TRUE, &item);
                EXPECT_TRUE(item.fType & MFT_SEPARATOR) << at;
            }
            char text[64] = "";
            GetMenuStringA(menu, 2, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "&Zembra");
            EXPECT_EQ(GetMenuItemID(menu, 2), 100u);
            EXPECT_EQ(GetMenuItemID(menu, 0), 1u);
            EXPECT_EQ(GetMenuItemID(menu, 4), 2u);
        } else {
            EXPECT_EQ(hr, S_OK);
            EXPECT_EQ(GetMenuItemCount(menu), 2);
        }
        DestroyMenu(menu);
        ext->Release();
    }
}

TEST_F(VarloTest, InvokeRefusesVerbsAndOtherCommands) {
    IContextMenu* ext = NewExt();
    IDataObject* data = ShellDataObject(s.filesDir, {"a b.txt"});
    ASSERT_TRUE(data);
    Initialize(ext, data);
    data->Release();
    {
        MessageBoxWatcher boxes;
        EXPECT_EQ(Invoke(ext, "open"), E_INVALIDARG);
        EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(1)), E_INVALIDARG);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
    EXPECT_EQ(ext->InvokeCommand(nullptr), E_INVALIDARG);
    ext->Release();
    ExpectNoLaunchSoFar();
}

TEST_F(VarloTest, InvokeStartsTheMainProgramWithTheSelection) {
    struct Case {
        std::vector<std::string> names;
        std::string line;
    };
    const Case cases[] = {
        {{"a b.txt"}, "arg " + SelectedPath("a b.txt")},
        {{"a b.txt", "two.txt", "three.txt"},
         "arg " + SelectedPath("a b.txt") + "*" + SelectedPath("two.txt") + "*" + SelectedPath("three.txt")},
        {{"sub folder", "two.txt"}, "arg " + SelectedPath("sub folder") + "*" + SelectedPath("two.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteFileA(Launches().c_str());
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        IDataObject* data = ShellDataObject(s.filesDir, c.names);
        ASSERT_TRUE(data);
        EXPECT_EQ(Initialize(ext, data), S_OK);
        data->Release();
        MessageBoxWatcher boxes;
        EXPECT_EQ(Invoke(ext, MAKEINTRESOURCEA(0)), S_OK);
        EXPECT_EQ(WaitForLaunches(1), Messages{c.line});
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(Trace(), (Messages{"CShellExt::Initialize()\r\n", "CShellExt::InvokeCommand()\r\n"}));
        ext->Release();
    }
}

TEST_F(VarloTest, InvokeActsOnTheLatestSelectionWhileItsObjectLives) {
    IContextMenu* older = NewExt();
    IContextMenu* latest = NewExt();
    IDataObject* one = ShellDataObject(s.filesDir, {"a b.txt"});
    IDataObject* two = ShellDataObject(s.filesDir, {"three.txt"});
    Initialize(older, one);
    Initialize(latest, two);
    one->Release();
    two->Release();
    EXPECT_EQ(Invoke(older, MAKEINTRESOURCEA(0)), S_OK);
    EXPECT_EQ(WaitForLaunches(1), Messages{"arg " + SelectedPath("three.txt")});

    // Once the object holding the latest selection is gone, there is nothing to start.
    DeleteFileA(Launches().c_str());
    latest->Release();
    {
        MessageBoxWatcher boxes;
        EXPECT_EQ(Invoke(older, MAKEINTRESOURCEA(0)), S_OK);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
    older->Release();
    ExpectNoLaunchSoFar();
}

TEST_F(VarloTest, FailedStartsAreReportedAndStartNothing) {
    const std::string longPath = "C:\\" + std::string(520, 'p');
    std::vector<std::string> many(70, "C:\\" + std::string(470, 'm'));
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<IDataObject*()> selection;
        std::vector<Box> boxes;
    };
    auto oneFile = [] { return ShellDataObject(s.filesDir, {"two.txt"}); };
    const Case cases[] = {
        {"install key missing", [] { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey); }, oneFile,
         {{"varlo", "Zembra Mailer not Registered!"}}},
        {"no Path value", [] { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kInstallKey, "Path"); }, oneFile, {}},
        {"no zembra.exe in the folder", [] { SetInstallPath(s.emptyDir); }, oneFile,
         {{"Zembra", "failed createproc"}}},
        {"Path longer than a path", [] { SetInstallPath("C:\\" + std::string(300, 'x')); }, oneFile, {}},
        {"path too long", [] {}, [&] { return static_cast<IDataObject*>(new DropDataObject({"C:\\ok.txt", longPath})); },
         {{"varlo", "A selected path is too long for Zembra."}}},
        {"command line too long", [] {}, [&] { return static_cast<IDataObject*>(new DropDataObject(many)); },
         {{"varlo", "Too many files are selected to pass to Zembra at once."}}},
        {"no file list", [] {}, [] { return static_cast<IDataObject*>(new DropDataObject({"C:\\a"}, false)); }, {}},
        {"no data object", [] {}, [] { return static_cast<IDataObject*>(nullptr); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetInstallPath(s.installDir);
        DeleteFileA(Launches().c_str());
        c.prepare();
        IContextMenu* ext = NewExt();
        IDataObject* data = c.selection();
        Initialize(ext, data);
        if (data) data->Release();
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
    char modulePath[MAX_PATH];
    GetModuleFileNameA(s.module, modulePath, MAX_PATH);
    WriteTextFile(s.filesDir + "two.vex", "[Other]\r\nIndex=1\r\n[IconImage]\r\nIndex=2\r\n");
    WriteTextFile(s.filesDir + "none.vex", "[Other]\r\nIndex=1\r\n");
    struct Case {
        std::string load;  // empty: Load is not called
        HRESULT loaded;
        int index;
    };
    const Case cases[] = {
        {s.filesDir + "two.vex", S_OK, 2},
        {s.filesDir + "none.vex", S_OK, 0},
        {"", S_OK, 0},
        {s.filesDir + std::string(300, 'n') + ".vex", E_FAIL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.load);
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        IPersistFile* persist = As<IPersistFile>(ext, IID_IPersistFile);
        IExtractIconA* icon = As<IExtractIconA>(ext, IID_IExtractIconA);
        Messages trace;
        if (!c.load.empty()) {
            std::wstring wide(c.load.begin(), c.load.end());
            EXPECT_EQ(persist->Load(wide.c_str(), STGM_READ), c.loaded);
            trace.push_back("CShellExt::Load()\r\n");
        }
        char path[MAX_PATH] = "";
        int index = -1;
        UINT flags = 99;
        EXPECT_EQ(icon->GetIconLocation(0, path, MAX_PATH, &index, &flags), S_OK);
        EXPECT_STREQ(path, modulePath);
        EXPECT_EQ(index, c.index);
        trace.push_back("CShellExt::GetIconLocation()\r\n");
        EXPECT_EQ(Trace(), trace);
        // A buffer too small for the path is not filled with a cut-off path.
        char small[8];
        EXPECT_EQ(icon->GetIconLocation(0, small, sizeof small, &index, &flags), E_FAIL);
        EXPECT_STREQ(small, "");
        persist->Release();
        icon->Release();
        ext->Release();
    }
}

TEST_F(VarloTest, FixedAnswers) {
    IContextMenu* ext = NewExt();
    IExtractIconA* icon = As<IExtractIconA>(ext, IID_IExtractIconA);
    IPersistFile* persist = As<IPersistFile>(ext, IID_IPersistFile);
    IShellPropSheetExt* sheet = As<IShellPropSheetExt>(ext, IID_IShellPropSheetExt);
    IDropSource* drop = As<IDropSource>(ext, IID_IDropSource);
    ICopyHookA* hook = As<ICopyHookA>(ext, IID_IShellCopyHookA);
    ASSERT_TRUE(icon && persist && sheet && drop && hook);
    CLSID clsid;
    LPOLESTR current = nullptr;
    struct Case {
        const char* trace;
        std::function<HRESULT()> call;
        HRESULT answer;
    };
    const Case cases[] = {
        {"CShellExt::Extract()\r\n", [&] { return icon->Extract("x", 0, nullptr, nullptr, 0); }, S_FALSE},
        {"CShellExt::GetClassID()\r\n", [&] { return persist->GetClassID(&clsid); }, E_FAIL},
        {"CShellExt::IsDirty()\r\n", [&] { return persist->IsDirty(); }, S_FALSE},
        {"CShellExt::Save()\r\n", [&] { return persist->Save(L"C:\\x", TRUE); }, E_FAIL},
        {"CShellExt::SaveCompleted()\r\n", [&] { return persist->SaveCompleted(L"C:\\x"); }, E_FAIL},
        {"CShellExt::GetCurFile()\r\n", [&] { return persist->GetCurFile(&current); }, E_FAIL},
        {"CShellExt::ReplacePage()\r\n", [&] { return sheet->ReplacePage(0, nullptr, 0); }, E_FAIL},
        {nullptr, [&] { return drop->QueryContinueDrag(TRUE, 0); }, DRAGDROP_S_CANCEL},
        {nullptr, [&] { return drop->QueryContinueDrag(FALSE, MK_LBUTTON); }, S_OK},
        {nullptr, [&] { return drop->GiveFeedback(DROPEFFECT_COPY); }, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace ? c.trace : "drop source");
        s.debug->Clear();
        EXPECT_EQ(c.call(), c.answer);
        EXPECT_EQ(Trace(), c.trace ? Messages{c.trace} : Messages{});
    }
    char text[16] = "garbage";
    EXPECT_EQ(ext->GetCommandString(0, GCS_HELPTEXTA, nullptr, text, sizeof text), S_OK);
    EXPECT_STREQ(text, "");
    for (UINT operation : {FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME}) {
        s.debug->Clear();
        EXPECT_EQ(hook->CopyCallback(nullptr, operation, 0, "C:\\a", 0, "C:\\b", 0), static_cast<UINT>(IDYES));
        EXPECT_EQ(Trace(), Messages{"CShellExt::CopyCallback\r\n"});
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{icon, persist, sheet, drop, hook, ext}) p->Release();
}

namespace {

struct PageSink {
    std::vector<HPROPSHEETPAGE> pages;
    BOOL accept = TRUE;
    static BOOL CALLBACK Add(HPROPSHEETPAGE page, LPARAM self) {
        auto* sink = reinterpret_cast<PageSink*>(self);
        sink->pages.push_back(page);
        return sink->accept;
    }
};

HRESULT AddPages(IContextMenu* ext, IDataObject* data, PageSink& sink) {
    Initialize(ext, data);
    if (data) data->Release();
    IShellPropSheetExt* sheet = As<IShellPropSheetExt>(ext, IID_IShellPropSheetExt);
    HRESULT hr = sheet->AddPages(PageSink::Add, reinterpret_cast<LPARAM>(&sink));
    sheet->Release();
    return hr;
}

}  // namespace

TEST_F(VarloTest, NoPageWithoutExactlyOneFile) {
    std::function<IDataObject*()> selections[] = {
        [] { return ShellDataObject(s.filesDir, {"a b.txt", "two.txt"}); },
        [] { return ShellDataObject(s.filesDir, {"a b.txt", "two.txt", "three.txt"}); },
        [] { return static_cast<IDataObject*>(new DropDataObject({"C:\\a"}, false)); },
        [] { return static_cast<IDataObject*>(new DropDataObject({"C:\\" + std::string(280, 'n')})); },
    };
    for (auto& selection : selections) {
        s.debug->Clear();
        IContextMenu* ext = NewExt();
        PageSink sink;
        EXPECT_EQ(AddPages(ext, selection(), sink), S_OK);
        EXPECT_TRUE(sink.pages.empty());
        EXPECT_EQ(Trace(), (Messages{"CShellExt::Initialize()\r\n", "CShellExt::AddPages()\r\n"}));
        EXPECT_EQ(ext->Release(), 0u);
    }
}

TEST_F(VarloTest, RefusedPageGivesBackItsReference) {
    IContextMenu* ext = NewExt();
    PageSink sink;
    sink.accept = FALSE;
    EXPECT_EQ(AddPages(ext, ShellDataObject(s.filesDir, {"two.txt"}), sink), S_OK);
    EXPECT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(ext->Release(), 0u) << "the refused page holds no reference";
}

TEST_F(VarloTest, PageShowsAndWritesTheIconIndex) {
    const std::string file = SelectedPath("page.vex");
    WriteTextFile(file, "[IconImage]\r\nIndex=2\r\n");
    IContextMenu* ext = NewExt();
    PageSink sink;
    ASSERT_EQ(AddPages(ext, ShellDataObject(s.filesDir, {"page.vex"}), sink), S_OK);
    ASSERT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(ext->Release(), 1u) << "the page keeps the object";

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Properties";
    header.nPages = 1;
    header.phpage = sink.pages.data();
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    ASSERT_TRUE(sheet);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    ASSERT_TRUE(page);
    char title[64] = "";
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = title;
    tab.cchTextMax = sizeof title;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(title, "VEX Color");
    EXPECT_EQ(IsDlgButtonChecked(page, 1000), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 1001), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(page, 1002), BST_CHECKED);

    // Apply before any click leaves the file alone.
    WriteTextFile(file, "[IconImage]\r\nIndex=7\r\n");
    PropSheet_Apply(sheet);
    EXPECT_EQ(ReadTextFile(file), "[IconImage]\r\nIndex=7\r\n");

    SendMessageA(GetDlgItem(page, 1000), BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(page, 1000), BST_CHECKED);
    PropSheet_Apply(sheet);
    EXPECT_EQ(GetPrivateProfileIntA("IconImage", "Index", -1, file.c_str()), 0);

    EXPECT_EQ(s.canUnloadNow(), S_FALSE) << "the open page counts as an object of the library";
    DestroyWindow(sheet);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST_F(VarloTest, InstallerRegistrationMakesTheClassCreatable) {
    const std::string clsidKey = "CLSID\\" + s.clsidText;
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", nullptr), s.binFolder + "varlo.dll");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    for (const char* handler : {"*\\shellex\\ContextMenuHandlers\\Zembra", "Directory\\shellex\\ContextMenuHandlers\\Zembra",
                                "*\\shellex\\PropertySheetHandlers\\Zembra"})
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, handler, nullptr), s.clsidText) << handler;

    IContextMenu* menu = nullptr;
    ASSERT_EQ(CoCreateInstance(s.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, reinterpret_cast<void**>(&menu)),
              S_OK);
    EXPECT_EQ(s.canUnloadNow(), S_FALSE) << "the same library serves COM and the direct calls";
    menu->Release();
}
