// Tests of font registration with the system, run under Wine once per
// emulated Windows version; each run checks the row of its platform.
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "tests/catalogue/fonttest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fonttest;
using testutil::fileExists;

namespace {

const char kNTKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";

// Binds a test product, counts font-change broadcasts, and undoes every
// registry value, file and font it is told about.
class RegistrationTest : public ::testing::Test {
protected:
    explicit RegistrationTest(const char *product = "testproduct_ttf.dll") : product_(product) {}

    void SetUp() override { counter_.reset(); }

    void TearDown() override
    {
        for (const std::string &name : values_)
            deleteFontsValue(name);
        for (const std::string &path : files_) {
            while (RemoveFontResourceA(path.c_str())) {
            }
            DeleteFileA(path.c_str());
        }
    }

    // A value name this test may create.
    const std::string &value(const std::string &name)
    {
        values_.push_back(name);
        return values_.back();
    }
    // A copy of a generated font at path, removed afterwards.
    std::string placeFont(const char *font, const std::string &path)
    {
        files_.push_back(path);
        EXPECT_TRUE(copyFont(font, path)) << path;
        return path;
    }
    std::string inSystemFonts(const char *font, const char *fileName)
    {
        return placeFont(font, systemFonts() + "\\" + fileName);
    }
    // A path in this test's scratch folder, removed afterwards.
    std::string scratchPath(const std::string &fileName)
    {
        if (scratch_.empty())
            scratch_ = testutil::scratchFolder("fontreg");
        files_.push_back(scratch_ + "\\" + fileName);
        return files_.back();
    }
    std::string inScratch(const char *font, const char *fileName)
    {
        std::string path = scratchPath(fileName);
        EXPECT_TRUE(copyFont(font, path)) << path;
        return path;
    }

