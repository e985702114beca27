// A package made by tools/mkpackage from real fonts (two DejaVu families and
// the WenQuanYi Micro Hei collection), installed, seen as installed by a
// fresh start of the installer, and uninstalled again, all through the real
// install.exe and the generated product.dll on the package's own disc drive
// F: (tests/e2e/package_drive.sh), driven with real clicks. The package's
// own IsMyFontFile must recognise its stamped copies.
#include "tools/automation/remote.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testutil;
using namespace automation;

namespace {

const char kMainCaption[] = "Korimaru Installer US";
const char kProgressCaption[] = " Progress";
const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xFontsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const char kDrive[] = "F:";
const int kModeCombo = 1000;
const int kTree = 1001;
enum { kNoneGray = 0, kNone = 1, kAllGray = 2, kAll = 3 };

// What mkpackage wrote for the fonts that the test installs.
struct Font {
    const char *file;
    const char *registry;
};
const Font kInstalled[] = {
    {"DejaVuSans.ttf", "DejaVu Sans (TrueType)"},
    {"DejaVuSans-Bold.ttf", "DejaVu Sans Bold (TrueType)"},
    {"wqy-microhei.ttc", "WenQuanYi Micro Hei & WenQuanYi Micro Hei Mono (TrueType)"},
};
const char kSansFamily[] = "DejaVu Sans";
const char kSerifFamily[] = "DejaVu Serif";
// The collection's leaf: its two faces under the first one's family.
const char kCollection[] = "Regular & Mono";

class PackageRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        version_ = emulatedVersion();
        fontsKey_ = (version_ == "win95" || version_ == "win98" || version_ == "winme") ? k9xFontsKey
                                                                                         : kNtFontsKey;
        cleanSystem();
        hostFontValues(true);
        HKEY h;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\install.exe", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &h, nullptr);
        RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version_.c_str()),
                       static_cast<DWORD>(version_.size() + 1));
        RegCloseKey(h);
        removeFilesIn("F:\\FontData", "*");
        removeFilesIn(kDrive, "*.exe");
        removeFilesIn(kDrive, "*.dll");
        copyFolder(buildPath(FI_PACKAGE_DISC), kDrive);
    }

    void TearDown() override
    {
        if (process_.hProcess) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        cleanSystem();
    }

    void cleanSystem()
    {
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fontsKey_, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
            for (const Font &f : kInstalled)
                RegDeleteValueA(h, f.registry);
            RegCloseKey(h);
        }
        for (const Font &f : kInstalled)
            removeFilesIn(fontsFolder(), f.file);
    }

    std::string fontsFolder() const { return windowsDir() + "\\Fonts"; }

    // The Fonts values of files of the machine the test runs on: Wine lists
    // the fonts it finds there under Z:, the package's own among them.
    // Uninstalling such a font would delete the machine's file. With remove
    // set they are deleted; Wine lists them when the prefix starts, not again
    // while it runs.
    std::vector<std::string> hostFontValues(bool remove)
    {
        std::vector<std::string> found;
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fontsKey_, 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
            return found;
        char name[512];
        BYTE data[512];
        for (DWORD i = 0;; ++i) {
            DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
            if (RegEnumValueA(h, i, name, &nameSize, nullptr, nullptr, data, &dataSize) != ERROR_SUCCESS)
                break;
            data[dataSize] = 0;
            if ((data[0] == 'Z' || data[0] == 'z') && data[1] == ':')
                found.push_back(name);
        }
        if (remove) {
            for (const std::string &name : found)
                RegDeleteValueA(h, name.c_str());
        }
        RegCloseKey(h);
        return found;
    }

    void launch()
    {
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        char cmd[] = "F:\\install.exe";
        ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, "F:\\", &si, &process_));
        dialog_ = waitForStartedDialog(process_.dwProcessId, kMainCaption, 30000);
        ASSERT_NE(nullptr, dialog_) << "main dialog did not appear";
        tree_ = GetDlgItem(dialog_, kTree);
        Sleep(300);
        RemoteTree(tree_, process_.dwProcessId).expandAll();
    }

    void exitInstaller()
    {
        clickCenter(GetDlgItem(dialog_, IDCANCEL));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_.hProcess, 20000));
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_.hProcess = nullptr;
    }

    int imageOf(const std::string &label) { return RemoteTree(tree_, process_.dwProcessId).find(label).image; }

    // The image of the leaf under this category; -1 when there is none.
    int imageOf(const std::string &category, const std::string &leaf)
    {
        std::vector<TreeItem> items = RemoteTree(tree_, process_.dwProcessId).items();
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

    void tick(const std::string &label)
    {
        RemoteTree t(tree_, process_.dwProcessId);
        TreeItem item = t.find(label);
        ASSERT_NE(nullptr, item.handle) << label;
        t.clickBox(item.handle);
        EXPECT_EQ(kAll, imageOf(label)) << label << " did not become ticked";
    }

    void setMode(int mode)
    {
        HWND combo = GetDlgItem(dialog_, kModeCombo);
        SendMessageA(combo, CB_SETCURSEL, mode, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(kModeCombo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        Sleep(200);
    }

    // Start in Install mode: waits until the run is over and the view rebuilt.
    void startInstall()
    {
        clickCenter(GetDlgItem(dialog_, IDOK));
        for (int waited = 0; waited < 3000; waited += 5) {
            HWND progress = findOtherWindow(process_.dwProcessId, dialog_);
            if (progress && windowText(progress) == kProgressCaption) {
                ASSERT_TRUE(waitForWindowGone(progress, 120000)) << "progress dialog stays";
                break;
            }
            Sleep(5);
        }
        for (int i = 0; i < 2400 && !IsWindowEnabled(dialog_); ++i)
            Sleep(50);
        DWORD_PTR ignored;
        SendMessageTimeoutA(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
        Sleep(200);
    }

    // In Install mode the installed fonts are ticked and gray.
    void expectInstalledView()
    {
        EXPECT_EQ(kAllGray, imageOf(kSansFamily, "Book"));
        EXPECT_EQ(kAllGray, imageOf(kSansFamily, "Bold"));
        EXPECT_EQ(kAllGray, imageOf(kCollection));
        EXPECT_EQ(kNone, imageOf(kSerifFamily, "Book"));
    }

    std::string version_;
    const char *fontsKey_ = kNtFontsKey;
    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr, tree_ = nullptr;
};

TEST_F(PackageRun, InstallsRefreshesAndUninstallsTheMadePackage)
{
    launch();
    ASSERT_TRUE(hostFontValues(false).empty()) << "the machine's own fonts are registered in the test prefix";
    // One category per family, the styles as leaves; nothing installed yet.
    EXPECT_EQ(kNone, imageOf(kSansFamily, "Book"));
    EXPECT_EQ(kNone, imageOf(kSansFamily, "Bold"));
    EXPECT_EQ(kNone, imageOf(kSerifFamily, "Book"));
    EXPECT_EQ(kNone, imageOf("WenQuanYi Micro Hei", kCollection));
    tick(kSansFamily);
    tick(kCollection);
    startInstall();

    for (const Font &f : kInstalled) {
        std::string data;
        EXPECT_TRUE(fileExists(fontsFolder() + "\\" + f.file)) << f.file;
        ASSERT_TRUE(regGetString(HKEY_LOCAL_MACHINE, fontsKey_, f.registry, &data)) << f.registry;
        EXPECT_EQ(f.file, data);
    }
    expectInstalledView();

    // A fresh start finds the stamped copies as the package's own.
    exitInstaller();
    launch();
    ASSERT_TRUE(hostFontValues(false).empty()) << "the machine's own fonts are registered in the test prefix";
    expectInstalledView();

    setMode(1);
    EXPECT_EQ(kNone, imageOf(kSansFamily, "Bold"));
    EXPECT_EQ(kNoneGray, imageOf(kSerifFamily, "Book"));
    tick(kSansFamily);
    tick(kCollection);
    clickCenter(GetDlgItem(dialog_, IDOK));
    HWND done = waitForWindow(process_.dwProcessId, "Korimaru Installer", 30000);
    ASSERT_NE(nullptr, done);
    EXPECT_EQ("Fonts were removed.", windowText(GetDlgItem(done, 0xFFFF)));
    SendMessageA(GetDlgItem(done, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(kNoneGray, imageOf(kSansFamily, "Book"));
    EXPECT_EQ(kNoneGray, imageOf(kSansFamily, "Bold"));
    EXPECT_EQ(kNoneGray, imageOf(kCollection));
    for (const Font &f : kInstalled) {
        std::string data;
        EXPECT_FALSE(fileExists(fontsFolder() + "\\" + f.file)) << f.file;
        EXPECT_FALSE(regGetString(HKEY_LOCAL_MACHINE, fontsKey_, f.registry, &data)) << f.registry;
    }
    exitInstaller();
}

}  // namespace
