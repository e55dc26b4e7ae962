// The shell extension to the wizard end to end under Wine: varlo.dll, loaded here as Explorer
// loads it, is given a selection and its command; the zembra.exe of this build that it starts (its
// install folder registered as the installer does)
// runs the wizard on that selection and builds it.
#include <objbase.h>
#include <shobjidl.h>

#include "gui/wizard_fixture.h"
#include "varlo_test_support.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
constexpr char kInstallKey[] = "Software\\Orlaq\\Zembra";

class WizardFromShell : public WizardGui {
protected:
    void SetUp() override {
        WizardGui::SetUp();
        OleInitialize(nullptr);
        std::string folder = app_.substr(0, app_.size() - 1);
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kInstallKey, "Path", REG_SZ, folder.c_str(),
                        static_cast<DWORD>(folder.size() + 1));
        module_ = LoadLibraryA((ModuleFolder() + "varlo.dll").c_str());
    }
    void TearDown() override {
        // A zembra.exe left running would make the next one a second instance, which ends at once.
        gui::WindowQuery q;
        q.className = "ZembraMainFrame";
        q.visibleOnly = false;
        for (HWND frame : gui::TopWindows(q)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(frame, &pid);
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                TerminateProcess(p, 1);
                WaitForSingleObject(p, gui::kTimeoutMs);
                CloseHandle(p);
            }
        }
        if (process_) CloseHandle(process_);
        if (module_) FreeLibrary(module_);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kInstallKey, "Path");
        OleUninitialize();
        WizardGui::TearDown();
    }

    // The class id the installer registers, read from the registration file.
    static CLSID ExtensionClass() {
        const char* source = getenv("ZEMBRA_SOURCE_DIR");
        std::string reg = ReadWholeFile("Z:" + std::string(source ? source : "") + "/resources/varlo.reg");
        size_t key = reg.find("[HKEY_CLASSES_ROOT\\CLSID\\{");
        CLSID clsid = {};
        if (key == std::string::npos) return clsid;
        std::string text = reg.substr(key + 25, 38);
        std::wstring wide(text.begin(), text.end());
        CLSIDFromString(wide.c_str(), &clsid);
        return clsid;
    }

    // What Explorer does when "&Zembra" is chosen on the selection.
    HRESULT ChooseZembra(const std::vector<std::string>& names) {
        auto getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        if (!getClassObject) return E_FAIL;
        IClassFactory* factory = nullptr;
        if (getClassObject(ExtensionClass(), IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK) return E_FAIL;
        IContextMenu* menu = nullptr;
        factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(&menu));
        factory->Release();
        if (!menu) return E_FAIL;
        IShellExtInit* init = nullptr;
        menu->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init));
        IDataObject* data = ShellDataObject(tree_ + "\\", names);
        HRESULT hr = init && data ? init->Initialize(nullptr, data, nullptr) : E_FAIL;
        if (init) init->Release();
        if (data) data->Release();
        if (hr == S_OK) {
            CMINVOKECOMMANDINFO info = {sizeof info, 0, nullptr, MAKEINTRESOURCEA(0), nullptr, nullptr, SW_SHOWNORMAL,
                                        0, nullptr};
            hr = menu->InvokeCommand(&info);
        }
        menu->Release();
        return hr;
    }

    HMODULE module_ = nullptr;
    HANDLE process_ = nullptr;
};

TEST_F(WizardFromShell, TheMenuCommandStartsTheWizardOnTheSelection) {
    ASSERT_TRUE(module_) << "varlo.dll did not load";
    MessageBoxWatcher boxes;  // varlo's own failures would show here
    ASSERT_EQ(ChooseZembra({"data.bin", "sub"}), S_OK);

    // The zembra.exe that varlo started shows page 1.
    gui::WindowQuery q;
    q.className = "#32770";
    q.title = "Zembra Wizard";
    HWND page = gui::FindTop(q);
    ASSERT_TRUE(page) << "no wizard";
    EXPECT_TRUE(boxes.Boxes().empty());
    GetWindowThreadProcessId(page, &pid_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid_);
    page = WaitPage(kPage1);
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = BuildSet(WaitPage(kPage3, page), "Shell");
    ASSERT_TRUE(page);
    EXPECT_NE(Item(page, kResults).find(tree_ + "\\sub\\inner.bin"), std::string::npos) << Item(page, kResults);
    // EMail: with no mailer beside the program the page says so and stays; with one (a stand-in
    // that notes its command line) the mailer gets the set and the wizard, and the program, end.
    ASSERT_TRUE(gui::Click(page, kEmail));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, pid_), "Failed to execute the Mailer!");
    EXPECT_TRUE(IsWindowVisible(page));
    ASSERT_TRUE(CopyFileA((ModuleFolder() + "varlo_fake_zembra.exe").c_str(), (app_ + "korvo.exe").c_str(), FALSE));
    ASSERT_TRUE(gui::Click(page, kEmail));
    EXPECT_EQ(WaitForSingleObject(process_, gui::kTimeoutMs), WAIT_OBJECT_0) << "zembra.exe did not end";
    int segments = CSplitEngine::CountSegments(SystemFileSystem(), out_, "Shell");
    EXPECT_GE(segments, 1);
    std::string launched;
    gui::WaitUntil([&] { return !(launched = ReadWholeFile(app_ + "launches.txt")).empty(); });
    EXPECT_EQ(launched, "\"" + app_ + "korvo.exe\" &Segmented " + out_ + "Shell " + std::to_string(segments) + "\r\n");

    EXPECT_EQ(Rejoined("Shell"), Source({"data.bin", "sub"}));
}

}  // namespace