    ProductBinding product_;
    FontChangeCounter counter_;
    std::vector<std::string> values_, files_;
    std::string scratch_;
};

// A font that the system loader has in use cannot be removed a second time.
bool isLoaded(const std::string &path)
{
    if (!RemoveFontResourceA(path.c_str()))
        return false;
    AddFontResourceA(path.c_str());
    return true;
}

TEST_F(RegistrationTest, FontsKeyAndSystemFolderFollowThePlatformFamily)
{
    ASSERT_NE(nullptr, getFontsKeyPath()) << versionLabel();
    EXPECT_STREQ(expectedFontsKey(), getFontsKeyPath()) << versionLabel();
    char folder[kFontsValueSize];
    ASSERT_EQ(folder, getSystemFontFolder(folder));
    EXPECT_EQ(windowsDir() + "\\Fonts", folder);
}

TEST_F(RegistrationTest, TrueTypeRegistersUnderItsNameInThisFamilysKey)
{
    // The TrueType row holds on every platform: registerFontFile with the
    // registry name, bare file name inside the system fonts folder.
    std::string path = inSystemFonts("QXSampleTT-W5.ttf", "QXSampleTT-W5.ttf");
    const std::string &name = value("QXSampleTT-W5 Regular (TrueType)");

    EXPECT_EQ(1, registerFontFile(path.c_str(), name.c_str())) << versionLabel();
    EXPECT_GE(counter_.count(), 1);
    std::string data;
    ASSERT_TRUE(fontsValue(name, &data)) << versionLabel();
    EXPECT_EQ("QXSampleTT-W5.ttf", data);
    const char *otherKey = platform() == kWin9x ? kNTKey : k9xKey;
    EXPECT_FALSE(hasFontsValue(otherKey, name)) << "written to the other family's key";
    EXPECT_TRUE(isLoaded(path));

    static const char *const trueType[] = {".ttf", ".ttc", nullptr};
    std::string names, paths;
    int count = listInstalledFonts(trueType, &names, &paths);
    EXPECT_GT(count, 0);
    EXPECT_NE(std::string::npos, names.find(name + "\n"));
    EXPECT_NE(std::string::npos, paths.find(path + "\n"));

    counter_.reset();
    EXPECT_EQ(1, unregisterFontByName(name.c_str()));
    EXPECT_FALSE(fontsValue(name, &data));
    EXPECT_GE(counter_.count(), 1);
    EXPECT_FALSE(isLoaded(path));
    EXPECT_TRUE(fileExists(path));  // the uninstall run deletes the file, not this
}

TEST_F(RegistrationTest, FileOutsideTheSystemFolderIsRegisteredWithItsFullPath)
{
    std::string path = inScratch("QXSampleTT-W5.ttf", "Sample Copy.ttf");
    const std::string &name = value("QXSampleTT-W5 Copy (TrueType)");
    EXPECT_EQ(1, registerFontFile(path.c_str(), name.c_str()));
    std::string data;
    ASSERT_TRUE(fontsValue(name, &data));
    EXPECT_EQ(path, data);
    EXPECT_EQ(1, unregisterFontByName(name.c_str()));
    EXPECT_FALSE(isLoaded(path));
}

TEST_F(RegistrationTest, FontTheLoaderRejectsIsNotRegistered)
{
    std::string junk = scratchPath("junk.ttf");
    ASSERT_TRUE(writeDamagedFont("QXSampleTT-W5.ttf", kRandom, junk));
    const std::string &name = value("QX Junk (TrueType)");
    EXPECT_EQ(0, registerFontFile(junk.c_str(), name.c_str()));
    std::string data;
    EXPECT_FALSE(fontsValue(name, &data));
    EXPECT_EQ(0, counter_.count());
    EXPECT_EQ(0, registerFontFile((scratch_ + "\\absent.ttf").c_str(), name.c_str()));
    EXPECT_EQ(0, counter_.count());
}

TEST_F(RegistrationTest, ValueThatCannotBeWrittenUndoesTheRegistration)
{
    // The registry refuses value names longer than 16,383 characters: the
    // font is loaded, the value cannot be set, and the load is taken back.
    std::string path = inScratch("QXSampleTT-W5.ttf", "unwritable.ttf");
    std::string name(20000, 'N');
    EXPECT_NE(0, setFontsValue(name.c_str(), "x.ttf"));

    EXPECT_EQ(0, registerFontFile(path.c_str(), name.c_str())) << versionLabel();
    EXPECT_FALSE(isLoaded(path)) << "the font stayed loaded";
    EXPECT_GE(counter_.count(), 1);  // others were told of the load and of its undoing

    // The NT 4.0 way fails the same way when the name cannot be formed.
    std::string longName(kFontsValueSize, 'P');
    counter_.reset();
    EXPECT_EQ(0, registerOpenTypeFontNT4(path.c_str(), longName.c_str()));
    EXPECT_FALSE(isLoaded(path));
    std::string data;
    EXPECT_FALSE(fontsValue(std::string(kFontsValueSize, 'P') + " (OpenType)", &data));
}

// A run of many fonts tells the other windows once, when its batch ends
// (the outermost one), and only when a font changed; its values are written
// and read as without one.
TEST_F(RegistrationTest, ABatchTellsTheOtherWindowsOnceAtItsEnd)
{
    std::string path = inSystemFonts("QXSampleTT-W5.ttf", "QXSampleTT-W5.ttf");
    const std::string &name = value("QXSampleTT-W5 Regular (TrueType)");
    {
        FontChangeBatch run;
        {
            FontChangeBatch unchanged;
        }
        {
            FontChangeBatch inner;
            // Through the key that the batch keeps open.
            EXPECT_EQ(1, registerFontFile(path.c_str(), name.c_str())) << versionLabel();
            std::string data;
            EXPECT_TRUE(fontsValue(name, &data));
            EXPECT_EQ(1, unregisterFontByName(name.c_str()));
            EXPECT_FALSE(fontsValue(name, &data));
            EXPECT_EQ(-1, unregisterFontByName(name.c_str()));
        }
        EXPECT_EQ(0, counter_.count());
    }
    EXPECT_EQ(1, counter_.count());
    {
        FontChangeBatch unchanged;
    }
    EXPECT_EQ(1, counter_.count());
}

TEST_F(RegistrationTest, UnregisteringAMissingValueChangesNothing)
{
    EXPECT_EQ(-1, unregisterFontByName("QX No Such Font (TrueType)"));
    EXPECT_EQ(0, counter_.count());
}

TEST_F(RegistrationTest, ValueDataIsResolvedAgainstTheSystemFolder)
{
    char out[kFontsValueSize];
    ASSERT_EQ(out, resolveFontsValuePath("SAMPLE.TTF", out));
    EXPECT_EQ(systemFonts() + "\\SAMPLE.TTF", out);
    ASSERT_EQ(out, resolveFontsValuePath("D:\\MyFonts\\QXSample-W5.otf", out));
    EXPECT_STREQ("D:\\MyFonts\\QXSample-W5.otf", out);

    std::string upper = systemFonts();
    CharUpperA(&upper[0]);
    ASSERT_EQ(out, makeFontsValueData((upper + "\\QXSample-W5.otf").c_str(), out));
    EXPECT_STREQ("QXSample-W5.otf", out);
    ASSERT_EQ(out, makeFontsValueData((windowsDir() + "\\Other\\QXSample-W5.otf").c_str(), out));
    EXPECT_EQ(windowsDir() + "\\Other\\QXSample-W5.otf", out);
    ASSERT_EQ(out, makeFontsValueData((systemFonts() + "\\Sub\\A.otf").c_str(), out));
    EXPECT_EQ(systemFonts() + "\\Sub\\A.otf", out);
    std::string tooLong = "D:\\" + std::string(300, 'd') + ".otf";
    EXPECT_EQ(nullptr, makeFontsValueData(tooLong.c_str(), out));
}

TEST_F(RegistrationTest, EnumerationMatchesExtensionsAndSkipsOverlongValues)
{
    setRawFontsValue(value("QX Caps (OpenType)"), "QXCAPS.OTF");
    setRawFontsValue(value("QX Full (OpenType)"), "D:\\Fonts\\QXFull.otf");
    setRawFontsValue(value("QX TrueType (TrueType)"), "QXTrue.ttf");
    setRawFontsValue(value(std::string(300, 'L')), "QXLongName.otf");
    setRawFontsValue(value("QX Long Data (OpenType)"), "D:\\" + std::string(300, 'x') + ".otf");
    setRawFontsValue(value("QX Edge (OpenType)"), "D:\\" + std::string(251, 'e') + ".otf");

    static const char *const openType[] = {".otf", nullptr};
    std::string names, paths;
    int count = listInstalledFonts(openType, &names, &paths);

    std::vector<std::string> nameLines, pathLines;
    for (size_t pos = 0; pos < names.size();) {
        size_t end = names.find('\n', pos);
        nameLines.push_back(names.substr(pos, end - pos));
        pos = end + 1;
    }
    for (size_t pos = 0; pos < paths.size();) {
        size_t end = paths.find('\n', pos);
        pathLines.push_back(paths.substr(pos, end - pos));
        pos = end + 1;
    }
    ASSERT_EQ(static_cast<size_t>(count), nameLines.size());
    ASSERT_EQ(nameLines.size(), pathLines.size());
    auto pathOf = [&](const std::string &n) {
        for (size_t i = 0; i < nameLines.size(); ++i)
            if (nameLines[i] == n)
                return pathLines[i];
        return std::string("<unlisted>");
    };
    EXPECT_EQ(systemFonts() + "\\QXCAPS.OTF", pathOf("QX Caps (OpenType)"));
    EXPECT_EQ("D:\\Fonts\\QXFull.otf", pathOf("QX Full (OpenType)"));
    EXPECT_EQ("D:\\" + std::string(251, 'e') + ".otf", pathOf("QX Edge (OpenType)"));  // 259 chars
    EXPECT_EQ("<unlisted>", pathOf("QX TrueType (TrueType)"));
    EXPECT_EQ("<unlisted>", pathOf(std::string(300, 'L')));
    EXPECT_EQ("<unlisted>", pathOf("QX Long Data (OpenType)"));
    char buffer[kFontsValueSize];
    EXPECT_EQ(nullptr, getFontsValue("QX Long Data (OpenType)", buffer));
    setRawFontsValue(value("QX Empty Data (OpenType)"), "");
    EXPECT_EQ(nullptr, getFontsValue("QX Empty Data (OpenType)", buffer));
    EXPECT_EQ(-1, unregisterFontByName("QX Empty Data (OpenType)"));
}

// The OpenType package: the rows of the platform table differ.
class OpenTypeRegistrationTest : public RegistrationTest {
protected:
    OpenTypeRegistrationTest() : RegistrationTest("testproduct_otf.dll") {}

