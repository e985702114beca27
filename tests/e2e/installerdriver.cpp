// tests/e2e/installerdriver.cpp - the installer driven through its dialog.
#include "tests/e2e/installerdriver.h"

#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <vector>

using namespace automation;

namespace testutil {

namespace {

const int kModeCombo = 1000;
const int kTree = 1001;
const int kStart = IDOK;

}  // namespace

void emulateVersionFor(const char *exeName, const std::string &version)
{
    OwnedKey key;
    std::string path = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.receive(), nullptr);
    RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
}

InstallerDriver::InstallerDriver(const char *caption, const char *progressCaption)
    : caption_(caption), progressCaption_(progressCaption)
{
}

InstallerDriver::~InstallerDriver()
{
    if (process_) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

void InstallerDriver::launch(const std::string &program, const std::string &folder)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::string cmd = program;
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
    OwnedHandle thread(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    dialog_ = waitForStartedDialog(pid_, caption_, 30000);
    ASSERT_NE(nullptr, dialog_) << "main dialog did not appear";
    tree_ = GetDlgItem(dialog_, kTree);
    ASSERT_NE(nullptr, tree_);
    Sleep(300);
    tree().expandAll();
}

void InstallerDriver::exitInstaller()
{
    clickCenter(GetDlgItem(dialog_, IDCANCEL));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.get(), 20000));
    process_.reset();
}

int InstallerDriver::imageOf(const std::string &category, const std::string &leaf) const
{
    std::vector<TreeItem> items = tree().items();
    for (const TreeItem &parent : items) {
        if (parent.text != category)
            continue;
        for (const TreeItem &item : items) {
            if (item.parent == parent.handle && item.text == leaf)
                return item.image;
        }
    }
    return -1;
}

void InstallerDriver::tick(const std::string &label)
{
    RemoteTree t = tree();
    TreeItem item = t.find(label);
    ASSERT_NE(nullptr, item.handle) << label;
    t.clickBox(item.handle);
    EXPECT_EQ(kAll, imageOf(label)) << label << " did not become ticked";
}

void InstallerDriver::setMode(int mode)
{
    HWND combo = GetDlgItem(dialog_, kModeCombo);
    SendMessageA(combo, CB_SETCURSEL, mode, 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(kModeCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    Sleep(200);
}

void InstallerDriver::pressStart()
{
    clickCenter(GetDlgItem(dialog_, kStart));
}

void InstallerDriver::startInstall()
{
    pressStart();
    HWND progress = waitForProgress(3000);
    if (progress) {
        ASSERT_TRUE(waitForWindowGone(progress, 120000)) << "progress dialog stays";
    }
    for (int i = 0; i < 2400 && !IsWindowEnabled(dialog_); ++i)
        Sleep(50);
    ASSERT_TRUE(IsWindowEnabled(dialog_));
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
    Sleep(200);
}

HWND InstallerDriver::waitForProgress(int timeoutMs) const
{
    for (int waited = 0; waited < timeoutMs; waited += 5) {
        HWND progress = findOtherWindow(pid_, dialog_);
        if (progress && windowText(progress) == progressCaption_)
            return progress;
        Sleep(5);
    }
    return nullptr;
}

}  // namespace testutil
