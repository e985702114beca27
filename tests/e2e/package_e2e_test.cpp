// A package made by tools/mkpackage from real fonts (two DejaVu families and
// the WenQuanYi Micro Hei collection), installed, seen as installed by a
// fresh start of the installer, and uninstalled again, all through the real
// install.exe and the generated product.dll on the package's own disc drive
// F: (tests/e2e/package_drive.sh), driven with real clicks. The package's
// own IsMyFontFile must recognise its stamped copies.
#include "base/handles.h"
#include "tests/e2e/installerdriver.h"
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

class PackageRun : public ::testing::Test, protected InstallerDriver {
protected:
    PackageRun() : InstallerDriver(kMainCaption, kProgressCaption) {}

    void SetUp() override
    {
        version_ = emulatedVersion();
        fontsKey_ = (version_ == "win95" || version_ == "win98" || version_ == "winme") ? k9xFontsKey
                                                                                         : kNtFontsKey;
        cleanSystem();
        hostFontValues(true);
        emulateVersionFor("install.exe", version_);
        removeFilesIn("F:\\FontData", "*");
        removeFilesIn(kDrive, "*.exe");
        removeFilesIn(kDrive, "*.dll");
        copyFolder(buildPath(FI_PACKAGE_DISC), kDrive);
    }

    void TearDown() override { cleanSystem(); }

    void cleanSystem()
    {
        OwnedKey h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fontsKey_, 0, KEY_ALL_ACCESS, h.receive()) == ERROR_SUCCESS) {
            for (const Font &f : kInstalled)
                RegDeleteValueA(h.get(), f.registry);
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
        OwnedKey h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fontsKey_, 0, KEY_ALL_ACCESS, h.receive()) != ERROR_SUCCESS)
            return found;
        char name[512];
        BYTE data[512];
        for (DWORD i = 0;; ++i) {
            DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
            if (RegEnumValueA(h.get(), i, name, &nameSize, nullptr, nullptr, data, &dataSize) != ERROR_SUCCESS)
                break;
            data[dataSize] = 0;
            if ((data[0] == 'Z' || data[0] == 'z') && data[1] == ':')
                found.push_back(name);
        }
        if (remove) {
            for (const std::string &name : found)
                RegDeleteValueA(h.get(), name.c_str());
        }
        return found;
    }

    void launch() { InstallerDriver::launch("F:\\install.exe", "F:\\"); }

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
    pressStart();
    HWND done = waitForWindow(pid(), "Korimaru Installer", 30000);
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
