// sfnt/name.h - the 'name' (naming) table and the font name lookup.
//
// https://learn.microsoft.com/en-us/typography/opentype/spec/name
//
// Strings are kept as the bytes of the file, never converted between
// encodings. Format 1 language-tag records are not read.
#ifndef SFNT_NAME_H
#define SFNT_NAME_H

#include "sfnt/container.h"
#include "sfnt/fields.h"

#include <cstdint>
#include <string>
#include <vector>

// One name record: 12 bytes in the file, plus its string.
struct TT_name_rec {
    static const int SIZE = 12;

    uint16_t platform = 0;      // platform id: 0 Unicode, 1 Macintosh, 3 Windows
    uint16_t encoding = 0;      // encoding id, per platform
    uint16_t language = 0;      // language id, per platform
    uint16_t name = 0;          // name id: 6 is the PostScript name
    uint16_t lengthString = 0;  // bytes of the string
    uint16_t offsetString = 0;  // from the start of the string storage
    std::string str;            // the string's bytes; may hold zero bytes

    // The six fields above in file order, all shown in decimal.
    void fields(FieldVisitor &f);

    // Same four identifiers; the string takes no part.
    bool sameIds(uint16_t p, uint16_t e, uint16_t l, uint16_t n) const
    {
        return platform == p && encoding == e && language == l && name == n;
    }
    // Order by platform, encoding, language, then name id.
    bool operator<(const TT_name_rec &other) const;

    // "TT_name_rec{...\n str=...}": the string's bytes as signed hexadecimal
    // numbers without separators. No line feed at the end.
    void dump(std::ostream &out) const;
};

class TT_name : public TT_Table {
public:
    uint16_t format = 0;          // not validated
    uint16_t numRecord = 0;
    uint16_t offsetStrings = 0;   // string storage, from the start of the table
    std::vector<TT_name_rec> records;

    // The three header fields in file order, shown in decimal.
    void fields(FieldVisitor &f);

    // Upper bound on the bytes of all strings of one table together. Records
    // may share string bytes, so a small damaged table can name gigabytes.
    static const int64_t MAX_STRING_BYTES = 16 * 1024 * 1024;

    // Reads the table at the stream's position and returns numRecord. A
    // string that reaches beyond the end of the file, or beyond the total of
    // MAX_STRING_BYTES, is left empty: such a record cannot be found with a
    // name, only its identifiers remain.
    int read(std::istream &in) override;
    // Writes the records with freshly packed string storage; returns the
    // number of records.
    int write(std::ostream &out) override;
    // As the base, but with lines of up to 575 characters.
    int readProfile(std::istream &in) override;
    // Takes a line "$.platform.encoding.language.name=HEX..." and inserts its
    // record in record order. Returns 1 when taken, 0 for any other line,
    // including one whose identifiers or hexadecimal pairs are malformed.
    int parseProfileLine(const char *line) override;
    // "# 'name' table profile", the three header fields and one "$." line per
    // record. Returns numRecord.
    int writeProfile(std::ostream &out) override;
    virtual void dump(std::ostream &out);

    // Copies the string of the first record with these identifiers into
    // buffer (capacity bytes), followed by two zero bytes; a longer string is
    // cut to capacity - 2 bytes. Returns the bytes copied, 0 when no record
    // matches (buffer untouched) or capacity is below 2.
    int find(uint16_t platform, uint16_t encoding, uint16_t language, uint16_t name,
             char *buffer, int capacity) const;
};

// Identifiers of name records. The installer looks the PostScript name up
// as Macintosh Roman English, then Macintosh Roman with the Japanese
// language id (1041, as the installer has always asked), then Windows
// Unicode English.
const uint16_t kPlatformUnicode = 0;
const uint16_t kPlatformMacintosh = 1;
const uint16_t kPlatformWindows = 3;
const uint16_t kEncodingRoman = 0;          // Macintosh
const uint16_t kEncodingWindowsUnicode = 1; // Windows, Unicode BMP
const uint16_t kLanguageEnglish = 0;        // Macintosh
const uint16_t kLanguageJapanese = 1041;
const uint16_t kLanguageWindowsEnglish = 0x409;
const uint16_t kNamePostScript = 6;

// Size of the caller's buffer for GetFontName.
const int FONT_NAME_SIZE = 128;

// Reads the string with these identifiers from the first font of the file
// (a collection is recognised by its 'ttcf' tag, whatever the extension)
// into buffer, which holds FONT_NAME_SIZE bytes. Returns buffer when a
// string was found whose first byte is not zero; otherwise null, with
// buffer[0] set to 0. A file that cannot be read gives null. The file is
// read by the face reader (ReadFirstFace, sfnt/identity.h).
char *GetFontName(const char *path, uint16_t platform, uint16_t encoding, uint16_t language,
                  uint16_t name, char *buffer);

#endif
