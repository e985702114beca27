// sfnt/head.cpp - the 'head' table.
#include "sfnt/head.h"

#include "base/stream.h"
#include "sfnt/write.h"

#include <string>

// version, fontRevision, checkSumAdjustment, magicNumber, flags, unitsPerEm,
// created, modified, the bounding box, macStyle, lowestRecPPEM and the three
// s16 hints.
static_assert(4 + 4 + 4 + 4 + 2 + 2 + 8 + 8 + 4 * 2 + 2 + 2 + 3 * 2 == TT_head::SIZE,
              "head fields add up to 54 bytes");

int TT_head::read(std::istream &in)
{
    BigEndianReader r(&in);
    versionMajor = static_cast<uint16_t>(r.readUnsignedShort());
    versionMinor = static_cast<uint16_t>(r.readUnsignedShort());
    fontRevisionMajor = static_cast<uint16_t>(r.readUnsignedShort());
    fontRevisionMinor = static_cast<uint16_t>(r.readUnsignedShort());
    checkSumAdjustment = static_cast<uint32_t>(r.readUnsignedInt());
    magicNumber = static_cast<uint32_t>(r.readUnsignedInt());
    flags = static_cast<uint16_t>(r.readUnsignedShort());
    unitsPerEm = static_cast<uint16_t>(r.readUnsignedShort());
    // The dates are copied as they stand; a short block read means the table
    // is cut off, which the field reads report as EOFException.
    if (r.read(reinterpret_cast<char *>(created), 8) != 8 ||
        r.read(reinterpret_cast<char *>(modified), 8) != 8)
        throw std::string(in.eof() ? kEOFException : kIOException);
    xMin = static_cast<int16_t>(r.readShort());
    yMin = static_cast<int16_t>(r.readShort());
    xMax = static_cast<int16_t>(r.readShort());
    yMax = static_cast<int16_t>(r.readShort());
    macStyle = static_cast<uint16_t>(r.readUnsignedShort());
    lowestRecPPEM = static_cast<uint16_t>(r.readUnsignedShort());
    fontDirectionHint = static_cast<int16_t>(r.readShort());
    indexToLocFormat = static_cast<int16_t>(r.readShort());
    glyphDataFormat = static_cast<int16_t>(r.readShort());
    return SIZE;
}

int TT_head::write(std::ostream &out)
{
    PutU16(out, versionMajor);
    PutU16(out, versionMinor);
    PutU16(out, fontRevisionMajor);
    PutU16(out, fontRevisionMinor);
    PutU32(out, checkSumAdjustment);
    PutU32(out, magicNumber);
    PutU16(out, flags);
    PutU16(out, unitsPerEm);
    PutBytes(out, created, 8);
    PutBytes(out, modified, 8);
    PutU16(out, static_cast<uint16_t>(xMin));
    PutU16(out, static_cast<uint16_t>(yMin));
    PutU16(out, static_cast<uint16_t>(xMax));
    PutU16(out, static_cast<uint16_t>(yMax));
    PutU16(out, macStyle);
    PutU16(out, lowestRecPPEM);
    PutU16(out, static_cast<uint16_t>(fontDirectionHint));
    PutU16(out, static_cast<uint16_t>(indexToLocFormat));
    PutU16(out, static_cast<uint16_t>(glyphDataFormat));
    return SIZE;
}

static void putRawHex(std::ostream &out, const uint8_t *bytes, int count)
{
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < count; ++i)
        out << digits[bytes[i] >> 4] << digits[bytes[i] & 15];
}

int TT_head::writeProfile(std::ostream &out)
{
    out << std::dec;
    out << "version=" << static_cast<int16_t>(versionMajor) << "." << versionMinor << std::endl;
    out << "fontRevision=" << static_cast<int16_t>(fontRevisionMajor) << "." << fontRevisionMinor << std::endl;
    out << std::hex;
    out << "checkSumAdjustment=0x" << checkSumAdjustment << std::endl;
    out << "magicNumber=0x" << magicNumber << std::endl;
    out << "flags=0x" << flags << std::endl;
    out << std::dec;
    out << "unitsPerEm=" << unitsPerEm << std::endl;
    out << "created=0x";
    putRawHex(out, created, 8);
    out << std::endl;
    out << "modified=0x";
    putRawHex(out, modified, 8);
    out << std::endl;
    out << "xMin=" << xMin << std::endl;
    out << "yMin=" << yMin << std::endl;
    out << "xMax=" << xMax << std::endl;
    out << "yMax=" << yMax << std::endl;
    out << "macStyle=" << macStyle << std::endl;
    out << "lowestRecPPEM=" << lowestRecPPEM << std::endl;
    out << "fontDirectionHint=" << fontDirectionHint << std::endl;
    out << "indexToLocFormat=" << indexToLocFormat << std::endl;
    out << "glyphDataFormat=" << glyphDataFormat << std::endl;
    return 1;
}
