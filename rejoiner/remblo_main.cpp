// remblo start-up: locks DLL loading to the system folder, then finds its own file.
#include <windows.h>

namespace {

// A first segment is usually run from a Downloads folder, where a planted DLL would be found
// before the system's; restrict the search before anything can load one.
void RestrictDllSearch() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set) set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    return 0;
}
