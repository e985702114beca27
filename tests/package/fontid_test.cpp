// The product module's stream-free identity reader (product/fontid.cpp)
// against the sfnt library's face reader: on the seed fonts and on many
// damaged forms of them, both read the same first face or both refuse it.
#include "product/fontid.h"
#include "sfnt/identity.h"
#include "tests/sfnt/font_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

bool readFrom(void *context, uint32_t offset, void *buffer, uint32_t size)
{
    const std::string &bytes = *static_cast<const std::string *>(context);
    if (uint64_t(offset) + size > bytes.size())
        return false;
    std::memcpy(buffer, bytes.data() + offset, size);
    return true;
}

// Fails the test where the two readers disagree about bytes; what names
// the case in the failure message.
void expectSameIdentity(const std::string &bytes, const std::string &what)
{
    TempFile file(bytes);
    std::vector<FontFace> faces;
    bool libraryRead = ReadFontFaces(file.path(), &faces, 1) == 1;
    FontIdentity id;
    bool read = ReadFontIdentity(readFrom, const_cast<std::string *>(&bytes), static_cast<uint32_t>(bytes.size()),
                                 &id);
    ASSERT_EQ(libraryRead, read) << what;
    if (!read)
        return;
    const FontFace &face = faces[0];
    ASSERT_EQ(face.hasOS2, id.hasOS2) << what;
    ASSERT_EQ(face.hasHead, id.hasHead) << what;
    if (face.hasOS2) {
        ASSERT_EQ(0, std::memcmp(face.vendor, id.vendor, 4)) << what;
    }
    if (face.hasHead) {
        ASSERT_EQ(face.revisionMajor, id.revisionMajor) << what;
        ASSERT_EQ(face.revisionMinor, id.revisionMinor) << what;
        ASSERT_EQ(0, std::memcmp(face.created, id.created, 8)) << what;
    }
    // A name too long for the buffer is none: it can match no package font.
    std::string postscript = face.postScriptName();
    ASSERT_EQ(postscript.size() < sizeof id.postscript ? postscript : std::string(), id.postscript) << what;
    // The name that the module hands the installer is the one the installer
    // reads itself (it matches installed fonts by it), or none.
    char installer[FONT_NAME_SIZE];
    face.postScriptName(installer);
    if (const char *given = InstallerPostScriptName(id)) {
        ASSERT_STREQ(installer, given) << what;
    }
}

std::vector<std::string> seedFonts()
{
    std::vector<std::string> fonts;
    DIR *dir = opendir(FI_FONT_CORPUS);
    if (dir) {
        while (dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(std::string(FI_FONT_CORPUS) + "/" + e->d_name, std::ios::binary);
            fonts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        closedir(dir);
    }
    fonts.push_back(BuildMinimalFont(0));
    fonts.push_back(BuildMinimalFont(1));
    // Only a Windows name, a Japanese Macintosh one, and an empty Macintosh
    // English one before it.
    fonts.push_back(BuildFont({{"OS/2", BuildOS2(2, 0, "ZORV")},
                               {"head", BuildHead()},
                               {"name", BuildName({{3, 1, 1033, 6, std::string("\0Q\0X\0-\0W", 8)}})}}));
    fonts.push_back(BuildFont({{"OS/2", BuildOS2(4, 0, "ZORV")},
                               {"head", BuildHead()},
                               {"name", BuildName({{1, 0, 0, 6, std::string("\0x", 2)},
                                                   {1, 0, 1041, 6, "QXJapan-W3"}})}}));
    fonts.push_back(BuildCollection({BuildMinimalFont(3), BuildMinimalFont(0)}));
    // Names about the length where the installer cuts a Macintosh name
    // (126 bytes) and keeps a Windows one whole (127), one with a NUL in it.
    auto windowsName = [](size_t length) {
        std::string utf16;
        for (size_t i = 0; i < length; ++i)
            utf16 += std::string("\0", 1) + static_cast<char>('A' + i % 26);
        return utf16;
    };
    for (size_t length : {125, 126, 127, 128, 200}) {
        fonts.push_back(BuildFont({{"OS/2", BuildOS2(2, 0, "ZORV")},
                                   {"head", BuildHead()},
                                   {"name", BuildName({{1, 0, 0, 6, std::string(length, 'M')}})}}));
        fonts.push_back(BuildFont({{"OS/2", BuildOS2(2, 0, "ZORV")},
                                   {"head", BuildHead()},
                                   {"name", BuildName({{3, 1, 1033, 6, windowsName(length)}})}}));
    }
    fonts.push_back(BuildFont({{"OS/2", BuildOS2(2, 0, "ZORV")},
                               {"head", BuildHead()},
                               {"name", BuildName({{1, 0, 0, 6, std::string("QXNul") + std::string(1, '\0') +
                                                                   std::string(140, 'X')}})}}));
    return fonts;
}

TEST(FontIdentity, ReadsWhatTheLibraryReads)
{
    std::vector<std::string> fonts = seedFonts();
    ASSERT_GE(fonts.size(), 12u) << "the fuzz corpus fonts are missing";
    for (size_t i = 0; i < fonts.size(); ++i)
        expectSameIdentity(fonts[i], "seed " + std::to_string(i));
}

TEST(FontIdentity, RefusesWhatTheLibraryRefuses)
{
    std::mt19937 random(20240519);
    std::vector<std::string> fonts = seedFonts();
    for (size_t i = 0; i < fonts.size(); ++i) {
        const std::string &font = fonts[i];
        if (font.size() > 64 * 1024)
            continue;
        std::string name = "seed " + std::to_string(i);
        // Cut off: in the header, the directory and every table.
        for (size_t cut = 0; cut < font.size(); cut += cut < 400 ? 3 : 97)
            expectSameIdentity(font.substr(0, cut), name + " cut at " + std::to_string(cut));
        // Damaged: header and directory fields, then bytes anywhere, set to
        // values that reach the edges (0, 0xFF, small and large numbers).
        const uint8_t values[] = {0x00, 0xFF, 0x01, 0x7F, 0x80, 0x10};
        size_t head = std::min<size_t>(font.size(), 12 + 16 * 12 + 64);
        for (size_t at = 0; at < head; ++at) {
            for (uint8_t v : values) {
                std::string damaged = font;
                damaged[at] = static_cast<char>(v);
                expectSameIdentity(damaged, name + " byte " + std::to_string(at) + " = " + std::to_string(v));
            }
        }
        for (int n = 0; n < 300; ++n) {
            std::string damaged = font;
            for (int k = 0; k < 3; ++k)
                damaged[random() % damaged.size()] = static_cast<char>(values[random() % 6]);
            expectSameIdentity(damaged, name + " random " + std::to_string(n));
        }
    }
}

}  // namespace
