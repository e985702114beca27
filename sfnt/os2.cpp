// sfnt/os2.cpp - the 'OS/2' table and its PANOSE block.
#include "sfnt/os2.h"

#include "base/stream.h"
#include "sfnt/write.h"

// version to sFamilyClass: 16 two-byte fields; PANOSE; four u32 ranges;
// achVendID; fsSelection to usWinDescent: 8 two-byte fields.
static_assert(16 * 2 + TT_PANOSE::SIZE + 4 * 4 + 4 + 8 * 2 == TT_OS2::SIZE_V0, "OS/2 version 0 is 78 bytes");
static_assert(TT_OS2::SIZE_V0 + 2 * 4 == TT_OS2::SIZE_V1, "version 1 adds two u32");
static_assert(TT_OS2::SIZE_V1 + 5 * 2 == TT_OS2::SIZE_V2, "version 2 adds five 16-bit fields");

static uint8_t readByte(DataReader &r)
{
    // -1 at the end of the stream is stored as 0xFF.
    return static_cast<uint8_t>(r.read() & 0xFF);
}

int TT_PANOSE::read(std::istream &in)
{
    BigEndianReader r(&in);
    bFamilyType = readByte(r);
    bSerifStyle = readByte(r);
    bWeight = readByte(r);
    bProportion = readByte(r);
    bContrast = readByte(r);
    bStrokeVariation = readByte(r);
    bArmStyle = readByte(r);
    bLetterform = readByte(r);
    bMidline = readByte(r);
    bXHeight = readByte(r);
    return SIZE;
}

int TT_PANOSE::write(std::ostream &out)
{
    const uint8_t bytes[SIZE] = {bFamilyType, bSerifStyle, bWeight, bProportion, bContrast,
                                 bStrokeVariation, bArmStyle, bLetterform, bMidline, bXHeight};
    PutBytes(out, bytes, SIZE);
    return SIZE;
}

int TT_PANOSE::writeProfile(std::ostream &out)
{
    auto line = [&out](const char *label, uint8_t b) {
        out << label << static_cast<int>(static_cast<int8_t>(b)) << std::endl;
    };
    line("bFamilyType=", bFamilyType);
    line("bSerifStyle=", bSerifStyle);
    line("bWeight=", bWeight);
    line("bProportion=", bProportion);
    line("bContrast=", bContrast);
    line("bStrokeVariation=", bStrokeVariation);
    line("bArmStyle=", bArmStyle);
    line("bLetterform=", bLetterform);
    line("bMidline=", bMidline);
    line("bXHeight=", bXHeight);
    return SIZE;
}

int TT_OS2::byteSize() const
{
    if (version >= 2)
        return SIZE_V2;
    return version == 1 ? SIZE_V1 : SIZE_V0;
}

int TT_OS2::read(std::istream &in)
{
    BigEndianReader r(&in);
    version = static_cast<uint16_t>(r.readUnsignedShort());
    xAvgCharWidth = static_cast<int16_t>(r.readShort());
    usWeightClass = static_cast<uint16_t>(r.readUnsignedShort());
    usWidthClass = static_cast<uint16_t>(r.readUnsignedShort());
    fsType = static_cast<uint16_t>(r.readUnsignedShort());
    ySubscriptXSize = static_cast<int16_t>(r.readShort());
    ySubscriptYSize = static_cast<int16_t>(r.readShort());
    ySubscriptXOffset = static_cast<int16_t>(r.readShort());
    ySubscriptYOffset = static_cast<int16_t>(r.readShort());
    ySuperscriptXSize = static_cast<int16_t>(r.readShort());
    ySuperscriptYSize = static_cast<int16_t>(r.readShort());
    ySuperscriptXOffset = static_cast<int16_t>(r.readShort());
    ySuperscriptYOffset = static_cast<int16_t>(r.readShort());
    yStrikeoutSize = static_cast<int16_t>(r.readShort());
    yStrikeoutPosition = static_cast<int16_t>(r.readShort());
    sFamilyClass = static_cast<int16_t>(r.readShort());
    panose.read(in);
    ulUnicodeRange1 = static_cast<uint32_t>(r.readUnsignedInt());
    ulUnicodeRange2 = static_cast<uint32_t>(r.readUnsignedInt());
    ulUnicodeRange3 = static_cast<uint32_t>(r.readUnsignedInt());
    ulUnicodeRange4 = static_cast<uint32_t>(r.readUnsignedInt());
    for (uint8_t &b : achVendID)
        b = readByte(r);
    fsSelection = static_cast<uint16_t>(r.readUnsignedShort());
    usFirstCharIndex = static_cast<uint16_t>(r.readUnsignedShort());
    usLastCharIndex = static_cast<uint16_t>(r.readUnsignedShort());
    sTypoAscender = static_cast<int16_t>(r.readShort());
    sTypoDescender = static_cast<int16_t>(r.readShort());
    sTypoLineGap = static_cast<int16_t>(r.readShort());
    usWinAscent = static_cast<uint16_t>(r.readUnsignedShort());
    usWinDescent = static_cast<uint16_t>(r.readUnsignedShort());
    if (version >= 1) {
        ulCodePageRange1 = static_cast<uint32_t>(r.readUnsignedInt());
        ulCodePageRange2 = static_cast<uint32_t>(r.readUnsignedInt());
    }
    if (version >= 2) {
        sxHeight = static_cast<int16_t>(r.readShort());
        sCapHeight = static_cast<int16_t>(r.readShort());
        usDefaultChar = static_cast<uint16_t>(r.readUnsignedShort());
        usBreakChar = static_cast<uint16_t>(r.readUnsignedShort());
        usMaxContext = static_cast<uint16_t>(r.readUnsignedShort());
    }
    return byteSize();
}

