// shell/winmain.cpp - the program's entry and its exported `start`.
#include "shell/entry.h"
#include "shell/quiet.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kUsageCaption[] = "Korimaru Installer";

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
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.push_back(__argv[i]);
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
    return runInstaller(0);
}
