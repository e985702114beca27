// fuzz/fontfile_fuzzer.cpp - the font-file calls of the installer on a
// temporary copy of the input: GetFontName, IsMakerFont, SetEmbeddingType
// and the faces' identity, and the rewrite on the same bytes in memory.
#include "fuzz/fuzz_common.h"
#include "sfnt/embed.h"
#include "sfnt/identity.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

std::string g_ttf, g_ttc;

void removeCopies()
{
    std::remove(g_ttf.c_str());
    std::remove(g_ttc.c_str());
}

void writeCopy(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceStandardError();
    const char *dir = std::getenv("TMPDIR");
    std::string base = std::string(dir && *dir ? dir : "/tmp") + "/fi-fuzz-" + std::to_string(getpid());
    g_ttf = base + ".ttf";
    g_ttc = base + ".ttc";
    std::atexit(removeCopies);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes = bytesOf(data, size);
    writeCopy(g_ttf, bytes);
    writeCopy(g_ttc, bytes);

    char name[FONT_NAME_SIZE];
    GetFontName(g_ttf.c_str(), 1, 0, 0, 6, name);
    GetFontName(g_ttf.c_str(), 3, 1, 1041, 4, name);
    IsMakerFont(g_ttf.c_str());
    IsMakerFont(g_ttc.c_str());
    // The identity of the faces, by which made packages know their fonts.
    std::vector<FontFace> faces;
    if (ReadFontFaces(g_ttf.c_str(), &faces, 4) > 0)
        faces[0].postScriptName();
    GetWindowsPostScriptName(g_ttf.c_str(), name);
    // The first face as the catalogue reads an installed font.
    FontFace first;
    if (ReadFirstFace(g_ttf.c_str(), &first))
        first.postScriptName(name);

    bool written = false;
    int result = SetEmbeddingType(g_ttf.c_str(), 2, &written);
    if (result > 0 && GetEmbeddingType(g_ttf.c_str()) != 2)
        std::abort();  // a rewrite that reports success must be read back
    std::stringstream memory(bytes);
    RewriteEmbeddingType(memory, 8, &written);
    return 0;
}
