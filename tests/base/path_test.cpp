// Tests of the path helpers, in single-byte and double-byte code pages.
#include "base/path.h"

#include <gtest/gtest.h>

namespace {

void expectParts(const char *path, const char *drive, const char *dir, const char *fname,
                 const char *ext)
{
    PathParts p = splitPath(path);
    EXPECT_EQ(drive, p.drive) << path;
    EXPECT_EQ(dir, p.dir) << path;
    EXPECT_EQ(fname, p.fname) << path;
    EXPECT_EQ(ext, p.ext) << path;
}

TEST(SplitPathTest, SplitsLikeTheRuntime)
{
    expectParts("D:\\A\\B.otf", "D:", "\\A\\", "B", ".otf");
    expectParts("SAMPLE.TTF", "", "", "SAMPLE", ".TTF");
    expectParts("C:name.ttf", "C:", "", "name", ".ttf");
    expectParts("C:\\dir.x\\file", "C:", "\\dir.x\\", "file", "");
    expectParts("dir/sub/a.b.ttc", "", "dir/sub/", "a.b", ".ttc");
    expectParts("C:\\FONTS\\", "C:", "\\FONTS\\", "", "");
    expectParts("", "", "", "", "");
}

// 0x5C (the backslash) is the second byte of 表 and ソ in code page 932 and of
// 許 and 功 in 950; as the second byte of a character it separates nothing.
const char kHyo932[] = "\x95\x5C", kSo932[] = "\x83\x5C";
const char kKyo950[] = "\xB3\x5C", kKou950[] = "\xA5\x5C";

TEST(SplitPathTest, SecondBytesOfDoubleByteCharactersAreNoSeparators)
{
    const struct { unsigned codePage; const char *a; const char *b; } pages[] = {
        {932, kHyo932, kSo932}, {950, kKyo950, kKou950}};
    for (const auto &cp : pages) {
        SCOPED_TRACE(cp.codePage);
        LeadByteFn lead = leadBytesOf(cp.codePage);
        std::string dir = std::string("\\") + cp.a + "\\";
        std::string path = "C:" + dir + cp.b + ".otf";
        PathParts p = splitPath(path.c_str(), lead);
        EXPECT_EQ("C:", p.drive);
        EXPECT_EQ(dir, p.dir);
        EXPECT_EQ(cp.b, p.fname);
        EXPECT_EQ(".otf", p.ext);
        EXPECT_STREQ(".otf", FileExtension(path.c_str(), lead));
        EXPECT_FALSE(endsWithSeparator(("C:\\" + std::string(cp.a)).c_str(), lead));
        EXPECT_TRUE(endsWithSeparator(("C:\\" + std::string(cp.a) + "\\").c_str(), lead));
        std::string category = std::string(cp.a) + "\\" + cp.b;
        EXPECT_EQ(category.c_str() + 2, findSeparator(category.c_str(), lead));
        EXPECT_TRUE(isPlainFileName((std::string(cp.b) + ".otf").c_str(), lead));
        EXPECT_FALSE(isPlainFileName((std::string(cp.b) + "\\x.otf").c_str(), lead));
        EXPECT_EQ(3u, fitChars(category.c_str(), 4, lead));  // not half of the next character
        // The same bytes read as a single-byte code page do split.
        EXPECT_TRUE(endsWithSeparator(("C:\\" + std::string(cp.a)).c_str(), leadBytesOf(1252)));
    }
}

TEST(FileExtensionTest, LastDotOfTheFileNamePart)
{
    LeadByteFn none = leadBytesOf(1252);
    EXPECT_STREQ(".ttf", FileExtension("font.ttf", none));
    EXPECT_STREQ(".TTF", FileExtension("C:\\WINDOWS\\FONTS\\ZORV.TTF", none));
    EXPECT_STREQ(".otf", FileExtension("a.b/c.d\\name.x.otf", none));
    EXPECT_STREQ("", FileExtension("C:\\fonts.d\\font", none));
    EXPECT_STREQ("", FileExtension("dir.ttf/font", none));
    EXPECT_STREQ(".ttc", FileExtension("dir/.ttc", none));
    EXPECT_STREQ(".", FileExtension("font.", none));
    EXPECT_STREQ("", FileExtension("", none));
    // A lead byte cut off by the end of the text is a character of its own.
    EXPECT_STREQ(".b\x95", FileExtension("a.b\x95", leadBytesOf(932)));
}

TEST(EqualsIgnoreCaseTest, FoldsAsciiLettersOnly)
{
    EXPECT_TRUE(EqualsIgnoreCase(".OTF", ".otf", leadBytesOf(1252)));
    EXPECT_FALSE(EqualsIgnoreCase(".otf", ".otc", leadBytesOf(1252)));
    EXPECT_FALSE(EqualsIgnoreCase(".otf", ".ot", leadBytesOf(1252)));
    // 0x83 0x41 and 0x83 0x61 are two katakana of code page 932, not one
    // letter in two cases.
    EXPECT_FALSE(EqualsIgnoreCase("\x83\x41", "\x83\x61", leadBytesOf(932)));
    EXPECT_TRUE(EqualsIgnoreCase("\x83\x41.OTF", "\x83\x41.otf", leadBytesOf(932)));
}

TEST(PlainFileNameTest, NothingThatLeadsOutOfTheFolder)
{
    LeadByteFn none = leadBytesOf(1252);
    EXPECT_TRUE(isPlainFileName("QXSample-W5.otf", none));
    for (const char *unsafe : {"", "..\\evil.otf", "sub\\x.otf", "a/b.otf", "C:x.otf", "..", "x..otf"})
        EXPECT_FALSE(isPlainFileName(unsafe, none)) << unsafe;
}

// Names that an elevated install would turn into a write to a device, a
// wildcard or a file the system renames: each is refused. Names that only
// look like them are not.
TEST(PlainFileNameTest, NoDevicesWildcardsControlBytesOrTrailingDotsAndSpaces)
{
    LeadByteFn none = leadBytesOf(1252);
    for (const char *unsafe :
         {"COM1.otf", "NUL.ttf", "con", "Prn.otf", "aux.tar.gz", "lpt9.ttf", "com1 .otf", "LPT1", "a*.otf",
          "a?.otf", "a<b.otf", "a>b.otf", "a\"b.otf", "a|b.otf", "tab\tname.otf", "bell\x07.otf", "\x1f.otf",
          "font.otf.", "font.otf ", "font."})
        EXPECT_FALSE(isPlainFileName(unsafe, none)) << unsafe;
    for (const char *plain : {"COM10.otf", "COM0.otf", "CONSOLE.otf", "NULL.ttf", "LPT.otf", "AUXILIARY.ttf",
                              "my font.otf", "QX.Sample.otf", "COM1X.otf"})
        EXPECT_TRUE(isPlainFileName(plain, none)) << plain;
    // The second byte of ポ in code page 932 is the byte of '|'; of 表 that
    // of '\\': both are letters there, and separators in a single-byte page.
    EXPECT_TRUE(isPlainFileName("\x83\x7C.otf", leadBytesOf(932)));
    EXPECT_FALSE(isPlainFileName("\x83\x7C.otf", none));
    EXPECT_TRUE(isPlainFileName("\x95\x5C.otf", leadBytesOf(932)));
    EXPECT_TRUE(isDeviceName("CoM7.fon"));
    EXPECT_FALSE(isDeviceName("COM7x.fon"));
}

TEST(CopyWholeTest, CopiesOnlyWhatFits)
{
    char out[4] = "xyz";
    EXPECT_TRUE(copyWhole(out, sizeof out, "abc"));
    EXPECT_STREQ("abc", out);
    EXPECT_FALSE(copyWhole(out, sizeof out, "abcd"));
    EXPECT_STREQ("", out);
}

}  // namespace
