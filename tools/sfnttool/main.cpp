// tools/sfnttool/main.cpp - inspect and change font files with the sfnt
// library, the way the installer does.
//
//   sfnttool name FILE [PLATFORM ENCODING LANGUAGE NAMEID]
//   sfnttool maker FILE
//   sfnttool embed FILE [VALUE]
//   sfnttool dump FILE
//   sfnttool check FILE
//   sfnttool faces FILE...
//
// Exit status: 0 done, 1 the answer is "no" (no such name, a failed
// rewrite, a checksum that does not hold), 2 bad arguments or no such file.
#include "base/stream.h"
#include "sfnt/checksum.h"
#include "sfnt/container.h"
#include "sfnt/embed.h"
#include "sfnt/head.h"
#include "sfnt/identity.h"
#include "sfnt/locator.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"
#include "sfnt/os2.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char USAGE[] =
    "usage: sfnttool name FILE [PLATFORM ENCODING LANGUAGE NAMEID] | maker FILE | "
    "embed FILE [VALUE] | dump FILE | check FILE | faces FILE...";

int usage()
{
    std::cerr << USAGE << std::endl;
    return 2;
}

// A decimal number from 0 to 65535, the whole argument.
bool parseU16(const char *text, uint16_t &value)
{
    if (!*text)
        return false;
    char *end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 10);
    if (*end || errno || v > 0xFFFF || text[0] == '-' || text[0] == '+')
        return false;
    value = static_cast<uint16_t>(v);
    return true;
}

bool openable(const char *path)
{
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (in.is_open())
        return true;
    std::cerr << "sfnttool: cannot open " << path << std::endl;
    return false;
}

int cmdName(const char *path, int argc, char **argv)
{
    uint16_t ids[4];
    if (argc == 4) {
        for (int i = 0; i < 4; ++i) {
            if (!parseU16(argv[i], ids[i]))
                return usage();
        }
    } else if (argc != 0) {
        return usage();
    }
    if (!openable(path))
        return 2;
    char buffer[FONT_NAME_SIZE];
    const char *found;
    if (argc == 4) {
        found = GetFontName(path, ids[0], ids[1], ids[2], ids[3], buffer);
    } else {
        // The installer's PostScript name request: Macintosh Roman, English,
        // then the same with the Japanese language id.
        found = GetFontName(path, kPlatformMacintosh, kEncodingRoman, kLanguageEnglish,
                            kNamePostScript, buffer);
        if (!found)
            found = GetFontName(path, kPlatformMacintosh, kEncodingRoman, kLanguageJapanese,
                                kNamePostScript, buffer);
    }
    if (!found)
        return 1;
    std::cout << found << "\n";
    return 0;
}

int cmdEmbed(const char *path, int argc, char **argv)
{
    uint16_t value = 2;
    if (argc > 1 || (argc == 1 && !parseU16(argv[0], value)))
        return usage();
    if (!openable(path))
        return 2;
    int result = SetEmbeddingType(path, value, nullptr, &std::cerr);
    std::cout << result << "\n";
    return result == -1 ? 1 : 0;
}

// A font cut off by its end or unreadable: one line on standard error, 1.
int reportUnreadable(const char *path, const std::string &e)
{
    if (!isStreamException(e))
        throw e;
    std::cout << std::flush;
    std::cerr << "sfnttool: " << path << ": cut off or unreadable (" << e << ")" << std::endl;
    return 1;
}

int cmdDump(const char *path)
{
    std::ifstream in(path, std::ios::in | std::ios::binary);
    try {
        // The font that the name lookup would read: the first of a collection.
        TableLocator font(in);
        if (!font.open(TableLocator::FIRST_FONT) && font.fontOffset() < 0) {
            std::cerr << "sfnttool: " << path << ": collection without a usable first font" << std::endl;
            return 1;
        }
        font.directory().dump(std::cout);

        struct Section { uint32_t tag; TT_Table *table; };
        TT_OS2 os2;
        TT_head head;
        TT_name name;
        const Section sections[] = {{TAG_OS2, &os2}, {TAG_head, &head}, {TAG_name, &name}};
        int status = 0;
        for (const Section &s : sections) {
            const TT_TableDirectory *rec = font.record(s.tag);
            char tag[5];
            TagToString(s.tag, tag);
            if (!rec)
                continue;
            if (!font.fits(*rec)) {
                std::cout << "# '" << tag << "' table lies outside the file" << std::endl;
                status = 1;
                continue;
            }
            if (s.tag != TAG_name)
                std::cout << "# '" << tag << "' table profile" << std::endl;
            if (!font.read(*rec, *s.table)) {
                std::cout << "# '" << tag << "' table is shorter than its fields" << std::endl;
                status = 1;
            }
            s.table->writeProfile(std::cout);
        }
        return status;
    } catch (const std::string &e) {
        return reportUnreadable(path, e);
    }
}