    void SetUp() override
    {
        RegistrationTest::SetUp();
        ini_ = windowsDir() + "\\atm.ini";
        hadIni_ = fileExists(ini_);
        savedIni_ = testutil::readFile(ini_);
        // Each case starts without Adobe Type Manager's profile, whatever an
        // earlier program in the prefix left; TearDown puts it back.
        DeleteFileA(ini_.c_str());
    }
    void TearDown() override
    {
        if (hadIni_)
            testutil::writeFile(ini_, savedIni_);
        else
            DeleteFileA(ini_.c_str());
        RegistrationTest::TearDown();
    }

    std::string atmValue(const std::string &key)
    {
        char buf[512];
        GetPrivateProfileStringA("OpenTypeFonts", key.c_str(), "<absent>", buf, sizeof buf,
                                 ini_.c_str());
        return buf;
    }

    std::string ini_, savedIni_;
    bool hadIni_ = false;
};

TEST_F(OpenTypeRegistrationTest, RegistersAsThePlatformRowSays)
{
    std::string path = inSystemFonts("QXSample-W5.otf", "QXSample-W5.otf");
    std::string data;
    switch (platform()) {
    case kWin9x: {
        // Adobe Type Manager's list under NAME_LOCAL with the path; nothing
        // in the Fonts key, nothing loaded by the system.
        EXPECT_EQ(1, registerOpenTypeFont(path.c_str(), "QX Sample W5")) << versionLabel();
        EXPECT_GE(counter_.count(), 1);
        EXPECT_EQ(path, atmValue("QX Sample W5"));
        EXPECT_EQ(systemFonts() + "\\|QXSample-W5.otf", atmValue("@QX Sample W5"));
        EXPECT_FALSE(fontsValue(value("QX Sample W5"), &data));
        EXPECT_FALSE(isLoaded(path));
        counter_.reset();
        EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", nullptr));
        EXPECT_EQ("<absent>", atmValue("QX Sample W5"));
        EXPECT_EQ("<absent>", atmValue("@QX Sample W5"));
        break;
    }
    case kNT4:
    case kNT3: {
        // PostScript name (NT 4.0) or registry name (NT 3.x) + " (OpenType)",
        // always with the full path, even inside the system fonts folder.
        const char *name = platform() == kNT4 ? "QXSample-W5" : "QXSample-W5 Regular (OpenType)";
        const std::string &valueName = value(std::string(name) + " (OpenType)");
        EXPECT_EQ(1, registerOpenTypeFont(path.c_str(), name)) << versionLabel();
        EXPECT_GE(counter_.count(), 1);
        ASSERT_TRUE(fontsValue(valueName, &data)) << valueName;
        EXPECT_EQ(path, data);
        EXPECT_TRUE(isLoaded(path));
        EXPECT_EQ("<absent>", atmValue(name));

        static const char *const openType[] = {".otf", nullptr};
        std::string names, paths;
        listInstalledFonts(openType, &names, &paths);
        EXPECT_NE(std::string::npos, names.find(valueName + "\n"));

        counter_.reset();
        EXPECT_EQ(1, unregisterFontByName(valueName.c_str()));
        EXPECT_GE(counter_.count(), 1);
        EXPECT_FALSE(fontsValue(valueName, &data));
        EXPECT_FALSE(isLoaded(path));
        break;
    }
    case kNT5Plus: {
        // As TrueType: the registry name, the bare file name in the folder,
        // the full path elsewhere.
        const std::string &name = value("QXSample-W5 Regular (OpenType)");
        EXPECT_EQ(1, registerOpenTypeFont(path.c_str(), name.c_str())) << versionLabel();
        ASSERT_TRUE(fontsValue(name, &data));
        EXPECT_EQ("QXSample-W5.otf", data);
        EXPECT_TRUE(isLoaded(path));
        EXPECT_EQ(1, unregisterFontByName(name.c_str()));
        EXPECT_FALSE(isLoaded(path));

        std::string other = inScratch("QXSample-W5.otf", "QXSample-W5.otf");
        EXPECT_EQ(1, registerOpenTypeFont(other.c_str(), name.c_str()));
        ASSERT_TRUE(fontsValue(name, &data));
        EXPECT_EQ(other, data);
        EXPECT_EQ(1, unregisterFontByName(name.c_str()));
        break;
    }
    default:
        FAIL() << "no platform row for " << versionLabel();
    }
}

TEST_F(OpenTypeRegistrationTest, DefaultFolderFollowsThePlatformRow)
{
    char folder[kFontsValueSize] = "";
    const char kSetupKey[] = "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup";
    // Neither Adobe Type Manager setting exists yet.
    bool found = getDefaultFontFolder(product_.chain(), FontScope::Machine, folder);
    if (platform() == kWin9x || platform() == kNT4) {
        EXPECT_FALSE(found) << versionLabel();
    } else {
        EXPECT_TRUE(found);
        EXPECT_EQ(systemFonts(), folder);
    }

    // Both settings present, with different folders: each row takes its own.
    testutil::writeFile(ini_, "[Setup]\r\nPFB_DIR=C:\\psfonts\\profile\r\n");
    {
        OwnedKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSetupKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, key.receive(), nullptr));
        const char dir[] = "C:\\psfonts\\registry";
        RegSetValueExA(key.get(), "PFB_DIR", 0, REG_SZ, reinterpret_cast<const BYTE *>(dir), sizeof dir);
    }

    found = getDefaultFontFolder(product_.chain(), FontScope::Machine, folder);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetupKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Adobe Type Manager");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe");

    ASSERT_TRUE(found) << versionLabel();
    switch (platform()) {
    case kWin9x: EXPECT_STREQ("C:\\psfonts\\profile", folder); break;
    case kNT4: EXPECT_STREQ("C:\\psfonts\\registry", folder); break;
    default: EXPECT_EQ(systemFonts(), folder) << versionLabel(); break;
    }
}

