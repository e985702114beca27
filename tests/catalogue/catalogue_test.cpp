// Tests of catalogue loading: the name map of the bound product, the
// package disc in E:, and the fonts installed the way the platform row says.
#include "catalogue/catalogue.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "tests/catalogue/fonttest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace fonttest;

namespace {

std::string prop(const FontEntry *entry, const char *key)
{
    const std::string *v = entry ? entry->findProperty(key) : nullptr;
    return v ? *v : std::string("<absent>");
}

// Puts part of the package on the disc E: and registers fonts as installed,
// in the Fonts key or in Adobe Type Manager's list; undoes all of it.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        disc_ = "E:\\FontData";
        CreateDirectoryA(disc_.c_str(), nullptr);
        ini_ = windowsDir() + "\\atm.ini";
        hadIni_ = testutil::fileExists(ini_);
        savedIni_ = testutil::readFile(ini_);
        scratch_ = testutil::scratchFolder("catalogue");
    }
    void TearDown() override
    {
        for (const std::string &name : values_)
            deleteFontsValue(name);
        for (const std::string &path : files_)
            DeleteFileA(path.c_str());
        RemoveDirectoryA(disc_.c_str());
        if (hadIni_)
            testutil::writeFile(ini_, savedIni_);
        else
            DeleteFileA(ini_.c_str());
    }

    std::string onDisc(const char *font, const char *name)
    {
        files_.push_back(disc_ + "\\" + name);
        EXPECT_TRUE(font ? copyFont(font, files_.back()) : testutil::writeFile(files_.back(), ""));
        return files_.back();
    }
    std::string installedCopy(const char *font, const std::string &path)
    {
        files_.push_back(path);
        EXPECT_TRUE(copyFont(font, path)) << path;
        return path;
    }
    std::string damagedCopy(Damage damage, const std::string &path)
    {
        files_.push_back(path);
        EXPECT_TRUE(writeDamagedFont("QXSample-W5.otf", damage, path));
        return path;
    }
    void registerValue(const std::string &name, const std::string &data)
    {
        values_.push_back(name);
        setRawFontsValue(name, data);
    }

    FontEntry *byPostScript(const char *name) { return findEntry(catalogue_, NAME_POSTSCRIPT, name); }

    FontCatalogue catalogue_;
    std::string disc_, ini_, savedIni_, scratch_;
    bool hadIni_ = false;
    std::vector<std::string> files_, values_;
};

