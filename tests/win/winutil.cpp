// tests/win/winutil.cpp - helpers for tests that run under Wine.
#include "tests/win/winutil.h"

#include "base/handles.h"

#include <cstdio>

namespace testutil {

std::string programFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

static void removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find.get(), &data));
        find.reset();
    }
    RemoveDirectoryA(folder.c_str());
}

std::string scratchFolder(const std::string &name)
{
    // The same test program runs in both Wine prefixes at once, from the
    // same folder: each Windows version it emulates gets a folder of its own.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    char kind[32];
    std::snprintf(kind, sizeof kind, "-%lu.%lu.%lu", version.dwPlatformId, version.dwMajorVersion,
                  version.dwMinorVersion);
    std::string folder = programFolder() + "scratch-" + name + kind;
    removeTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string readFile(const std::string &path)
{
    std::string data;
    OwnedStdio f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return data;
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f.get())) > 0)
        data.append(block, n);
    return data;
}

bool writeFile(const std::string &path, const std::string &data)
{
    OwnedStdio f(std::fopen(path.c_str(), "wb"));
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
    return f.close() && ok;
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool regGetString(HKEY root, const char *key, const char *value, std::string *out)
{
    OwnedKey h;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, h.receive()) != ERROR_SUCCESS)
        return false;
    char buf[4096];
    DWORD size = sizeof buf - 1, type = 0;
    LONG rc = RegQueryValueExA(h.get(), value, nullptr, &type, reinterpret_cast<BYTE *>(buf), &size);
    if (rc != ERROR_SUCCESS)
        return false;
    buf[size] = '\0';
    *out = buf;
    return true;
}

bool regGetMultiString(HKEY root, const char *key, const char *value,
                       std::vector<std::string> *out)
{
    OwnedKey h;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, h.receive()) != ERROR_SUCCESS)
        return false;
    std::vector<char> buf(65536);
    DWORD size = static_cast<DWORD>(buf.size() - 2), type = 0;
    LONG rc = RegQueryValueExA(h.get(), value, nullptr, &type, reinterpret_cast<BYTE *>(buf.data()), &size);
    if (rc != ERROR_SUCCESS)
        return false;
    buf[size] = buf[size + 1] = '\0';
    out->clear();
    // Empty strings are kept: the pending operations list pairs each source
    // with an empty destination for a deletion.
    size_t pos = 0;
    while (pos < size) {
        std::string s(buf.data() + pos);
        out->push_back(s);
        pos += s.size() + 1;
    }
    return true;
}

std::string versionText()
{
    OSVERSIONINFOA v;
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    char text[64];
    std::snprintf(text, sizeof text, "%lu.%lu platform %lu", v.dwMajorVersion, v.dwMinorVersion,
                  v.dwPlatformId);
    return text;
}

void requireWindows()
{
    static bool checked = false;
    if (checked)
        return;
    HWND probe = CreateWindowExA(0, "STATIC", "window check", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe) {
        std::fprintf(stderr,
                     "testutil: this program cannot create a window (CreateWindowExA failed, error %lu):"
                     " this Wine prefix creates no windows; its set-up probe names what is missing\n",
                     GetLastError());
        std::fflush(stderr);
        ExitProcess(1);
    }
    DestroyWindow(probe);
    checked = true;
}

WindowWatcher::WindowWatcher(const std::string &caption, int buttonId, int maxAnswers)
    : caption_(caption), buttonId_(buttonId), maxAnswers_(maxAnswers)
{
    requireWindows();
    InitializeCriticalSection(&lock_);
    thread_ = std::thread([this] { run(); });
}

WindowWatcher::~WindowWatcher()
{
    stop_ = true;
    thread_.join();
    DeleteCriticalSection(&lock_);
}

std::string WindowWatcher::lastText()
{
    EnterCriticalSection(&lock_);
    std::string s = lastText_;
    LeaveCriticalSection(&lock_);
    return s;
}

