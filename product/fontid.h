// product/fontid.h - what tells one font from another, read from the bytes
// of a font file without streams, containers or exceptions, so that a
// product module can carry it at the size of a few kilobytes.
//
// It reads what the sfnt library's face reader reads of the first font of a
// file (ReadFontFaces with one face, FontFace::postScriptName), under the
// same rules: a collection's first font, every OS/2, head and name record
// read within its bounds, and a face that the library cannot read is no
// face here either. tests/package/fontid_test.cpp holds the two together.
#ifndef PRODUCT_FONTID_H
#define PRODUCT_FONTID_H

#include <stdint.h>

struct FontIdentity {
    bool hasOS2;
    uint8_t vendor[4];          // OS/2 achVendID
    bool hasHead;
    uint16_t revisionMajor;     // head fontRevision
    uint16_t revisionMinor;
    uint8_t created[8];         // head created, raw
    // The PostScript name: Macintosh Roman English, else Macintosh Roman
    // with the Japanese language id, else Windows Unicode English in ASCII.
    // Empty when there is none or it is longer than the buffer holds.
    char postscript[128];
};

// Reads size bytes at offset into buffer; false when they cannot all be read.
typedef bool (*FontReadAt)(void *context, uint32_t offset, void *buffer, uint32_t size);

// The identity of the first font of a file of fileSize bytes. False when the
// file is cut off or has a table that lies outside it or is too short.
bool ReadFontIdentity(FontReadAt read, void *context, uint32_t fileSize, FontIdentity *id);

// id's PostScript name when the installer reads the same name from the file
// (FontFace::postScriptName into its FONT_NAME_SIZE buffer, which keeps 126
// bytes of a Macintosh name): a name of at most 126 bytes. Null for a longer
// one and for none.
const char *InstallerPostScriptName(const FontIdentity &id);

#endif
