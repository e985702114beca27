// program/winmain.cpp - the program's entry and its exported `start`.
#include "dialogs/services.h"
#include "program/entry.h"
#include "program/quiet.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kUsageCaption[] = "Korimaru Installer";

// A program started from a download folder or a disc finds there whatever
// DLL someone put beside it, under the name of a system DLL that it loads
// on demand. DLLs are therefore looked for in the system folder alone where
// the system allows it (Windows 7 with its update KB2533623 and later), else
// at least not in the current directory (XP SP1 and later). Both functions
// are looked up, since older systems lack them. Then the system DLLs that
// the common controls and the shell load on demand (delay-loaded, which
// some loaders resolve along the program's start-up path whatever the
// settings above say) are loaded at once from the system folder by their
// full paths; a later load by name finds them loaded. product.dll is loaded
// by its full path and is not affected.
void restrictDllSearch()
{
    const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesFn setDefault = nullptr;
    SetDllDirectoryFn setDirectory = nullptr;
    if (kernel) {
        setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void *>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        setDirectory = reinterpret_cast<SetDllDirectoryFn>(
            reinterpret_cast<void *>(GetProcAddress(kernel, "SetDllDirectoryA")));
    }
    if (!(setDefault && setDefault(kSearchSystem32)) && setDirectory)
        setDirectory("");

    char system[MAX_PATH];
    UINT n = GetSystemDirectoryA(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 16)
        return;
    // A DLL that this system lacks simply does not load.
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char *name : {"uxtheme.dll", "msimg32.dll", "ole32.dll", "rpcrt4.dll", "combase.dll"}) {
        char path[MAX_PATH];
        lstrcpyA(path, system);
        lstrcatA(path, "\\");
        lstrcatA(path, name);
        LoadLibraryA(path);
    }
    SetErrorMode(errorMode);
}

}  // namespace

// Other programs may run the installer's flow through this export.
extern "C" __declspec(dllexport) int start(int arg)
{
    return runInstaller(arg);
}

// Without arguments (or without /quiet) the dialog runs; with /quiet the
// request runs unattended and its result is the process exit code.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    restrictDllSearch();
    std::vector<std::string> args;
    bool restarted = false;
    for (int i = 1; i < __argc; ++i) {
        args.push_back(__argv[i]);
        restarted = restarted || lstrcmpiA(__argv[i], kRestartedArgument) == 0;
    }
    QuietRequest request;
    switch (parseCommandLine(args, &request)) {
    case CommandLineKind::Usage:
        MessageBoxA(nullptr, kQuietUsage, kUsageCaption, MB_OK | MB_ICONINFORMATION);
        return 0;
    case CommandLineKind::Bad:  // the quiet run logs why and ends with 2
    case CommandLineKind::Quiet:
        return runQuietInstaller(request);
    case CommandLineKind::Dialog:
        break;
    }
    InitCommonControls();
    SystemServices services;
    return runInstallerDialog(services, restarted);
}
