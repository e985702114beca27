// sfnt/container.h - the sfnt container: collection header, offset table,
// table directory and the base class of all table objects.
//
// https://learn.microsoft.com/en-us/typography/opentype/spec/otff
//
// Every multi-byte field is big-endian and read through a BigEndianReader
// laid over the caller's stream; reads past the end raise "EOFException",
// reads from a failed stream "IOException" (base/stream.h). Nothing here
// validates a font: sfntVersion, the versions of the collection header and
// the binary-search fields are stored and written back as they are.
#ifndef SFNT_CONTAINER_H
#define SFNT_CONTAINER_H

#include "base/stream.h"
#include "sfnt/fields.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

// Four ASCII characters, the first in the most significant byte.
const uint32_t TAG_OS2 = 0x4F532F32;   // 'OS/2'
const uint32_t TAG_head = 0x68656164;  // 'head'
const uint32_t TAG_name = 0x6E616D65;  // 'name'
const uint32_t TAG_ttcf = 0x74746366;  // 'ttcf'

// Writes the four characters of tag and a NUL into buffer (5 bytes). Without
// a buffer one static buffer shared by all callers is used; not thread-safe.
char *TagToString(uint32_t tag, char *buffer = nullptr);

// TrueType Collection header at byte 0 of a collection file. The version 2.0
// digital-signature fields after the offsets are not read.
struct TT_CollectionHeader {
    uint32_t ttcTag = 0;        // 'ttcf' for the rest to be read
    uint16_t majorVersion = 0;  // not validated
    uint16_t minorVersion = 0;  // not validated
    int32_t numFonts = 0;       // taken as signed: a negative count reads no offsets
    std::vector<uint32_t> offsets;  // offset table of each font, from byte 0

    // Reads at the stream's position. Returns 0 when the first tag is not
    // 'ttcf' (4 bytes consumed), else numFonts. A count that the rest of the
    // stream cannot hold raises EOFException before anything is reserved.
    int read(std::istream &in);
    // Offset of font index, or -1 when no such offset was read. Offsets of
    // 2 GiB and beyond come out negative, which callers treat as unusable.
    int offsetOf(int index) const;
};

// One table record: 16 bytes in the file.
struct TT_TableDirectory {
    uint32_t tag = 0;
    uint32_t checkSum = 0;
    uint32_t offset = 0;  // from the start of the file, also inside a collection
    uint32_t length = 0;  // the table's own length, without alignment padding

    static const int SIZE = 16;

    // The four fields above in file order, with the form of their dump.
    void fields(FieldVisitor &f);

    void read(std::istream &in);
    int write(std::ostream &out) const;  // returns 16
    // "TT_TableDirectory{tag=... checkSum=0x... offset=0x... length=...}",
    // no line feed; leaves the stream in decimal.
    void dump(std::ostream &out) const;

    // True when [offset, offset + length) lies inside a file of fileSize
    // bytes and shares no byte with [avoidStart, avoidEnd), which callers set
    // to the table directory they read. Overflow-safe.
    bool rangeFits(int64_t fileSize, int64_t avoidStart, int64_t avoidEnd) const;
};

// Offset table and table directory of one font.
struct TT_FontDirectory {
    uint32_t sfntVersion = 0;  // 0x00010000, 'OTTO', 'true' or anything: not compared
    uint16_t numTables = 0;
    uint16_t searchRange = 0;    // written back unchanged
    uint16_t entrySelector = 0;  // written back unchanged
    uint16_t rangeShift = 0;     // written back unchanged
    std::vector<TT_TableDirectory> records;  // file order

    static const int HEADER_SIZE = 12;

    TT_FontDirectory() { records.reserve(48); }

    // The five offset-table fields above in file order, with the form of
    // the directory line of the dump.
    void fields(FieldVisitor &f);

    // Reads the offset table and numTables records at the stream's position
    // and returns numTables. A count that the rest of the stream cannot hold
    // raises EOFException before any record is read.
    int read(std::istream &in);
    // Writes the offset table and every record; returns 12 + 16 * records.
    int write(std::ostream &out) const;
    // The record with this tag, or null. The walk stops at the first record
    // whose tag is greater than the wanted one, as a directory sorted by tag
    // allows: a table listed after a greater tag is not found.
    TT_TableDirectory *find(uint32_t tag);
    const TT_TableDirectory *find(uint32_t tag) const;
    // Bytes that the offset table and its records take in the file.
    int64_t byteSize() const { return HEADER_SIZE + int64_t(TT_TableDirectory::SIZE) * records.size(); }
    // The directory line, one line per record and an empty line.
    void dump(std::ostream &out) const;
};

// Base of every table object. The virtual operations keep this slot order:
// destructor, read, write, readProfile, parseProfileLine, writeProfile.
class TT_Table {
public:
    virtual ~TT_Table() {}
    // Reads the table at the stream's position; bytes read (or records).
    virtual int read(std::istream &in);
    // Writes the table at the stream's position; bytes written (or records).
    virtual int write(std::ostream &out);
    // Reads a text form line by line: empty lines and lines beginning with
    // '#' are skipped, every other line goes to parseProfileLine. Returns the
    // number of lines passed on.
    virtual int readProfile(std::istream &in);
    virtual int parseProfileLine(const char *line);
    virtual int writeProfile(std::ostream &out);

protected:
    // readProfile with a line buffer of lineSize bytes; longer lines are cut.
    int readProfileLines(std::istream &in, int lineSize);
};

#endif
