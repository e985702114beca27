// Tests of the collection header, the table directory and the table base class.
#include "base/stream.h"
#include "sfnt/container.h"
#include "sfnt/locator.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace {

std::string thrown(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const std::string &e) {
        return e;
    }
    return "";
}

TEST(TagTest, WritesFourCharactersMostSignificantFirst)
{
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_STREQ("OS/2", TagToString(0x4F532F32, buffer));
    EXPECT_EQ('\0', buffer[4]);
    EXPECT_STREQ("ttcf", TagToString(TAG_ttcf, buffer));
    // Without a buffer every call answers in the same static one.
    char *shared = TagToString(TAG_head);
    EXPECT_STREQ("head", shared);
    EXPECT_EQ(shared, TagToString(TAG_name));
    EXPECT_STREQ("name", shared);
}

class DirectoryTest : public ::testing::Test {
protected:
    static TT_FontDirectory readDirectory(const std::string &bytes)
    {
        std::istringstream in(bytes);
        TT_FontDirectory dir;
        dir.read(in);
        return dir;
    }
};

TEST_F(DirectoryTest, WriteReproducesTheBytesRead)
{
    for (uint32_t version : {0x00010000u, 0x4F54544Fu /* OTTO */, 0x74727565u /* true */, 0x12345678u}) {
        std::string font = BuildMinimalFont();
        SetU32(&font, 0, version);
        SetU16(&font, 6, 0xBEEF);  // searchRange: carried, not checked
        std::istringstream in(font);
        TT_FontDirectory dir;
        ASSERT_EQ(3, dir.read(in));
        EXPECT_EQ(version, dir.sfntVersion);
        EXPECT_EQ(12 + 3 * 16, in.tellg());
        std::ostringstream out;
        EXPECT_EQ(12 + 3 * 16, dir.write(out));
        EXPECT_EQ(font.substr(0, 12 + 3 * 16), out.str());
    }
}

TEST_F(DirectoryTest, FindReliesOnAscendingTagOrder)
{
    std::string sorted = BuildMinimalFont();
    TT_FontDirectory dir = readDirectory(sorted);
    ASSERT_NE(nullptr, dir.find(TAG_name));
    EXPECT_EQ(TableOffset(sorted, "name"), dir.find(TAG_name)->offset);
    EXPECT_EQ(TAG_OS2, dir.find(TAG_OS2)->tag);
    EXPECT_EQ(nullptr, dir.find(0x7A7A7A7A));  // greater than every tag
    EXPECT_EQ(nullptr, dir.find(0x41414141));  // less than every tag
    EXPECT_EQ(nullptr, dir.find(0x676C7966));  // 'glyf', between two tags

    // 'name' listed first hides the tables after it that sort before it.
    std::string unsorted = BuildFont({{"name", BuildName({})}, {"OS/2", BuildOS2(0, 0, "ZORV")},
                                      {"post", std::string(32, '\0')}});
    dir = readDirectory(unsorted);
    EXPECT_NE(nullptr, dir.find(TAG_name));
    EXPECT_EQ(nullptr, dir.find(TAG_OS2));
    EXPECT_NE(nullptr, dir.find(0x706F7374));  // 'post' is greater than 'name'
}

TEST_F(DirectoryTest, CountBeyondTheDataFailsBeforeReadingRecords)
{
    std::string font = BuildMinimalFont();
    SetU16(&font, 4, 0xFFFF);
    std::istringstream in(font);
    TT_FontDirectory dir;
    EXPECT_EQ("EOFException", thrown([&] { dir.read(in); }));
    EXPECT_TRUE(dir.records.empty());

    // A directory cut inside its last record.
    std::istringstream cut(BuildMinimalFont().substr(0, 12 + 16 * 3 - 1));
    EXPECT_EQ("EOFException", thrown([&] { dir.read(cut); }));
}

TEST_F(DirectoryTest, DumpFormat)
{
    std::string bytes = FontBuilder()
                            .u32(0x00010000).u16(2).u16(32).u16(1).u16(0)
                            .tag("OS/2").u32(0xDEADBEEF).u32(0x2C).u32(96)
                            .tag("head").u32(0).u32(0x8C).u32(54)
                            .str();
    TT_FontDirectory dir = readDirectory(bytes);
    std::ostringstream out;
    dir.dump(out);
    out << 255;  // the dump leaves the stream in decimal
    EXPECT_EQ("TT_FontDirectory{sfntVersion=0x10000 numTables=2 searchRange=0x20 entrySelector=0x1 rangeShift=0x0\n"
              "TT_TableDirectory{tag=OS/2 checkSum=0xdeadbeef offset=0x2c length=96}\n"
              "TT_TableDirectory{tag=head checkSum=0x0 offset=0x8c length=54}\n"
              "\n255",
              out.str());
}

