// tests/win/winutil.h - helpers for tests that run under Wine.
#ifndef TESTS_WIN_WINUTIL_H
#define TESTS_WIN_WINUTIL_H

#include "tools/automation/remote.h"

#include <windows.h>

#include <cstdio>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace testutil {

// Folder of the running test program, with a trailing backslash.
std::string programFolder();
// A fresh, empty scratch folder under the program's folder.
std::string scratchFolder(const std::string &name);
std::string readFile(const std::string &path);
bool writeFile(const std::string &path, const std::string &data);
bool fileExists(const std::string &path);

// The Windows directory.
std::string windowsDir();
// "win98" from ...\e2e_tests-win98.exe: the version this run emulates.
std::string emulatedVersion();
// A Windows path for a folder of the build tree (the Z: drive is the root).
std::string buildPath(const char *unixPath);
// Deletes the files of folder that match pattern, read-only ones too.
void removeFilesIn(const std::string &folder, const std::string &pattern);
// Copies the folder with everything in it.
void copyFolder(const std::string &from, const std::string &to);

// Registry helpers (REG_SZ and REG_MULTI_SZ as text).
bool regGetString(HKEY root, const char *key, const char *value, std::string *out);
bool regGetMultiString(HKEY root, const char *key, const char *value,
                       std::vector<std::string> *out);

// The emulated Windows version of this run, e.g. "win98 (4.10 platform 1)".
std::string versionText();

// Ends the test program at once (exit code 1) with a message saying so when
// this process cannot create a top-level window: a test that waits for a
// window would otherwise fail late or run into the run's time limit.
void requireWindows();

// Waits up to timeoutMs for a visible top-level window of process pid with
// the given caption (the installer's main dialog). Once such a wait has come
// to nothing, every later one in this program gives nullptr at once: the
// installer's windows do not appear here, and each test waiting out its
// time again would only run the program into its time limit.
inline HWND waitForStartedDialog(DWORD pid, const std::string &caption, int timeoutMs)
{
    static bool noneAppeared = false;
    if (noneAppeared)
        return nullptr;
    HWND dialog = automation::waitForWindow(pid, caption, timeoutMs);
    if (!dialog) {
        noneAppeared = true;
        std::fprintf(stderr, "testutil: the window \"%s\" did not appear; later starts of this program"
                             " are not waited for\n", caption.c_str());
    }
    return dialog;
}

// Watches for a top-level window of this process with the given caption and
// answers it by clicking the button with buttonId. Records the text of the
// window's message static (message boxes) and how often it answered.
// Requires that windows can be created (requireWindows).
class WindowWatcher {
public:
    WindowWatcher(const std::string &caption, int buttonId, int maxAnswers = 1000);
    ~WindowWatcher();
    // Before answering, run this (e.g. to change the disc); may be empty.
    void onBeforeAnswer(void (*fn)(int count)) { before_ = fn; }
    // The window is expected: when none has appeared within timeoutMs the
    // program ends at once with a message naming it, since the test is then
    // most likely blocked in the call that should have shown it.
    void expectWithin(DWORD timeoutMs);
    int answers() const { return answers_; }
    std::string lastText();

private:
    void run();
    std::string caption_;
    int buttonId_;
    int maxAnswers_;
    void (*before_)(int) = nullptr;
    std::atomic<int> answers_{0};
    std::atomic<bool> stop_{false};
    std::atomic<DWORD> deadline_{0};  // tick count; 0 when not expected
    std::string lastText_;
    CRITICAL_SECTION lock_;
    std::thread thread_;
};

}  // namespace testutil

#endif
