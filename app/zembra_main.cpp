// Entry point of zembra.exe (replaced by the application object as the shell is built).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
