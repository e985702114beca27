// Tests of the name table, its text forms and the font name lookup.
#include "sfnt/identity.h"
#include "sfnt/name.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace {

const std::string kUtf16Name("\0Z\0o\0r\0v", 8);

TT_name readName(const std::string &bytes)
{
    std::istringstream in(bytes);
    TT_name table;
    table.read(in);
    return table;
}

TEST(NameTableTest, ReadsRecordsInFileOrderWithTheirStrings)
{
    std::string bytes = BuildName({{3, 1, 1033, 6, kUtf16Name}, {1, 0, 0, 6, "Zorv"}, {1, 0, 0, 1, ""}});
    std::istringstream in(bytes);
    TT_name table;
    EXPECT_EQ(3, table.read(in));
    ASSERT_EQ(3u, table.records.size());
    EXPECT_EQ(3, table.records[0].platform);
    EXPECT_EQ(1033, table.records[0].language);
    EXPECT_EQ(kUtf16Name, table.records[0].str);
    EXPECT_EQ("Zorv", table.records[1].str);
    EXPECT_EQ(8, table.records[1].offsetString);
    EXPECT_EQ("", table.records[2].str);
}

TEST(NameTableTest, WritePacksTheStringsAfresh)
{
    // Two records sharing their string bytes, as font tools often write them.
    std::string shared = FontBuilder()
                             .u16(0).u16(2).u16(30)                     // format, numRecord, offsetStrings
                             .u16(1).u16(0).u16(0).u16(4).u16(2).u16(1)  // "BC"
                             .u16(1).u16(0).u16(0).u16(6).u16(3).u16(0)  // "ABC"
                             .raw("ABC")
                             .str();
    TT_name table = readName(shared);
    std::ostringstream out;
    EXPECT_EQ(2, table.write(out));
    EXPECT_EQ(BuildName({{1, 0, 0, 4, "BC"}, {1, 0, 0, 6, "ABC"}}), out.str());
    EXPECT_EQ(readName(out.str()).records[1].str, "ABC");
}

TEST(NameTableTest, FindTakesTheFirstMatchAndCutsToTheBuffer)
{
    TT_name table = readName(BuildName({{1, 0, 0, 6, "First"}, {1, 0, 0, 6, "Second"}, {1, 0, 0, 4, std::string(300, 'L')}}));
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0, table.find(1, 0, 0, 5, buffer, 16));
    EXPECT_EQ('x', buffer[0]);  // untouched when nothing matches
    EXPECT_EQ(5, table.find(1, 0, 0, 6, buffer, 16));
    EXPECT_EQ(0, std::memcmp("First\0\0", buffer, 7));

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(14, table.find(1, 0, 0, 4, buffer, 16));
    EXPECT_EQ(std::string(14, 'L'), std::string(buffer, 14));
    EXPECT_EQ(0, buffer[14]);
    EXPECT_EQ(0, buffer[15]);
    EXPECT_EQ('x', buffer[16]);  // nothing beyond the capacity
    EXPECT_EQ(0, table.find(1, 0, 0, 4, buffer, 1));
}

TEST(NameTableTest, HugeRecordCountFailsBeforeReading)
{
    std::string bytes = BuildName({{1, 0, 0, 6, "A"}});
    SetU16(&bytes, 2, 0xFFFF);
    std::istringstream in(bytes);
    TT_name table;
    EXPECT_THROW(table.read(in), std::string);
    EXPECT_TRUE(table.records.empty());
}

TEST(NameTableTest, StringBeyondTheEndIsLeftEmpty)
{
    std::string bytes = BuildName({{1, 0, 0, 6, "Zorv"}, {1, 0, 0, 4, "Full"}});
    SetU16(&bytes, 6 + 12 + 10, 0xFFF0);  // offsetString of the second record
    TT_name table = readName(bytes);
    ASSERT_EQ(2u, table.records.size());
    EXPECT_EQ("Zorv", table.records[0].str);
    EXPECT_EQ("", table.records[1].str);

    // Cut in the middle of the last string.
    TT_name cut = readName(bytes.substr(0, bytes.size() - 6));
    EXPECT_EQ("", cut.records[0].str);
}