TEST_F(RegistrationTest, TrueTypePackageDefaultsToTheSystemFolder)
{
    char folder[kFontsValueSize] = "";
    ASSERT_TRUE(getDefaultFontFolder(product_.chain(), FontScope::Machine, folder)) << versionLabel();
    EXPECT_EQ(systemFonts(), folder);
}

// The ownership test, built in and by the product's export.
class OwnershipTest : public RegistrationTest {
protected:
    OwnershipTest() : RegistrationTest("testproduct_otf.dll") {}
};

TEST_F(OwnershipTest, ExtensionPrefixAndVendorDecide)
{
    EXPECT_TRUE(isMyFontFile(product_.chain(), inScratch("QXSample-W5.otf", "QXSample-W5.otf").c_str()));
    EXPECT_TRUE(isMyFontFile(product_.chain(), inScratch("QXSample-W5.otf", "qxlower.otf").c_str()));
    EXPECT_FALSE(isMyFontFile(product_.chain(), inScratch("QXSample-W5.otf", "XSample.otf").c_str()));
    EXPECT_FALSE(isMyFontFile(product_.chain(), inScratch("QXForeign-W1.otf", "QXForeign-W1.otf").c_str()));
    EXPECT_TRUE(isMyFontFile(product_.chain(), inScratch("QXOther-W3.otf", "QXOther-W3.otf").c_str()));  // ZORU
    // Not among the package's extensions: no letter test, the vendor decides.
    EXPECT_TRUE(isMyFontFile(product_.chain(), inScratch("QXSampleTT-W5.ttf", "Sample.ttf").c_str()));
    EXPECT_FALSE(isMyFontFile(product_.chain(), "ERROR"));
    EXPECT_FALSE(isMyFontFile(product_.chain(), (scratch_ + "\\QXAbsent.otf").c_str()));
    // Damaged files give an answer and no crash; only the one whose OS/2
    // table is intact may still be the maker's.
    for (Damage d : {kTruncated, kRandom, kHugeTableCount, kHugeNameCount}) {
        std::string path = scratchPath("QXDamaged" + std::to_string(d) + ".otf");
        ASSERT_TRUE(writeDamagedFont("QXSample-W5.otf", d, path));
        bool mine = isMyFontFile(product_.chain(), path.c_str());
        if (d != kHugeNameCount) {
            EXPECT_FALSE(mine) << d;
        }
    }
}