// Checks one font's tables; returns the number of mismatches reported.
int checkTables(std::istream &in, const TT_FontDirectory &dir, int64_t fileSize, int64_t dirStart)
{
    int bad = 0;
    for (const TT_TableDirectory &rec : dir.records) {
        char tag[5];
        TagToString(rec.tag, tag);
        if (!rec.rangeFits(fileSize, dirStart, dirStart + dir.byteSize())) {
            std::cout << "'" << tag << "': table lies outside the file" << std::endl;
            ++bad;
            continue;
        }
        in.seekg(rec.offset);
        uint32_t sum = CalcTableChecksum(in, rec.length);
        if (rec.tag == TAG_head && rec.length >= TT_head::CHECKSUM_ADJUSTMENT + 4) {
            // Taken with checkSumAdjustment as 0: the field is a whole word
            // of the table, so subtracting it from the sum is the same.
            BigEndianReader r(&in);
            in.seekg(rec.offset + TT_head::CHECKSUM_ADJUSTMENT);
            sum -= static_cast<uint32_t>(r.readUnsignedInt());
        }
        if (sum != rec.checkSum) {
            std::cout << "'" << tag << "': checkSum 0x" << std::hex << rec.checkSum << " in the directory, 0x"
                      << sum << " computed" << std::dec << std::endl;
            ++bad;
        }
    }
    return bad;
}

int cmdCheck(const char *path)
{
    std::ifstream in(path, std::ios::in | std::ios::binary);
    try {
        int64_t fileSize = StreamSize(in);
        FaceWalker faces;
        int count = faces.read(in);
        int bad = 0;
        TT_FontDirectory dir;
        for (int i = 0; i < count; ++i) {
            int64_t at = faces.offsetOf(i);
            if (at < 0) {
                std::cout << "font " << i << ": offset out of range" << std::endl;
                ++bad;
                continue;
            }
            in.seekg(at);
            dir.read(in);
            bad += checkTables(in, dir, fileSize, at);
        }
        // A single font's adjustment settles the sum of the whole file; a
        // collection has no such sum.
        if (!faces.collection() && dir.find(TAG_head)) {
            in.seekg(0);
            uint32_t sum = CalcTableChecksum(in, static_cast<uint32_t>(fileSize));
            if (sum != SFNT_FILE_CHECKSUM) {
                std::cout << "file: checksum 0x" << std::hex << sum << ", expected 0x" << SFNT_FILE_CHECKSUM
                          << std::dec << std::endl;
                ++bad;
            }
        }
        return bad ? 1 : 0;
    } catch (const std::string &e) {
        return reportUnreadable(path, e);
    }
}


// The characters 0x80 to 0xFF of Macintosh Roman.
const uint16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

void putUtf8(uint32_t c, std::string *out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A name record's string in UTF-8: UTF-16 for the Unicode and Windows
// platforms, Macintosh Roman for that platform. False for other encodings
// and for broken UTF-16.
bool nameToUtf8(const TT_name_rec &rec, std::string *out)
{
    out->clear();
    const std::string &s = rec.str;
    if (rec.platform == kPlatformMacintosh && rec.encoding == kEncodingRoman) {
        for (char ch : s) {
            unsigned char c = static_cast<unsigned char>(ch);
            putUtf8(c < 0x80 ? c : kMacRomanHigh[c - 0x80], out);
        }
        return true;
    }
    if (rec.platform != kPlatformUnicode && rec.platform != kPlatformWindows)
        return false;
    if (s.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        uint32_t c = (static_cast<unsigned char>(s[i]) << 8) | static_cast<unsigned char>(s[i + 1]);
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 3 >= s.size())
                return false;
            uint32_t low = (static_cast<unsigned char>(s[i + 2]) << 8) | static_cast<unsigned char>(s[i + 3]);
            if (low < 0xDC00 || low >= 0xE000)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c < 0xE000) {
            return false;
        }
        putUtf8(c, out);
    }
    return true;
}

void putJsonString(std::ostream &out, const std::string &s)
{
    out << '"';
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out << '\\' << ch;
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out << esc;
        } else {
            out << ch;
        }
    }
    out << '"';
}

