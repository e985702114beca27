// sfnt/embed.cpp - the embedding-type rewrite.
#include "sfnt/embed.h"

#include "base/stream.h"
#include "sfnt/checksum.h"
#include "sfnt/container.h"
#include "sfnt/head.h"
#include "sfnt/os2.h"

#include <fstream>
#include <iostream>
#include <string>

// The rewrite proper; the file is known to hold a directory at byte 0.
static int rewrite(std::fstream &file, uint16_t value)
{
    int64_t fileSize = StreamSize(file);
    if (fileSize < 0)
        return -1;
    TT_FontDirectory dir;
    if (dir.read(file) == 0)
        return 0;
    dir.dump(std::cerr);
    TT_TableDirectory *os2Rec = dir.find(TAG_OS2);
    if (!os2Rec)
        return 0;
    os2Rec->dump(std::cerr);
    if (!os2Rec->rangeFits(fileSize, 0, dir.byteSize())) {
        std::cerr << std::endl;
        return -1;
    }

    const std::streampos os2At = os2Rec->offset;
    file.seekg(os2At);
    TT_OS2 os2;
    int size = os2.read(file);
    os2.writeProfile(std::cerr);
    // Writing more than the record declares would change the next table
    // without repairing its checksum.
    if (os2Rec->length < static_cast<uint32_t>(size))
        return -1;
    if (os2.fsType == value)
        return 0;

    TT_TableDirectory *headRec = dir.find(TAG_head);
    if (headRec) {
        if (!headRec->rangeFits(fileSize, 0, dir.byteSize()) || headRec->length < TT_head::SIZE ||
            !headRec->rangeFits(fileSize, os2Rec->offset, int64_t(os2Rec->offset) + os2Rec->length))
            return -1;
        TT_head head;
        file.seekg(headRec->offset);
        head.read(file);
    }

    // Nothing has been written so far; from here on every read stays inside
    // ranges checked above.
    os2.fsType = value;
    file.seekp(os2At);
    if (!file)
        return -1;
    os2.write(file);
    file.seekg(os2At);
    os2Rec->checkSum = CalcTableChecksum(file, os2Rec->length);
    std::cerr << "Checksum(OS2)=" << std::hex << os2Rec->checkSum << std::endl;
    if (headRec) {
        AdjustFileChecksum(file, dir);
    } else {
        file.seekp(0);
        dir.write(file);
    }
    file.flush();
    return size;
}

int SetEmbeddingType(const char *path, int value)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file.is_open())
        return -1;
    try {
        return rewrite(file, static_cast<uint16_t>(value));
    } catch (const std::string &e) {
        if (!isStreamException(e))
            throw;
        return -1;
    }
}

int GetEmbeddingType(const char *path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return -1;
    try {
        int64_t fileSize = StreamSize(file);
        TT_FontDirectory dir;
        if (fileSize < 0 || dir.read(file) == 0)
            return -1;
        const TT_TableDirectory *rec = dir.find(TAG_OS2);
        if (!rec || !rec->rangeFits(fileSize, 0, dir.byteSize()))
            return -1;
        file.seekg(rec->offset);
        TT_OS2 os2;
        os2.read(file);
        return os2.fsType;
    } catch (const std::string &e) {
        if (!isStreamException(e))
            throw;
        return -1;
    }
}
