// The shell extension starting the main program with the selection, its property page, and the
// registration the installer writes.
#include <functional>

#include "varlo_fixture.h"

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
    WriteWholeFile(file, "[IconImage]\r\nIndex=2\r\n");
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
    WriteWholeFile(file, "[IconImage]\r\nIndex=7\r\n");
    PropSheet_Apply(sheet);
    EXPECT_EQ(ReadWholeFile(file), "[IconImage]\r\nIndex=7\r\n");
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
