// Tests of Adobe Type Manager support: its profile, its font list and
// folder, and the ".otf" opener.
#include "controls/folderchooser.h"
#include "platform/atm.h"
#include "platform/opener.h"
#include "tests/catalogue/fonttest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fonttest;

namespace {

// Keeps atm.ini as it was before the test.
class AtmProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini_ = windowsDir() + "\\atm.ini";
        hadIni_ = testutil::fileExists(ini_);
        saved_ = testutil::readFile(ini_);
        DeleteFileA(ini_.c_str());
    }
    void TearDown() override
    {
        if (hadIni_)
            testutil::writeFile(ini_, saved_);
        else
            DeleteFileA(ini_.c_str());
    }
    std::string atmValue(const char *key)
    {
        char buf[512];
        GetPrivateProfileStringA("OpenTypeFonts", key, "<absent>", buf, sizeof buf, ini_.c_str());
        return buf;
    }

    std::string ini_, saved_;
    bool hadIni_ = false;
};

TEST_F(AtmProfileTest, OnlyTheThreeProfileNamesAreAccepted)
{
    char path[kAtmPathSize];
    EXPECT_EQ(path, atmProfilePath("atm.ini", path));
    EXPECT_EQ(windowsDir() + "\\atm.ini", path);
    EXPECT_EQ(path, atmProfilePath("ATMDATA.DAT", path));
    EXPECT_EQ(windowsDir() + "\\ATMDATA.DAT", path);
    EXPECT_EQ(path, atmProfilePath("Win.Ini", path));
    EXPECT_EQ(nullptr, atmProfilePath("system.ini", path));
    EXPECT_EQ(nullptr, atmProfilePath("..\\atm.ini", path));
    EXPECT_EQ(nullptr, ensureAtmProfile("system.ini", path));
}

TEST_F(AtmProfileTest, EnsureCreatesAnEmptyProfileOnceAndKeepsAnExistingOne)
{
    char path[kAtmPathSize];
    ASSERT_EQ(path, ensureAtmProfile("atm.ini", path));
    EXPECT_TRUE(testutil::fileExists(ini_));
    EXPECT_EQ("", testutil::readFile(ini_));
    testutil::writeFile(ini_, "[Setup]\r\nPFB_DIR=C:\\x\r\n");
    ASSERT_EQ(path, ensureAtmProfile("atm.ini", path));
    EXPECT_EQ("[Setup]\r\nPFB_DIR=C:\\x\r\n", testutil::readFile(ini_));
}

// A profile that refuses to add companion keys ('@') or name keys.
class FailingWriter : public ProfileWriter {
public:
    explicit FailingWriter(bool companions) : companions_(companions) {}
    bool write(const char *section, const char *key, const char *value, const char *file) const override
    {
        if (key && (key[0] == '@') == companions_ && value)
            return false;
        return ProfileWriter::write(section, key, value, file);
    }

private:
    bool companions_;
};

// Records the keys written, in order ("+" adds, "-" removes).
class RecordingWriter : public ProfileWriter {
public:
    bool write(const char *section, const char *key, const char *value, const char *file) const override
    {
        writes.push_back(std::string(value ? "+" : "-") + key);
        return ProfileWriter::write(section, key, value, file);
    }
    mutable std::vector<std::string> writes;
};

