// tests/sfnt/font_builder.cpp - tiny sfnt fonts for the tests.
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

uint16_t GetU16(const std::string &s, size_t at)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(s[at]) << 8) | static_cast<uint8_t>(s[at + 1]));
}

uint32_t GetU32(const std::string &s, size_t at)
{
    return (static_cast<uint32_t>(GetU16(s, at)) << 16) | GetU16(s, at + 2);
}

void SetU16(std::string *s, size_t at, uint16_t v)
{
    (*s)[at] = static_cast<char>(v >> 8);
    (*s)[at + 1] = static_cast<char>(v);
}

void SetU32(std::string *s, size_t at, uint32_t v)
{
    SetU16(s, at, static_cast<uint16_t>(v >> 16));
    SetU16(s, at + 2, static_cast<uint16_t>(v));
}

uint32_t ReferenceChecksum(const std::string &s, size_t from, size_t length)
{
    std::string padded = s.substr(from, length);
    padded.append((4 - padded.size() % 4) % 4, '\0');
    uint32_t sum = 0;
    for (size_t i = 0; i < padded.size(); i += 4)
        sum += GetU32(padded, i);
    return sum;
}

std::string BuildOS2(uint16_t version, uint16_t fsType, const char *vendor)
{
    FontBuilder b;
    b.u16(version)                 // version
        .s16(-500)                 // xAvgCharWidth
        .u16(400)                  // usWeightClass
        .u16(5)                    // usWidthClass
        .u16(fsType)               // fsType
        .s16(650)                  // ySubscriptXSize
        .s16(600)                  // ySubscriptYSize
        .s16(-1)                   // ySubscriptXOffset
        .s16(75)                   // ySubscriptYOffset
        .s16(651)                  // ySuperscriptXSize
        .s16(601)                  // ySuperscriptYSize
        .s16(2)                    // ySuperscriptXOffset
        .s16(350)                  // ySuperscriptYOffset
        .s16(50)                   // yStrikeoutSize
        .s16(300)                  // yStrikeoutPosition
        .s16(0x0805)               // sFamilyClass: 8, subclass 5
        .u8(2).u8(11).u8(6).u8(3)  // PANOSE bFamilyType..bProportion
        .u8(0x85).u8(4)            // bContrast (-123 when signed), bStrokeVariation
        .u8(2).u8(3).u8(0xFF).u8(7)  // bArmStyle, bLetterform, bMidline (-1), bXHeight
        .u32(0x80000003)           // ulUnicodeRange1
        .u32(0x4000204A)           // ulUnicodeRange2
        .u32(0x00000010)           // ulUnicodeRange3
        .u32(0)                    // ulUnicodeRange4
        .tag(vendor)               // achVendID
        .u16(0x0040)               // fsSelection: REGULAR
        .u16(0x0020)               // usFirstCharIndex
        .u16(0xFFFD)               // usLastCharIndex
        .s16(800)                  // sTypoAscender
        .s16(-200)                 // sTypoDescender
        .s16(90)                   // sTypoLineGap
        .u16(1000)                 // usWinAscent
        .u16(300);                 // usWinDescent
    if (version >= 1)
        b.u32(0x2000009F)          // ulCodePageRange1
            .u32(0xDFD70000);      // ulCodePageRange2
    if (version >= 2)
        b.s16(500)                 // sxHeight
            .s16(700)              // sCapHeight
            .u16(0)                // usDefaultChar
            .u16(0x20)             // usBreakChar
            .u16(3);               // usMaxContext
    if (version >= 5)
        b.u16(10)                  // usLowerOpticalPointSize
            .u16(480);             // usUpperOpticalPointSize
    return b.str();
}

std::string BuildHead()
{
    return FontBuilder()
        .u16(1).u16(0)             // version 1.0
        .u16(2).u16(0x8000)        // fontRevision 2.5
        .u32(0)                    // checkSumAdjustment, filled in by BuildFont
        .u32(0x5F0F3CF5)           // magicNumber
        .u16(0x000B)               // flags
        .u16(1000)                 // unitsPerEm
        .u32(0).u32(0xD3C2B1A0)    // created
        .u32(0x00000001).u32(0x00000002)  // modified
        .s16(-50).s16(-200)        // xMin, yMin
        .s16(950).s16(800)         // xMax, yMax
        .u16(1)                    // macStyle: bold
        .u16(9)                    // lowestRecPPEM
        .s16(2)                    // fontDirectionHint
        .s16(1)                    // indexToLocFormat: long
        .s16(0)                    // glyphDataFormat
        .str();
}

