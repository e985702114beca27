// Tests of the head, OS/2 and PANOSE tables and of the maker test.
#include "sfnt/embed.h"
#include "sfnt/head.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"
#include "sfnt/os2.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

class OS2Test : public ::testing::Test {};

TEST_F(OS2Test, VersionDecidesTheSizeReadAndWritten)
{
    const struct { uint16_t version; int size; } cases[] = {{0, 78}, {1, 86}, {2, 96}, {3, 96}, {4, 96}, {5, 96}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        std::string bytes = BuildOS2(c.version, 4, "ZORV");
        std::istringstream in(bytes);
        TT_OS2 os2;
        EXPECT_EQ(c.size, os2.read(in));
        EXPECT_EQ(c.size, in.tellg());
        EXPECT_EQ(4, os2.fsType);
        EXPECT_EQ(0, std::string(reinterpret_cast<char *>(os2.achVendID), 4).compare("ZORV"));

        // Written over the original bytes: the same bytes, and what a version
        // 5 table has beyond the 96th byte stays as it was.
        std::stringstream place(bytes);
        EXPECT_EQ(c.size, os2.write(place));
        EXPECT_EQ(bytes, place.str());
    }
}

TEST_F(OS2Test, ProfileOfVersionTwo)
{
    std::istringstream in(BuildOS2(2, 0x8000, "ZORV"));
    TT_OS2 os2;
    os2.read(in);
    std::ostringstream out;
    EXPECT_EQ(96, os2.writeProfile(out));
    EXPECT_EQ("version=2\nxAvgCharWidth=-500\nusWeightClass=400\nusWidthClass=5\nfsType=-32768\n"
              "ySubscriptXSize=650\nySubscriptYSize=600\nySubscriptXOffset=-1\nySubscriptYOffset=75\n"
              "ySuperscriptXSize=651\nySuperscriptYSize=601\nySuperscriptXOffset=2\nySuperscriptYOffset=350\n"
              "yStrikeoutSize=50\nyStrikeoutPosition=300\nsFamilyClass=2053\n"
              "bFamilyType=2\nbSerifStyle=11\nbWeight=6\nbProportion=3\nbContrast=-123\nbStrokeVariation=4\n"
              "bArmStyle=2\nbLetterform=3\nbMidline=-1\nbXHeight=7\n"
              "ulUnicodeRange1=0x80000003\nulUnicodeRange2=0x4000204a\nulUnicodeRange3=0x10\nulUnicodeRange4=0x0\n"
              "achVendID[4]=ZORV\n"
              "fsSelection=64\nusFirstCharIndex=32\nusLastCharIndex=65533\n"
              "sTypoAscender=800\nsTypoDescender=-200\nsTypoLineGap=90\nusWinAscent=1000\nusWinDescent=300\n"
              "ulCodePageRange1=0x2000009f\nulCodePageRange2=0xdfd70000\n"
              "sxHeight=500\nsCapHeight=700\nusDefaultChar=0\nusBreakChar=20\nusMaxContext=3\n",
              out.str());
}

TEST_F(OS2Test, ProfileShowsOnlyTheFieldsOfTheVersion)
{
    for (uint16_t version : {0, 1}) {
        std::istringstream in(BuildOS2(version, 2, "ZORV"));
        TT_OS2 os2;
        os2.read(in);
        std::ostringstream out;
        EXPECT_EQ(version ? 86 : 78, os2.writeProfile(out));
        const std::string text = out.str();
        EXPECT_NE(std::string::npos, text.find("\nusWinDescent=300\n"));
        EXPECT_EQ(version == 1, text.find("ulCodePageRange1=0x2000009f\n") != std::string::npos);
        EXPECT_EQ(std::string::npos, text.find("sxHeight="));
    }
}

TEST_F(OS2Test, PanoseBytesCutOffByTheEndBecomeFF)
{
    std::istringstream in(std::string("\x02\x0B\x06", 3));
    TT_PANOSE panose;
    EXPECT_EQ(10, panose.read(in));
    EXPECT_EQ(6, panose.bWeight);
    EXPECT_EQ(0xFF, panose.bProportion);
    EXPECT_EQ(0xFF, panose.bXHeight);
    std::ostringstream out;
    out << std::hex;  // PANOSE keeps the base it is given
    EXPECT_EQ(10, panose.writeProfile(out));
    EXPECT_EQ(0u, out.str().find("bFamilyType=2\nbSerifStyle=b\nbWeight=6\nbProportion=ffffffff\n"));
}

TEST(HeadTest, ReadWriteAndProfile)
{
    std::string bytes = BuildHead();
    ASSERT_EQ(54u, bytes.size());
    SetU32(&bytes, 8, 0x0000ABCD);   // checkSumAdjustment
    SetU32(&bytes, 12, 0x12345678);  // a wrong magicNumber is still read
    std::istringstream in(bytes);
    TT_head head;
    EXPECT_EQ(54, head.read(in));
    std::ostringstream written;
    EXPECT_EQ(54, head.write(written));
    EXPECT_EQ(bytes, written.str());

    std::ostringstream out;
    EXPECT_EQ(1, head.writeProfile(out));
    EXPECT_EQ("version=1.0\nfontRevision=2.32768\ncheckSumAdjustment=0xabcd\nmagicNumber=0x12345678\n"
              "flags=0xb\nunitsPerEm=1000\ncreated=0x00000000d3c2b1a0\nmodified=0x0000000100000002\n"
              "xMin=-50\nyMin=-200\nxMax=950\nyMax=800\nmacStyle=1\nlowestRecPPEM=9\n"
              "fontDirectionHint=2\nindexToLocFormat=1\nglyphDataFormat=0\n",
              out.str());
}

