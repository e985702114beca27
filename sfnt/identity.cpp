// sfnt/identity.cpp - the faces of a font file.
#include "sfnt/identity.h"

#include "base/stream.h"

#include "sfnt/head.h"
#include "sfnt/locator.h"
#include "sfnt/os2.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

// The record's UTF-16 string as printable ASCII; false for anything else.
bool asciiFromUtf16(const std::string &utf16, std::string *out)
{
    if (utf16.empty() || utf16.size() % 2 != 0)
        return false;
    out->clear();
    for (size_t i = 0; i < utf16.size(); i += 2) {
        unsigned char high = static_cast<unsigned char>(utf16[i]);
        unsigned char low = static_cast<unsigned char>(utf16[i + 1]);
        if (high != 0 || low < 0x21 || low > 0x7E)
            return false;
        out->push_back(static_cast<char>(low));
    }
    return true;
}

const TT_name_rec *findRecord(const TT_name &names, uint16_t platform, uint16_t encoding,
                              uint16_t language, uint16_t id)
{
    for (const TT_name_rec &rec : names.records) {
        if (rec.sameIds(platform, encoding, language, id))
            return &rec;
    }
    return nullptr;
}

// Reads table from its record; false when it lies outside the file, is too
// short for what is read, or cannot be read.
bool readTable(TableLocator &font, const TT_TableDirectory &rec, TT_Table &table)
{
    return withStreamErrors(false, [&] { return font.read(rec, table); });
}

// Reads the directory of the face at offset at and its tables, each the one
// that the directory lookup finds, within its record. A table that cannot
// be read is left out and the others are read all the same; the result is
// false when one was left out. A directory that cannot be read raises the
// stream's exception.
bool readFace(std::istream &in, int64_t at, FontFace *face)
{
    TableLocator font(in);
    font.openAt(at);
    face->sfntVersion = font.directory().sfntVersion;
    for (const TT_TableDirectory &rec : font.directory().records) {
        if (rec.tag == TAG_glyf && face->outlines == OUTLINES_NONE)
            face->outlines = OUTLINES_TRUETYPE;
        if (rec.tag == TAG_CFF || rec.tag == TAG_CFF2)
            face->outlines = OUTLINES_CFF;
    }
    bool whole = true;
    if (const TT_TableDirectory *rec = font.record(TAG_OS2)) {
        TT_OS2 os2;
        face->hasOS2 = readTable(font, *rec, os2);
        if (face->hasOS2)
            std::memcpy(face->vendor, os2.achVendID, 4);
        whole = whole && face->hasOS2;
    }
    if (const TT_TableDirectory *rec = font.record(TAG_head)) {
        TT_head head;
        face->hasHead = readTable(font, *rec, head);
        if (face->hasHead) {
            face->revisionMajor = head.fontRevisionMajor;
            face->revisionMinor = head.fontRevisionMinor;
            std::memcpy(face->created, head.created, 8);
        }
        whole = whole && face->hasHead;
    }
    if (const TT_TableDirectory *rec = font.record(TAG_name)) {
        if (!readTable(font, *rec, face->names)) {
            face->names = TT_name();
            whole = false;
        }
    }
    return whole;
}

// Reads up to maxFaces faces (all when maxFaces <= 0) of the file at path.
// Returns the number read, or -1 when the file cannot be opened, a face's
// directory cannot be read or, with whole set, one of its tables cannot.
int readFaces(const char *path, std::vector<FontFace> *faces, int maxFaces, bool whole)
{
    faces->clear();
    InputFile in(path);
    if (!in.is_open())
        return -1;
    int count = withStreamErrors(-1, [&] {
        if (StreamSize(in) < 0)
            return -1;
        FaceWalker walker;
        int total = walker.read(in);
        for (int i = 0; i < total && (maxFaces <= 0 || i < maxFaces); ++i) {
            int64_t at = walker.offsetOf(i);
            faces->push_back(FontFace());
            if (at < 0 || (!readFace(in, at, &faces->back()) && whole))
                return -1;
        }
        return static_cast<int>(faces->size());
    });
    if (count < 0)
        faces->clear();
    return count;
}

// The Macintosh Roman PostScript name record that the installer takes:
// English, else the Japanese language id; one whose string is empty or
// begins with a zero byte does not count.
const TT_name_rec *macintoshPostScriptName(const TT_name &names)
{
    for (uint16_t language : {kLanguageEnglish, kLanguageJapanese}) {
        const TT_name_rec *rec =
            findRecord(names, kPlatformMacintosh, kEncodingRoman, language, kNamePostScript);
        if (rec && !rec->str.empty() && rec->str[0] != 0)
            return rec;
    }
    return nullptr;
}

// The Windows Unicode English PostScript name in ASCII; false when there is
// none or it holds anything but printable ASCII.
bool windowsPostScriptName(const TT_name &names, std::string *ascii)
{
    const TT_name_rec *rec = findRecord(names, kPlatformWindows, kEncodingWindowsUnicode,
                                        kLanguageWindowsEnglish, kNamePostScript);
    return rec && asciiFromUtf16(rec->str, ascii);
}

// The Windows name into buffer (FONT_NAME_SIZE bytes) when it fits whole.
char *copyWindowsPostScriptName(const TT_name &names, char *buffer)
{
    std::string ascii;
    buffer[0] = 0;
    if (!windowsPostScriptName(names, &ascii) || ascii.size() >= static_cast<size_t>(FONT_NAME_SIZE))
        return nullptr;
    std::memcpy(buffer, ascii.c_str(), ascii.size() + 1);
    return buffer;
}

}  // namespace

bool FontFace::knownVersion() const
{
    return sfntVersion == 0x00010000 || sfntVersion == 0x4F54544F || sfntVersion == 0x74727565;
}

std::string FontFace::postScriptName() const
{
    if (const TT_name_rec *rec = macintoshPostScriptName(names))
        return rec->str.substr(0, rec->str.find('\0'));
    std::string ascii;
    if (windowsPostScriptName(names, &ascii))
        return ascii;
    return std::string();
}

char *FontFace::postScriptName(char *buffer) const
{
    if (const TT_name_rec *rec = macintoshPostScriptName(names)) {
        // The first record with these identifiers, cut as GetFontName cuts it.
        names.find(rec->platform, rec->encoding, rec->language, rec->name, buffer, FONT_NAME_SIZE);
        return buffer;
    }
    return copyWindowsPostScriptName(names, buffer);
}

int ReadFontFaces(const char *path, std::vector<FontFace> *faces, int maxFaces)
{
    return readFaces(path, faces, maxFaces, true);
}

bool ReadFirstFace(const char *path, FontFace *face)
{
    std::vector<FontFace> faces;
    if (readFaces(path, &faces, 1, false) != 1)
        return false;
    *face = std::move(faces[0]);
    return true;
}

char *GetWindowsPostScriptName(const char *path, char *buffer)
{
    FontFace face;
    buffer[0] = 0;
    return ReadFirstFace(path, &face) ? copyWindowsPostScriptName(face.names, buffer) : nullptr;
}