TEST_F(AtmProfileTest, WritingAndRemovingAFontKeepsItsCompanionKeyInStep)
{
    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", "D:\\A\\B.otf"));
    EXPECT_EQ("D:\\A\\B.otf", atmValue("QX Sample W5"));
    EXPECT_EQ("D:\\A\\|B.otf", atmValue("@QX Sample W5"));
    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", "C:\\FONTS\\QXSample-W5.otf"));  // replaced
    EXPECT_EQ("C:\\FONTS\\|QXSample-W5.otf", atmValue("@QX Sample W5"));

    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", ""));
    EXPECT_EQ("<absent>", atmValue("QX Sample W5"));
    EXPECT_EQ("<absent>", atmValue("@QX Sample W5"));
    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", nullptr));  // already gone: still fine

    // A companion key that cannot be written (a full profile on Windows
    // 95/98/Me) takes the name key back out.
    EXPECT_FALSE(writeAtmOpenTypeFont("QX Sample W5", "D:\\A\\B.otf", FailingWriter(true)));
    EXPECT_EQ("<absent>", atmValue("QX Sample W5"));
    EXPECT_EQ("<absent>", atmValue("@QX Sample W5"));

    // A name key that cannot be written takes its companion back out.
    EXPECT_FALSE(writeAtmOpenTypeFont("QX Sample W5", "D:\\A\\B.otf", FailingWriter(false)));
    EXPECT_EQ("<absent>", atmValue("QX Sample W5"));
    EXPECT_EQ("<absent>", atmValue("@QX Sample W5"));

    // The name key lists the font: written last, removed first, so that an
    // interruption between the two never lists a font without its companion.
    RecordingWriter recorder;
    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", "D:\\A\\B.otf", recorder));
    EXPECT_TRUE(writeAtmOpenTypeFont("QX Sample W5", nullptr, recorder));
    EXPECT_EQ((std::vector<std::string>{"+@QX Sample W5", "+QX Sample W5", "-QX Sample W5", "-@QX Sample W5"}),
              recorder.writes);

    // A name too long for its companion key writes nothing at all.
    std::string longName(200, 'n');
    EXPECT_FALSE(writeAtmOpenTypeFont(longName.c_str(), "D:\\A\\B.otf"));
    EXPECT_EQ("<absent>", atmValue(longName.c_str()));
}

TEST_F(AtmProfileTest, ListLeavesOutCompanionKeysAndMarksEmptyValues)
{
    std::string names, paths;
    EXPECT_EQ(0, listAtmOpenTypeFonts(&names, &paths));  // no profile
    testutil::writeFile(ini_, "[Setup]\r\nPFB_DIR=C:\\psfonts\r\n");
    EXPECT_EQ(0, listAtmOpenTypeFonts(&names, &paths));  // no section
    EXPECT_EQ("", names);

    testutil::writeFile(ini_,
                        "[OpenTypeFonts]\r\n"
                        "QX Sample W5=C:\\FONTS\\QXSample-W5.otf\r\n"
                        "@QX Sample W5=C:\\FONTS\\|QXSample-W5.otf\r\n"
                        "QX Empty=\r\n"
                        "QX Other W3=D:\\A\\QXOther-W3.otf\r\n");
    EXPECT_EQ(3, listAtmOpenTypeFonts(&names, &paths));
    EXPECT_EQ("QX Sample W5\nQX Empty\nQX Other W3\n", names);
    EXPECT_EQ("C:\\FONTS\\QXSample-W5.otf\nERROR\nD:\\A\\QXOther-W3.otf\n", paths);
}

TEST_F(AtmProfileTest, KeyListBeyondItsBufferIsReadUpToTheBuffer)
{
    // 3,000 keys of 29 bytes with their NULs: 87,000 bytes of names.
    std::string ini = "[OpenTypeFonts]\r\n";
    for (int i = 0; i < 3000; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "QX Font Number %013d=C:\\F\\%d.otf\r\n", i, i);
        ini += line;
    }
    testutil::writeFile(ini_, ini);
    std::string names, paths;
    int count = listAtmOpenTypeFonts(&names, &paths);
    EXPECT_GT(count, 1000);
    EXPECT_LT(count, 3000);
    EXPECT_LE(names.size(), static_cast<size_t>(kAtmKeyListSize));
    EXPECT_EQ(0u, names.find("QX Font Number 0000000000000\n"));
    EXPECT_EQ(0u, paths.find("C:\\F\\0.otf\n"));
    size_t lines = 0;
    for (char c : paths)
        lines += c == '\n';
    EXPECT_EQ(static_cast<size_t>(count), lines);
}

