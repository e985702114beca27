// Tests of the big-endian reader and its token reads over string and file streams.
#include "base/stream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string threw(DataReader &r, int32_t (DataReader::*fn)())
{
    try {
        (r.*fn)();
    } catch (const std::string &e) {
        return e;
    }
    return "";
}

TEST(BigEndianReaderTest, AssemblesNumbersHighByteFirst)
{
    std::istringstream in(std::string("\x12\x34\x00\x01\x00\x02\xFF\xFE\xFF\xFF\xFF\xFE", 12));
    BigEndianReader r(&in);
    EXPECT_EQ(4660, r.readUnsignedShort());
    EXPECT_EQ(65538, r.readUnsignedInt());
    EXPECT_EQ(-2, static_cast<int16_t>(r.readShort()));
    EXPECT_EQ(-2, r.readInt());
}

TEST(BigEndianReaderTest, UnsignedIntKeepsAllThirtyTwoBits)
{
    std::istringstream in(std::string("\xB1\xB0\xAF\xBA", 4));
    BigEndianReader r(&in);
    EXPECT_EQ(0xB1B0AFBAu, static_cast<uint32_t>(r.readUnsignedInt()));
}

TEST(BigEndianReaderTest, ShortWithOneByteLeftConsumesItAndThrowsEOF)
{
    std::istringstream in(std::string("\x7F", 1));
    BigEndianReader r(&in);
    EXPECT_EQ("EOFException", threw(r, &DataReader::readUnsignedShort));
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(-1, r.read());
}

TEST(BigEndianReaderTest, IntCutAfterThreeBytesThrowsEOF)
{
    std::istringstream in(std::string("\x01\x02\x03", 3));
    BigEndianReader r(&in);
    EXPECT_EQ("EOFException", threw(r, &DataReader::readUnsignedInt));
}

TEST(BigEndianReaderTest, BlockReadReportsShortCountThenEndOfStream)
{
    std::istringstream in("abcd");
    BigEndianReader r(&in);
    char buf[10];
    EXPECT_EQ(4, r.read(buf, 10));
    EXPECT_EQ(0, std::string(buf, 4).compare("abcd"));
    EXPECT_EQ(-1, r.read());
    EXPECT_EQ("EOFException", threw(r, &DataReader::readUnsignedByte));
}

TEST(BigEndianReaderTest, SingleByteReadGivesUnsignedValues)
{
    std::istringstream in(std::string("\x00\x80\xFF", 3));
    BigEndianReader r(&in);
    EXPECT_EQ(0, r.read());
    EXPECT_EQ(0x80, r.readUnsignedByte());
    EXPECT_EQ(0xFF, r.read());
    EXPECT_EQ(-1, r.read());
}

void expectFailedStreamThrowsIOException(std::istream &in)
{
    BigEndianReader r(&in);
    EXPECT_EQ("IOException", threw(r, &DataReader::read));
    EXPECT_EQ("IOException", threw(r, &DataReader::readUnsignedByte));
    EXPECT_EQ("IOException", threw(r, &DataReader::readUnsignedShort));
    char buf[4];
    EXPECT_EQ(0, r.read(buf, 4));
}

TEST(BigEndianReaderTest, FailedFileStreamThrowsIOException)
{
    std::ifstream in("/nonexistent/dir/font.ttf", std::ios::binary);
    ASSERT_FALSE(in.is_open());
    expectFailedStreamThrowsIOException(in);
    InputFile window("/nonexistent/dir/font.ttf");
    ASSERT_FALSE(window.is_open());
    expectFailedStreamThrowsIOException(window);
}

TEST(BigEndianReaderTest, ReadersOverOneStreamShareItsPosition)
{
    std::istringstream in(std::string("\x00\x01\x00\x02", 4));
    EXPECT_EQ(1, BigEndianReader(&in).readUnsignedShort());
    EXPECT_EQ(2, BigEndianReader(&in).readUnsignedShort());
    in.clear();
    in.seekg(0);
    EXPECT_EQ(65538, BigEndianReader(&in).readUnsignedInt());
}

