// tests/e2e/opener.cpp - stands in for the program registered to open ".otf"
// files: records each start in opener.log in the Windows directory, which is
// the prefix's own (runs of other versions in another prefix share the
// program's folder, not that one).
#include "base/handles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char path[MAX_PATH];
    UINT n = GetWindowsDirectoryA(path, MAX_PATH - 12);
    if (n == 0 || n >= MAX_PATH - 12)
        return 1;
    std::strcat(path, "\\opener.log");
    if (OwnedStdio f{std::fopen(path, "a")})
        std::fprintf(f.get(), "started [%s]\n", commandLine);
    return 0;
}
