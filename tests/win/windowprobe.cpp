// tests/win/windowprobe.cpp - can a program of this tree show a window here?
//
// Run once per Wine prefix when the prefix is set up: it creates a visible
// top-level window captioned "window probe", paints a pixel into it and
// reads that pixel back. It then keeps the window up until the file named by
// its argument exists (at most 30 s), so that the caller can look for the
// window on the X display itself. Each step prints one line; the exit code
// is 0 when all of them worked, else the number of the step that failed.
//
// With --hold FILE it shows nothing and stays attached to the desktop until
// FILE exists, so that the prefix keeps one explorer.exe (see hold_desktop in
// tools/wine-harness.sh for why).
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const COLORREF kMark = RGB(0x12, 0x34, 0x56);

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int fail(int step, const char *what)
{
    std::printf("window probe: %s (error %lu)\n", what, GetLastError());
    std::fflush(stdout);
    return step;
}

}  // namespace

int main(int argc, char **argv)
{
    if (!GetDesktopWindow())
        return fail(1, "there is no desktop window");
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) {
        std::printf("window probe: holding the desktop\n");
        std::fflush(stdout);
        while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(200);
        }
        return 0;
    }
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = probeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WindowProbe";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (!RegisterClassA(&wc))
        return fail(2, "the window class cannot be registered");
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "window probe", WS_POPUP | WS_VISIBLE, 20, 20,
                                64, 64, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return fail(3, "CreateWindowExA of a visible top-level window failed");
    std::printf("window probe: window created\n");

    // Let the window be mapped and painted, then mark a pixel and read it back.
    bool marked = false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (IsWindowVisible(hwnd)) {
            HDC dc = GetDC(hwnd);
            SetPixel(dc, 5, 5, kMark);
            GdiFlush();
            marked = GetPixel(dc, 5, 5) == kMark;
            ReleaseDC(hwnd, dc);
            if (marked)
                break;
        }
        Sleep(50);
    }
    if (!IsWindowVisible(hwnd))
        return fail(4, "the window was created but never became visible");
    if (!marked)
        return fail(5, "a pixel drawn into the window does not read back from the display");
    std::printf("window probe: window shown and drawn\n");
    std::fflush(stdout);
    for (DWORD start = GetTickCount(); argc > 1 && GetTickCount() - start < 30000;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (GetFileAttributesA(argv[1]) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(50);
    }
    DestroyWindow(hwnd);
    return 0;
}