TEST(NameProfileTest, RecordLineRoundTrip)
{
    TT_name table = readName(BuildName({{1, 0, 0, 6, "AB"}}));
    std::ostringstream out;
    EXPECT_EQ(1, table.writeProfile(out));
    EXPECT_EQ("# 'name' table profile\nformat=0\nnumRecord=1\noffsetStrings=18\n$.1.0.0.6=4142\n", out.str());

    std::istringstream in(out.str());
    TT_name back;
    EXPECT_EQ(4, back.readProfile(in));  // the three header fields are passed on and ignored
    ASSERT_EQ(1u, back.records.size());
    const TT_name_rec &rec = back.records[0];
    EXPECT_TRUE(rec.sameIds(1, 0, 0, 6));
    EXPECT_EQ("AB", rec.str);
    EXPECT_EQ(0xFFFF, rec.offsetString);
    EXPECT_EQ(2, rec.lengthString);
}

TEST(NameProfileTest, LinesAreKeptInRecordOrder)
{
    TT_name table;
    EXPECT_EQ(1, table.parseProfileLine("$.3.1.1033.6=005A"));
    EXPECT_EQ(1, table.parseProfileLine("$.1.0.0.6=5a6f"));
    EXPECT_EQ(1, table.parseProfileLine("$.1.0.0.1=41"));
    EXPECT_EQ(1, table.parseProfileLine("$.1.0.0.6=58"));  // equal ids keep their order
    ASSERT_EQ(4u, table.records.size());
    EXPECT_EQ(1, table.records[0].name);
    EXPECT_EQ("Zo", table.records[1].str);
    EXPECT_EQ("X", table.records[2].str);
    EXPECT_EQ(std::string("\0Z", 2), table.records[3].str);
}

TEST(NameProfileTest, MalformedLinesAreNotTaken)
{
    TT_name table;
    EXPECT_EQ(0, table.parseProfileLine("format=0"));
    EXPECT_EQ(0, table.parseProfileLine("$.1.0.0.6=4G"));
    EXPECT_EQ(0, table.parseProfileLine("$.1.0.0=41"));
    EXPECT_EQ(0, table.parseProfileLine("$.1.0.0.70000=41"));
    EXPECT_EQ(0, table.parseProfileLine("$1.0.0.6=41"));
    EXPECT_TRUE(table.records.empty());
    EXPECT_EQ(1, table.parseProfileLine("$.1.0.0.6=41424"));  // a lone last digit is dropped
    EXPECT_EQ("AB", table.records[0].str);
    EXPECT_EQ(1, table.parseProfileLine("$.1.0.0.7="));
    EXPECT_EQ("", table.records[1].str);
}

TEST(NameProfileTest, DumpFormat)
{
    TT_name table = readName(BuildName({{1, 0, 0, 6, std::string("A\x05\x80", 3)}}));
    std::ostringstream out;
    table.dump(out);
    EXPECT_EQ("format=0\nnumRecord=1\noffsetStrings=18\n"
              "TT_name_rec{platform=1 encoding=0 language=0 name=6 lengthString=3 offsetString=0\n"
              " str=415ffffff80}\n",
              out.str());
}

