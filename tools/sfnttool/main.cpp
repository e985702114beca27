// tools/sfnttool/main.cpp - inspect and change font files with the sfnt
// library, the way the installer does.
//
//   sfnttool name FILE [PLATFORM ENCODING LANGUAGE NAMEID]
//   sfnttool maker FILE
//   sfnttool embed FILE [VALUE]
//   sfnttool dump FILE
//   sfnttool check FILE
//
// Exit status: 0 done, 1 the answer is "no" (no such name, a failed
// rewrite, a checksum that does not hold), 2 bad arguments or no such file.
#include "base/stream.h"
#include "sfnt/checksum.h"
#include "sfnt/container.h"
#include "sfnt/embed.h"
#include "sfnt/head.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"
#include "sfnt/os2.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char USAGE[] =
    "usage: sfnttool name FILE [PLATFORM ENCODING LANGUAGE NAMEID] | maker FILE | "
    "embed FILE [VALUE] | dump FILE | check FILE";

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
    int result = SetEmbeddingType(path, value);
    std::cout << result << "\n";
    return result == -1 ? 1 : 0;
}

// Offset of the font that the name lookup would read: the first font of a
// collection, else 0; -1 when the collection points nowhere.
int64_t firstFontOffset(std::istream &in)
{
    TT_CollectionHeader ttc;
    in.seekg(0);
    if (ttc.read(in) > 0)
        return ttc.offsetOf(0);
    return 0;
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
        int64_t fileSize = StreamSize(in);
        int64_t fontOffset = firstFontOffset(in);
        if (fontOffset < 0) {
            std::cerr << "sfnttool: " << path << ": collection without a usable first font" << std::endl;
            return 1;
        }
        in.seekg(fontOffset);
        TT_FontDirectory dir;
        dir.read(in);
        dir.dump(std::cout);
        const int64_t dirEnd = fontOffset + dir.byteSize();

        struct Section { uint32_t tag; TT_Table *table; };
        TT_OS2 os2;
        TT_head head;
        TT_name name;
        const Section sections[] = {{TAG_OS2, &os2}, {TAG_head, &head}, {TAG_name, &name}};
        int status = 0;
        for (const Section &s : sections) {
            const TT_TableDirectory *rec = dir.find(s.tag);
            char tag[5];
            TagToString(s.tag, tag);
            if (!rec)
                continue;
            if (!rec->rangeFits(fileSize, fontOffset, dirEnd)) {
                std::cout << "# '" << tag << "' table lies outside the file" << std::endl;
                status = 1;
                continue;
            }
            if (s.tag != TAG_name)
                std::cout << "# '" << tag << "' table profile" << std::endl;
            in.seekg(rec->offset);
            s.table->read(in);
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
        TT_CollectionHeader ttc;
        int fonts = ttc.read(in);
        int bad = 0;
        if (fonts > 0) {
            // A collection: each font's tables; there is no whole-file sum.
            for (int i = 0; i < fonts; ++i) {
                int64_t at = ttc.offsetOf(i);
                if (at < 0) {
                    std::cout << "font " << i << ": offset out of range" << std::endl;
                    ++bad;
                    continue;
                }
                in.seekg(at);
                TT_FontDirectory dir;
                dir.read(in);
                bad += checkTables(in, dir, fileSize, at);
            }
            return bad ? 1 : 0;
        }
        in.seekg(0);
        TT_FontDirectory dir;
        dir.read(in);
        bad += checkTables(in, dir, fileSize, 0);
        if (dir.find(TAG_head)) {
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
    if (cmd == "check")
        return openable(path) ? cmdCheck(path) : 2;
    return usage();
}
