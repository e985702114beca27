// product/fontid.cpp - the identity of a font file's first font, from its bytes.
#include "product/fontid.h"

#include <string.h>

namespace {

const uint32_t kTagTtcf = 0x74746366;
const uint32_t kTagOS2 = 0x4F532F32;
const uint32_t kTagHead = 0x68656164;
const uint32_t kTagName = 0x6E616D65;
// The name reader's whole budget for strings; a string beyond it is unread.
const uint32_t kStringBudget = 16u * 1024 * 1024;

uint16_t u16(const uint8_t *p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t u32(const uint8_t *p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

struct File {
    FontReadAt read;
    void *context;
    uint32_t size;

    bool at(uint64_t offset, void *buffer, uint32_t count) const
    {
        return offset + count <= size && read(context, static_cast<uint32_t>(offset), buffer, count);
    }
};

struct Table {
    uint32_t offset;
    uint32_t length;
};

// A string of the name table: where it lies, or length 0 when the reader
// left it unread.
struct NameString {
    uint32_t offset;
    uint16_t length;
};

// The three records the PostScript name may come from, in the order they
// are asked for.
enum { MAC_ENGLISH, MAC_JAPANESE, WINDOWS_ENGLISH, CANDIDATES };

bool readOS2(const File &file, const Table &t, FontIdentity *id)
{
    uint8_t b[96];
    if (t.length < 2 || !file.at(t.offset, b, 2))
        return false;
    uint16_t version = u16(b);
    uint32_t needed = version >= 2 ? 96 : version == 1 ? 86 : 78;
    if (t.length < needed || !file.at(t.offset, b, needed))
        return false;
    memcpy(id->vendor, b + 58, 4);
    id->hasOS2 = true;
    return true;
}

bool readHead(const File &file, const Table &t, FontIdentity *id)
{
    uint8_t b[54];
    if (t.length < sizeof b || !file.at(t.offset, b, sizeof b))
        return false;
    id->revisionMajor = u16(b + 4);
    id->revisionMinor = u16(b + 6);
    memcpy(id->created, b + 20, 8);
    id->hasHead = true;
    return true;
}

// Finds where each candidate's string lies; a later name table replaces
// what an earlier one gave.
bool readName(const File &file, const Table &t, NameString found[CANDIDATES])
{
    static const uint16_t kIds[CANDIDATES][3] = {{1, 0, 0}, {1, 0, 1041}, {3, 1, 0x409}};
    for (int c = 0; c < CANDIDATES; ++c)
        found[c].length = 0;
    bool seen[CANDIDATES] = {false, false, false};
    uint8_t header[6];
    if (t.length < sizeof header || !file.at(t.offset, header, sizeof header))
        return false;
    uint32_t count = u16(header + 2);
    uint32_t storage = u16(header + 4);
    if (count > (t.length - sizeof header) / 12)
        return false;
    uint32_t budget = kStringBudget;
    uint8_t records[64 * 12];
    for (uint32_t i = 0; i < count; i += 64) {
        uint32_t n = count - i < 64 ? count - i : 64;
        if (!file.at(uint64_t(t.offset) + 6 + i * 12, records, n * 12))
            return false;
        for (uint32_t k = 0; k < n; ++k) {
            const uint8_t *r = records + k * 12;
            uint16_t length = u16(r + 8);
            uint32_t from = storage + u16(r + 10);
            bool read = length != 0 && length <= budget && uint64_t(from) + length <= t.length;
            if (read)
                budget -= length;
            for (int c = 0; c < CANDIDATES; ++c) {
                if (!seen[c] && u16(r) == kIds[c][0] && u16(r + 2) == kIds[c][1] && u16(r + 4) == kIds[c][2] &&
                    u16(r + 6) == 6) {
                    seen[c] = true;
                    found[c].offset = t.offset + from;
                    found[c].length = read ? length : 0;
                }
            }
        }
    }
    return true;
}

// The PostScript name from the first candidate that gives one.
void postScriptName(const File &file, const NameString found[CANDIDATES], FontIdentity *id)
{
    id->postscript[0] = '\0';
    uint8_t s[256];
    for (int c = MAC_ENGLISH; c <= MAC_JAPANESE; ++c) {
        if (found[c].length == 0)
            continue;
        // Up to the first NUL; a string that begins with one gives nothing.
        uint32_t n = found[c].length < sizeof id->postscript ? found[c].length : sizeof id->postscript;
        if (!file.at(found[c].offset, s, n))
            return;
        if (s[0] == 0)
            continue;
        uint32_t len = 0;
        while (len < n && s[len] != 0)
            ++len;
        if (len >= sizeof id->postscript)
            return;  // too long for the buffer: matches no package font
        memcpy(id->postscript, s, len);
        id->postscript[len] = '\0';
        return;
    }
    const NameString &w = found[WINDOWS_ENGLISH];
    if (w.length == 0 || w.length % 2 != 0 || w.length / 2 >= sizeof id->postscript ||
        !file.at(w.offset, s, w.length))
        return;
    for (uint32_t i = 0; i < w.length; i += 2) {
        if (s[i] != 0 || s[i + 1] < 0x21 || s[i + 1] > 0x7E)
            return;
    }
    for (uint32_t i = 0; i < w.length; i += 2)
        id->postscript[i / 2] = static_cast<char>(s[i + 1]);
    id->postscript[w.length / 2] = '\0';
}

}  // namespace

bool ReadFontIdentity(FontReadAt read, void *context, uint32_t fileSize, FontIdentity *id)
{
    memset(id, 0, sizeof *id);
    File file = {read, context, fileSize};
    uint8_t b[16];
    if (!file.at(0, b, 4))
        return false;
    uint32_t fontOffset = 0;
    if (u32(b) == kTagTtcf) {
        if (!file.at(0, b, 12))
            return false;
        int32_t fonts = static_cast<int32_t>(u32(b + 8));
        if (fonts > 0) {
            // Every offset of the header must be there, the first one used.
            if (uint64_t(fonts) * 4 > fileSize - 12 || !file.at(12, b, 4))
                return false;
            int32_t first = static_cast<int32_t>(u32(b));
            if (first < 0 || static_cast<uint32_t>(first) >= fileSize)
                return false;
            fontOffset = static_cast<uint32_t>(first);
        }
    }
    if (!file.at(fontOffset, b, 12))
        return false;
    uint32_t tables = u16(b + 4);
    if (uint64_t(tables) * 16 > fileSize - fontOffset - 12)
        return false;
    uint64_t directoryEnd = uint64_t(fontOffset) + 12 + uint64_t(tables) * 16;
    NameString found[CANDIDATES] = {};
    // The installer looks a tag up as in a sorted directory: the first record
    // of that tag counts, and none that stands after a larger tag. Records it
    // never finds are passed over here too.
    uint32_t highest = 0;
    bool seenOS2 = false, seenHead = false, seenName = false;
    for (uint32_t i = 0; i < tables; ++i) {
        if (!file.at(uint64_t(fontOffset) + 12 + i * 16, b, 16))
            return false;
        uint32_t tag = u32(b);
        bool hidden = tag < highest;
        if (tag > highest)
            highest = tag;
        bool &seen = tag == kTagOS2 ? seenOS2 : tag == kTagHead ? seenHead : seenName;
        if ((tag != kTagOS2 && tag != kTagHead && tag != kTagName) || hidden || seen)
            continue;
        seen = true;
        Table t = {u32(b + 8), u32(b + 12)};
        // Inside the file, clear of the directory, as the library demands.
        uint64_t end = uint64_t(t.offset) + t.length;
        if (end > fileSize || !(end <= fontOffset || t.offset >= directoryEnd) || t.length > 0x7FFFFFFFu)
            return false;
        bool ok = tag == kTagOS2 ? readOS2(file, t, id) : tag == kTagHead ? readHead(file, t, id)
                                                                           : readName(file, t, found);
        if (!ok)
            return false;
    }
    postScriptName(file, found, id);
    return true;
}

const char *InstallerPostScriptName(const FontIdentity &id)
{
    size_t len = strlen(id.postscript);
    return len > 0 && len <= 126 ? id.postscript : nullptr;
}
