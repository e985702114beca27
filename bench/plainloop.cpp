// bench/plainloop.cpp - the floor of an unattended install: for each font
// of the quiet-run benchmark's disc, CopyFileA into the system fonts
// folder, AddFontResourceA and the Fonts value, and nothing else.
//
//   plainloop.exe COUNT
//
// Exit code 0 when every font was installed so.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 0;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                      KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    int done = 0;
    for (int i = 1; i <= count; ++i) {
        char source[MAX_PATH], file[64], target[MAX_PATH], value[64];
        std::snprintf(source, sizeof source, "E:\\FontData\\QXQuiet-%03d", i);
        std::snprintf(file, sizeof file, "QXQuiet-%03d.otf", i);
        std::snprintf(target, sizeof target, "%s\\Fonts\\%s", windows, file);
        std::snprintf(value, sizeof value, "QXQuiet-%03d Regular (OpenType)", i);
        if (CopyFileA(source, target, TRUE) && AddFontResourceA(target) > 0 &&
            RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE *>(file),
                           static_cast<DWORD>(std::strlen(file) + 1)) == ERROR_SUCCESS)
            ++done;
    }
    RegCloseKey(key);
    PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
    return done == count ? 0 : 1;
}
