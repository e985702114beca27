// tests/ui/uitest.cpp - a user-interface thread for tests, and real input.
#include "tests/ui/uitest.h"

#include <cstdio>

namespace uitest {

namespace {

const UINT kCallMessage = WM_APP + 1;
const UINT kSettleMessage = WM_APP + 2;
const UINT_PTR kSettleTimer = 77;
const char kHelperClass[] = "UiTestHelper";

void sendMouse(DWORD flags)
{
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD vk, DWORD flags)
{
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

UiThread::UiThread(std::function<void()> body) : helper_(nullptr)
{
    ready_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    settled_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, body] { run(body); });
    WaitForSingleObject(ready_, INFINITE);
    if (!helper_) {
        // Nothing of a window test can run without windows: say so and end
        // now rather than crash or wait for the run's time limit.
        std::fprintf(stderr,
                     "uitest: the test cannot create its helper window (CreateWindowExA failed, error %lu):"
                     " this Wine prefix creates no windows; its set-up probe names what is missing\n",
                     createError_);
        std::fflush(stderr);
        ExitProcess(1);
    }
}

UiThread::~UiThread()
{
    PostMessageA(helper_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
    CloseHandle(settled_);
    CloseHandle(done_);
}

LRESULT CALLBACK UiThread::helperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    UiThread *self = reinterpret_cast<UiThread *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case kCallMessage:
        (*reinterpret_cast<const std::function<void()> *>(lParam))();
        return 0;
    case kSettleMessage:
        SetTimer(hwnd, kSettleTimer, 1, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kSettleTimer) {
            KillTimer(hwnd, kSettleTimer);
            SetEvent(self->settled_);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void UiThread::run(std::function<void()> body)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = helperProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHelperClass;
    RegisterClassA(&wc);
    helper_ = CreateWindowExA(0, kHelperClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    if (!helper_) {
        createError_ = GetLastError();
        SetEvent(ready_);
        return;
    }
    SetWindowLongPtrA(helper_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetEvent(ready_);
    if (body)
        body();
    SetEvent(done_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void UiThread::call(const std::function<void()> &fn)
{
    SendMessageA(helper_, kCallMessage, 0, reinterpret_cast<LPARAM>(&fn));
}

void UiThread::settle()
{
    // Let the input reach the thread's queue first.
    Sleep(30);
    PostMessageA(helper_, kSettleMessage, 0, 0);
    WaitForSingleObject(settled_, 5000);
}

bool UiThread::waitDone(DWORD timeoutMs)
{
    return WaitForSingleObject(done_, timeoutMs) == WAIT_OBJECT_0;
}

POINT toScreen(HWND hwnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hwnd, &pt);
    return pt;
}

POINT centreOf(const RECT &r)
{
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return pt;
}

void moveTo(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    // An absolute move as well, so that the window under the cursor sees it.
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    // Absolute moves are in 1/65536 of the screen, rounded down on arrival.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (screen.x * 65536 + width - 1) / width;
    input.mi.dy = (screen.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void buttonDown()
{
    sendMouse(MOUSEEVENTF_LEFTDOWN);
}

void buttonUp()
{
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void click(POINT screen)
{
    moveTo(screen);
    buttonDown();
    buttonUp();
}

void doubleClick(POINT screen)
{
    moveTo(screen);
    buttonDown();
    buttonUp();
    buttonDown();
    buttonUp();
}

void keyDown(WORD vk)
{
    sendKey(vk, 0);
}

void keyUp(WORD vk)
{
    sendKey(vk, KEYEVENTF_KEYUP);
}

}  // namespace uitest
