// tests/e2e/installerdriver.h - the real install.exe started as a user starts
// it and driven through its main dialog: the tree's boxes, the mode, Start,
// and the wait for a run and the view's refresh. Both end-to-end programs
// drive the installer through it.
#ifndef TESTS_E2E_INSTALLERDRIVER_H
#define TESTS_E2E_INSTALLERDRIVER_H

#include "base/handles.h"
#include "tools/automation/remote.h"

#include <windows.h>

#include <string>

namespace testutil {

// Image index of a tree item: 2 x check state + enabled.
enum { kNoneGray = 0, kNone = 1, kAllGray = 2, kAll = 3 };

// Lets every program of that file name see the given Windows version.
void emulateVersionFor(const char *exeName, const std::string &version);

class InstallerDriver {
public:
    // caption: the main dialog's title, progressCaption the progress dialog's.
    InstallerDriver(const char *caption, const char *progressCaption);
    // A run still going is ended.
    ~InstallerDriver();

    // Starts program (a disc's install.exe) in folder, waits for its main
    // dialog and opens every branch of the tree. Fails fatally when the
    // dialog does not come.
    void launch(const std::string &program, const std::string &folder);
    // Presses Cancel and waits for the program's end.
    void exitInstaller();

    HWND dialog() const { return dialog_; }
    DWORD pid() const { return pid_; }
    automation::RemoteTree tree() const { return automation::RemoteTree(tree_, pid_); }

    int imageOf(const std::string &label) const { return tree().find(label).image; }
    // The image of the leaf under this category; -1 when there is none.
    int imageOf(const std::string &category, const std::string &leaf) const;
    // Clicks the item's box and expects it ticked.
    void tick(const std::string &label);
    // Chooses Install (0) or Uninstall (1) as the combo box would.
    void setMode(int mode);
    // Presses Start in Install mode and waits for the run to end: its
    // progress dialog (or the main dialog disabled under it) comes and goes,
    // and the main dialog's thread is back in its own loop after the
    // refresh. Small fonts are copied faster than a look for the progress
    // dialog, so its not being seen is no failure.
    void startInstall();
    // Presses Start and returns at once.
    void pressStart();
    // The progress dialog once it shows within timeoutMs, else nullptr.
    HWND waitForProgress(int timeoutMs) const;

private:
    std::string caption_, progressCaption_;
    OwnedHandle process_;
    DWORD pid_ = 0;
    HWND dialog_ = nullptr, tree_ = nullptr;
};

}  // namespace testutil

#endif
