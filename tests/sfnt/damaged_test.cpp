// Damaged fonts through every operation: cut at every length, and mutated at
// random with a fixed seed. Each must end with a bounded result, never
// grow the file and never leave it half rewritten.
#include "base/stream.h"
#include "sfnt/checksum.h"
#include "sfnt/container.h"
#include "sfnt/embed.h"
#include "sfnt/head.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"
#include "sfnt/os2.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

namespace {

// The records the rewrite would use, located with the library's own lookup
// over the damaged bytes; null when the directory itself cannot be read.
struct Located {
    bool readable = false;
    TT_FontDirectory dir;
    const TT_TableDirectory *os2 = nullptr;
    const TT_TableDirectory *head = nullptr;
};

Located locate(const std::string &font)
{
    Located l;
    std::istringstream in(font);
    try {
        l.dir.read(in);
        l.readable = true;
    } catch (const std::string &) {
        return l;
    }
    l.os2 = l.dir.find(TAG_OS2);
    l.head = l.dir.find(TAG_head);
    return l;
}

bool within(size_t pos, size_t start, size_t length)
{
    return pos >= start && pos - start < length;
}

// Runs every operation on font and checks the bounded outcomes.
void runAll(const std::string &font, const char *extension)
{
    TempFile file(font, extension);

    int maker = IsMakerFont(file.path());
    EXPECT_TRUE(maker == -1 || maker == 0 || maker == 1) << maker;

    char buffer[FONT_NAME_SIZE + 4];
    std::memset(buffer, 'g', sizeof buffer);
    char *name = GetFontName(file.path(), 1, 0, 0, 6, buffer);
    EXPECT_EQ(0, std::memcmp(buffer + FONT_NAME_SIZE, "gggg", 4)) << "name written past its buffer";
    if (!name) {
        EXPECT_EQ(0, buffer[0]);
    }

    int result = SetEmbeddingType(file.path(), 2);
    const std::string after = file.contents();
    ASSERT_EQ(font.size(), after.size());
    if (result <= 0) {
        EXPECT_TRUE(result == 0 || result == -1) << result;
        EXPECT_EQ(font, after) << "result " << result << " but the file changed";
        return;
    }
    EXPECT_TRUE(result == 78 || result == 86 || result == 96) << result;

    // Rewritten: only fsType, the two record checksums and the adjustment.
    Located l = locate(font);
    ASSERT_TRUE(l.readable);
    ASSERT_NE(nullptr, l.os2);
    const size_t os2Record = 12 + 16 * static_cast<size_t>(l.os2 - l.dir.records.data());
    for (size_t i = 0; i < font.size(); ++i) {
        if (font[i] == after[i])
            continue;
        bool allowed = within(i, l.os2->offset + 8, 2) || within(i, os2Record + 4, 4);
        if (l.head) {
            const size_t headRecord = 12 + 16 * static_cast<size_t>(l.head - l.dir.records.data());
            allowed = allowed || within(i, l.head->offset + 8, 4) || within(i, headRecord + 4, 4);
        }
        EXPECT_TRUE(allowed) << "byte " << i << " changed";
    }
    EXPECT_EQ(2, GetU16(after, l.os2->offset + 8));
    // The adjustment can only settle the file sum when it is a whole word of
    // the file, as it is in every head table at an offset that is a multiple
    // of four.
    if (l.head && l.head->offset % 4 == 0) {
        EXPECT_EQ(0xB1B0AFBAu, ReferenceChecksum(after, 0, after.size()));
    }
}

// The table objects and their text forms on the same bytes, in memory.
void readTablesInMemory(const std::string &font)
{
    for (size_t at = 0; at < font.size(); at += 13) {
        std::istringstream in(font);
        in.seekg(static_cast<std::streamoff>(at));
        TT_name name;
        TT_OS2 os2;
        TT_head head;
        std::ostringstream sink;
        try {
            name.read(in);
            name.writeProfile(sink);
            name.dump(sink);
            in.clear();
            in.seekg(static_cast<std::streamoff>(at));
            os2.read(in);
            os2.writeProfile(sink);
            in.clear();
            in.seekg(static_cast<std::streamoff>(at));
            head.read(in);
            head.writeProfile(sink);
        } catch (const std::string &e) {
            EXPECT_TRUE(isStreamException(e)) << e;
        }
        EXPECT_LE(name.records.size(), font.size() / 12);
    }
}

class DamagedFontTest : public ::testing::Test {
protected:
    CerrCatcher diagnostics;
};

TEST_F(DamagedFontTest, EveryTruncation)
{
    const std::string font = BuildMinimalFont(3, 0x0008);
    const size_t os2End = TableOffset(font, "OS/2") + 96;
    for (size_t length = 0; length < font.size(); ++length) {
        SCOPED_TRACE(length);
        const std::string cut = font.substr(0, length);
        runAll(cut, ".ttf");
        if (length < os2End) {
            TempFile file(cut);
            EXPECT_EQ(-1, SetEmbeddingType(file.path(), 2));
            EXPECT_EQ(-1, IsMakerFont(file.path()));
        }
    }
    readTablesInMemory(font.substr(0, font.size() - 5));
}

TEST_F(DamagedFontTest, EveryTruncationOfACollection)
{
    const std::string ttc = BuildCollection({BuildMinimalFont(1, 0), BuildMinimalFont(0, 0)});
    for (size_t length = 0; length < ttc.size(); length += 3) {
        SCOPED_TRACE(length);
        runAll(ttc.substr(0, length), ".ttc");
    }
}

TEST_F(DamagedFontTest, SeededRandomMutations)
{
    std::mt19937 random(20240611u);
    const std::string fonts[] = {BuildMinimalFont(3, 0), BuildMinimalFont(1, 4),
                                 BuildCollection({BuildMinimalFont(0, 0)})};
    // Values that hit the bounds: huge counts, offsets and lengths near 2^32.
    const uint32_t specials[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0, 0xFFFF, 54, 78, 96};
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        std::string font = fonts[round % 3];
        int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = random() % font.size();
            switch (random() % 3) {
            case 0:
                font[at] = static_cast<char>(random());
                break;
            case 1:
                if (at + 4 <= font.size())
                    SetU32(&font, at & ~size_t(3), specials[random() % (sizeof specials / sizeof specials[0])]);
                break;
            default:
                // Directory fields are where damage matters most.
                at = random() % std::min<size_t>(font.size() - 1, 12 + 16 * 3);
                font[at] = static_cast<char>(random());
                break;
            }
        }
        if (random() % 8 == 0)
            font.resize(random() % font.size());
        runAll(font, round % 3 == 2 ? ".ttc" : ".ttf");
        if (round % 50 == 0)
            readTablesInMemory(font);
        if (HasFatalFailure() || HasNonfatalFailure())
            break;
    }
}

}  // namespace
