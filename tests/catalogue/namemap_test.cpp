// Tests of the name-map reader: how lines, fields and keys become entries.
#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kKeys[] =
    "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n"
    "NAME_CATEGORY\r\nNAME_LOCAL_SHORT\r\nNAME_REGISTRY\r\n";

std::string value(const FontEntry *entry, const char *key)
{
    const std::string *v = entry->findProperty(key);
    return v ? *v : std::string("<absent>");
}

class NameMapTest : public ::testing::Test {
protected:
    FontCatalogue catalogue;
};

TEST_F(NameMapTest, FullLineFillsTheEightKeysInColumnOrder)
{
    parseNameMap(catalogue,
                 "#File,#Marukan,#Local,#Roman,#Postscript,#Category,#Local_Short,#Registry\r\n"
                 "FontData\\QXOther-W3,QXOther-W3.otf,QX Other W3,QX Other W3 Roman,QXOther-W3,"
                 "Brush\\Bold,Other-W3,QXOther-W3 Regular (OpenType)\r\n",
                 kKeys);
    ASSERT_EQ(1u, catalogue.size());
    const FontEntry *e = catalogue.at(0);
    EXPECT_EQ(8u, e->propertyCount());
    EXPECT_EQ("FontData\\QXOther-W3", value(e, NAME_SUITCASE));
    EXPECT_EQ("QXOther-W3.otf", value(e, NAME_MARUKAN));
    EXPECT_EQ("QX Other W3", value(e, NAME_LOCAL));
    EXPECT_EQ("QX Other W3 Roman", value(e, NAME_ROMAN));
    EXPECT_EQ("QXOther-W3", value(e, NAME_POSTSCRIPT));
    EXPECT_EQ("Brush\\Bold", value(e, NAME_CATEGORY));
    EXPECT_EQ("Other-W3", value(e, NAME_LOCAL_SHORT));
    EXPECT_EQ("QXOther-W3 Regular (OpenType)", value(e, NAME_REGISTRY));
}

TEST_F(NameMapTest, SeparatorRunsCountAsOneAndEmptyFieldsShiftLeft)
{
    parseNameMapLine(catalogue, ",,A,B", kKeys);
    parseNameMapLine(catalogue, "A\tB,C", kKeys);
    parseNameMapLine(catalogue, "A,,\t,B", kKeys);
    ASSERT_EQ(3u, catalogue.size());

    EXPECT_EQ("A", value(catalogue.at(0), NAME_SUITCASE));
    EXPECT_EQ("B", value(catalogue.at(0), NAME_MARUKAN));
    EXPECT_EQ(2u, catalogue.at(0)->propertyCount());

    EXPECT_EQ("A", value(catalogue.at(1), NAME_SUITCASE));
    EXPECT_EQ("B", value(catalogue.at(1), NAME_MARUKAN));
    EXPECT_EQ("C", value(catalogue.at(1), NAME_LOCAL));

    EXPECT_EQ("B", value(catalogue.at(2), NAME_MARUKAN));
    EXPECT_EQ("<absent>", value(catalogue.at(2), NAME_LOCAL));
}

TEST_F(NameMapTest, LineOfOnlySeparatorsGivesEntryWithoutProperties)
{
    parseNameMapLine(catalogue, ",,,\t,", kKeys);
    ASSERT_EQ(1u, catalogue.size());
    EXPECT_EQ(0u, catalogue.at(0)->propertyCount());
}

TEST_F(NameMapTest, CommentsAndBlankLinesGiveNoEntry)
{
    parseNameMap(catalogue, "#header\r\n;note,x\r\n\r\n\r\nA,B#C\r\n", kKeys);
    ASSERT_EQ(1u, catalogue.size());
    EXPECT_EQ("B#C", value(catalogue.at(0), NAME_MARUKAN));  // '#' inside is text
    parseNameMapLine(catalogue, "", kKeys);
    parseNameMapLine(catalogue, nullptr, kKeys);
    EXPECT_EQ(1u, catalogue.size());
}

