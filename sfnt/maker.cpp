// sfnt/maker.cpp - the maker test.
#include "sfnt/maker.h"

#include "base/stream.h"
#include "sfnt/container.h"
#include "sfnt/os2.h"

#include <cstring>
#include <fstream>
#include <string>

const char MAKER_VENDOR_IDS[3][4] = {
    {'Z', 'O', 'R', 'V'},
    {'Z', 'O', 'R', 'U'},
    {'z', 'u', 'r', 'u'},
};

const char *FileExtension(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    const char *dot = std::strrchr(name, '.');
    return dot ? dot : name + std::strlen(name);
}

bool EqualsIgnoreCase(const char *a, const char *b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    for (; *a && *b; ++a, ++b) {
        if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

int IsMakerFont(const char *path)
{
    const char *ext = FileExtension(path);
    bool collection = EqualsIgnoreCase(ext, ".ttc");
    if (!collection && !EqualsIgnoreCase(ext, ".ttf") && !EqualsIgnoreCase(ext, ".otf"))
        return 0;

    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return -1;
    try {
        int64_t fileSize = StreamSize(in);
        if (fileSize < 0)
            return -1;
        int64_t fontOffset = 0;
        if (collection) {
            TT_CollectionHeader ttc;
            if (ttc.read(in) > 0) {
                fontOffset = ttc.offsetOf(0);
                if (fontOffset < 0)
                    return -1;
            }
        }
        in.seekg(fontOffset);
        TT_FontDirectory dir;
        if (dir.read(in) == 0)
            return -1;
        const TT_TableDirectory *rec = dir.find(TAG_OS2);
        if (!rec || !rec->rangeFits(fileSize, fontOffset, fontOffset + dir.byteSize()))
            return -1;
        in.seekg(rec->offset);
        TT_OS2 os2;
        if (os2.read(in) <= 0)
            return 0;
        for (const char *id : MAKER_VENDOR_IDS) {
            if (std::memcmp(os2.achVendID, id, 4) == 0)
                return 1;
        }
        return 0;
    } catch (const std::string &e) {
        if (!isStreamException(e))
            throw;
        return -1;
    }
}
