// tests/ui/uitest.h - a user-interface thread for tests, and real input.
//
// Windows under test live on a thread of their own with its own message
// loop (a modal dialog's loop or a plain one); the test thread drives them
// with SendInput, which goes through Wine's input queue: hit testing, focus,
// button and double-click synthesis happen as for a user.
#ifndef TESTS_UI_UITEST_H
#define TESTS_UI_UITEST_H

#include <windows.h>

#include <functional>
#include <thread>

namespace uitest {

class UiThread {
public:
    // Starts the thread; body runs on it after its helper window exists and
    // may run a modal loop. Without a body the thread runs a plain loop.
    // When the helper window cannot be created the program ends at once
    // with a message saying so (exit code 1).
    explicit UiThread(std::function<void()> body = std::function<void()>());
    ~UiThread();
    // Runs fn on the UI thread and waits for it.
    void call(const std::function<void()> &fn);
    // Returns once the UI thread has handled all input queued so far (a
    // timer message comes after every input message in the queue).
    void settle();
    // Waits until the body has returned (e.g. the modal dialog ended);
    // false after timeoutMs.
    bool waitDone(DWORD timeoutMs);

private:
    void run(std::function<void()> body);
    static LRESULT CALLBACK helperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    std::thread thread_;
    HWND helper_;
    DWORD createError_ = 0;
    HANDLE ready_;
    HANDLE settled_;
    HANDLE done_;
};

// Screen point of a client point of hwnd.
POINT toScreen(HWND hwnd, int x, int y);
// The centre of the box-sized strip [left, right) x [top, bottom).
POINT centreOf(const RECT &r);

// Real mouse and keyboard input.
void moveTo(POINT screen);
void buttonDown();
void buttonUp();
void click(POINT screen);
void doubleClick(POINT screen);
void keyDown(WORD vk);
void keyUp(WORD vk);

}  // namespace uitest

#endif
