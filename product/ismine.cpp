// product/ismine.cpp - the IsMyFontFile export of a generated package module.
//
// A module made by tools/mkpackage names the fonts of its own package, and
// only those, as the maker's: the installer then counts an installed font
// as one of this package's by asking here instead of by vendor ids and file
// names. The list of the package's fonts comes from the generated
// package_fonts.inc beside the module's other generated sources.
//
// The first font of the file is compared (the one the installer reads the
// PostScript name of) by PostScript name, OS/2 vendor id, head fontRevision
// and head created stamp. Installing a font changes its fsType and its
// checksums, never these.
#include "sfnt/identity.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

struct PackageFont {
    const char *postscript;
    char vendor[4];
    uint16_t revisionMajor;
    uint16_t revisionMinor;
    uint8_t created[8];
};

const PackageFont kPackageFonts[] = {
#include "package_fonts.inc"
};

}  // namespace

extern "C" __declspec(dllexport) BYTE IsMyFontFile(const char *path)
{
    if (!path)
        return 0;
    std::vector<FontFace> faces;
    if (ReadFontFaces(path, &faces, 1) != 1 || !faces[0].hasOS2 || !faces[0].hasHead)
        return 0;
    const FontFace &face = faces[0];
    const std::string postscript = face.postScriptName();
    for (const PackageFont &font : kPackageFonts) {
        if (postscript == font.postscript && std::memcmp(face.vendor, font.vendor, 4) == 0 &&
            face.revisionMajor == font.revisionMajor && face.revisionMinor == font.revisionMinor &&
            std::memcmp(face.created, font.created, 8) == 0)
            return 1;
    }
    return 0;
}