TEST(ReadTokenTest, EmptyStreamGivesZeroThenMinusOne)
{
    std::istringstream in("");
    BigEndianReader r(&in);
    char buf[16] = "junk";
    EXPECT_EQ(0, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(-1, r.readLine(buf, sizeof buf));
    EXPECT_EQ(-1, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("", buf);
}

TEST(ReadTokenTest, BlankLinesAreSkipped)
{
    std::istringstream in("a\r\n\r\nb");
    BigEndianReader r(&in);
    char buf[16];
    EXPECT_EQ(1, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("a", buf);
    EXPECT_EQ(1, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("b", buf);
    EXPECT_EQ(-1, r.readLine(buf, sizeof buf));
}

TEST(ReadTokenTest, TrailingLineEndGivesZeroBeforeMinusOne)
{
    std::istringstream in("a\r\n");
    BigEndianReader r(&in);
    char buf[16];
    EXPECT_EQ(1, r.readLine(buf, sizeof buf));
    EXPECT_EQ(0, r.readLine(buf, sizeof buf));
    EXPECT_EQ(-1, r.readLine(buf, sizeof buf));
}

TEST(ReadTokenTest, LongTokenIsCutAndItsRestConsumed)
{
    std::istringstream in("abcdefgh,xy");
    BigEndianReader r(&in);
    char buf[5];
    EXPECT_EQ(4, r.readToken(buf, sizeof buf, ","));
    EXPECT_STREQ("abcd", buf);
    EXPECT_EQ(2, r.readToken(buf, sizeof buf, ","));
    EXPECT_STREQ("xy", buf);
}

TEST(ReadTokenTest, TokenOfExactlySizeMinusOneIsKeptWhole)
{
    std::istringstream in("abcd\nz");
    BigEndianReader r(&in);
    char buf[5];
    EXPECT_EQ(4, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("abcd", buf);
    EXPECT_EQ(1, r.readLine(buf, sizeof buf));
    EXPECT_STREQ("z", buf);
}

TEST(ReadTokenTest, NulByteAlwaysSeparates)
{
    std::istringstream in(std::string("ab\0cd", 5));
    BigEndianReader r(&in);
    char buf[16];
    EXPECT_EQ(2, r.readToken(buf, sizeof buf, ","));
    EXPECT_STREQ("ab", buf);
    EXPECT_EQ(2, r.readToken(buf, sizeof buf, ","));
    EXPECT_STREQ("cd", buf);
}

TEST(ReadTokenTest, RunsOfMixedSeparatorsCountAsOne)
{
    std::istringstream in(",,A\t,B,\tC");
    BigEndianReader r(&in);
    char buf[16];
    const char *want[] = {"A", "B", "C"};
    for (const char *w : want) {
        EXPECT_GT(r.readToken(buf, sizeof buf, "\t,"), 0);
        EXPECT_STREQ(w, buf);
    }
    EXPECT_EQ(-1, r.readToken(buf, sizeof buf, "\t,"));
}

TEST(ReadTokenTest, HighBytesAreOrdinaryCharacters)
{
    std::istringstream in("\xA5\x5C\xB0\r\n");  // a Big5 pair whose second byte is a backslash
    BigEndianReader r(&in);
    char buf[16];
    EXPECT_EQ(3, r.readLine(buf, sizeof buf));
    EXPECT_EQ(std::string("\xA5\x5C\xB0"), buf);
}

// ------------------------------------------------------------ InputFile

std::string writeScratchFile(const char *name, const std::string &bytes)
{
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// InputFile must behave as the standard file stream over the same file does,
// whatever its window: reads across window edges, seeks inside and outside
// the window (forward, back, from the end, beyond the end) and the end of
// the file. A fixed pseudo-random walk of seeks and reads is run over both.
TEST(InputFileTest, ReadsAndSeeksGiveWhatAStreamOverTheSameBytesGives)
{
    std::string bytes;
    uint32_t seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(static_cast<char>(next()));
    std::string path = writeScratchFile("inputfile.bin", bytes);

    for (size_t window : {size_t(1), size_t(7), size_t(64), size_t(999), size_t(4096)}) {
        SCOPED_TRACE("window " + std::to_string(window));
        InputFile file(path.c_str(), window);
        std::ifstream standard(path, std::ios::binary);
        ASSERT_TRUE(file.is_open());
        EXPECT_EQ(1000, StreamSize(file));
        EXPECT_EQ(1000, StreamSize(standard));
        for (int step = 0; step < 400; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            unsigned what = next() % 5;
            if (what == 0) {
                long to = static_cast<long>(next() % 1100);
                file.clear(), standard.clear();
                file.seekg(to), standard.seekg(to);
            } else if (what == 1) {
                long by = static_cast<long>(next() % 200) - 100;
                file.clear(), standard.clear();
                file.seekg(by, std::ios::cur), standard.seekg(by, std::ios::cur);
            } else if (what == 2) {
                long back = -static_cast<long>(next() % 120);
                file.clear(), standard.clear();
                file.seekg(back, std::ios::end), standard.seekg(back, std::ios::end);
            } else {
                char a[300], b[300];
                std::streamsize n = static_cast<std::streamsize>(next() % 300);
                file.read(a, n), standard.read(b, n);
                ASSERT_EQ(standard.gcount(), file.gcount());
                ASSERT_EQ(std::string(b, standard.gcount()), std::string(a, file.gcount()));
            }
            ASSERT_EQ(standard.eof(), file.eof());
            ASSERT_EQ(standard.fail(), file.fail());
            if (!standard.fail()) {
                ASSERT_EQ(standard.tellg(), file.tellg());
            }
        }
    }
}

TEST(InputFileTest, EmptyFileEndsAtOnceAndMissingFileDoesNotOpen)
{
    std::string path = writeScratchFile("inputfile-empty.bin", "");
    InputFile empty(path.c_str());
    ASSERT_TRUE(empty.is_open());
    EXPECT_EQ(0, StreamSize(empty));
    BigEndianReader r(&empty);
    EXPECT_EQ(-1, r.read());
    EXPECT_EQ("EOFException", threw(r, &DataReader::readUnsignedShort));

    InputFile missing((::testing::TempDir() + "no-such-file.bin").c_str());
    EXPECT_FALSE(missing.is_open());
    EXPECT_TRUE(missing.fail());
}

}  // namespace