TEST_F(CatalogueTest, OpenTypePackageIsMarkedFromDiscAndThePlatformsInstalledList)
{
    ProductBinding product("testproduct_otf.dll");
    onDisc("QXSample-W5.otf", "QXSample-W5");
    onDisc("QXOther-W3.otf", "QXOther-W3");
    onDisc("QXForeign-W1.otf", "QXForeign-W1");
    onDisc(nullptr, "QXEmpty-W1");  // size 0: not available

    std::string sample = installedCopy("QXSample-W5.otf", systemFonts() + "\\QXSample-W5.otf");
    std::string other = installedCopy("QXOther-W3.otf", scratch_ + "\\QXOther-W3.otf");
    std::string foreign = installedCopy("QXForeign-W1.otf", scratch_ + "\\QXForeign-W1.otf");
    std::string truncated = damagedCopy(kTruncated, scratch_ + "\\QXTruncated.otf");
    std::string random = damagedCopy(kRandom, scratch_ + "\\QXRandom.otf");
    std::string tables = damagedCopy(kHugeTableCount, scratch_ + "\\QXTables.otf");
    std::string names = damagedCopy(kHugeNameCount, scratch_ + "\\QXNames.otf");

    std::string sampleName, otherName;
    if (platform() == kWin9x) {
        // Adobe Type Manager's list, with an empty key and damaged files.
        sampleName = "QX Sample W5 Installed";
        otherName = "QX Other W3 Installed";
        testutil::writeFile(ini_, "[OpenTypeFonts]\r\n"
                                  "QX Sample W5 Installed=" + sample + "\r\n"
                                  "@QX Sample W5 Installed=" + systemFonts() + "\\|QXSample-W5.otf\r\n"
                                  "QX Broken=\r\n"
                                  "QX Other W3 Installed=" + other + "\r\n"
                                  "QX Foreign=" + foreign + "\r\n"
                                  "QX Truncated=" + truncated + "\r\n"
                                  "QX Random=" + random + "\r\n"
                                  "QX Tables=" + tables + "\r\n"
                                  "QX Names=" + names + "\r\n");
        // The Fonts key is not where this row looks.
        registerValue("QXSample-W5 Regular (OpenType)", "QXSample-W5.otf");
    } else {
        // The Fonts key: a bare name in the system fonts folder, a full path,
        // another maker's font, damaged files, a TrueType file.
        sampleName = "QXSample-W5 Installed (OpenType)";
        otherName = "QXOther-W3 Installed (OpenType)";
        registerValue(sampleName, "QXSample-W5.otf");
        registerValue(otherName, other);
        registerValue("QXForeign-W1 (OpenType)", foreign);
        registerValue("QX Truncated (OpenType)", truncated);
        registerValue("QX Random (OpenType)", random);
        registerValue("QX Tables (OpenType)", tables);
        registerValue("QX Names (OpenType)", names);
        registerValue("QX Missing File (OpenType)", "QXNoSuchFile.otf");
        // The unnamed default value comes first in the listing; it must not
        // shift the names of the fonts after it.
        registerValue("", "QXSample-W5.otf");
        testutil::writeFile(ini_, "[OpenTypeFonts]\r\nQX Sample W5=" + sample + "\r\n");
    }

    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, false);
    ASSERT_EQ(5u, catalogue_.size()) << versionLabel();

    FontEntry *e = byPostScript("QXSample-W5");
    EXPECT_EQ("1", prop(e, F_AVAILABLE));
    EXPECT_EQ("E:\\FontData\\QXSample-W5", prop(e, PATH_SOURCE));
    EXPECT_EQ("1", prop(e, F_INSTALLED)) << versionLabel();
    EXPECT_EQ(sample, prop(e, PATH_INSTALLED));
    EXPECT_EQ(sampleName, prop(e, NAME_REGISTRY));
    EXPECT_EQ(std::to_string(testutil::readFile(sample).size()), prop(e, SIZE_ALL));

    e = byPostScript("QXOther-W3");
    EXPECT_EQ("1", prop(e, F_INSTALLED));
    EXPECT_EQ(other, prop(e, PATH_INSTALLED));
    EXPECT_EQ(otherName, prop(e, NAME_REGISTRY));

    e = byPostScript("QXForeign-W1");  // on the disc, installed, but another maker's
    EXPECT_EQ("1", prop(e, F_AVAILABLE));
    EXPECT_EQ("<absent>", prop(e, F_INSTALLED));
    EXPECT_EQ("QXForeign-W1 Regular (OpenType)", prop(e, NAME_REGISTRY));

    e = byPostScript("QXMissing-W9");
    EXPECT_EQ("<absent>", prop(e, F_AVAILABLE));
    EXPECT_EQ("<absent>", prop(e, SIZE_ALL));
    e = byPostScript("QXEmpty-W1");
    EXPECT_EQ("<absent>", prop(e, F_AVAILABLE));
    EXPECT_EQ("<absent>", prop(e, PATH_SOURCE));

    // A later load starts afresh: with the installed copy gone, the entry is
    // only available, with the disc file's size.
    DeleteFileA(sample.c_str());
    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, true);  // the disc is there: no prompt
    ASSERT_EQ(5u, catalogue_.size());
    e = byPostScript("QXSample-W5");
    EXPECT_EQ("<absent>", prop(e, F_INSTALLED));
    EXPECT_EQ("QXSample-W5 Regular (OpenType)", prop(e, NAME_REGISTRY));
    EXPECT_EQ(std::to_string(testutil::readFile(fontFile("QXSample-W5.otf")).size()),
              prop(e, SIZE_ALL));
}

TEST_F(CatalogueTest, TrueTypePackageListsTheFontsKeyOnEveryPlatform)
{
    ProductBinding product("testproduct_ttf.dll");
    onDisc("QXSampleTT-W5.ttf", "QXSampleTT-W5");
    std::string sample = installedCopy("QXSampleTT-W5.ttf", systemFonts() + "\\QXSampleTT-W5.ttf");
    std::string abcd = installedCopy("ABCDSans.ttf", scratch_ + "\\ABCDSans.ttf");
    registerValue("QXSampleTT-W5 Installed (TrueType)", "QXSAMPLETT-W5.TTF");
    registerValue("ABCD Sans (TrueType)", abcd);

    loadCatalogue(catalogue_, product.chain(), FontScope::Machine, false);
    ASSERT_EQ(2u, catalogue_.size());
    FontEntry *e = byPostScript("QXSampleTT-W5");
    EXPECT_EQ("1", prop(e, F_AVAILABLE));
    EXPECT_EQ("1", prop(e, F_INSTALLED)) << versionLabel();
    EXPECT_EQ(systemFonts() + "\\QXSAMPLETT-W5.TTF", prop(e, PATH_INSTALLED));
    EXPECT_EQ("QXSampleTT-W5 Installed (TrueType)", prop(e, NAME_REGISTRY));
    EXPECT_EQ("<absent>", prop(byPostScript("ABCDSans-Regular"), F_INSTALLED));

    // A product whose own test claims the other maker's font.
    ProductBinding mine("testproduct_mine.dll");
    loadCatalogue(catalogue_, mine.chain(), FontScope::Machine, false);
    EXPECT_EQ("<absent>", prop(byPostScript("QXSampleTT-W5"), F_INSTALLED));
    e = byPostScript("ABCDSans-Regular");
    EXPECT_EQ("1", prop(e, F_INSTALLED));
    EXPECT_EQ(abcd, prop(e, PATH_INSTALLED));
}

