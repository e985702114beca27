// Tests of the checksums and of the embedding-type rewrite.
#include "sfnt/checksum.h"
#include "sfnt/embed.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

uint32_t checksumOf(const std::string &bytes, uint32_t length)
{
    std::istringstream in(bytes);
    return CalcTableChecksum(in, length);
}

TEST(ChecksumTest, KnownVectors)
{
    EXPECT_EQ(0x00010000u, checksumOf(std::string("\x00\x01\x00\x00", 4), 4));
    EXPECT_EQ(0xFFFFFF00u, checksumOf("\xFF\xFF\xFF", 3));
    EXPECT_EQ(0u, checksumOf("", 0));
    // Sums wrap around modulo 2^32.
    EXPECT_EQ(0x00000001u, checksumOf(std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x02", 8), 8));
}

TEST(ChecksumTest, TablesWithAPartialLastWord)
{
    std::string head = BuildHead();  // 54 bytes: 13 words and bytes 52, 53
    EXPECT_EQ(ReferenceChecksum(head, 0, 54), checksumOf(head, 54));
    std::string os2 = BuildOS2(1, 0, "ZORV");  // 86 bytes: 21 words and two bytes
    EXPECT_EQ(ReferenceChecksum(os2, 0, 86), checksumOf(os2, 86));
    // Only the given length counts, from the current position.
    std::istringstream in(os2);
    in.seekg(2);
    EXPECT_EQ(ReferenceChecksum(os2, 2, 7), CalcTableChecksum(in, 7));
    EXPECT_EQ(9, in.tellg());
}

TEST(ChecksumTest, WholeWordsBeyondTheEndThrow)
{
    EXPECT_THROW(checksumOf("\x01\x02\x03", 4), std::string);
}

// Positions that the rewrite may change in a font built by BuildFont.
std::set<size_t> changeablePositions(const std::string &font)
{
    std::set<size_t> allowed;
    for (int i = 0; i < GetU16(font, 4); ++i) {
        std::string tag = font.substr(RecordOffset(i), 4);
        if (tag == "OS/2" || tag == "head") {
            for (size_t k = 4; k < 8; ++k)
                allowed.insert(RecordOffset(i) + k);
        }
    }
    size_t os2 = TableOffset(font, "OS/2");
    size_t head = TableOffset(font, "head");
    allowed.insert(os2 + 8);
    allowed.insert(os2 + 9);
    if (head) {
        for (size_t k = 8; k < 12; ++k)
            allowed.insert(head + k);
    }
    return allowed;
}

void expectOnlyChanged(const std::string &before, const std::string &after, const std::set<size_t> &allowed)
{
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            EXPECT_TRUE(allowed.count(i)) << "byte " << i << " changed";
        }
    }
}

class EmbedTest : public ::testing::Test {
protected:
    CerrCatcher diagnostics;
};

TEST_F(EmbedTest, RewritesFsTypeAndRepairsTheChecksums)
{
    for (uint16_t version : {0, 1, 3, 5}) {
        SCOPED_TRACE(version);
        const std::string before = BuildMinimalFont(version, 0);
        TempFile file(before);
        const int expected = version == 0 ? 78 : version == 1 ? 86 : 96;
        EXPECT_EQ(expected, SetEmbeddingType(file.path(), 2));

        const std::string after = file.contents();
        expectOnlyChanged(before, after, changeablePositions(before));
        const size_t os2 = TableOffset(after, "OS/2");
        const size_t head = TableOffset(after, "head");
        EXPECT_EQ(2, GetU16(after, os2 + 8));
        EXPECT_EQ(ReferenceChecksum(after, os2, GetU32(after, RecordOffset(0) + 12)), GetU32(after, RecordOffset(0) + 4));
        std::string zeroed = after;
        SetU32(&zeroed, head + 8, 0);
        EXPECT_EQ(ReferenceChecksum(zeroed, head, 54), GetU32(after, RecordOffset(1) + 4));
        EXPECT_EQ(0xB1B0AFBAu, ReferenceChecksum(after, 0, after.size()));
    }
}

