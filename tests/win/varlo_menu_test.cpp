// The shell extension's COM object, through varlo.dll's exports: the class factory, interfaces
// and reference counts, the context menu item, the icon, the copy hook and the drop source.
#include "varlo_fixture.h"

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

TEST_F(VarloTest, IconLocationIsThisLibraryWithTheFilesIndex) {
    char library[MAX_PATH];
    GetModuleFileNameA(s.module, library, MAX_PATH);
    WriteWholeFile(Selected("two.vex"), "[Other]\r\nIndex=1\r\n[IconImage]\r\nIndex=2\r\n");
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
