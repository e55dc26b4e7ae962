// remblo start-up: locks DLL loading to the system folder, finds its own file (the set's first
// segment) and shows the Select Destination dialog; the program ends when it closes.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "platform/process.h"
#include "rejoiner/rejoin_dialog.h"
#include "rejoiner/rejoin_paths.h"
#include "winui/app.h"

namespace {

// A first segment is usually run from a Downloads folder, where a planted DLL would be found
// before the system's; restrict the search before anything can load one. The call is looked
// up because systems before Windows 8 without its update lack it.
void RestrictDllSearch() {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto set = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                      : nullptr;
    if (set) set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
    ::SetDllDirectoryA("");  // and never the current folder
}

}  // namespace

// remblo travels inside every first segment: the library's verbose handler would pull in the
// C++ name demangler for a message no user of a window program ever sees.
namespace __gnu_cxx {
void __verbose_terminate_handler() { ::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    winui::App::SetInstance(instance);
    winui::App::InitCommonControls();

    std::string modulePath = ModulePath();
    if (modulePath.empty()) return 0;
    // The shell's display name may hide the extension; the path is rebuilt with it. Without a
    // display name the module path itself is the program's file.
    SHFILEINFOA info{};
    std::string programPath = modulePath;
    if (::SHGetFileInfoA(modulePath.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) && info.szDisplayName[0])
        programPath = rejoin_paths::ProgramPath(modulePath, info.szDisplayName);

    CRejoinDialog dialog(programPath, modulePath);
    dialog.DoModal(nullptr);
    return 0;
}
