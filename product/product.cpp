// product/product.cpp - entry and exports of the product module.
//
// The module carries no logic beyond its entry: everything that belongs to
// one font package is in its resources, which the installer searches
// before its own.
#include <windows.h>

namespace {
HINSTANCE gModule = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModule = instance;
    return TRUE;
}

// The installer calls this once after loading the module; a zero result
// makes it end without showing its dialog.
extern "C" __declspec(dllexport) int start(int)
{
    return 1;
}
