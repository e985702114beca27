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

}  // namespace

extern "C" __declspec(dllexport) BYTE IsMyFontFile(const char *path)
{
    if (!path)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    OpenFont font;
    font.file = file;
    font.held = 0;
    if (!ReadFile(file, font.start, sizeof font.start, &font.held, nullptr))
        font.held = 0;
    FontIdentity face;
    bool read = size != INVALID_FILE_SIZE && high == 0 && ReadFontIdentity(readAt, &font, size, &face);
    CloseHandle(file);
    if (!read || !face.hasOS2 || !face.hasHead)
        return 0;
    // The first font of that name, then each of the same name after it.
    const PackageFont *const *sorted = sortedFonts();
    size_t low = 0, end = kFontCount;
    while (low < end) {
        size_t mid = low + (end - low) / 2;
        if (strcmp(sorted[mid]->postscript, face.postscript) < 0)
            low = mid + 1;
        else
            end = mid;
    }
    for (size_t i = low; i < kFontCount && strcmp(sorted[i]->postscript, face.postscript) == 0; ++i) {
        const PackageFont &font = *sorted[i];
        if (memcmp(face.vendor, font.vendor, 4) == 0 && face.revisionMajor == font.revisionMajor &&
            face.revisionMinor == font.revisionMinor && memcmp(face.created, font.created, 8) == 0)
            return 1;
    }
    return 0;
}
