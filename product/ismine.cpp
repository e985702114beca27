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
// checksums, never these. The file is read with the system's file calls
// and product/fontid.cpp, so that the module carries no C++ library.
#include "product/contract.h"
#include "product/fontid.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

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

// The file being asked about, with its first bytes read at once: the
// directory and the small tables that identify a font mostly lie there.
struct OpenFont {
    HANDLE file;
    uint8_t start[16384];
    DWORD held;  // bytes of start read
};

bool readAt(void *context, uint32_t offset, void *buffer, uint32_t size)
{
    const OpenFont *font = static_cast<const OpenFont *>(context);
    if (offset <= font->held && size <= font->held - offset) {
        memcpy(buffer, font->start + offset, size);
        return true;
    }
    HANDLE file = font->file;
    // The high half given, so that the low one counts as unsigned.
    LONG high = 0;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    DWORD got = 0;
    return ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

const size_t kFontCount = sizeof kPackageFonts / sizeof kPackageFonts[0];

int byPostScriptName(const void *a, const void *b)
{
    return strcmp((*static_cast<const PackageFont *const *>(a))->postscript,
                  (*static_cast<const PackageFont *const *>(b))->postscript);
}

// The package's fonts by PostScript name, sorted at the first call: the
// installer asks once for every installed font, and a package may hold
// thousands.
const PackageFont *const *sortedFonts()
{
    static const PackageFont *sorted[kFontCount];
    static bool ready = false;
    if (!ready) {
        for (size_t i = 0; i < kFontCount; ++i)
            sorted[i] = &kPackageFonts[i];
        qsort(sorted, kFontCount, sizeof sorted[0], byPostScriptName);
        ready = true;
    }
    return sorted;
}

// Whether the file at path is one of this package's fonts; face is what
// was read of it.
bool isPackageFont(const char *path, FontIdentity *face)
{
    if (!path)
        return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    OpenFont font;
    font.file = file;
    font.held = 0;
    if (!ReadFile(file, font.start, sizeof font.start, &font.held, nullptr))
        font.held = 0;
    bool read = size != INVALID_FILE_SIZE && high == 0 && ReadFontIdentity(readAt, &font, size, face);
    CloseHandle(file);
    if (!read || !face->hasOS2 || !face->hasHead)
        return false;
    // The first font of that name, then each of the same name after it.
    const PackageFont *const *sorted = sortedFonts();
    size_t low = 0, end = kFontCount;
    while (low < end) {
        size_t mid = low + (end - low) / 2;
        if (strcmp(sorted[mid]->postscript, face->postscript) < 0)
            low = mid + 1;
        else
            end = mid;
    }
    for (size_t i = low; i < kFontCount && strcmp(sorted[i]->postscript, face->postscript) == 0; ++i) {
        const PackageFont &known = *sorted[i];
        if (memcmp(face->vendor, known.vendor, 4) == 0 && face->revisionMajor == known.revisionMajor &&
            face->revisionMinor == known.revisionMinor && memcmp(face->created, known.created, 8) == 0)
            return true;
    }
    return false;
}

}  // namespace

extern "C" __declspec(dllexport) BYTE IsMyFontFile(const char *path)
{
    FontIdentity face;
    return isPackageFont(path, &face) ? 1 : 0;
}

// IsMyFontFile that also gives the font's PostScript name as the installer
// would read it from the file, into postscript (size bytes), so that the
// installer need not open the file a second time; an empty name when the
// installer would read another one (see InstallerPostScriptName) or it does
// not fit.
extern "C" __declspec(dllexport) BYTE IdentifyMyFontFile(const char *path, char *postscript, int size)
{
    if (postscript && size > 0)
        postscript[0] = '\0';
    FontIdentity face;
    if (!isPackageFont(path, &face))
        return 0;
    const char *name = InstallerPostScriptName(face);
    size_t length = name ? strlen(name) : 0;
    if (name && postscript && size > 0 && length < static_cast<size_t>(size))
        memcpy(postscript, name, length + 1);
    return 1;
}
