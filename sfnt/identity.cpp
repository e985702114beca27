// sfnt/identity.cpp - the faces of a font file.
#include "sfnt/identity.h"

#include "sfnt/head.h"
#include "sfnt/locator.h"
#include "sfnt/os2.h"

#include <cstring>
#include <fstream>

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

// Reads the tables of one face, each the one that the directory lookup
// finds, within its record; false when one lies outside the file or is too
// short for what is read.
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
    if (const TT_TableDirectory *rec = font.record(TAG_OS2)) {
        TT_OS2 os2;
        if (!font.read(*rec, os2))
            return false;
        std::memcpy(face->vendor, os2.achVendID, 4);
        face->hasOS2 = true;
    }
    if (const TT_TableDirectory *rec = font.record(TAG_head)) {
        TT_head head;
        if (!font.read(*rec, head))
            return false;
        face->revisionMajor = head.fontRevisionMajor;
        face->revisionMinor = head.fontRevisionMinor;
        std::memcpy(face->created, head.created, 8);
        face->hasHead = true;
    }
    const TT_TableDirectory *rec = font.record(TAG_name);
    return !rec || font.read(*rec, face->names);
}

}  // namespace

bool FontFace::knownVersion() const
{
    return sfntVersion == 0x00010000 || sfntVersion == 0x4F54544F || sfntVersion == 0x74727565;
}

std::string FontFace::postScriptName() const
{
    const TT_name_rec *rec =
        findRecord(names, kPlatformMacintosh, kEncodingRoman, kLanguageEnglish, kNamePostScript);
    if (!rec || rec->str.empty() || rec->str[0] == 0)
        rec = findRecord(names, kPlatformMacintosh, kEncodingRoman, kLanguageJapanese,
                         kNamePostScript);
    if (rec && !rec->str.empty() && rec->str[0] != 0)
        return rec->str.substr(0, rec->str.find('\0'));
    std::string ascii;
    rec = findRecord(names, kPlatformWindows, kEncodingWindowsUnicode, kLanguageWindowsEnglish,
                     kNamePostScript);
    if (rec && asciiFromUtf16(rec->str, &ascii))
        return ascii;
    return std::string();
}

int ReadFontFaces(const char *path, std::vector<FontFace> *faces, int maxFaces)
{
    faces->clear();
    std::ifstream in(path, std::ios::in | std::ios::binary);
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
            if (at < 0 || !readFace(in, at, &faces->back()))
                return -1;
        }
        return static_cast<int>(faces->size());
    });
    if (count < 0)
        faces->clear();
    return count;
}

char *GetWindowsPostScriptName(const char *path, char *buffer)
{
    // Only the name table counts, found as GetFontName finds it: a damaged
    // OS/2 or head table hides no name.
    buffer[0] = 0;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return nullptr;
    TT_name names;
    bool read = withStreamErrors(false, [&] {
        TableLocator font(in);
        return font.open(TableLocator::FIRST_FONT) && font.read(TAG_name, names);
    });
    const TT_name_rec *rec =
        read ? findRecord(names, kPlatformWindows, kEncodingWindowsUnicode, kLanguageWindowsEnglish, kNamePostScript)
             : nullptr;
    std::string ascii;
    if (!rec || !asciiFromUtf16(rec->str, &ascii) || ascii.size() >= static_cast<size_t>(FONT_NAME_SIZE))
        return nullptr;
    std::memcpy(buffer, ascii.c_str(), ascii.size() + 1);
    return buffer;
}