namespace {
struct FindData {
    const std::string *caption;
    HWND found;
};

// The text of a window of this process that another thread may own. A
// window's text is asked of its thread, which may be blocked waiting for
// this watcher (a test's thread that joins it): the watcher waits a moment,
// never for ever, and takes no answer as no text.
std::string textOf(HWND hwnd)
{
    char text[1024];
    DWORD_PTR copied = 0;
    if (!hwnd || !SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                      SMTO_ABORTIFHUNG, 200, &copied))
        return std::string();
    return std::string(text, copied < sizeof text ? copied : sizeof text - 1);
}

// Prints each visible top-level window of this process with its caption
// and message text: what a test that waited in vain was shown instead.
BOOL CALLBACK printOwnWindow(HWND hwnd, LPARAM)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd))
        std::fprintf(stderr, "testutil: shown instead: \"%s\" \"%s\"\n", textOf(hwnd).c_str(),
                     textOf(GetDlgItem(hwnd, 0xFFFF)).c_str());
    return TRUE;
}

BOOL CALLBACK findOwnWindow(HWND hwnd, LPARAM lParam)
{
    FindData *fd = reinterpret_cast<FindData *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd))
        return TRUE;
    if (*fd->caption == textOf(hwnd)) {
        fd->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void WindowWatcher::expectWithin(DWORD timeoutMs)
{
    DWORD deadline = GetTickCount() + timeoutMs;
    deadline_ = deadline ? deadline : 1;
}

void WindowWatcher::run()
{
    while (!stop_) {
        FindData fd = {&caption_, nullptr};
        EnumWindows(findOwnWindow, reinterpret_cast<LPARAM>(&fd));
        DWORD deadline = deadline_;
        if (fd.found) {
            deadline_ = 0;
        } else if (deadline && answers_ == 0 && static_cast<LONG>(GetTickCount() - deadline) > 0) {
            std::fprintf(stderr,
                         "testutil: the window \"%s\" did not appear: the test is blocked in the call"
                         " that should have shown it; ending the program\n",
                         caption_.c_str());
            EnumWindows(printOwnWindow, 0);
            std::fflush(stderr);
            ExitProcess(1);
        }
        if (fd.found && answers_ < maxAnswers_) {
            std::string text = textOf(GetDlgItem(fd.found, 0xFFFF));
            EnterCriticalSection(&lock_);
            lastText_ = text;
            LeaveCriticalSection(&lock_);
            if (before_)
                before_(answers_);
            HWND button = GetDlgItem(fd.found, buttonId_);
            ++answers_;
            // Posted: the thread that owns the window answers when it can.
            if (button)
                PostMessageA(button, BM_CLICK, 0, 0);
            else
                PostMessageA(fd.found, WM_COMMAND, buttonId_, 0);
            // Wait until that window has gone before looking again.
            for (int i = 0; i < 200 && IsWindow(fd.found) && IsWindowVisible(fd.found); ++i)
                Sleep(10);
        }
        Sleep(20);
    }
}

std::string windowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

// "win98" from ...\e2e_tests-win98.exe: the version this run emulates.
std::string emulatedVersion()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name = path;
    size_t dash = name.find_last_of('-'), dot = name.find_last_of('.');
    return dash == std::string::npos ? "" : name.substr(dash + 1, dot - dash - 1);
}

// A Windows path for a folder of the build tree (the Z: drive is the root).
std::string buildPath(const char *unixPath)
{
    std::string p = std::string("Z:") + unixPath;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

void removeFilesIn(const std::string &folder, const std::string &pattern)
{
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((folder + "\\" + pattern).c_str(), &data));
    if (!find)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::string path = folder + "\\" + data.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(find.get(), &data));
}

void copyFolder(const std::string &from, const std::string &to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((from + "\\*").c_str(), &data));
    if (!find)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copyFolder(from + "\\" + name, to + "\\" + name);
        else
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(find.get(), &data));
}

}  // namespace testutil
