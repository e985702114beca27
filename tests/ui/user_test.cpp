// The whole dialog flow as a user without administrator rights on Windows
// 10 (1809 and later) meets it: the system's own services (the disc in E:,
// the registry, the file system), except that they report no administrator
// rights, since under Wine every program has them. The dialog installs into
// the user's fonts folder and the user's Fonts key, says so, shows the fonts
// of all users as installed without offering them for uninstall, and
// uninstalls the user's font again; driven with real mouse input.
#include "base/handles.h"
#include "dialogs/installerdialog.h"
#include "dialogs/services.h"
#include "platform/scope.h"
#include "program/entry.h"
#include "resources/resource.h"
#include "tests/ui/uitest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace testutil;
using namespace automation;

namespace {

const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kW3Value[] = "QXSample-W3 Regular (OpenType)";
const char kW7Value[] = "QXSample-W7 Regular (OpenType)";
enum { kNoneGray = 0, kNone = 1, kAllGray = 2, kAll = 3 };

// The main dialog of this process once it shows.
BOOL CALLBACK findInstallerDialog(HWND hwnd, LPARAM found)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
        !dynamic_cast<InstallerDialog *>(ui::Dialog::fromHandle(hwnd)))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = hwnd;
    return FALSE;
}

// The system's services, reporting a run without administrator rights.
class NotElevatedServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own, bool firstLoad) override
    {
        real_.loadCatalogue(catalogue, product, own, firstLoad);
    }
    bool defaultFontFolder(const ModuleChain &product, FontScope scope, char *out) override
    {
        return real_.defaultFontFolder(product, scope, out);
    }
    bool systemFontFolder(char *out) override { return real_.systemFontFolder(out); }
    bool chooseFolder(char *buffer, int capacity) override { return real_.chooseFolder(buffer, capacity); }
    bool findOtfOpener(char *buffer) override { return real_.findOtfOpener(buffer); }
    RunSummary runInstall(const InstallJob &job) override { return real_.runInstall(job); }
    RunSummary runUninstall(const InstallJob &job) override { return real_.runUninstall(job); }
    bool administrator() override { return false; }
    DWORD systemBuild() override { return real_.systemBuild(); }
    bool restartElevated() override
    {
        ++restarts;
        return true;
    }
    int restarts = 0;

private:
    SystemServices real_;
};

void deleteValue(HKEY root, const char *name)
{
    OwnedKey h;
    if (RegOpenKeyExA(root, kNtFontsKey, 0, KEY_SET_VALUE, h.receive()) == ERROR_SUCCESS)
        RegDeleteValueA(h.get(), name);
}

class UserDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        requireWindows();
        if (emulatedVersion() != "win10")
            GTEST_SKIP() << "fonts for one user are a Windows 10 (1809 and later) matter";
        char folder[MAX_PATH];
        ASSERT_TRUE(getUserFontFolder(folder, sizeof folder));
        userFonts_ = folder;
        clean();
        ASSERT_TRUE(CopyFileA(buildPath(FI_PRODUCT_DLL).c_str(), (programFolder() + "product.dll").c_str(), FALSE));
        removeFilesIn("E:\\FontData", "*");
        copyFolder(buildPath(FI_DISC_DIR), "E:");
        // A font installed for all users.
        allUsers_ = windowsDir() + "\\Fonts\\QXSample-W7.otf";
        ASSERT_TRUE(CopyFileA("E:\\FontData\\QXSample-W7", allUsers_.c_str(), FALSE));
        OwnedKey h;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtFontsKey, 0, KEY_SET_VALUE, h.receive()));
        RegSetValueExA(h.get(), kW7Value, 0, REG_SZ, reinterpret_cast<const BYTE *>("QXSample-W7.otf"), 16);
    }
    void TearDown() override
    {
        if (ui_) {
            if (dialog_ && IsWindow(dialog_))
                PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
            ui_->waitDone(10000);
            ui_.reset();
        }
        clean();
        DeleteFileA((programFolder() + "product.dll").c_str());
    }
    void clean()
    {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            for (const char *value : {kW3Value, kW7Value})
                deleteValue(root, value);
        removeFilesIn(userFonts_, "QX*");
        removeFilesIn(windowsDir() + "\\Fonts", "QX*");
    }

    // Runs the dialog flow as the program does, on a thread of its own.
    void open()
    {
        ui_.reset(new uitest::UiThread([this] { result_ = runInstallerDialog(services_, false); }));
        for (int i = 0; i < 1000 && !dialog_; ++i) {
            EnumWindows(findInstallerDialog, reinterpret_cast<LPARAM>(&dialog_));
            if (!dialog_)
                Sleep(20);
        }
        ASSERT_TRUE(dialog_) << "the main dialog did not appear";
        tree_ = GetDlgItem(dialog_, IDC_FONT_TREE);
        ui_->call([this] { SetForegroundWindow(dialog_); });
        tree().expandAll();
        ui_->settle();
    }
    std::unique_ptr<RemoteTree> treePtr()
    {
        return std::unique_ptr<RemoteTree>(new RemoteTree(tree_, GetCurrentProcessId()));
    }
    RemoteTree &tree()
    {
        remote_ = treePtr();
        return *remote_;
    }
    int imageOf(const std::string &label) { return tree().find(label).image; }
    void tick(const std::string &label)
    {
        RemoteTree &t = tree();
        TreeItem item = t.find(label);
        ASSERT_NE(nullptr, item.handle) << label;
        t.clickBox(item.handle);
        ui_->settle();
        EXPECT_EQ(kAll, imageOf(label)) << label << " did not become ticked";
    }
    void setMode(int mode)
    {
        ui_->call([this, mode] {
            HWND combo = GetDlgItem(dialog_, IDC_MODE);
            SendMessageA(combo, CB_SETCURSEL, mode, 0);
            SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        });
    }
    // Presses Start and waits until the dialog is back in its own loop.
    void start()
    {
        clickCenter(GetDlgItem(dialog_, IDOK));
        for (int i = 0; i < 100 && IsWindowEnabled(dialog_); ++i)
            Sleep(20);
        for (int i = 0; i < 3000 && !IsWindowEnabled(dialog_); ++i)
            Sleep(20);
        ui_->settle();
    }
    std::string itemText(int id)
    {
        char text[512] = "";
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }

    NotElevatedServices services_;
    std::unique_ptr<uitest::UiThread> ui_;
    std::unique_ptr<RemoteTree> remote_;
    HWND dialog_ = nullptr, tree_ = nullptr;
    int result_ = -2;
    std::string userFonts_, allUsers_;
};

TEST_F(UserDialogTest, InstallsAndUninstallsForTheUserAloneAndSaysSo)
{
    open();
    EXPECT_EQ(0, services_.restarts);  // no prompt
    EXPECT_EQ(userFonts_, itemText(IDC_FOLDER));
    HWND note = GetDlgItem(dialog_, IDC_SCOPE_NOTE);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ("Fonts are installed for this user only. Other users of this computer do not get them.",
              itemText(IDC_SCOPE_NOTE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_TO_WHERE)));
    EXPECT_EQ(kAllGray, imageOf("Sample W7"));  // the font of all users is installed

    tick("Sample W3");
    start();
    std::string font = userFonts_ + "\\QXSample-W3.otf", data;
    EXPECT_TRUE(fileExists(font));
    ASSERT_TRUE(regGetString(HKEY_CURRENT_USER, kNtFontsKey, kW3Value, &data));
    EXPECT_EQ(font, data);
    EXPECT_FALSE(regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, kW3Value, &data));
    EXPECT_FALSE(fileExists(windowsDir() + "\\Fonts\\QXSample-W3.otf"));
    EXPECT_EQ(kAllGray, imageOf("Sample W3"));

    // Uninstall: the user's font is offered, the font of all users is not.
    setMode(MODE_UNINSTALL);
    EXPECT_EQ(kNone, imageOf("Sample W3"));
    EXPECT_EQ(kNoneGray, imageOf("Sample W7"));
    tick("Sample W3");
    WindowWatcher removed("Korimaru Installer", IDOK);
    removed.expectWithin(30000);
    start();
    for (int i = 0; i < 500 && removed.answers() == 0; ++i)
        Sleep(20);
    EXPECT_EQ("Fonts were removed.", removed.lastText());
    EXPECT_FALSE(fileExists(font));
    EXPECT_FALSE(regGetString(HKEY_CURRENT_USER, kNtFontsKey, kW3Value, &data));
    EXPECT_TRUE(fileExists(allUsers_));
    EXPECT_TRUE(regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, kW7Value, &data));

    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(ui_->waitDone(20000));
    EXPECT_NE(-2, result_);  // the flow has returned
}

}  // namespace