TEST_F(EmbedTest, EmbeddingTypeIsReadBackOrMinusOne)
{
    TempFile file(BuildMinimalFont(3, 0x000C));
    EXPECT_EQ(0x000C, GetEmbeddingType(file.path()));
    SetEmbeddingType(file.path(), 2);
    EXPECT_EQ(2, GetEmbeddingType(file.path()));
    TempFile noOS2(BuildFont({{"head", BuildHead()}}));
    EXPECT_EQ(-1, GetEmbeddingType(noOS2.path()));
    TempFile cut(BuildMinimalFont().substr(0, 40));
    EXPECT_EQ(-1, GetEmbeddingType(cut.path()));
    EXPECT_EQ(-1, GetEmbeddingType("no-such-font.otf"));
}

TEST_F(EmbedTest, FileLengthNotAMultipleOfFour)
{
    std::string before = BuildMinimalFont();
    before += "\x01\x02\x03";  // trailing bytes outside every table
    TempFile file(before);
    EXPECT_EQ(96, SetEmbeddingType(file.path(), 2));
    std::string after = file.contents();
    EXPECT_EQ(0xB1B0AFBAu, ReferenceChecksum(after, 0, after.size()));
}

TEST_F(EmbedTest, BitsAreReplacedNotAdded)
{
    TempFile file(BuildMinimalFont(3, 0x000C));
    EXPECT_EQ(96, SetEmbeddingType(file.path(), 2));
    std::string after = file.contents();
    EXPECT_EQ(0x0002, GetU16(after, TableOffset(after, "OS/2") + 8));
}

TEST_F(EmbedTest, NothingToDoLeavesTheFileAlone)
{
    const std::string already = BuildMinimalFont(3, 2);
    const std::string noOS2 = BuildFont({{"head", BuildHead()}, {"name", BuildName({})}});
    const std::string noTables = FontBuilder().u32(0x00010000).u16(0).u16(0).u16(0).u16(0).str();
    const std::string collection = BuildCollection({BuildMinimalFont(), BuildMinimalFont()});
    for (const std::string &font : {already, noOS2, noTables, collection}) {
        TempFile file(font);
        EXPECT_EQ(0, SetEmbeddingType(file.path(), 2));
        EXPECT_EQ(font, file.contents());
    }
    // The same value in other bits: only the 16-bit value counts.
    TempFile file(already);
    EXPECT_EQ(0, SetEmbeddingType(file.path(), 0x10002));
}