TEST_F(NameMapTest, CrAloneAndLfAloneEndLinesAndLastLineNeedsNoEnd)
{
    parseNameMap(catalogue, "A,1\rB,2\nC,3\r\n\n\rD,4", kKeys);
    ASSERT_EQ(4u, catalogue.size());
    const char *expected[] = {"A", "B", "C", "D"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], value(catalogue.at(i), NAME_SUITCASE)) << i;
    EXPECT_EQ("4", value(catalogue.at(3), NAME_MARUKAN));
}

TEST_F(NameMapTest, LongLinesAreCutAndTheirRestDropped)
{
    // 511 bytes are kept: the field that crosses the limit is cut there and
    // the bytes after it never become a line of their own.
    std::string line = "A," + std::string(505, 'x') + ",TAIL,MORE\r\nNEXT,1\r\n";
    parseNameMap(catalogue, line.c_str(), kKeys);
    ASSERT_EQ(2u, catalogue.size());
    EXPECT_EQ("A", value(catalogue.at(0), NAME_SUITCASE));
    EXPECT_EQ(std::string(255, 'x'), value(catalogue.at(0), NAME_MARUKAN));
    EXPECT_EQ("TAI", value(catalogue.at(0), NAME_LOCAL));  // bytes 509 to 511
    EXPECT_EQ("<absent>", value(catalogue.at(0), NAME_ROMAN));
    EXPECT_EQ("NEXT", value(catalogue.at(1), NAME_SUITCASE));
}

TEST_F(NameMapTest, LongFieldsAreCutTo255Bytes)
{
    std::string line = std::string(300, 'y') + ",B";
    parseNameMapLine(catalogue, line.c_str(), kKeys);
    ASSERT_EQ(1u, catalogue.size());
    EXPECT_EQ(std::string(255, 'y'), value(catalogue.at(0), NAME_SUITCASE));
    EXPECT_EQ("B", value(catalogue.at(0), NAME_MARUKAN));
}

TEST_F(NameMapTest, KeysDecideHowManyFieldsAreKept)
{
    parseNameMapLine(catalogue, "A,B,C", nullptr);
    EXPECT_EQ(0u, catalogue.size());  // no key list: the line is dropped

    parseNameMapLine(catalogue, "A,B,C", "FIRST\nSECOND");
    ASSERT_EQ(1u, catalogue.size());
    EXPECT_EQ(2u, catalogue.at(0)->propertyCount());  // fields beyond the keys are ignored
    EXPECT_EQ("B", value(catalogue.at(0), "SECOND"));

    parseNameMapLine(catalogue, "A", kKeys);
    ASSERT_EQ(2u, catalogue.size());
    EXPECT_EQ(1u, catalogue.at(1)->propertyCount());  // missing trailing fields stay unset

    std::string longKey(100, 'K');
    parseNameMapLine(catalogue, "A", longKey.c_str());
    ASSERT_EQ(3u, catalogue.size());
    EXPECT_EQ("A", value(catalogue.at(2), std::string(63, 'K').c_str()));
}

TEST_F(NameMapTest, DoubleByteTextIsKeptByteForByte)
{
    // Big5: 0xA5 0x5C is one character whose second byte is a backslash,
    // 0xB0 0xF2 another; neither byte ends a field.
    const char line[] = "FontData\\QXSample-W5,QX.otf,\xA5\x5C\xB0\xF2,R,QXSample-W5,\xA5\x5C\\\xB0\xF2";
    parseNameMapLine(catalogue, line, kKeys);
    ASSERT_EQ(1u, catalogue.size());
    EXPECT_EQ("\xA5\x5C\xB0\xF2", value(catalogue.at(0), NAME_LOCAL));
    EXPECT_EQ("\xA5\x5C\\\xB0\xF2", value(catalogue.at(0), NAME_CATEGORY));
}

TEST_F(NameMapTest, EntriesKeepNameMapOrderAndDuplicatesMatchFirst)
{
    parseNameMap(catalogue, "S1,M1,L1,R1,PS\r\nS2,M2,L2,R2,PS\r\n", kKeys);
    ASSERT_EQ(2u, catalogue.size());
    EXPECT_EQ(catalogue.at(0), findEntry(catalogue, NAME_POSTSCRIPT, "PS"));
}

}  // namespace
