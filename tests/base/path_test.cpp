// Tests of the path splitter.
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

TEST(CopyWholeTest, CopiesOnlyWhatFits)
{
    char out[4] = "xyz";
    EXPECT_TRUE(copyWhole(out, sizeof out, "abc"));
    EXPECT_STREQ("abc", out);
    EXPECT_FALSE(copyWhole(out, sizeof out, "abcd"));
    EXPECT_STREQ("", out);
}

}  // namespace
