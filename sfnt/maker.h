// sfnt/maker.h - the maker test: does a font file come from the package's maker?
#ifndef SFNT_MAKER_H
#define SFNT_MAKER_H

#include "base/path.h"

// OS/2 achVendID values of the maker, compared as four exact bytes.
extern const char MAKER_VENDOR_IDS[3][4];
const int MAKER_VENDOR_ID_COUNT = 3;

// 1 when the font's OS/2 achVendID is one of MAKER_VENDOR_IDS; 0 when it is
// not, or when the extension is none of ".ttf", ".ttc", ".otf" (any case; the
// file is then not opened); -1 when the file cannot be opened or read, or has
// no usable OS/2 table. Only ".ttc" files are looked into as collections, and
// then only the first font counts.
int IsMakerFont(const char *path);

#endif
