// fuzz/container_fuzzer.cpp - the collection header, the table directory,
// the table locator and the readers of the tables it finds.
#include "fuzz/fuzz_common.h"
#include "sfnt/head.h"
#include "sfnt/locator.h"
#include "sfnt/name.h"
#include "sfnt/os2.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

// Every font of a collection (at most a few), or the one at byte 0.
int walkDirectories(std::istream &in)
{
    int64_t fileSize = StreamSize(in);
    FaceWalker faces;
    int count = faces.read(in);
    for (int i = 0; i < count && i < 8; ++i) {
        int64_t at = faces.offsetOf(i);
        if (at < 0)
            continue;
        in.clear();
        in.seekg(at);
        TT_FontDirectory dir;
        dir.read(in);
        dir.dump(nullStream());
        for (const TT_TableDirectory &rec : dir.records)
            rec.rangeFits(fileSize, at, at + dir.byteSize());
        dir.find(TAG_OS2);
        std::ostringstream out;
        dir.write(out);
    }
    return 0;
}

// The tables of the font that the installer reads, each within its record.
int readTables(std::istream &in, TableLocator::Collections collections)
{
    TableLocator font(in);
    if (!font.open(collections))
        return 0;
    TT_OS2 os2;
    if (font.read(TAG_OS2, os2)) {
        // What was read must lie within the record's length.
        if (static_cast<uint32_t>(os2.byteSize()) > font.find(TAG_OS2)->length)
            std::abort();
        os2.writeProfile(nullStream());
    }
    TT_head head;
    if (font.read(TAG_head, head))
        head.writeProfile(nullStream());
    TT_name name;
    if (font.read(TAG_name, name)) {
        name.writeProfile(nullStream());
        name.dump(nullStream());
        char buffer[FONT_NAME_SIZE];
        name.find(1, 0, 0, 6, buffer, sizeof buffer);
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceStandardError();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes = bytesOf(data, size);
    {
        std::istringstream in(bytes);
        withStreamErrors(0, [&] { return walkDirectories(in); });
    }
    for (auto collections : {TableLocator::SINGLE_FONT, TableLocator::FIRST_FONT}) {
        std::istringstream in(bytes);
        withStreamErrors(0, [&] { return readTables(in, collections); });
    }
    return 0;
}
