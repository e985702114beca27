// shell/winmain.cpp - the program's entry and its exported `start`.
#include "shell/entry.h"

#include <commctrl.h>

// Other programs may run the installer's flow through this export.
extern "C" __declspec(dllexport) int start(int arg)
{
    return runInstaller(arg);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    InitCommonControls();
    return runInstaller(0);
}
