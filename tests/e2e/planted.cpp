// A DLL planted beside install.exe under the name of a system DLL that the
// installer's dialog loads on demand. Loaded, it leaves a marker file in the
// Windows directory and refuses to load, so that the system's own DLL is
// taken instead and the program runs on either way.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH];
    UINT n = GetWindowsDirectoryA(path, MAX_PATH - 20);
    if (n > 0 && n < MAX_PATH - 20) {
        lstrcatA(path, "\\planted-dll.log");
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "loaded\r\n", 8, &written, nullptr);
            CloseHandle(file);
        }
    }
    return FALSE;
}