TEST(OwnershipExportTest, ProductExportReplacesTheBuiltInTest)
{
    std::string folder = testutil::scratchFolder("mine");
    std::string ours = folder + "\\QXSample-W5.otf", theirs = folder + "\\ABCDSans.ttf";
    ASSERT_TRUE(copyFont("QXSample-W5.otf", ours));
    ASSERT_TRUE(copyFont("ABCDSans.ttf", theirs));
    {
        ProductBinding product("testproduct_mine.dll");
        ASSERT_NE(nullptr, product.module());
        EXPECT_FALSE(isMyFontFile(product.chain(), ours.c_str()));
        EXPECT_TRUE(isMyFontFile(product.chain(), theirs.c_str()));
    }
    {
        // No product module: no extension list, only the vendor counts.
        ProductBinding none("");
        EXPECT_TRUE(isMyFontFile(none.chain(), ours.c_str()));
        EXPECT_FALSE(isMyFontFile(none.chain(), theirs.c_str()));
        EXPECT_EQ(0, getProductFontType(none.chain()));
    }
    {
        ProductBinding product("testproduct_ttf.dll");
        char extensions[kExtensionsSize];
        ASSERT_NE(nullptr, findProductString(product.chain(), "PRODUCT_EXTENSIONS", extensions, sizeof extensions));
        EXPECT_STREQ(".ttf\n.ttc", extensions);
        EXPECT_EQ('T', getProductFontType(product.chain()));
    }
    DeleteFileA(ours.c_str());
    DeleteFileA(theirs.c_str());
}

}  // namespace
