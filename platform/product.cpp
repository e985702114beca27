// platform/product.cpp - binding of the product module and lookups across modules.
#include "platform/product.h"

#include "base/path.h"
#include "base/stream.h"
#include "base/strmap.h"
#include "base/system.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

const char kInstallerTitle[] = "Korimaru Installer";
// A name-map file larger than this is not a name map; the resource is used.
const long kMaxNameMapFile = 16L * 1024 * 1024;

}  // namespace

// Drive and directory of the file of module (with its trailing backslash).
bool moduleFolder(HMODULE module, char *drive, char *dir)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return false;
    PathParts parts = splitPath(path);
    return copyWhole(drive, _MAX_DRIVE, parts.drive) && copyWhole(dir, _MAX_DIR, parts.dir);
}

// "%s%s%s" of the three parts into out; false when it would not fit.
bool joinPath(char *out, size_t size, const char *a, const char *b, const char *c)
{
    int n = std::snprintf(out, size, "%s%s%s", a, b, c);
    return n >= 0 && static_cast<size_t>(n) < size;
}

UINT lookupStringId(HMODULE module, const char *key)
{
    DWORD size = 0;
    const char *bytes = findTextResource(module, "STRMAP", &size);
    if (!bytes || size == 0)
        return 0;

    return findStrmapId(bytes, size, key);
}

char *findProductString(const ModuleChain &chain, const char *key, char *buffer, int size)
{
    for (size_t i = 0; i < chain.size(); ++i) {
        HMODULE module = chain.fromLast(i);
        UINT id = lookupStringId(module, key);
        if (id != 0 && LoadStringA(module, id, buffer, size) > 0)
            return buffer;
    }
    return nullptr;
}

char *findProductTextResource(const ModuleChain &chain, const char *name)
{
    for (size_t i = 0; i < chain.size(); ++i) {
        DWORD size = 0;
        if (const char *bytes = findTextResource(chain.fromLast(i), name, &size))
            return copyText(bytes, size);
    }
    return nullptr;
}

HBITMAP findProductBitmap(const ModuleChain &chain, const char *name)
{
    for (size_t i = 0; i < chain.size(); ++i) {
        if (HBITMAP bitmap = LoadBitmapA(chain.fromLast(i), name))
            return bitmap;
    }
    return nullptr;
}

FARPROC findProductExport(const ModuleChain &chain, const char *name, HMODULE *from)
{
    for (size_t i = 0; i < chain.size(); ++i) {
        HMODULE module = chain.fromLast(i);
        if (!module)
            continue;
        if (FARPROC fn = GetProcAddress(module, name)) {
            if (from)
                *from = module;
            return fn;
        }
    }
    return nullptr;
}

char getProductFontType(const ModuleChain &chain)
{
    char type[kFontTypeSize];
    if (!findProductString(chain, "PRODUCT_FONTTYPE", type, sizeof type))
        return 0;
    return type[0];
}

char findProductDisc(const ModuleChain &chain)
{
    char names[kCdromNameSize];
    if (!findProductString(chain, "PRODUCT_CDROM_NAME", names, sizeof names))
        return 0;

    DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(mask & (1u << (letter - 'A'))) || isFloppyDriveLetter(letter))
            continue;
        char label[MAX_PATH];
        if (!getVolumeLabel(letter, label, sizeof label))
            continue;
        const char *p = names;
        while (*p) {
            const char *comma = std::strchr(p, ',');
            size_t length = comma ? static_cast<size_t>(comma - p) : std::strlen(p);
            std::string token(p, length);
            if (!token.empty() && lstrcmpiA(token.c_str(), label) == 0)
                return letter;
            p += length + (comma ? 1 : 0);
        }
    }
    return 0;
}

char requestProductDisc(const ModuleChain &chain)
{
    for (;;) {
        if (char letter = findProductDisc(chain))
            return letter;
        char prompt[kRequestCdSize];
        if (!findProductString(chain, "PRODUCT_REQUEST_CD", prompt, sizeof prompt))
            prompt[0] = '\0';
        // Only OK looks again: a prompt that could not be shown (no window
        // can be created) gives 0 and ends the search as Cancel does, where
        // asking again would loop for ever.
        if (MessageBoxA(nullptr, prompt, kInstallerTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return 0;
        Sleep(1000);
    }
}

std::unique_ptr<std::istream> FileOpener::open(const char *path) const
{
    std::unique_ptr<std::ifstream> file(new std::ifstream(path, std::ios::in | std::ios::binary));
    if (!file->is_open())
        return nullptr;
    return file;
}

char *loadNameMapText(const ModuleChain &chain, const FileOpener &files)
{
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[kNameMapFileSize], path[MAX_PATH];
    if (moduleFolder(nullptr, drive, dir) &&
        findProductString(chain, "PRODUCT_NAMEMAP", name, sizeof name) &&
        joinPath(path, sizeof path, drive, dir, name)) {
        std::unique_ptr<std::istream> file = files.open(path);
        int64_t size = file ? StreamSize(*file) : -1;
        if (size >= 0 && size <= kMaxNameMapFile) {
            std::unique_ptr<char[]> text(new char[size + 1]);
            file->read(text.get(), size);
            if (file->gcount() == size) {
                text[size] = '\0';
                return text.release();
            }
        }
    }
    return findProductTextResource(chain, "NameMap.csv");
}