std::string BuildName(const std::vector<NameEntry> &entries)
{
    FontBuilder b;
    b.u16(0)                                       // format
        .u16(static_cast<uint16_t>(entries.size()))  // numRecord
        .u16(static_cast<uint16_t>(6 + 12 * entries.size()));  // offsetStrings
    std::string storage;
    for (const NameEntry &e : entries) {
        b.u16(e.platform).u16(e.encoding).u16(e.language).u16(e.name)
            .u16(static_cast<uint16_t>(e.str.size()))      // lengthString
            .u16(static_cast<uint16_t>(storage.size()));   // offsetString
        storage += e.str;
    }
    return b.raw(storage).str();
}

size_t RecordOffset(int index)
{
    return 12 + 16 * static_cast<size_t>(index);
}

size_t TableOffset(const std::string &font, const char *tag)
{
    uint16_t numTables = GetU16(font, 4);
    for (int i = 0; i < numTables; ++i) {
        if (font.compare(RecordOffset(i), 4, tag, 4) == 0)
            return GetU32(font, RecordOffset(i) + 8);
    }
    return 0;
}

std::string BuildFont(const std::vector<TableData> &tables, uint32_t sfntVersion)
{
    const uint16_t n = static_cast<uint16_t>(tables.size());
    uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= n)
        ++entrySelector;
    const uint16_t searchRange = n ? static_cast<uint16_t>(16u << entrySelector) : 0;
    FontBuilder dir;
    dir.u32(sfntVersion)                        // sfntVersion
        .u16(n)                                 // numTables
        .u16(searchRange)                       // searchRange
        .u16(entrySelector)                     // entrySelector
        .u16(static_cast<uint16_t>(n * 16 - searchRange));  // rangeShift
    std::string body;
    size_t offset = 12 + 16 * tables.size();
    for (size_t i = 0; i < tables.size(); ++i) {
        const std::string &data = tables[i].data;
        dir.tag(tables[i].tag)
            .u32(ReferenceChecksum(data, 0, data.size()))
            .u32(static_cast<uint32_t>(offset))
            .u32(static_cast<uint32_t>(data.size()));
        body += data;
        if (i + 1 < tables.size())
            body.append((4 - data.size() % 4) % 4, '\0');
        offset = 12 + 16 * tables.size() + body.size();
    }
    std::string font = dir.str() + body;
    size_t head = TableOffset(font, "head");
    if (head)
        SetU32(&font, head + 8, 0xB1B0AFBA - ReferenceChecksum(font, 0, font.size()));
    return font;
}

std::string BuildMinimalFont(uint16_t os2Version, uint16_t fsType, const char *vendor)
{
    return BuildFont({
        {"OS/2", BuildOS2(os2Version, fsType, vendor)},
        {"head", BuildHead()},
        {"name", BuildName({{1, 0, 0, 6, "ZorvSans-Bold"}, {3, 1, 1033, 6, std::string("\0Z\0S", 4)}})},
    });
}

std::string BuildCollection(const std::vector<std::string> &fonts)
{
    FontBuilder header;
    header.tag("ttcf")                          // ttcTag
        .u16(1).u16(0)                          // majorVersion, minorVersion
        .u32(static_cast<uint32_t>(fonts.size()));  // numFonts
    size_t at = 12 + 4 * fonts.size();
    std::string body;
    for (const std::string &font : fonts) {
        std::string moved = font;
        for (int i = 0; i < GetU16(font, 4); ++i)
            SetU32(&moved, RecordOffset(i) + 8, static_cast<uint32_t>(GetU32(font, RecordOffset(i) + 8) + at));
        header.u32(static_cast<uint32_t>(at));  // offset of this font
        moved.append((4 - moved.size() % 4) % 4, '\0');
        body += moved;
        at += moved.size();
    }
    return header.str() + body;
}

TempFile::TempFile(const std::string &contents, const char *extension)
{
    // Test cases may run as parallel processes in one directory: the test's
    // own name keeps their files apart, the counter the files of one test.
    static int counter = 0;
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::string("sfnt_") + (info ? info->test_suite_name() : "x") + "_" + (info ? info->name() : "x") +
            "_" + std::to_string(++counter) + extension;
    for (char &c : path_) {
        if (c == '/')
            c = '_';
    }
    rewrite(contents);
}

TempFile::~TempFile()
{
    std::remove(path_.c_str());
}

std::string TempFile::contents() const
{
    std::ifstream in(path_, std::ios::in | std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void TempFile::rewrite(const std::string &contents) const
{
    std::ofstream out(path_, std::ios::out | std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}
