// sfnt/locator.h - the faces of a font file, finding a table of one face,
// and reading it within its record's bounds.
//
// Every reader of a font file walks the same way: the faces of the file
// (FaceWalker: the fonts of a collection, or the one font), the directory of
// one face, the record of one table, a check that the table lies inside the
// file clear of the directory, and a read that stays within the record's
// length. The stream exceptions of that walk become one failure result
// through withStreamErrors.
#ifndef SFNT_LOCATOR_H
#define SFNT_LOCATOR_H

#include "base/stream.h"
#include "sfnt/container.h"

#include <istream>
#include <string>

// The faces of a font file, in file order: every font of a collection, or
// the file's one font at byte 0.
class FaceWalker {
public:
    // Reads the collection header at byte 0 when the file begins with
    // 'ttcf'. Returns the number of faces: the collection's numFonts, else 1
    // (a single font, or a 'ttcf' header that lists no fonts, whose bytes are
    // then read as that one font's directory). A count that the rest of the
    // stream cannot hold raises EOFException before anything is reserved.
    int read(std::istream &in);

    int count() const { return collection() ? ttc_.numFonts : 1; }
    bool collection() const { return ttc_.numFonts > 0 && ttc_.ttcTag == TAG_ttcf; }
    // Where the offset table of face starts; -1 for a face beyond count(),
    // or one that a collection places at 2 GiB or beyond.
    int64_t offsetOf(int face) const;

private:
    TT_CollectionHeader ttc_;
};

class TableLocator {
public:
    // Whether a 'ttcf' header at byte 0 is taken as a collection (then its
    // first font is read) or the file is read as one font at byte 0.
    enum Collections { SINGLE_FONT, FIRST_FONT };

    explicit TableLocator(std::istream &in) : in_(in) {}

    // Reads the directory of the font: the first face of the file, or with
    // SINGLE_FONT the font at byte 0 whatever the file begins with. False
    // when the size of the stream cannot be found, a collection's first
    // offset is unusable or the directory lists no tables. Stream exceptions
    // pass through.
    bool open(Collections collections);
    // Reads the directory of the font whose offset table is at offset (a
    // face of a collection). False when the size of the stream cannot be
    // found or the directory lists no tables.
    bool openAt(int64_t offset);

    // The record of tag, whether or not its table lies inside the file; null
    // when the directory has none.
    const TT_TableDirectory *record(uint32_t tag) const { return dir_.find(tag); }
    TT_TableDirectory *record(uint32_t tag) { return dir_.find(tag); }
    // True when the record's table lies inside the file, clear of the
    // directory that was read.
    bool fits(const TT_TableDirectory &rec) const;
    // The record of tag when its table fits; null otherwise.
    const TT_TableDirectory *find(uint32_t tag) const;

    // Reads the table of tag from the bytes its record gives and no others.
    // False when there is no such record, its table does not fit, or the
    // table's reader needed more bytes than the record gives (a table too
    // short for what is read is unreadable). Stream exceptions of the reader
    // itself pass through.
    bool read(uint32_t tag, TT_Table &table);
    // The same for a record already found.
    bool read(const TT_TableDirectory &rec, TT_Table &table);

    TT_FontDirectory &directory() { return dir_; }
    const TT_FontDirectory &directory() const { return dir_; }
    int64_t fileSize() const { return fileSize_; }
    int64_t fontOffset() const { return fontOffset_; }
    // End of the directory in the file.
    int64_t directoryEnd() const { return fontOffset_ + dir_.byteSize(); }

private:
    std::istream &in_;
    TT_FontDirectory dir_;
    int64_t fileSize_ = -1;
    int64_t fontOffset_ = 0;
};

// Runs read() and gives its result, or failure when it raises one of the
// stream exceptions; any other exception passes through.
template <typename Result, typename Read>
Result withStreamErrors(Result failure, Read read)
{
    try {
        return read();
    } catch (const std::string &e) {
        if (!isStreamException(e))
            throw;
        return failure;
    }
}

#endif
