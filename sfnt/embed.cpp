// sfnt/embed.cpp - the embedding-type rewrite.
#include "sfnt/embed.h"

#include "sfnt/checksum.h"
#include "sfnt/head.h"
#include "sfnt/locator.h"
#include "sfnt/os2.h"

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

// The rewrite proper. written turns true just before the first byte is
// written; from then on a failure may leave the file changed part-way.
static int rewrite(std::iostream &file, uint16_t value, bool &written, std::ostream *diag)
{
    TableLocator font(file);
    if (!font.open(TableLocator::SINGLE_FONT))
        return font.fileSize() < 0 ? -1 : 0;
    TT_FontDirectory &dir = font.directory();
    if (diag)
        dir.dump(*diag);
    TT_TableDirectory *os2Rec = font.record(TAG_OS2);
    if (!os2Rec)
        return 0;
    if (diag)
        os2Rec->dump(*diag);
    if (!font.fits(*os2Rec)) {
        if (diag)
            *diag << std::endl;
        return -1;
    }

    const std::streampos os2At = os2Rec->offset;
    TT_OS2 os2;
    bool whole = font.read(*os2Rec, os2);
    int size = os2.byteSize();
    if (diag)
        os2.writeProfile(*diag);
    // A table shorter than its version's fields is unreadable; writing more
    // than the record declares would also change the next table without
    // repairing its checksum.
    if (!whole || os2Rec->length < static_cast<uint32_t>(size))
        return -1;
    if (os2.fsType == value)
        return 0;

    TT_TableDirectory *headRec = font.record(TAG_head);
    if (headRec) {
        TT_head head;
        if (headRec->length < TT_head::SIZE ||
            !headRec->rangeFits(font.fileSize(), os2Rec->offset, int64_t(os2Rec->offset) + os2Rec->length) ||
            !font.read(*headRec, head))
            return -1;
    }

    // Nothing has been written so far; from here on every read stays inside
    // ranges checked above, and every write is checked.
    os2.fsType = value;
    file.seekp(os2At);
    if (!file)
        return -1;
    written = true;
    os2.write(file);
    if (!file)
        return -1;
    file.seekg(os2At);
    os2Rec->checkSum = CalcTableChecksum(file, os2Rec->length);
    if (diag)
        *diag << "Checksum(OS2)=" << std::hex << os2Rec->checkSum << std::endl;
    if (headRec) {
        AdjustFileChecksum(file, dir, diag);
    } else {
        file.seekp(0);
        dir.write(file);
    }
    file.flush();
    return file ? size : -1;
}

int RewriteEmbeddingType(std::iostream &file, int value, bool *written, std::ostream *diagnostics)
{
    bool wrote = false;
    int result =
        withStreamErrors(-1, [&] { return rewrite(file, static_cast<uint16_t>(value), wrote, diagnostics); });
    if (written)
        *written = wrote;
    return result;
}

int SetEmbeddingType(const char *path, int value, bool *written, std::ostream *diagnostics)
{
    if (written)
        *written = false;
    // The whole file is read for its checksum: in blocks of this buffer, not
    // of the stream's own few hundred bytes.
    std::vector<char> buffer(32768);
    std::fstream file;
    file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    file.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file.is_open())
        return -1;
    bool wrote = false;
    int result = RewriteEmbeddingType(file, value, &wrote, diagnostics);
    // The bytes reach the file at the latest when it is closed.
    file.close();
    if (wrote && file.fail())
        result = -1;
    if (written)
        *written = wrote;
    return result;
}

int GetEmbeddingType(const char *path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return -1;
    return withStreamErrors(-1, [&] {
        TableLocator font(file);
        TT_OS2 os2;
        if (!font.open(TableLocator::SINGLE_FONT) || !font.read(TAG_OS2, os2))
            return -1;
        return static_cast<int>(os2.fsType);
    });
}