TEST_F(CatalogueTest, InstalledFontsAreMatchedByPostScriptNameOnly)
{
    ProductBinding product("testproduct_otf.dll");
    parseNameMap(catalogue_, "a,b,c,d,QXSample-W5\r\ne,f,g,h,QXSample-W5\r\n",
                 "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n");
    std::string copy = installedCopy("QXSample-W5.otf", scratch_ + "\\renamed.otf");
    EXPECT_EQ(1, markInstalled(catalogue_, copy.c_str(), "Any Name"));
    EXPECT_EQ("1", prop(catalogue_.at(0), F_INSTALLED));
    EXPECT_EQ("<absent>", prop(catalogue_.at(1), F_INSTALLED));  // only the first
    EXPECT_EQ("Any Name", prop(catalogue_.at(0), NAME_REGISTRY));

    std::string foreign = installedCopy("QXOther-W3.otf", scratch_ + "\\other.otf");
    EXPECT_EQ(0, markInstalled(catalogue_, foreign.c_str(), "Other"));  // no entry has its name
    std::string random = damagedCopy(kRandom, scratch_ + "\\random.otf");
    EXPECT_EQ(0, markInstalled(catalogue_, random.c_str(), "Random"));
    EXPECT_EQ(0, markInstalled(catalogue_, (scratch_ + "\\absent.otf").c_str(), "Absent"));

    // Without a Macintosh PostScript name the Windows one counts; with one,
    // the Macintosh name is the key even where the Windows one differs.
    parseNameMap(catalogue_, "a,b,c,d,QXWinOnly-W4\r\na,b,c,d,QXWinName-W4\r\na,b,c,d,QXMacName-W4\r\n",
                 "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n");
    std::string windowsOnly = installedCopy("QXWinOnly-W4.otf", scratch_ + "\\winonly.otf");
    EXPECT_EQ(1, markInstalled(catalogue_, windowsOnly.c_str(), "Windows Only"));
    EXPECT_EQ("1", prop(byPostScript("QXWinOnly-W4"), F_INSTALLED));
    std::string twoNames = installedCopy("QXTwoNames-W4.otf", scratch_ + "\\twonames.otf");
    EXPECT_EQ(1, markInstalled(catalogue_, twoNames.c_str(), "Two Names"));
    EXPECT_EQ("1", prop(byPostScript("QXMacName-W4"), F_INSTALLED));
    EXPECT_EQ("<absent>", prop(byPostScript("QXWinName-W4"), F_INSTALLED));

    // The whole list of a load at once: the same first entry of a name, a
    // line without a name or a path left out, and the product's test asked
    // before a file is read.
    catalogue_.clear();
    parseNameMap(catalogue_, "a,b,c,d,QXSample-W5\r\ne,f,g,h,QXSample-W5\r\na,b,c,d,QXWinOnly-W4\r\n",
                 "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n");
    std::vector<std::string> asked;
    markInstalledFonts(catalogue_, "\nNo Path\nRefused\nSample\n", copy + "\n\n" + windowsOnly + "\n" + copy + "\n", 4,
                       [&asked, &windowsOnly](const char *file, char *) {
                           asked.push_back(file);
                           return file != windowsOnly;
                       });
    EXPECT_EQ((std::vector<std::string>{windowsOnly, copy}), asked);
    EXPECT_EQ("Sample", prop(catalogue_.at(0), NAME_REGISTRY));
    EXPECT_EQ("1", prop(catalogue_.at(0), F_INSTALLED));
    EXPECT_EQ("<absent>", prop(catalogue_.at(1), F_INSTALLED));
    EXPECT_EQ("<absent>", prop(catalogue_.at(2), F_INSTALLED));

    // A test that also names the font spares the file's reading: a path
    // that cannot be read is marked under the name it gave. The lists are
    // taken in order, so of two copies of one font the later is recorded;
    // a name given with a refusal counts for nothing.
    catalogue_.clear();
    parseNameMap(catalogue_, "a,b,c,d,QXSample-W5\r\na,b,c,d,QXWinOnly-W4\r\n",
                 "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n");
    std::string unreadable = scratch_ + "\\absent.ttf";
    markInstalledFonts(catalogue_, "Read\nNamed\nRefused\n", copy + "\n" + unreadable + "\n" + windowsOnly + "\n", 3,
                       [&unreadable, &windowsOnly](const char *file, char *postscript) {
                           if (file == unreadable || file == windowsOnly)
                               std::strcpy(postscript, file == unreadable ? "QXSample-W5" : "QXWinOnly-W4");
                           return file != windowsOnly;
                       });
    EXPECT_EQ("Named", prop(catalogue_.at(0), NAME_REGISTRY));
    EXPECT_EQ(unreadable, prop(catalogue_.at(0), PATH_INSTALLED));
    EXPECT_EQ("-1", prop(catalogue_.at(0), SIZE_ALL));
    EXPECT_EQ("<absent>", prop(catalogue_.at(1), F_INSTALLED));
}

TEST_F(CatalogueTest, WithoutNameMapTheCatalogueStaysEmpty)
{
    ProductBinding none("");
    catalogue_.append();
    loadCatalogue(catalogue_, none.chain(), FontScope::Machine, false);
    EXPECT_EQ(0u, catalogue_.size());
}

}  // namespace