int TT_OS2::write(std::ostream &out)
{
    PutU16(out, version);
    PutU16(out, static_cast<uint16_t>(xAvgCharWidth));
    PutU16(out, usWeightClass);
    PutU16(out, usWidthClass);
    PutU16(out, fsType);
    const int16_t metrics[] = {ySubscriptXSize, ySubscriptYSize, ySubscriptXOffset, ySubscriptYOffset,
                               ySuperscriptXSize, ySuperscriptYSize, ySuperscriptXOffset,
                               ySuperscriptYOffset, yStrikeoutSize, yStrikeoutPosition, sFamilyClass};
    for (int16_t v : metrics)
        PutU16(out, static_cast<uint16_t>(v));
    panose.write(out);
    PutU32(out, ulUnicodeRange1);
    PutU32(out, ulUnicodeRange2);
    PutU32(out, ulUnicodeRange3);
    PutU32(out, ulUnicodeRange4);
    PutBytes(out, achVendID, 4);
    PutU16(out, fsSelection);
    PutU16(out, usFirstCharIndex);
    PutU16(out, usLastCharIndex);
    PutU16(out, static_cast<uint16_t>(sTypoAscender));
    PutU16(out, static_cast<uint16_t>(sTypoDescender));
    PutU16(out, static_cast<uint16_t>(sTypoLineGap));
    PutU16(out, usWinAscent);
    PutU16(out, usWinDescent);
    if (version >= 1) {
        PutU32(out, ulCodePageRange1);
        PutU32(out, ulCodePageRange2);
    }
    if (version >= 2) {
        PutU16(out, static_cast<uint16_t>(sxHeight));
        PutU16(out, static_cast<uint16_t>(sCapHeight));
        PutU16(out, usDefaultChar);
        PutU16(out, usBreakChar);
        PutU16(out, usMaxContext);
    }
    return byteSize();
}

int TT_OS2::writeProfile(std::ostream &out)
{
    out << std::dec;
    out << "version=" << version << std::endl;
    out << "xAvgCharWidth=" << xAvgCharWidth << std::endl;
    out << "usWeightClass=" << usWeightClass << std::endl;
    out << "usWidthClass=" << usWidthClass << std::endl;
    out << "fsType=" << static_cast<int16_t>(fsType) << std::endl;
    out << "ySubscriptXSize=" << ySubscriptXSize << std::endl;
    out << "ySubscriptYSize=" << ySubscriptYSize << std::endl;
    out << "ySubscriptXOffset=" << ySubscriptXOffset << std::endl;
    out << "ySubscriptYOffset=" << ySubscriptYOffset << std::endl;
    out << "ySuperscriptXSize=" << ySuperscriptXSize << std::endl;
    out << "ySuperscriptYSize=" << ySuperscriptYSize << std::endl;
    out << "ySuperscriptXOffset=" << ySuperscriptXOffset << std::endl;
    out << "ySuperscriptYOffset=" << ySuperscriptYOffset << std::endl;
    out << "yStrikeoutSize=" << yStrikeoutSize << std::endl;
    out << "yStrikeoutPosition=" << yStrikeoutPosition << std::endl;
    out << "sFamilyClass=" << sFamilyClass << std::endl;
    panose.writeProfile(out);
    out << std::hex;
    out << "ulUnicodeRange1=0x" << ulUnicodeRange1 << std::endl;
    out << "ulUnicodeRange2=0x" << ulUnicodeRange2 << std::endl;
    out << "ulUnicodeRange3=0x" << ulUnicodeRange3 << std::endl;
    out << "ulUnicodeRange4=0x" << ulUnicodeRange4 << std::endl;
    out << "achVendID[4]=";
    for (uint8_t b : achVendID)
        out << static_cast<char>(b);
    out << std::endl;
    out << std::dec;
    out << "fsSelection=" << fsSelection << std::endl;
    out << "usFirstCharIndex=" << usFirstCharIndex << std::endl;
    out << "usLastCharIndex=" << usLastCharIndex << std::endl;
    out << "sTypoAscender=" << sTypoAscender << std::endl;
    out << "sTypoDescender=" << sTypoDescender << std::endl;
    out << "sTypoLineGap=" << sTypoLineGap << std::endl;
    out << "usWinAscent=" << usWinAscent << std::endl;
    out << "usWinDescent=" << usWinDescent << std::endl;
    if (version >= 1) {
        out << std::hex;
        out << "ulCodePageRange1=0x" << ulCodePageRange1 << std::endl;
        out << "ulCodePageRange2=0x" << ulCodePageRange2 << std::endl;
    }
    if (version >= 2) {
        out << std::dec;
        out << "sxHeight=" << sxHeight << std::endl;
        out << "sCapHeight=" << sCapHeight << std::endl;
        out << std::hex;
        out << "usDefaultChar=" << usDefaultChar << std::endl;
        out << "usBreakChar=" << usBreakChar << std::endl;
        out << std::dec;
        out << "usMaxContext=" << usMaxContext << std::endl;
    }
    return byteSize();
}