// Counting, reading and writing walk the same declared fields: the count is
// what is read, and writing gives back the bytes read.
template <typename Table> void expectWalksAgree(const std::string &bytes, int size)
{
    std::istringstream in(bytes);
    Table table;
    EXPECT_EQ(size, ReadFields(in, table));
    EXPECT_EQ(size, FieldBytes(table));
    std::ostringstream out;
    EXPECT_EQ(size, WriteFields(out, table));
    EXPECT_EQ(bytes.substr(0, static_cast<size_t>(size)), out.str());
}

TEST(FieldsTest, CountReadAndWriteCoverTheSameBytes)
{
    expectWalksAgree<TT_head>(BuildHead(), TT_head::SIZE);
    const struct { uint16_t version; int size; } os2[] = {{0, 78}, {1, 86}, {2, 96}, {5, 96}};
    for (const auto &c : os2) {
        SCOPED_TRACE(c.version);
        expectWalksAgree<TT_OS2>(BuildOS2(c.version, 2, "ZORV"), c.size);
    }
    expectWalksAgree<TT_PANOSE>(BuildOS2(0, 0, "ZORV").substr(32, 10), 10);
    const std::string font = BuildMinimalFont();
    expectWalksAgree<TT_FontDirectory>(font, TT_FontDirectory::HEADER_SIZE);
    expectWalksAgree<TT_TableDirectory>(font.substr(RecordOffset(1)), TT_TableDirectory::SIZE);
    expectWalksAgree<TT_name_rec>(BuildName({{3, 1, 1033, 6, "ab"}}).substr(6), TT_name_rec::SIZE);
}

class MakerTest : public ::testing::Test {};

TEST_F(MakerTest, VendorIdsOfTheMaker)
{
    const struct { const char *vendor; int expected; } cases[] = {
        {"ZORV", 1}, {"ZORU", 1}, {"zuru", 1}, {"zorv", 0}, {"ZURU", 0}, {"ZORW", 0}, {"ZOR ", 0}, {"AAPL", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.vendor);
        TempFile file(BuildMinimalFont(3, 0, c.vendor));
        EXPECT_EQ(c.expected, IsMakerFont(file.path()));
    }
}

TEST_F(MakerTest, ExtensionDecidesBeforeTheFileIsOpened)
{
    std::string font = BuildMinimalFont();
    TempFile upper(font, ".TTF");
    TempFile otf(font, ".Otf");
    TempFile fon(font, ".fon");
    EXPECT_EQ(1, IsMakerFont(upper.path()));
    EXPECT_EQ(1, IsMakerFont(otf.path()));
    EXPECT_EQ(0, IsMakerFont(fon.path()));
    EXPECT_EQ(0, IsMakerFont("no-such-file.fon"));
    EXPECT_EQ(-1, IsMakerFont("no-such-file.ttf"));
}

TEST_F(MakerTest, FontWithoutUsableOS2)
{
    TempFile noOS2(BuildFont({{"head", BuildHead()}, {"name", BuildName({})}}));
    EXPECT_EQ(-1, IsMakerFont(noOS2.path()));
    TempFile noTables(FontBuilder().u32(0x00010000).u16(0).u16(0).u16(0).u16(0).str());
    EXPECT_EQ(-1, IsMakerFont(noTables.path()));
    std::string outside = BuildMinimalFont();
    SetU32(&outside, RecordOffset(0) + 8, 0x7FFFFFF0);
    TempFile beyond(outside);
    EXPECT_EQ(-1, IsMakerFont(beyond.path()));
    TempFile empty("");
    EXPECT_EQ(-1, IsMakerFont(empty.path()));
}

// An OS/2 record of 60 bytes followed by a table beginning "RV": reading
// the 78 bytes of a version 0 table would take "ZO" from the OS/2 table and
// "RV" from the next one as the vendor id.
std::string FontWithShortOS2()
{
    return BuildFont({{"OS/2", BuildOS2(0, 4, "ZORV").substr(0, 60)},
                      {"RVxx", std::string("RV\0\0", 4)},
                      {"head", BuildHead()}});
}

TEST_F(MakerTest, NothingIsReadPastTheOS2RecordsLength)
{
    TempFile file(FontWithShortOS2());
    EXPECT_EQ(-1, IsMakerFont(file.path()));
    EXPECT_EQ(-1, GetEmbeddingType(file.path()));
    std::string whole = BuildFont({{"OS/2", BuildOS2(0, 4, "ZORV")}, {"head", BuildHead()}});
    TempFile good(whole);
    EXPECT_EQ(1, IsMakerFont(good.path()));
    EXPECT_EQ(4, GetEmbeddingType(good.path()));
}

TEST_F(MakerTest, CollectionsAreLookedIntoOnlyWithTheirExtension)
{
    std::string makerFirst = BuildCollection({BuildMinimalFont(3, 0, "ZORU"), BuildMinimalFont(3, 0, "XXXX")});
    std::string otherFirst = BuildCollection({BuildMinimalFont(3, 0, "XXXX"), BuildMinimalFont(3, 0, "ZORU")});
    TempFile a(makerFirst, ".ttc");
    TempFile b(otherFirst, ".TTC");
    TempFile c(makerFirst, ".ttf");
    EXPECT_EQ(1, IsMakerFont(a.path()));
    EXPECT_EQ(0, IsMakerFont(b.path()));
    EXPECT_EQ(-1, IsMakerFont(c.path()));  // read as one font at byte 0

    // No fonts: the header itself is read as a directory, without OS/2.
    TempFile none(FontBuilder().tag("ttcf").u16(1).u16(0).u32(0).zeros(16).str(), ".ttc");
    EXPECT_EQ(-1, IsMakerFont(none.path()));
}

}  // namespace
