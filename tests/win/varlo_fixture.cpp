// The shell extension tests' shared ground: the library loaded and registered once per run.
#include "varlo_fixture.h"

#include <cstdio>
#include <cstdlib>

const char kInstallKey[] = "Software\\Orlaq\\Zembra";
Suite s;

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
        std::string text = ReadWholeFile(Launches());
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

// A crash ends the run at once with a line saying so, instead of waiting on a crash dialog.
// A named WINAPI function: on 32-bit Windows a lambda converts only to a cdecl pointer.
static LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
    fprintf(stderr, "varlo_test: unhandled exception 0x%08lx\n", info->ExceptionRecord->ExceptionCode);
    fflush(stderr);
    ExitProcess(3);
}

void VarloTest::SetUpTestSuite() {
    SetUnhandledExceptionFilter(EndOnCrash);
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
    for (const char* name : {"a b.txt", "two.txt", "three.txt"}) WriteWholeFile(s.filesDir + name, "x");
    CopyFileA((s.bin + "varlo_fake_zembra.exe").c_str(), (s.installDir + "\\zembra.exe").c_str(), FALSE);

    // Register as the installer does, from the registration file, with the build's folder.
    const char* source = getenv("ZEMBRA_SOURCE_DIR");
    ASSERT_TRUE(source) << "ZEMBRA_SOURCE_DIR is not set";
    std::string reg = ReadWholeFile("Z:" + std::string(source) + "/resources/varlo.reg");
    size_t key = reg.find("[HKEY_CLASSES_ROOT\\CLSID\\{");
    ASSERT_NE(key, std::string::npos);
    s.clsidText = reg.substr(key + 25, 38);
    std::wstring wide(s.clsidText.begin(), s.clsidText.end());
    ASSERT_EQ(CLSIDFromString(wide.c_str(), &s.clsid), NOERROR) << s.clsidText;
    std::string escaped;
    for (char c : s.bin.substr(0, s.bin.size() - 1)) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    for (size_t at; (at = reg.find("%INSTALLDIR%")) != std::string::npos;) reg.replace(at, 12, escaped);
    ASSERT_TRUE(WriteWholeFile(s.root + "varlo.reg", reg));
    ASSERT_EQ(system(("regedit.exe /s \"" + s.root + "varlo.reg\"").c_str()), 0);

    s.module = LoadLibraryA((s.bin + "varlo.dll").c_str());
    ASSERT_TRUE(s.module);
    s.getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(s.module, "DllGetClassObject")));
    s.canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(s.module, "DllCanUnloadNow")));
}

void VarloTest::TearDownTestSuite() {
    if (s.module) FreeLibrary(s.module);
    delete s.debug;
    std::string from = s.root.substr(0, s.root.size() - 1) + std::string(2, '\0');
    SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
    SHFileOperationA(&op);
    OleUninitialize();
}