class GetFontNameTest : public ::testing::Test {
protected:
    // The lookup of the given ids in a font whose name table holds entries.
    static std::string lookup(const std::vector<NameEntry> &entries, uint16_t p, uint16_t e, uint16_t l, uint16_t n)
    {
        TempFile file(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV")}, {"name", BuildName(entries)}}));
        return lookupIn(file.path(), p, e, l, n);
    }
    static std::string lookupIn(const char *path, uint16_t p, uint16_t e, uint16_t l, uint16_t n)
    {
        char buffer[FONT_NAME_SIZE + 8];
        std::memset(buffer, 'x', sizeof buffer);
        char *found = GetFontName(path, p, e, l, n, buffer);
        EXPECT_EQ(std::string(8, 'x'), std::string(buffer + FONT_NAME_SIZE, 8));
        if (!found) {
            EXPECT_EQ(0, buffer[0]);
            return "<none>";
        }
        EXPECT_EQ(buffer, found);
        return buffer;
    }
};

TEST_F(GetFontNameTest, MacintoshRequestAmongOtherPlatforms)
{
    std::vector<NameEntry> both = {{1, 0, 0, 6, "ZorvSans"}, {3, 1, 1033, 6, kUtf16Name}};
    EXPECT_EQ("ZorvSans", lookup(both, 1, 0, 0, 6));
    // A UTF-16 string beginning below U+0100 starts with a zero byte.
    EXPECT_EQ("<none>", lookup(both, 3, 1, 1033, 6));
    EXPECT_EQ("<none>", lookup(both, 1, 0, 1041, 6));
}

TEST_F(GetFontNameTest, JapaneseLanguageRecordAndDuplicates)
{
    std::vector<NameEntry> japanese = {{1, 0, 1041, 6, "ZorvMincho"}};
    EXPECT_EQ("<none>", lookup(japanese, 1, 0, 0, 6));
    EXPECT_EQ("ZorvMincho", lookup(japanese, 1, 0, 1041, 6));
    EXPECT_EQ("One", lookup({{1, 0, 0, 6, "One"}, {1, 0, 0, 6, "Two"}}, 1, 0, 0, 6));
    EXPECT_EQ("<none>", lookup({{3, 1, 1033, 6, kUtf16Name}}, 1, 0, 0, 6));
}

TEST_F(GetFontNameTest, LongNameIsCutToTheBuffer)
{
    std::string name = lookup({{1, 0, 0, 6, std::string(200, 'N')}}, 1, 0, 0, 6);
    EXPECT_EQ(std::string(FONT_NAME_SIZE - 2, 'N'), name);
}

TEST_F(GetFontNameTest, CollectionsWhateverTheExtension)
{
    std::string first = BuildFont({{"name", BuildName({{1, 0, 0, 6, "First"}})}});
    std::string second = BuildFont({{"name", BuildName({{1, 0, 0, 6, "Second"}})}});
    TempFile ttc(BuildCollection({first, second}), ".ttc");
    TempFile ttf(BuildCollection({first, second}), ".ttf");
    EXPECT_EQ("First", lookupIn(ttc.path(), 1, 0, 0, 6));
    EXPECT_EQ("First", lookupIn(ttf.path(), 1, 0, 0, 6));

    std::string pointsAway = BuildCollection({first});
    SetU32(&pointsAway, 12, 0x90000000);  // offset of font 0, negative as an int
    TempFile away(pointsAway, ".ttc");
    EXPECT_EQ("<none>", lookupIn(away.path(), 1, 0, 0, 6));
}

TEST_F(GetFontNameTest, UnreadableFilesGiveNoName)
{
    EXPECT_EQ("<none>", lookupIn("no-such-font.ttf", 1, 0, 0, 6));
    TempFile noName(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV")}}));
    EXPECT_EQ("<none>", lookupIn(noName.path(), 1, 0, 0, 6));
    TempFile empty("");
    EXPECT_EQ("<none>", lookupIn(empty.path(), 1, 0, 0, 6));

    std::string font = BuildMinimalFont();
    const size_t nameRecord = RecordOffset(2);
    std::string beyond = font;
    SetU32(&beyond, nameRecord + 12, 0x10000);  // length of 'name'
    TempFile a(beyond);
    EXPECT_EQ("<none>", lookupIn(a.path(), 1, 0, 0, 6));
    std::string onDirectory = font;
    SetU32(&onDirectory, nameRecord + 8, 8);  // offset of 'name', inside the directory
    TempFile b(onDirectory);
    EXPECT_EQ("<none>", lookupIn(b.path(), 1, 0, 0, 6));
    TempFile c(font.substr(0, font.size() - 6));  // the Macintosh string cut short
    EXPECT_EQ("<none>", lookupIn(c.path(), 1, 0, 0, 6));
    std::string shortRecord = font;  // the strings lie past the record's length
    SetU32(&shortRecord, nameRecord + 12, GetU32(font, nameRecord + 12) - 6);
    TempFile d(shortRecord);
    EXPECT_EQ("<none>", lookupIn(d.path(), 1, 0, 0, 6));
    TempFile whole(font);
    EXPECT_EQ("ZorvSans-Bold", lookupIn(whole.path(), 1, 0, 0, 6));
}

}  // namespace

TEST(FontFacesTest, EveryFaceOfACollectionWithOutlinesAndIdentity)
{
    std::string ttf = BuildFont({{"OS/2", BuildOS2(0, 0, "WQYF")}, {"glyf", std::string(8, '\0')},
                                 {"head", BuildHead()}, {"name", BuildName({{3, 1, 1033, 6, kUtf16Name}})}});
    std::string cff = BuildFont({{"CFF ", std::string(8, '\0')}, {"name", BuildName({{1, 0, 0, 6, "Mac"}})}},
                                0x4F54544F);
    TempFile file(BuildCollection({ttf, cff}), ".ttc");
    std::vector<FontFace> faces;
    ASSERT_EQ(2, ReadFontFaces(file.path(), &faces));
    EXPECT_EQ(OUTLINES_TRUETYPE, faces[0].outlines);
    EXPECT_EQ(OUTLINES_CFF, faces[1].outlines);
    EXPECT_TRUE(faces[0].hasOS2 && faces[0].hasHead);
    EXPECT_EQ(0, std::memcmp(faces[0].vendor, "WQYF", 4));
    EXPECT_FALSE(faces[1].hasOS2 || faces[1].hasHead);
    EXPECT_TRUE(faces[0].knownVersion() && faces[1].knownVersion());
    // Only Windows names: the Windows English PostScript name, in ASCII.
    EXPECT_EQ("Zorv", faces[0].postScriptName());
    EXPECT_EQ("Mac", faces[1].postScriptName());
    ASSERT_EQ(1, ReadFontFaces(file.path(), &faces, 1));

    char buffer[FONT_NAME_SIZE];
    EXPECT_STREQ("Zorv", GetWindowsPostScriptName(file.path(), buffer));
    EXPECT_EQ(-1, ReadFontFaces("no-such-font.ttf", &faces));
    TempFile cut(ttf.substr(0, 40));
    EXPECT_EQ(-1, ReadFontFaces(cut.path(), &faces));
    EXPECT_EQ(nullptr, GetWindowsPostScriptName(cut.path(), buffer));
    // An OS/2 record too short for its version: its vendor id would come
    // from the next table's bytes, "RV".
    TempFile shortOS2(BuildFont({{"OS/2", BuildOS2(0, 0, "WQRV").substr(0, 60)},
                                 {"RVxx", std::string("RV\0\0", 4)}, {"head", BuildHead()}}));
    EXPECT_EQ(-1, ReadFontFaces(shortOS2.path(), &faces));
}

TEST(FontFacesTest, WindowsPostScriptNameMustBePrintableAscii)
{
    const std::string accented("\0Z\0\xE9", 4);   // "Zé"
    const std::string spaced("\0A\0 \0B", 6);     // "A B"
    char buffer[FONT_NAME_SIZE];
    for (const std::string &name : {accented, spaced, std::string("\0A\0", 3)}) {
        TempFile file(BuildFont({{"name", BuildName({{3, 1, 1033, 6, name}})}}));
        EXPECT_EQ(nullptr, GetWindowsPostScriptName(file.path(), buffer));
        EXPECT_EQ(0, buffer[0]);
    }
    std::string longName;
    for (int i = 0; i < FONT_NAME_SIZE; ++i)
        longName += std::string("\0N", 2);
    TempFile tooLong(BuildFont({{"name", BuildName({{3, 1, 1033, 6, longName}})}}));
    EXPECT_EQ(nullptr, GetWindowsPostScriptName(tooLong.path(), buffer));
}

TEST(FontFacesTest, WindowsPostScriptNameNeedsOnlyTheNameTable)
{
    // The catalogue falls back to this name when a font has no Macintosh
    // one; a damaged head or OS/2 table does not hide it, any more than it
    // hides the Macintosh names from GetFontName.
    const std::string names = BuildName({{3, 1, 1033, 6, kUtf16Name}});
    char buffer[FONT_NAME_SIZE];
    TempFile shortHead(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV")}, {"head", BuildHead().substr(0, 40)},
                                  {"name", names}}));
    EXPECT_STREQ("Zorv", GetWindowsPostScriptName(shortHead.path(), buffer));
    TempFile shortOS2(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV").substr(0, 60)}, {"head", BuildHead()},
                                 {"name", names}}));
    EXPECT_STREQ("Zorv", GetWindowsPostScriptName(shortOS2.path(), buffer));
}

