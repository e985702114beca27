// tools/automation/remote.h - driving the installer's windows from another process:
// finding its windows, reading its tree view through memory lent in the
// installer's process, and real mouse input through the display.
#ifndef TOOLS_AUTOMATION_REMOTE_H
#define TOOLS_AUTOMATION_REMOTE_H

#include "base/handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace automation {

// A visible top-level window of process pid with exactly this caption, once
// it appears (nullptr after timeoutMs).
HWND waitForWindow(DWORD pid, const std::string &caption, int timeoutMs);
// Waits until hwnd is gone or hidden; false after timeoutMs.
bool waitForWindowGone(HWND hwnd, int timeoutMs);
// Any visible top-level window of process pid other than except.
HWND findOtherWindow(DWORD pid, HWND except);
std::string windowText(HWND hwnd);

// A left click (or double click) at a point of hwnd's client area, through
// the system's input queue: the display moves the pointer and reports the
// button, as for a user's click.
void click(HWND hwnd, POINT client);
void clickCenter(HWND hwnd);

// Saves the whole screen as a 24-bit BMP file; false on failure.
bool saveScreenshot(const std::string &path);

struct TreeItem {
    HTREEITEM handle;
    HTREEITEM parent;
    int depth;
    std::string text;
    int image;  // 2 x check state + enabled
    bool hasChildren;
};

// A tree view of another process.
class RemoteTree {
public:
    RemoteTree(HWND tree, DWORD pid);
    ~RemoteTree();
    RemoteTree(const RemoteTree &) = delete;
    RemoteTree &operator=(const RemoteTree &) = delete;
    bool ok() const { return memory_ != nullptr; }
    // Every item, depth first, with its shown text and image.
    std::vector<TreeItem> items();
    // The item with this shown text (first in tree order); handle nullptr when none.
    TreeItem find(const std::string &text);
    RECT textRect(HTREEITEM item);
    // Clicks the item's check box (the strip left of its text).
    void clickBox(HTREEITEM item);
    void expandAll();

private:
    HWND tree_;
    OwnedHandle process_;
    char *memory_;
};

}  // namespace automation

#endif