TEST_F(AtmProfileTest, FontFolderComesFromTheProfile)
{
    char folder[kAtmPathSize];
    EXPECT_EQ(nullptr, getAtmPfbDirFromProfile(folder));
    testutil::writeFile(ini_, "[Setup]\r\nPFB_DIR=\r\n");
    EXPECT_EQ(nullptr, getAtmPfbDirFromProfile(folder));
    testutil::writeFile(ini_, "[Setup]\r\nPFB_DIR=C:\\psfonts\r\n");
    ASSERT_EQ(folder, getAtmPfbDirFromProfile(folder));
    EXPECT_STREQ("C:\\psfonts", folder);
}

// Creates a registry key for the test and removes what it created.
class RegistryKeyTest : public ::testing::Test {
protected:
    void setString(HKEY root, const char *key, const char *name, const std::string &data)
    {
        OwnedKey h;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, h.receive(), nullptr));
        RegSetValueExA(h.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }
    // Deletes the keys, deepest first; keys that are not empty stay.
    void removeKeys(HKEY root, std::initializer_list<const char *> keys)
    {
        for (const char *k : keys)
            RegDeleteKeyA(root, k);
    }
};

TEST_F(RegistryKeyTest, FontFolderComesFromTheRegistry)
{
    const char key[] = "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup";
    char folder[kAtmPathSize];
    EXPECT_EQ(nullptr, getAtmPfbDirFromRegistry(folder));
    setString(HKEY_LOCAL_MACHINE, key, "PFB_DIR", "");
    EXPECT_EQ(nullptr, getAtmPfbDirFromRegistry(folder));
    setString(HKEY_LOCAL_MACHINE, key, "PFB_DIR", "C:\\psfonts");
    EXPECT_EQ(folder, getAtmPfbDirFromRegistry(folder));
    EXPECT_STREQ("C:\\psfonts", folder);
    setString(HKEY_LOCAL_MACHINE, key, "PFB_DIR", "C:\\" + std::string(400, 'p'));
    EXPECT_EQ(nullptr, getAtmPfbDirFromRegistry(folder));
    removeKeys(HKEY_LOCAL_MACHINE,
               {key, "SOFTWARE\\Adobe\\Adobe Type Manager", "SOFTWARE\\Adobe"});
}

TEST_F(RegistryKeyTest, OtfOpenerIsTheProgramOfTheOpenCommand)
{
    std::string savedType;
    bool hadType = testutil::regGetString(HKEY_CLASSES_ROOT, ".otf", nullptr, &savedType);
    const char type[] = "QXTestOtfFile";
    const char command[] = "QXTestOtfFile\\shell\\open\\command";

    setString(HKEY_CLASSES_ROOT, ".otf", nullptr, type);
    char program[256] = "";
    EXPECT_FALSE(findOtfOpener(program));  // no command yet

    setString(HKEY_CLASSES_ROOT, command, nullptr, "\"C:\\Program Files\\ATM\\atm.exe\" \"%1\"");
    ASSERT_TRUE(findOtfOpener(program));
    EXPECT_STREQ("C:\\Program Files\\ATM\\atm.exe", program);

    setString(HKEY_CLASSES_ROOT, command, nullptr, "C:\\ATM\\atm.exe %1");
    ASSERT_TRUE(findOtfOpener(program));
    EXPECT_STREQ("C:\\ATM\\atm.exe %1", program);

    setString(HKEY_CLASSES_ROOT, command, nullptr, "\"\"");
    EXPECT_FALSE(findOtfOpener(program));

    removeKeys(HKEY_CLASSES_ROOT, {command, "QXTestOtfFile\\shell\\open", "QXTestOtfFile\\shell",
                                   "QXTestOtfFile"});
    if (hadType)
        setString(HKEY_CLASSES_ROOT, ".otf", nullptr, savedType);
    else
        removeKeys(HKEY_CLASSES_ROOT, {".otf"});
}

TEST(BrowseForFolderTest, CancelChoosesNothing)
{
    testutil::WindowWatcher watcher("Browse for Folder", IDCANCEL);
    watcher.expectWithin(30000);
    char buffer[MAX_PATH] = "unchanged";
    EXPECT_FALSE(browseForFolder(buffer, sizeof buffer));
    EXPECT_STREQ("unchanged", buffer);
    EXPECT_EQ(1, watcher.answers());
}

}  // namespace