TEST_F(EmbedTest, FilesThatCannotBeWritten)
{
    EXPECT_EQ(-1, SetEmbeddingType("no-such-font.ttf", 2));

    const std::string font = BuildMinimalFont();
    TempFile file(font);
    namespace fs = std::filesystem;
    fs::permissions(file.path(), fs::perms::owner_read, fs::perm_options::replace);
    bool writable = std::ofstream(file.path(), std::ios::in | std::ios::out | std::ios::binary).is_open();
    if (!writable) {
        EXPECT_EQ(-1, SetEmbeddingType(file.path(), 2));
        EXPECT_EQ(font, file.contents());
    }
    fs::permissions(file.path(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    if (writable)
        GTEST_SKIP() << "read-only files are writable for this user";
}

TEST_F(EmbedTest, FontWithoutHeadKeepsItsAdjustmentAlone)
{
    const std::string before = BuildFont({{"OS/2", BuildOS2(3, 0, "ZORV")}, {"name", BuildName({})}});
    TempFile file(before);
    EXPECT_EQ(96, SetEmbeddingType(file.path(), 2, nullptr, &std::cerr));
    const std::string after = file.contents();
    expectOnlyChanged(before, after, changeablePositions(before));
    EXPECT_EQ(2, GetU16(after, TableOffset(after, "OS/2") + 8));
    EXPECT_EQ(ReferenceChecksum(after, TableOffset(after, "OS/2"), 96), GetU32(after, RecordOffset(0) + 4));
    EXPECT_EQ(std::string::npos, diagnostics.text().find("Checksum(File)="));
}

TEST_F(EmbedTest, DiagnosticLines)
{
    const std::string before = BuildMinimalFont(0, 0);
    TempFile file(before);
    ASSERT_EQ(78, SetEmbeddingType(file.path(), 2, nullptr, &std::cerr));
    const std::string after = file.contents();
    const std::string text = diagnostics.text();

    std::ostringstream dirLine;
    dirLine << "TT_FontDirectory{sfntVersion=0x10000 numTables=3 searchRange=0x20 entrySelector=0x1 rangeShift=0x10\n";
    EXPECT_EQ(0u, text.find(dirLine.str()));
    // The record's dump runs straight into the profile, after the empty line
    // that ends the directory dump.
    std::ostringstream recordLine;
    recordLine << "}\n\nTT_TableDirectory{tag=OS/2 checkSum=0x" << std::hex << GetU32(before, RecordOffset(0) + 4)
               << " offset=0x" << TableOffset(before, "OS/2") << " length=78}version=0\n";
    EXPECT_NE(std::string::npos, text.find(recordLine.str()));
    EXPECT_NE(std::string::npos, text.find("\nachVendID[4]=ZORV\nfsSelection=64\n"));

    std::string zeroed = after;
    const size_t head = TableOffset(after, "head");
    SetU32(&zeroed, head + 8, 0);
    std::ostringstream tail;
    tail << std::hex << "usWinDescent=300\n"
         << "Checksum(OS2)=" << GetU32(after, RecordOffset(0) + 4) << "\n"
         << "Checksum(File)=" << ReferenceChecksum(zeroed, 0, zeroed.size()) << "\n"
         << "checkSumAdjustment=" << GetU32(after, head + 8) << "\n";
    ASSERT_GE(text.size(), tail.str().size());
    EXPECT_EQ(tail.str(), text.substr(text.size() - tail.str().size()));
}

// The installer stamps every font it copies: without a diagnostic stream the
// rewrite writes no text at all, and changes the same bytes.
TEST_F(EmbedTest, WithoutADiagnosticStreamTheRewriteIsSilent)
{
    const std::string before = BuildMinimalFont(0, 0);
    TempFile loud(before), quiet(before);
    ASSERT_EQ(78, SetEmbeddingType(loud.path(), 2, nullptr, &std::cerr));
    const size_t spoken = diagnostics.text().size();
    EXPECT_GT(spoken, 0u);
    ASSERT_EQ(78, SetEmbeddingType(quiet.path(), 2));
    std::stringstream memory(before);
    ASSERT_EQ(78, RewriteEmbeddingType(memory, 2));
    EXPECT_EQ(spoken, diagnostics.text().size());
    EXPECT_EQ(loud.contents(), quiet.contents());
    EXPECT_EQ(loud.contents(), memory.str());
}

// A font in memory, read and written through one position as a file is,
// whose writes fail after writesLeft bytes and whose flush fails on request.
class FaultyFile : public std::streambuf {
public:
    FaultyFile(std::string bytes, long writesLeft, bool failFlush)
        : bytes_(std::move(bytes)), writesLeft_(writesLeft), failFlush_(failFlush) {}
    const std::string &bytes() const { return bytes_; }

protected:
    int_type underflow() override
    {
        return pos_ < bytes_.size() ? traits_type::to_int_type(bytes_[pos_]) : traits_type::eof();
    }
    int_type uflow() override
    {
        int_type c = underflow();
        if (c != traits_type::eof())
            ++pos_;
        return c;
    }
    int_type overflow(int_type c) override
    {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        if (writesLeft_ == 0 || pos_ >= bytes_.size())
            return traits_type::eof();
        --writesLeft_;
        bytes_[pos_++] = traits_type::to_char_type(c);
        return c;
    }
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode) override
    {
        off_type base = dir == std::ios::beg ? 0 : dir == std::ios::cur ? off_type(pos_) : off_type(bytes_.size());
        if (base + off < 0 || base + off > off_type(bytes_.size()))
            return pos_type(off_type(-1));
        pos_ = static_cast<size_t>(base + off);
        return pos_type(off_type(pos_));
    }
    pos_type seekpos(pos_type pos, std::ios::openmode which) override
    {
        return seekoff(off_type(pos), std::ios::beg, which);
    }
    int sync() override { return failFlush_ ? -1 : 0; }

private:
    std::string bytes_;
    size_t pos_ = 0;
    long writesLeft_;
    bool failFlush_;
};

TEST_F(EmbedTest, AFailureAfterTheFirstWriteIsAFailure)
{
    const std::string font = BuildMinimalFont();
    struct Case { long writesLeft; bool failFlush; int expected; bool written; };
    const Case cases[] = {
        {-1, false, 96, true},   // every write and the flush succeed
        {0, false, -1, true},    // the first write fails
        {4, false, -1, true},    // part of the OS/2 table is written
        {-1, true, -1, true},    // the flush fails
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.writesLeft);
        FaultyFile buffer(font, c.writesLeft, c.failFlush);
        std::iostream stream(&buffer);
        bool written = false;
        EXPECT_EQ(c.expected, RewriteEmbeddingType(stream, 2, &written));
        EXPECT_EQ(c.written, written);
    }
    // Refused before anything is written.
    std::string shortOS2 = font;
    SetU32(&shortOS2, RecordOffset(0) + 12, 78);
    FaultyFile refused(shortOS2, -1, false);
    std::iostream stream(&refused);
    bool written = true;
    EXPECT_EQ(-1, RewriteEmbeddingType(stream, 2, &written));
    EXPECT_FALSE(written);
    EXPECT_EQ(shortOS2, refused.bytes());
}

