// sfnt/container.cpp - collection header, table directory, table base class.
#include "sfnt/container.h"

#include "base/stream.h"
#include "sfnt/write.h"

#include <string>

static_assert(TT_TableDirectory::SIZE == 4 * sizeof(uint32_t), "table record is four u32");

char *TagToString(uint32_t tag, char *buffer)
{
    static char shared[5];
    if (!buffer)
        buffer = shared;
    buffer[0] = static_cast<char>(tag >> 24);
    buffer[1] = static_cast<char>(tag >> 16);
    buffer[2] = static_cast<char>(tag >> 8);
    buffer[3] = static_cast<char>(tag);
    buffer[4] = '\0';
    return buffer;
}

int TT_CollectionHeader::read(std::istream &in)
{
    BigEndianReader r(&in);
    offsets.clear();
    ttcTag = static_cast<uint32_t>(r.readUnsignedInt());
    if (ttcTag != TAG_ttcf)
        return 0;
    majorVersion = static_cast<uint16_t>(r.readUnsignedShort());
    minorVersion = static_cast<uint16_t>(r.readUnsignedShort());
    numFonts = r.readInt();
    if (numFonts > 0) {
        RequireBytesLeft(in, numFonts, 4);
        offsets.reserve(static_cast<size_t>(numFonts));
        for (int32_t i = 0; i < numFonts; ++i)
            offsets.push_back(static_cast<uint32_t>(r.readUnsignedInt()));
    }
    return numFonts;
}

int TT_CollectionHeader::offsetOf(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= offsets.size())
        return -1;
    return static_cast<int>(static_cast<int32_t>(offsets[index]));
}

void TT_TableDirectory::read(std::istream &in)
{
    BigEndianReader r(&in);
    tag = static_cast<uint32_t>(r.readUnsignedInt());
    checkSum = static_cast<uint32_t>(r.readUnsignedInt());
    offset = static_cast<uint32_t>(r.readUnsignedInt());
    length = static_cast<uint32_t>(r.readUnsignedInt());
}

int TT_TableDirectory::write(std::ostream &out) const
{
    PutU32(out, tag);
    PutU32(out, checkSum);
    PutU32(out, offset);
    PutU32(out, length);
    return SIZE;
}

void TT_TableDirectory::dump(std::ostream &out) const
{
    char name[5];
    out << "TT_TableDirectory{" << "tag=" << TagToString(tag, name)
        << " checkSum=0x" << std::hex << checkSum
        << " offset=0x" << std::hex << offset
        << " length=" << std::dec << length << "}";
}

bool TT_TableDirectory::rangeFits(int64_t fileSize, int64_t avoidStart, int64_t avoidEnd) const
{
    // 64-bit sums of two u32 values cannot overflow.
    int64_t start = offset;
    int64_t end = start + length;
    if (end > fileSize)
        return false;
    return end <= avoidStart || start >= avoidEnd;
}

int TT_FontDirectory::read(std::istream &in)
{
    BigEndianReader r(&in);
    records.clear();
    sfntVersion = static_cast<uint32_t>(r.readUnsignedInt());
    numTables = static_cast<uint16_t>(r.readUnsignedShort());
    searchRange = static_cast<uint16_t>(r.readUnsignedShort());
    entrySelector = static_cast<uint16_t>(r.readUnsignedShort());
    rangeShift = static_cast<uint16_t>(r.readUnsignedShort());
    if (numTables > 0) {
        RequireBytesLeft(in, numTables, TT_TableDirectory::SIZE);
        for (int i = 0; i < numTables; ++i) {
            TT_TableDirectory rec;
            rec.read(in);
            records.push_back(rec);
        }
    }
    return numTables;
}

int TT_FontDirectory::write(std::ostream &out) const
{
    PutU32(out, sfntVersion);
    PutU16(out, numTables);
    PutU16(out, searchRange);
    PutU16(out, entrySelector);
    PutU16(out, rangeShift);
    int written = HEADER_SIZE;
    for (const TT_TableDirectory &rec : records)
        written += rec.write(out);
    return written;
}

const TT_TableDirectory *TT_FontDirectory::find(uint32_t tag) const
{
    for (const TT_TableDirectory &rec : records) {
        if (rec.tag == tag)
            return &rec;
        if (rec.tag > tag)
            return nullptr;
    }
    return nullptr;
}

TT_TableDirectory *TT_FontDirectory::find(uint32_t tag)
{
    return const_cast<TT_TableDirectory *>(static_cast<const TT_FontDirectory *>(this)->find(tag));
}

void TT_FontDirectory::dump(std::ostream &out) const
{
    out << "TT_FontDirectory{"
        << "sfntVersion=0x" << std::hex << sfntVersion
        << " numTables=" << std::dec << numTables
        << " searchRange=0x" << std::hex << searchRange
        << " entrySelector=0x" << std::hex << entrySelector
        << " rangeShift=0x" << std::hex << rangeShift << std::endl;
    for (const TT_TableDirectory &rec : records) {
        rec.dump(out);
        out << std::endl;
    }
    out << std::endl;
}

int TT_Table::read(std::istream &)
{
    return -1;
}

int TT_Table::write(std::ostream &)
{
    return -1;
}

int TT_Table::readProfile(std::istream &in)
{
    return readProfileLines(in, 256);
}

int TT_Table::parseProfileLine(const char *)
{
    return -1;
}

int TT_Table::writeProfile(std::ostream &)
{
    return -1;
}

int TT_Table::readProfileLines(std::istream &in, int lineSize)
{
    BigEndianReader r(&in);
    std::vector<char> line(static_cast<size_t>(lineSize));
    int passed = 0;
    while (r.readToken(line.data(), lineSize, "\r\n") > 0) {
        if (line[0] == '#')
            continue;
        parseProfileLine(line.data());
        ++passed;
    }
    return passed;
}
