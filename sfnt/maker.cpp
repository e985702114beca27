// sfnt/maker.cpp - the maker test.
#include "sfnt/maker.h"

#include "base/stream.h"

#include "sfnt/locator.h"
#include "sfnt/os2.h"

#include <cstring>

const char MAKER_VENDOR_IDS[3][4] = {
    {'Z', 'O', 'R', 'V'},
    {'Z', 'O', 'R', 'U'},
    {'z', 'u', 'r', 'u'},
};

int IsMakerFont(const char *path)
{
    const char *ext = FileExtension(path);
    bool collection = EqualsIgnoreCase(ext, ".ttc");
    if (!collection && !EqualsIgnoreCase(ext, ".ttf") && !EqualsIgnoreCase(ext, ".otf"))
        return 0;

    InputFile in(path);
    if (!in.is_open())
        return -1;
    return withStreamErrors(-1, [&] {
        TableLocator font(in);
        TT_OS2 os2;
        if (!font.open(collection ? TableLocator::FIRST_FONT : TableLocator::SINGLE_FONT) ||
            !font.read(TAG_OS2, os2))
            return -1;
        for (const char *id : MAKER_VENDOR_IDS) {
            if (std::memcmp(os2.achVendID, id, 4) == 0)
                return 1;
        }
        return 0;
    });
}