TEST_F(DirectoryTest, RangeChecks)
{
    TT_TableDirectory rec;
    rec.offset = 60;
    rec.length = 40;
    EXPECT_TRUE(rec.rangeFits(100, 0, 60));   // ends exactly at the end of the file
    EXPECT_FALSE(rec.rangeFits(99, 0, 60));   // one byte beyond
    EXPECT_FALSE(rec.rangeFits(100, 0, 61));  // shares a byte with the directory
    EXPECT_TRUE(rec.rangeFits(100, 100, 200));
    rec.offset = 0xFFFFFFF0;
    rec.length = 0x20;                        // wraps in 32 bits
    EXPECT_FALSE(rec.rangeFits(0x100, 0, 12));
}

TEST(CollectionHeaderTest, ReadsOffsetsOfEveryFont)
{
    std::string ttc = BuildCollection({BuildMinimalFont(), BuildMinimalFont(0)});
    std::istringstream in(ttc);
    TT_CollectionHeader header;
    EXPECT_EQ(2, header.read(in));
    EXPECT_EQ(1, header.majorVersion);
    EXPECT_EQ(20, header.offsetOf(0));
    EXPECT_EQ(static_cast<int>(20 + BuildMinimalFont().size() + 3) / 4 * 4, header.offsetOf(1));
    EXPECT_EQ(-1, header.offsetOf(2));
    EXPECT_EQ(-1, header.offsetOf(-1));
}

TEST(CollectionHeaderTest, OtherFirstTagReadsFourBytesOnly)
{
    std::istringstream in(BuildMinimalFont());
    TT_CollectionHeader header;
    EXPECT_EQ(0, header.read(in));
    EXPECT_EQ(4, in.tellg());
    EXPECT_EQ(-1, header.offsetOf(0));
}

TEST(CollectionHeaderTest, ZeroOrNegativeCountReadsNoOffsets)
{
    TT_CollectionHeader header;
    std::istringstream none(FontBuilder().tag("ttcf").u16(2).u16(0).u32(0).str());
    EXPECT_EQ(0, header.read(none));
    std::istringstream negative(FontBuilder().tag("ttcf").u16(2).u16(0).u32(0xFFFFFFFE).u32(20).str());
    EXPECT_EQ(-2, header.read(negative));
    EXPECT_TRUE(header.offsets.empty());
    EXPECT_EQ(-1, header.offsetOf(0));
}

TEST(CollectionHeaderTest, HugeCountFailsWithoutReservingRoom)
{
    std::istringstream in(FontBuilder().tag("ttcf").u16(1).u16(0).u32(0x7FFFFFFF).u32(16).u32(32).str());
    TT_CollectionHeader header;
    EXPECT_EQ("EOFException", thrown([&] { header.read(in); }));
    EXPECT_EQ(-1, header.offsetOf(0));
}

TEST(FaceWalkerTest, FacesOfCollectionsAndOfSingleFonts)
{
    const std::string font = BuildMinimalFont();
    std::string ttc = BuildCollection({font, font});
    FaceWalker faces;
    std::istringstream collection(ttc);
    EXPECT_EQ(2, faces.read(collection));
    EXPECT_TRUE(faces.collection());
    EXPECT_EQ(20, faces.offsetOf(0));
    EXPECT_EQ(static_cast<int64_t>(GetU32(ttc, 16)), faces.offsetOf(1));
    EXPECT_EQ(-1, faces.offsetOf(2));

    SetU32(&ttc, 16, 0x90000000);  // beyond 2 GiB
    std::istringstream far(ttc);
    faces.read(far);
    EXPECT_EQ(-1, faces.offsetOf(1));

    // A single font, read twice by the same walker; and a collection header
    // without fonts, whose own bytes are the one font's directory.
    std::istringstream single(font);
    single.seekg(30);
    EXPECT_EQ(1, faces.read(single));
    EXPECT_FALSE(faces.collection());
    EXPECT_EQ(0, faces.offsetOf(0));
    EXPECT_EQ(-1, faces.offsetOf(1));
    std::istringstream empty(FontBuilder().tag("ttcf").u16(1).u16(0).u32(0).str());
    EXPECT_EQ(1, faces.read(empty));
    EXPECT_EQ(0, faces.offsetOf(0));
}

// Records every line the base class hands on.
class LineCollector : public TT_Table {
public:
    std::vector<std::string> lines;
    int parseProfileLine(const char *line) override
    {
        lines.push_back(line);
        return 1;
    }
};

TEST(TableBaseTest, ProfileSkipsCommentsAndEmptyLinesAndCutsLongOnes)
{
    std::string longLine(300, 'x');
    std::istringstream in("# header\r\n\r\n\nfirst=1\r\n#second\n" + longLine + "\nlast");
    LineCollector table;
    EXPECT_EQ(3, table.readProfile(in));
    ASSERT_EQ(3u, table.lines.size());
    EXPECT_EQ("first=1", table.lines[0]);
    EXPECT_EQ(std::string(255, 'x'), table.lines[1]);
    EXPECT_EQ("last", table.lines[2]);

    std::istringstream empty("");
    EXPECT_EQ(0, table.readProfile(empty));
}

}  // namespace
