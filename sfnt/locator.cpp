// sfnt/locator.cpp - finding a table of a font file.
#include "sfnt/locator.h"

#include <cstdint>
#include <sstream>

int FaceWalker::read(std::istream &in)
{
    in.seekg(0);
    ttc_.read(in);
    return count();
}

int64_t FaceWalker::offsetOf(int face) const
{
    if (!collection())
        return face == 0 ? 0 : -1;
    int offset = ttc_.offsetOf(face);
    return offset < 0 ? -1 : offset;
}

bool TableLocator::open(Collections collections)
{
    fileSize_ = StreamSize(in_);
    if (fileSize_ < 0)
        return false;
    fontOffset_ = 0;
    if (collections == FIRST_FONT) {
        FaceWalker faces;
        faces.read(in_);
        fontOffset_ = faces.offsetOf(0);
        if (fontOffset_ < 0)
            return false;
    }
    return openAt(fontOffset_);
}

bool TableLocator::openAt(int64_t offset)
{
    fileSize_ = StreamSize(in_);
    fontOffset_ = offset;
    if (fileSize_ < 0)
        return false;
    in_.seekg(fontOffset_);
    return dir_.read(in_) > 0;
}

bool TableLocator::fits(const TT_TableDirectory &rec) const
{
    return rec.rangeFits(fileSize_, fontOffset_, directoryEnd());
}

const TT_TableDirectory *TableLocator::find(uint32_t tag) const
{
    const TT_TableDirectory *rec = record(tag);
    return rec && fits(*rec) ? rec : nullptr;
}

bool TableLocator::read(uint32_t tag, TT_Table &table)
{
    const TT_TableDirectory *rec = find(tag);
    return rec && read(*rec, table);
}

bool TableLocator::read(const TT_TableDirectory &rec, TT_Table &table)
{
    if (!fits(rec) || rec.length > static_cast<uint32_t>(INT32_MAX))
        return false;
    // The table's bytes, and only those, in a stream of their own: a read
    // beyond the record's length meets the end of that stream.
    std::string bytes(rec.length, '\0');
    in_.clear();
    in_.seekg(rec.offset);
    BigEndianReader r(&in_);
    if (rec.length > 0 && r.read(&bytes[0], static_cast<int32_t>(rec.length)) != static_cast<int32_t>(rec.length))
        throw std::string(in_.eof() ? kEOFException : kIOException);
    std::istringstream tableStream(bytes);
    table.read(tableStream);
    // Single-byte fields read past the end come back as 0xFF rather than
    // raising; the end flag tells that they did.
    return !tableStream.eof();
}
