// Entry point of zembra.exe: the application object starts the program and runs its loop.
#include <windows.h>

#include "app/zm_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (!ZmApp().InitInstance(instance, commandLine)) return 0;
    return ZmApp().Run();
}
