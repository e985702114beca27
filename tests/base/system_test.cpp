// Tests of the system utilities, run under Wine for each emulated version.
#include "base/system.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testutil;

namespace {

TEST(LoadTextTest, LoadsOwnStringsAndCutsToTheBuffer)
{
    char buf[64] = "junk";
    EXPECT_EQ(buf, loadText(100, buf, sizeof buf));
    EXPECT_STREQ("Hello from the installer module", buf);
    char small[9];
    EXPECT_EQ(small, loadText(101, small, sizeof small));
    EXPECT_STREQ("A longer", small);
}

TEST(LoadTextTest, MissingIdGivesNullAndEmptyBuffer)
{
    char buf[64] = "junk";
    EXPECT_EQ(nullptr, loadText(4242, buf, sizeof buf));
    EXPECT_STREQ("", buf);
}

TEST(LoadTextResourceTest, CopiesEveryByteAndAddsNul)
{
    char *text = loadTextResource("WITHNUL");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::string("A\0B\r\nC\0", 7), std::string(text, 7));
    delete[] text;
}

TEST(LoadTextResourceTest, EmptyOrMissingResourceGivesNull)
{
    EXPECT_EQ(nullptr, loadTextResource("EMPTYTEXT"));
    EXPECT_EQ(nullptr, loadTextResource("NOSUCHTEXT"));
}

TEST(VolumeTest, ReadsTheLabelOfTheDiscDrive)
{
    char label[MAX_PATH] = "";
    ASSERT_EQ(label, getVolumeLabel('E', label, sizeof label)) << versionText();
    EXPECT_STREQ("Disc512", label);
    VolumeInfo info;
    ASSERT_EQ(&info, getVolumeInfo('E', &info));
    EXPECT_STREQ("Disc512", info.label);
}

TEST(VolumeTest, UnreadableDriveGivesNull)
{
    char label[MAX_PATH] = "";
    EXPECT_EQ(nullptr, getVolumeLabel('B', label, sizeof label));  // no floppy in B:
    EXPECT_EQ(nullptr, getVolumeLabel('Q', label, sizeof label));  // no such drive
}

TEST(VolumeTest, LabelIsCutToTheCallersBuffer)
{
    char label[4] = "";
    ASSERT_EQ(label, getVolumeLabel('E', label, sizeof label));
    EXPECT_STREQ("Dis", label);
}

TEST(OsVersionTest, MatchesTheEmulatedSystem)
{
    const OSVERSIONINFOA &v = getOsVersion();
    EXPECT_EQ(sizeof(OSVERSIONINFOA), v.dwOSVersionInfoSize);
    EXPECT_EQ(148u, v.dwOSVersionInfoSize);
    EXPECT_TRUE(isWin9x() != isWinNT()) << versionText();
    if (isWin9x()) {
        EXPECT_EQ(4u, v.dwMajorVersion);
        EXPECT_TRUE(v.dwMinorVersion == 0 || v.dwMinorVersion == 10 || v.dwMinorVersion == 90);
    }
}

TEST(FloppyLetterTest, OnlyLettersBelowC)
{
    EXPECT_TRUE(isFloppyDriveLetter('A'));
    EXPECT_TRUE(isFloppyDriveLetter('B'));
    for (char c = 'C'; c <= 'Z'; ++c)
        EXPECT_FALSE(isFloppyDriveLetter(c)) << c;
    EXPECT_FALSE(isFloppyDriveLetter('a'));
    EXPECT_FALSE(isFloppyDriveLetter('z'));
    EXPECT_TRUE(isFloppyDriveLetter(static_cast<char>(0xC1)));  // signed: below 'C'
}

class WininitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetWindowsDirectoryA(dir, sizeof dir);
        ini_ = std::string(dir) + "\\WININIT.INI";
        DeleteFileA(ini_.c_str());
        folder_ = scratchFolder("wininit");
    }
    void TearDown() override
    {
        DeleteFileA(ini_.c_str());
        DeleteFileA((ini_ + ".bak").c_str());
    }

    std::string shortPathOf(const std::string &path)
    {
        char s[MAX_PATH];
        GetShortPathNameA(path.c_str(), s, sizeof s);
        return s;
    }

    std::string ini_, folder_;
};