// Damaged directories: each case corrupts one field of a valid font, and
// the rewrite must refuse before writing anything.
class EmbedDamageTest : public EmbedTest {
protected:
    void expectRefused(const std::string &font)
    {
        TempFile file(font);
        bool written = true;
        EXPECT_EQ(-1, SetEmbeddingType(file.path(), 2, &written));
        EXPECT_FALSE(written);
        EXPECT_EQ(font, file.contents());
    }
    const std::string font = BuildMinimalFont();
    const size_t os2Record = RecordOffset(0);
    const size_t headRecord = RecordOffset(1);
};

TEST_F(EmbedDamageTest, OS2OutsideTheFile)
{
    std::string f = font;
    SetU32(&f, os2Record + 8, static_cast<uint32_t>(font.size()) - 50);
    expectRefused(f);
    f = font;
    SetU32(&f, os2Record + 8, 0xFFFFFFF0);  // offset + length wraps in 32 bits
    SetU32(&f, os2Record + 12, 0x20);
    expectRefused(f);
}

TEST_F(EmbedDamageTest, OS2OnTheDirectory)
{
    std::string f = font;
    SetU32(&f, os2Record + 8, 0);
    expectRefused(f);
}

TEST_F(EmbedDamageTest, OS2ShorterThanItsVersion)
{
    std::string f = font;
    SetU32(&f, os2Record + 12, 78);  // a version 3 table needs 96 bytes
    expectRefused(f);
}

TEST_F(EmbedDamageTest, HeadOutsideTheFileStopsTheOS2WriteToo)
{
    std::string f = font;
    SetU32(&f, headRecord + 8, static_cast<uint32_t>(font.size()) - 20);
    expectRefused(f);
    f = font;
    SetU32(&f, headRecord + 12, 40);  // too short for the 54 bytes written
    expectRefused(f);
}

TEST_F(EmbedDamageTest, HeadOverlappingOS2)
{
    std::string f = font;
    SetU32(&f, headRecord + 8, static_cast<uint32_t>(TableOffset(font, "OS/2") + 40));
    expectRefused(f);
}

TEST_F(EmbedDamageTest, CutInsideTheTables)
{
    expectRefused(font.substr(0, TableOffset(font, "head") + 30));
    expectRefused(font.substr(0, 40));
    expectRefused(font.substr(0, 5));
}

}  // namespace
