// sfnt/container.cpp - collection header, table directory, table base class.
#include "sfnt/container.h"

#include "base/stream.h"

#include <string>

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

void TT_TableDirectory::fields(FieldVisitor &f)
{
    f.number("tag", tag, SHOW_TAG);
    f.number("checkSum", checkSum, SHOW_HEX);
    f.number("offset", offset, SHOW_HEX);
    f.number("length", length);
}

void TT_TableDirectory::read(std::istream &in)
{
    ReadFields(in, *this);
}

int TT_TableDirectory::write(std::ostream &out) const
{
    return WriteFields(out, *this);
}

void TT_TableDirectory::dump(std::ostream &out) const
{
    out << "TT_TableDirectory{";
    ShowFields(out, *this, FieldText::ONE_LINE);
    out << "}";
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

void TT_FontDirectory::fields(FieldVisitor &f)
{
    f.number("sfntVersion", sfntVersion, SHOW_HEX);
    f.number("numTables", numTables);
    f.number("searchRange", searchRange, SHOW_HEX);
    f.number("entrySelector", entrySelector, SHOW_HEX);
    f.number("rangeShift", rangeShift, SHOW_HEX);
}

int TT_FontDirectory::read(std::istream &in)
{
    records.clear();
    ReadFields(in, *this);
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
    int written = WriteFields(out, *this);
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
    out << "TT_FontDirectory{";
    ShowFields(out, *this, FieldText::ONE_LINE);
    out << std::endl;
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
