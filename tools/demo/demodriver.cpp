// tools/demo/demodriver.cpp - a guided run of the installer for `make demo`
// on a machine without a display: starts E:\install.exe, ticks two fonts,
// installs them, uninstalls one, saves a screenshot of each step and prints
// what the system holds afterwards.
//
//   demodriver SHOTS_FOLDER
#include "controls/fonttree.h"
#include "sfnt/embed.h"
#include "tools/automation/remote.h"

#include <cstdio>
#include <string>

using namespace automation;

namespace {

const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

std::string gShots;
int gStep = 0;

void shot(const char *what)
{
    Sleep(400);
    char name[64];
    std::snprintf(name, sizeof name, "\\step%d-%s.bmp", ++gStep, what);
    saveScreenshot(gShots + name);
    std::printf("  screenshot %d: %s\n", gStep, what);
}

void printSystem()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::printf("Fonts registry values of the package (HKLM\\%s):\n", kNtFontsKey);
    OwnedKey key;
    int shown = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtFontsKey, 0, KEY_READ, key.receive()) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[260], data[260];
            DWORD nameSize = sizeof name, dataSize = sizeof data;
            if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE *>(data),
                              &dataSize) != ERROR_SUCCESS)
                break;
            if (std::string(name).compare(0, 2, "QX") == 0) {
                std::printf("  %s = %s\n", name, data);
                ++shown;
            }
        }
    }
    if (!shown)
        std::printf("  (none)\n");
    std::printf("Installed font files in %s\\Fonts:\n", windows);
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((std::string(windows) + "\\Fonts\\QX*").c_str(), &data));
    if (!find) {
        std::printf("  (none)\n");
        return;
    }
    do {
        std::string path = std::string(windows) + "\\Fonts\\" + data.cFileName;
        std::printf("  %-20s %7lu bytes  fsType=%d\n", data.cFileName, data.nFileSizeLow, GetEmbeddingType(path.c_str()));
    } while (FindNextFileA(find.get(), &data));
}

int fail(const char *what)
{
    std::printf("demo: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    gShots = argc > 1 ? argv[1] : ".";
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    char cmd[] = "E:\\install.exe";
    std::printf("Starting E:\\install.exe from the package disc\n");
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, "E:\\", &si, &pi))
        return fail("install.exe could not be started");
    OwnedHandle process(pi.hProcess), thread(pi.hThread);
    HWND dialog = waitForWindow(pi.dwProcessId, "Korimaru Installer US", 30000);
    if (!dialog)
        return fail("the installer's dialog did not appear");
    HWND treeWindow = GetDlgItem(dialog, 1001);
    RemoteTree tree(treeWindow, pi.dwProcessId);
    tree.expandAll();
    shot("start");

    std::printf("Ticking Sample W3 and Sample W5, then Start\n");
    for (const char *label : {"Sample W3", "Sample W5"})
        tree.clickBox(tree.find(label).handle);
    shot("ticked");
    clickCenter(GetDlgItem(dialog, IDOK));
    for (int i = 0; i < 200 && IsWindowEnabled(dialog); ++i)
        Sleep(5);
    for (int i = 0; i < 1200 && !IsWindowEnabled(dialog); ++i)
        Sleep(50);
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
    tree.expandAll();
    shot("installed");
    printSystem();

    std::printf("Uninstall mode: ticking Sample W5, then Start\n");
    HWND combo = GetDlgItem(dialog, 1000);
    SendMessageA(combo, CB_SETCURSEL, MODE_UNINSTALL, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    tree.expandAll();
    tree.clickBox(tree.find("Sample W5").handle);
    shot("uninstall-ticked");
    clickCenter(GetDlgItem(dialog, IDOK));
    HWND done = waitForWindow(pi.dwProcessId, "Korimaru Installer", 30000);
    if (done) {
        shot("removed");
        std::printf("Message: %s\n", windowText(GetDlgItem(done, 0xFFFF)).c_str());
        SendMessageA(GetDlgItem(done, IDOK), BM_CLICK, 0, 0);
    }
    printSystem();

    clickCenter(GetDlgItem(dialog, IDCANCEL));
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("The installer ended with %lu\n", code);
    return 0;
}
