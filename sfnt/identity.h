// sfnt/identity.h - the face reader: the faces of a font file and what tells
// one font from another: its outlines, its names, its vendor id and its
// revision.
//
// The package builder reads every face of the fonts it packs with this, a
// package's product module recognises the installed copies of its own fonts
// by it, and the catalogue and the name lookups read a font's names through
// it. Installing a font rewrites its fsType and checksums, so neither takes
// part in telling fonts apart.
#ifndef SFNT_IDENTITY_H
#define SFNT_IDENTITY_H

#include "sfnt/name.h"

#include <cstdint>
#include <string>
#include <vector>

const uint32_t TAG_glyf = 0x676C7966;  // 'glyf': TrueType outlines
const uint32_t TAG_CFF = 0x43464620;   // 'CFF ': PostScript outlines
const uint32_t TAG_CFF2 = 0x43464632;  // 'CFF2'

enum FontOutlines { OUTLINES_NONE, OUTLINES_TRUETYPE, OUTLINES_CFF };

struct FontFace {
    uint32_t sfntVersion = 0;
    FontOutlines outlines = OUTLINES_NONE;
    bool hasOS2 = false;             // the OS/2 table was read
    uint8_t vendor[4] = {};          // OS/2 achVendID
    bool hasHead = false;            // the head table was read
    uint16_t revisionMajor = 0;      // head fontRevision
    uint16_t revisionMinor = 0;
    uint8_t created[8] = {};         // head created, raw
    TT_name names;                   // every record; empty without a readable 'name' table

    // sfntVersion is one a font may carry: 1.0, 'OTTO' or 'true'.
    bool knownVersion() const;
    // The PostScript name (name id 6): Macintosh Roman English, else
    // Macintosh Roman with the Japanese language id, else Windows Unicode
    // English turned into ASCII. Empty when there is none of them.
    std::string postScriptName() const;
    // The same name as the installer matches installed fonts by it, into
    // buffer (FONT_NAME_SIZE bytes): a Macintosh name cut to
    // FONT_NAME_SIZE - 2 bytes as GetFontName cuts it, a Windows name only
    // when it fits whole. Null, with buffer[0] set to 0, when there is none.
    char *postScriptName(char *buffer) const;
};

// Reads the faces of the font file at path: every font of a collection, or
// the one font of a plain file; at most maxFaces of them when maxFaces > 0.
// A face's OS/2, head and name tables are those that the directory lookup
// finds (TT_FontDirectory::find), as the installer's own readers take them.
// Returns the number of faces read, or -1 when the file cannot be opened,
// is cut off, or has a face whose OS/2, head or name table lies outside the
// file or is too short for what is read.
int ReadFontFaces(const char *path, std::vector<FontFace> *faces, int maxFaces = 0);

// Reads the first face of the font file at path (the first font of a
// collection, whatever the extension), as the installer reads an installed
// font: an OS/2, head or name table that cannot be read is left out (hasOS2
// or hasHead false, or no names) and the others are read all the same.
// False when the file cannot be opened or the face's directory cannot be
// read.
bool ReadFirstFace(const char *path, FontFace *face);

// The Windows Unicode English PostScript name (platform 3, encoding 1,
// language 0x409, name id 6) of the first font of the file, in ASCII, into
// buffer (FONT_NAME_SIZE bytes), read by ReadFirstFace. Null when there is
// none, or when it holds a character outside printable ASCII or is too long
// for the buffer.
char *GetWindowsPostScriptName(const char *path, char *buffer);

#endif
