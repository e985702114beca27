// Paths in double-byte code pages: the run's ANSI code page (932 or 950, set
// by the locale the test runs under) has characters whose second byte is
// 0x5C, the backslash: 表 and ソ in 932, 許 and 功 in 950. A font is
// installed into a folder whose name ends in such a character under a file
// name that holds one, found there by a catalogue load and uninstalled.
#include "catalogue/catalogue.h"
#include "dialogs/installrun.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "tests/catalogue/fonttest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace fonttest;

namespace {

std::string prop(const FontEntry *entry, const char *key)
{
    const std::string *v = entry ? entry->findProperty(key) : nullptr;
    return v ? *v : std::string("<absent>");
}

class DoubleByteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The run's locale decides the code page; a run meant for one that
        // got another has tested nothing.
        UINT acp = GetACP();
        if (const char *expected = std::getenv("FI_CODEPAGE")) {
            ASSERT_EQ(static_cast<UINT>(std::atoi(expected)), acp) << "the locale did not take";
        }
        if (acp == 932) {
            first_ = "\x95\x5C";   // 表
            second_ = "\x83\x5C";  // ソ
        } else if (acp == 950) {
            first_ = "\xB3\x5C";   // 許
            second_ = "\xA5\x5C";  // 功
        } else {
            GTEST_SKIP() << "code page " << acp << " has no such characters";
        }
        disc_ = "E:\\FontData";
        CreateDirectoryA(disc_.c_str(), nullptr);
        ini_ = windowsDir() + "\\atm.ini";
        savedIni_ = testutil::readFile(ini_);
        hadIni_ = testutil::fileExists(ini_);
    }
    void TearDown() override
    {
        DeleteFileA((disc_ + "\\QXSample-W5").c_str());
        RemoveDirectoryA(disc_.c_str());
        if (hadIni_)
            testutil::writeFile(ini_, savedIni_);
        else
            DeleteFileA(ini_.c_str());
    }

    FontCatalogue catalogue_;
    std::string first_, second_, disc_, ini_, savedIni_;
    bool hadIni_ = false;
};

TEST_F(DoubleByteTest, InstallIntoAFolderFindItThereAndUninstall)
{
    ProductBinding product("testproduct_otf.dll");
    ASSERT_EQ('O', getProductFontType(product.chain()));
    ASSERT_TRUE(copyFont("QXSample-W5.otf", disc_ + "\\QXSample-W5"));
    // A scratch folder of this run's own (the runs of other versions and
    // code pages may go on at the same time in the other Wine prefix), and in
    // it a folder whose name ends in a character whose second byte is 0x5C.
    std::string run = std::to_string(platform()) + "-" + std::to_string(GetACP());
    InstallJob job;  // no dialog: the run's own folder
    job.product = &product.chain();
    job.folder = testutil::scratchFolder("dbcs-" + run) + "\\" + second_ + first_;
    ASSERT_TRUE(CreateDirectoryA(job.folder.c_str(), nullptr));

    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, false);
    FontEntry *entry = findEntry(catalogue_, NAME_POSTSCRIPT, "QXSample-W5");
    ASSERT_NE(nullptr, entry);
    ASSERT_EQ("1", prop(entry, F_AVAILABLE));
    const std::string fileName = "QX" + first_ + second_ + "Sample-W5.otf";
    entry->setProperty(NAME_MARUKAN, fileName.c_str());

    char destination[MAX_PATH];
    ASSERT_TRUE(computeDestination(job, entry, destination));
    const std::string expected = job.folder + "\\" + fileName;
    EXPECT_EQ(expected, destination);
    std::string installed;
    ASSERT_EQ(FontOutcome::Installed, installFont(job, *entry, &installed));
    EXPECT_EQ(expected, installed);
    EXPECT_TRUE(testutil::fileExists(expected));

    // A refresh finds the installed copy where it was put.
    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, false);
    entry = findEntry(catalogue_, NAME_POSTSCRIPT, "QXSample-W5");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ("1", prop(entry, F_INSTALLED));
    EXPECT_EQ(expected, prop(entry, PATH_INSTALLED));

    EXPECT_EQ(FontOutcome::Removed, uninstallFont(job, *entry, &installed));
    EXPECT_FALSE(testutil::fileExists(expected));
    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, false);
    entry = findEntry(catalogue_, NAME_POSTSCRIPT, "QXSample-W5");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ("<absent>", prop(entry, F_INSTALLED));
    EXPECT_EQ("<absent>", prop(entry, PATH_INSTALLED));
}

TEST_F(DoubleByteTest, FontsValuesInTheSystemFontFolder)
{
    // Values of fonts in the system's font folder hold the file name alone.
    const std::string fileName = "QX" + first_ + second_ + ".otf";
    char data[kFontsValueSize];
    ASSERT_NE(nullptr, makeFontsValueData((systemFonts() + "\\" + fileName).c_str(), data));
    EXPECT_EQ(fileName, data);
    char path[kFontsValueSize];
    ASSERT_NE(nullptr, resolveFontsValuePath(fileName.c_str(), path));
    EXPECT_EQ(systemFonts() + "\\" + fileName, path);
    // A path elsewhere stays whole.
    const std::string elsewhere = "C:\\" + first_ + "\\" + fileName;
    ASSERT_NE(nullptr, makeFontsValueData(elsewhere.c_str(), data));
    EXPECT_EQ(elsewhere, data);
}

}  // namespace