TEST_F(WininitTest, AddsNulLineAndKeepsOtherLinesInOrder)
{
    std::string font = folder_ + "\\Sample Font W5.ttf";
    ASSERT_TRUE(writeFile(font, "font"));
    std::string longLine = "; " + std::string(700, 'x');
    std::string before = "[rename]\r\nNUL=C:\\WINDOWS\\FONTS\\OTHER~1.TTF\r\n" + longLine +
                         "\r\n\r\n[other]\r\nkey=value\r\n";
    ASSERT_TRUE(writeFile(ini_, before));

    EXPECT_EQ(1, scheduleDeleteInWininit(font.c_str()));

    std::string after = readFile(ini_);
    EXPECT_EQ(std::string::npos, after.find("KorimaruDummyKey"));
    EXPECT_NE(std::string::npos, after.find("NUL=" + shortPathOf(font) + "\r\n")) << after;
    size_t other = after.find("NUL=C:\\WINDOWS\\FONTS\\OTHER~1.TTF\r\n");
    size_t ours = after.find("NUL=" + shortPathOf(font));
    ASSERT_NE(std::string::npos, other);
    EXPECT_LT(other, ours);
    EXPECT_NE(std::string::npos, after.find("\r\n" + longLine + "\r\n"));
    EXPECT_NE(std::string::npos, after.find("[other]\r\nkey=value\r\n"));
    EXPECT_FALSE(fileExists(ini_.substr(0, ini_.size() - 3) + "$$$"));
}

TEST_F(WininitTest, TwoFilesGiveTwoNulLines)
{
    std::string a = folder_ + "\\first.ttf", b = folder_ + "\\second.ttf";
    ASSERT_TRUE(writeFile(a, "a"));
    ASSERT_TRUE(writeFile(b, "b"));
    EXPECT_EQ(1, scheduleDeleteInWininit(a.c_str()));
    EXPECT_EQ(1, scheduleDeleteInWininit(b.c_str()));
    std::string after = readFile(ini_);
    EXPECT_NE(std::string::npos, after.find("NUL=" + shortPathOf(a))) << after;
    EXPECT_NE(std::string::npos, after.find("NUL=" + shortPathOf(b))) << after;
}

TEST_F(WininitTest, MissingFileSchedulesNothingAndLeavesTheFileAlone)
{
    std::string before = "[rename]\r\nNUL=C:\\X.TTF\r\n";
    ASSERT_TRUE(writeFile(ini_, before));
    EXPECT_EQ(0, scheduleDeleteInWininit((folder_ + "\\absent.ttf").c_str()));
    EXPECT_EQ(before, readFile(ini_));
}

TEST_F(WininitTest, CreatesTheFileWhenMissing)
{
    std::string font = folder_ + "\\a.ttf";
    ASSERT_TRUE(writeFile(font, "a"));
    EXPECT_EQ(1, scheduleDeleteInWininit(font.c_str()));
    std::string after = readFile(ini_);
    EXPECT_NE(std::string::npos, after.find("[rename]")) << after;
    EXPECT_NE(std::string::npos, after.find("NUL=" + shortPathOf(font))) << after;
}

// A rewrite cut off between its two moves leaves the old file moved aside
// and none in its place: the pending deletions it holds are put back, never
// dropped, and the new one is added to them.
TEST_F(WininitTest, AFileLeftMovedAsideIsRestoredNotLost)
{
    std::string font = folder_ + "\\late.ttf";
    ASSERT_TRUE(writeFile(font, "late"));
    const std::string pending = "[rename]\r\nNUL=C:\\WINDOWS\\FONTS\\EARLIER.TTF\r\n";
    ASSERT_TRUE(writeFile(ini_ + ".bak", pending));
    ASSERT_FALSE(fileExists(ini_));

    EXPECT_EQ(1, scheduleDeleteInWininit(font.c_str()));
    std::string after = readFile(ini_);
    EXPECT_NE(std::string::npos, after.find("NUL=C:\\WINDOWS\\FONTS\\EARLIER.TTF\r\n")) << after;
    EXPECT_NE(std::string::npos, after.find("NUL=" + shortPathOf(font))) << after;
    EXPECT_LT(after.find("EARLIER"), after.find("NUL=" + shortPathOf(font)));
    EXPECT_FALSE(fileExists(ini_ + ".bak"));
}

TEST_F(WininitTest, DeleteAtRestartUsesThePlatformsMechanism)
{
    std::string font = folder_ + "\\busy.ttf";
    ASSERT_TRUE(writeFile(font, "busy"));
    OSVERSIONINFOA v;
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);

    EXPECT_NE(0, deleteFileAtRestart(font.c_str())) << versionText();
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        EXPECT_NE(std::string::npos, readFile(ini_).find("NUL=" + shortPathOf(font)));
    } else {
        EXPECT_FALSE(fileExists(ini_));
        std::vector<std::string> ops;
        ASSERT_TRUE(regGetMultiString(HKEY_LOCAL_MACHINE,
                                      "System\\CurrentControlSet\\Control\\Session Manager",
                                      "PendingFileRenameOperations", &ops));
        bool found = false;
        for (size_t i = 0; i + 1 < ops.size(); ++i) {
            if (ops[i] == "\\??\\" + font) {
                found = true;
                EXPECT_EQ("", ops[i + 1]);  // no destination: a deletion
            }
        }
        EXPECT_TRUE(found);
    }
    EXPECT_TRUE(fileExists(font));  // nothing is deleted before the restart
}

}  // namespace
