// tests/e2e/opener.cpp - stands in for the program registered to open ".otf"
// files: records each start in opener.log beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char *slash = std::strrchr(path, '\\');
    if (slash)
        std::strcpy(slash + 1, "opener.log");
    if (FILE *f = std::fopen(path, "a")) {
        std::fprintf(f, "started [%s]\n", commandLine);
        std::fclose(f);
    }
    return 0;
}