// What a package needs to know of each face of a font file, as one JSON
// object: outlines, vendor id, revision, creation stamp and the family,
// style, full and PostScript names of every platform and language.
int cmdFaces(const char *path, std::ostream &diag)
{
    {
        // A file that begins with no font's tag is no font at all.
        std::ifstream in(path, std::ios::in | std::ios::binary);
        unsigned char tag[4] = {};
        in.read(reinterpret_cast<char *>(tag), 4);
        FontFace probe;
        probe.sfntVersion = (uint32_t(tag[0]) << 24) | (tag[1] << 16) | (tag[2] << 8) | tag[3];
        if (probe.sfntVersion != TAG_ttcf && !probe.knownVersion()) {
            diag << "sfnttool: " << path << ": not a font" << std::endl;
            return 1;
        }
    }
    std::vector<FontFace> faces;
    if (ReadFontFaces(path, &faces) < 0) {
        diag << "sfnttool: " << path << ": cut off or unreadable" << std::endl;
        return 1;
    }
    for (const FontFace &face : faces) {
        if (!face.knownVersion()) {
            diag << "sfnttool: " << path << ": not a font" << std::endl;
            return 1;
        }
    }
    static const char *const kOutlines[] = {"none", "TrueType", "CFF"};
    std::ostream &out = std::cout;
    out << "{\"faces\": [";
    for (size_t i = 0; i < faces.size(); ++i) {
        const FontFace &face = faces[i];
        out << (i ? ",\n  " : "\n  ") << "{\"outlines\": \"" << kOutlines[face.outlines] << "\", \"vendor\": ";
        std::string vendor;
        if (face.hasOS2) {
            for (uint8_t c : face.vendor)
                vendor.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
        }
        putJsonString(out, vendor);
        char stamp[64];
        std::snprintf(stamp, sizeof stamp, "%u.%u", face.revisionMajor, face.revisionMinor);
        out << ", \"revision\": \"" << stamp << "\", \"created\": \"";
        for (uint8_t b : face.created) {
            std::snprintf(stamp, sizeof stamp, "%02X", b);
            out << stamp;
        }
        out << "\", \"postscript\": ";
        putJsonString(out, face.postScriptName());
        out << ", \"names\": [";
        bool first = true;
        for (const TT_name_rec &rec : face.names.records) {
            std::string text;
            if (!(rec.name == 1 || rec.name == 2 || rec.name == 4 || rec.name == 6 || rec.name == 16 ||
                  rec.name == 17) || !nameToUtf8(rec, &text))
                continue;
            out << (first ? "\n    " : ",\n    ") << "[" << rec.platform << ", " << rec.encoding << ", "
                << rec.language << ", " << rec.name << ", ";
            putJsonString(out, text);
            out << "]";
            first = false;
        }
        out << "]}";
    }
    out << "]}" << std::endl;
    return 0;
}

// The faces of several files in one run: one JSON object a file, in the
// order given; a file that cannot be read gives {"error": "<the line
// that a run on it alone would print>"} in its place.
int cmdFacesOfFiles(int count, char **paths)
{
    int status = 0;
    for (int i = 0; i < count; ++i) {
        std::ostringstream diag;
        if (!std::ifstream(paths[i], std::ios::in | std::ios::binary).is_open())
            diag << "sfnttool: cannot open " << paths[i] << std::endl;
        else if (cmdFaces(paths[i], diag) == 0)
            continue;
        std::string line = diag.str();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        std::cout << "{\"error\": ";
        putJsonString(std::cout, line);
        std::cout << "}" << std::endl;
        status = 1;
    }
    return status;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const std::string cmd = argv[1];
    const char *path = argv[2];
    int rest = argc - 3;
    char **more = argv + 3;

    if (cmd == "name")
        return cmdName(path, rest, more);
    if (cmd == "embed")
        return cmdEmbed(path, rest, more);
    if (cmd == "faces" && rest > 0)
        return cmdFacesOfFiles(argc - 2, argv + 2);
    if (rest != 0)
        return usage();
    if (cmd == "maker") {
        if (!openable(path))
            return 2;
        std::cout << IsMakerFont(path) << "\n";
        return 0;
    }
    if (cmd == "dump")
        return openable(path) ? cmdDump(path) : 2;
    if (cmd == "faces")
        return openable(path) ? cmdFaces(path, std::cerr) : 2;
    if (cmd == "check")
        return openable(path) ? cmdCheck(path) : 2;
    return usage();
}
