// Plays Explorer for an installed suite: creates the shell extension through COM (so the
// registry decides which varlo.dll loads), asks for its menu with one file selected, chooses
// "&Zembra" and watches the program it starts. Also reports the version resource of each
// installed program. Prints "key: value" lines for installer_test.py and exits non-zero when a
// step fails.
//   installer_shell_host <class id> <file to select> <installed program> ...
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "varlo_test_support.h"

namespace {

int g_failures = 0;

void Report(const char* key, const std::string& value) { std::printf("%s: %s\n", key, value.c_str()); }

void Fail(const std::string& why) {
    std::printf("FAILED: %s\n", why.c_str());
    ++g_failures;
}

// What varlo asked CreateProcessA for, and a handle to what it got, kept past its own CloseHandle.
struct Launch {
    bool called = false;
    BOOL result = FALSE;
    std::string application, commandLine;
    HANDLE process = nullptr;
} g_launch;

using CreateProcessAFn = decltype(&CreateProcessA);
CreateProcessAFn g_realCreateProcess = nullptr;

BOOL WINAPI RecordingCreateProcess(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES pa,
                                   LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD flags, LPVOID env, LPCSTR dir,
                                   LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info) {
    g_launch.called = true;
    g_launch.application = application ? application : "<none>";
    g_launch.commandLine = commandLine ? commandLine : "<none>";
    g_launch.result = g_realCreateProcess(application, commandLine, pa, ta, inherit, flags, env, dir, startup, info);
    if (g_launch.result)
        DuplicateHandle(GetCurrentProcess(), info->hProcess, GetCurrentProcess(), &g_launch.process, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    return g_launch.result;
}

// Points the module's import of kernel32's CreateProcessA at the recorder.
bool HookCreateProcess(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "kernel32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), "CreateProcessA") != 0) continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            g_realCreateProcess = reinterpret_cast<CreateProcessAFn>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&RecordingCreateProcess);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

// "started" once the program shows a window or ends with 0 (a placeholder without a window); a
// crash or a failing start gives its exit code. A program still running is ended.
BOOL CALLBACK FindVisible(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return !(owner == static_cast<DWORD>(pid) && IsWindowVisible(window));
}

std::string WatchStart(HANDLE process) {
    std::string result = "started (no window within 15 s)";
    for (int tries = 0; tries < 300; ++tries) {
        if (!EnumWindows(FindVisible, GetProcessId(process))) {
            result = "started (window shown)";
            break;
        }
        DWORD code = 0;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code))
            return code == 0 ? "started (ended with 0)" : "exited with " + std::to_string(code);
    }
    TerminateProcess(process, 0);
    return result;
}

std::string FileVersion(const std::string& path) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    char* product = nullptr;
    UINT productLength = 0;
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        !VerQueryValueA(data.data(), "\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&product),
                        &productLength))
        return "<none>";
    char text[128];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u %s", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS), product);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: installer_shell_host <class id> <file to select> [installed program ...]\n");
        return 2;
    }
    for (int i = 3; i < argc; ++i) Report((std::string("version ") + argv[i]).c_str(), FileVersion(argv[i]));

    OleInitialize(nullptr);
    MessageBoxWatcher boxes;
    std::wstring clsidText(argv[1], argv[1] + strlen(argv[1]));
    CLSID clsid;
    if (CLSIDFromString(clsidText.c_str(), &clsid) != NOERROR) Fail("not a class id");
    IShellExtInit* init = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, reinterpret_cast<void**>(&init));
    if (FAILED(hr) || !init) {
        Fail("the class cannot be created from the registry");
        return 1;
    }
    HMODULE module = GetModuleHandleA("varlo.dll");
    char path[MAX_PATH] = "<not loaded>";
    DWORD size = MAX_PATH;
    if (module) GetModuleFileNameA(module, path, MAX_PATH);
    Report("loaded", path);
    if (!module || !HookCreateProcess(module)) Fail("varlo.dll does not import CreateProcessA");

    std::string file = argv[2];
    size_t slash = file.find_last_of('\\');
    init->Initialize(nullptr, ShellDataObject(file.substr(0, slash + 1), {file.substr(slash + 1)}), nullptr);
    IContextMenu* menu = nullptr;
    init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    init->Release();
    HMENU popup = CreatePopupMenu();
    hr = menu->QueryContextMenu(popup, 0, 100, 200, CMF_EXPLORE);
    char item[64] = "";
    GetMenuStringA(popup, 100, item, sizeof item, MF_BYCOMMAND);
    Report("menu", item);
    if (hr != MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)) Fail("the menu handler did not add its one command");

    CMINVOKECOMMANDINFO info = {sizeof info, 0, nullptr, MAKEINTRESOURCEA(0), nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr};
    if (menu->InvokeCommand(&info) != S_OK) Fail("the command was refused");
    menu->Release();
    DestroyMenu(popup);

    Report("started program", g_launch.application);
    Report("command line", g_launch.commandLine);
    if (!g_launch.called) {
        Fail("no program was started");
    } else if (!g_launch.result || !g_launch.process) {
        Fail("the program could not be started");
    } else {
        if (QueryFullProcessImageNameA(g_launch.process, 0, path, &size)) Report("process image", path);
        Report("start", WatchStart(g_launch.process));
        CloseHandle(g_launch.process);
    }
    for (const MessageBoxWatcher::Box& box : boxes.Boxes()) Fail("message box " + box.caption + ": " + box.text);
    CoUninitialize();
    std::fflush(stdout);
    return g_failures ? 1 : 0;
}