TEST(FontFacesTest, FacesHoldTheTablesTheInstallerReads)
{
    // A directory that lists a tag twice, or lists a table after a greater
    // tag: the face shows what the name lookup and the maker test read.
    TempFile twice(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV")}, {"OS/2", BuildOS2(0, 0, "XXXX")},
                              {"name", BuildName({{1, 0, 0, 6, "First"}})},
                              {"name", BuildName({{1, 0, 0, 6, "Second"}})}}));
    std::vector<FontFace> faces;
    ASSERT_EQ(1, ReadFontFaces(twice.path(), &faces));
    EXPECT_EQ(0, std::memcmp(faces[0].vendor, "ZORV", 4));
    EXPECT_EQ("First", faces[0].postScriptName());
    char buffer[FONT_NAME_SIZE];
    EXPECT_STREQ("First", GetFontName(twice.path(), 1, 0, 0, 6, buffer));

    TempFile hidden(BuildFont({{"zzzz", std::string(4, '\0')}, {"name", BuildName({{1, 0, 0, 6, "Hidden"}})}}));
    ASSERT_EQ(1, ReadFontFaces(hidden.path(), &faces));
    EXPECT_EQ("", faces[0].postScriptName());
    EXPECT_EQ(nullptr, GetFontName(hidden.path(), 1, 0, 0, 6, buffer));
}

TEST(FontFacesTest, FirstFaceKeepsTheTablesThatCanBeRead)
{
    const std::string names = BuildName({{1, 0, 0, 6, "ZorvSans"}});
    TempFile shortHead(BuildFont({{"OS/2", BuildOS2(0, 0, "ZORV")}, {"head", BuildHead().substr(0, 40)},
                                  {"name", names}}));
    std::vector<FontFace> faces;
    EXPECT_EQ(-1, ReadFontFaces(shortHead.path(), &faces));
    FontFace face;
    ASSERT_TRUE(ReadFirstFace(shortHead.path(), &face));
    EXPECT_TRUE(face.hasOS2);
    EXPECT_FALSE(face.hasHead);
    EXPECT_EQ("ZorvSans", face.postScriptName());

    std::string font = BuildMinimalFont();
    SetU32(&font, RecordOffset(2) + 12, 0x10000);  // the name table runs past the end
    TempFile badName(font);
    ASSERT_TRUE(ReadFirstFace(badName.path(), &face));
    EXPECT_TRUE(face.hasOS2 && face.hasHead);
    EXPECT_TRUE(face.names.records.empty());

    EXPECT_FALSE(ReadFirstFace("no-such-font.ttf", &face));
    TempFile cut(BuildMinimalFont().substr(0, 40));  // inside the directory
    EXPECT_FALSE(ReadFirstFace(cut.path(), &face));
}

TEST(FontFacesTest, InstallersPostScriptNameFitsItsBuffer)
{
    struct Case { std::vector<NameEntry> names; const char *expected; };
    std::string longWindows;
    for (int i = 0; i < FONT_NAME_SIZE; ++i)
        longWindows += std::string("\0W", 2);
    const Case cases[] = {
        {{{1, 0, 0, 6, std::string(200, 'N')}}, nullptr},  // cut, checked below
        {{{1, 0, 0, 6, std::string("\0X", 2)}, {1, 0, 1041, 6, "Mincho"}, {3, 1, 1033, 6, kUtf16Name}}, "Mincho"},
        {{{1, 0, 0, 6, std::string("Mac\0Rest", 8)}, {3, 1, 1033, 6, kUtf16Name}}, "Mac"},
        {{{3, 1, 1033, 6, kUtf16Name}}, "Zorv"},
        {{{3, 1, 1033, 6, longWindows}}, ""},             // too long to be taken whole
        {{{1, 0, 0, 4, "Full"}}, ""},
    };
    for (const Case &c : cases) {
        FontFace face;
        std::istringstream in(BuildName(c.names));
        face.names.read(in);
        char buffer[FONT_NAME_SIZE];
        char *found = face.postScriptName(buffer);
        const std::string expected = c.expected ? c.expected : std::string(FONT_NAME_SIZE - 2, 'N');
        SCOPED_TRACE(expected);
        EXPECT_EQ(expected, found ? std::string(found) : std::string());
        if (!found) {
            EXPECT_EQ(0, buffer[0]);
        }
    }
}
