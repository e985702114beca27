// catalogue/atm.cpp - Adobe Type Manager's font list and folder, the ".otf"
// opener and the folder chooser.
#include "catalogue/atm.h"

#include "base/handles.h"
#include "base/path.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

const char kAtmIni[] = "atm.ini";
const char kOpenTypeSection[] = "OpenTypeFonts";
const char kSetupSection[] = "Setup";
const char kPfbDir[] = "PFB_DIR";
const char kAtmSetupKey[] = "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup";
const char kErrorPath[] = "ERROR";
// The Windows directory is read into this many chars.
const int kWindowsDirSize = 256;
// Registry values of the ".otf" association are read up to this size.
const int kOpenerValueSize = 256;

// Opens path below root for reading into key; false when it cannot be opened.
bool openKey(HKEY root, const char *path, OwnedKey *key)
{
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key->receive()) == ERROR_SUCCESS)
        return true;
    key->release();  // whatever a failed open left there is no key
    return false;
}

// The string value name (nullptr: the default value) of key into buffer of size
// chars, always NUL-terminated; false when missing, empty or too long.
bool getString(const OwnedKey &key, const char *name, char *buffer, DWORD size)
{
    DWORD bytes = size - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &bytes) !=
        ERROR_SUCCESS)
        return false;
    buffer[bytes < size ? bytes : size - 1] = '\0';
    return buffer[0] != '\0';
}

bool systemProfileWriter(const char *section, const char *key, const char *value, const char *file)
{
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

AtmProfileWriter g_profileWriter = systemProfileWriter;

}  // namespace

AtmProfileWriter setAtmProfileWriter(AtmProfileWriter writer)
{
    AtmProfileWriter previous = g_profileWriter;
    g_profileWriter = writer ? writer : systemProfileWriter;
    return previous;
}

char *atmProfilePath(const char *name, char *buffer)
{
    char dir[kWindowsDirSize];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        return nullptr;
    if (!name || (lstrcmpiA(name, "atm.ini") != 0 && lstrcmpiA(name, "atmdata.dat") != 0 &&
                  lstrcmpiA(name, "win.ini") != 0))
        return nullptr;
    int len = std::snprintf(buffer, kAtmPathSize, "%s\\%s", dir, name);
    if (len < 0 || len >= kAtmPathSize)
        return nullptr;
    return buffer;
}

char *ensureAtmProfile(const char *name, char *buffer)
{
    if (!atmProfilePath(name, buffer))
        return nullptr;
    if (GetFileAttributesA(buffer) != INVALID_FILE_ATTRIBUTES)
        return buffer;
    const DWORD access = GENERIC_READ | GENERIC_WRITE;
    OwnedFile file(CreateFileA(buffer, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    // Windows 95/98/Me know no delete sharing and refuse the flag.
    if (!file && GetLastError() == ERROR_INVALID_PARAMETER)
        file.reset(CreateFileA(buffer, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!file)
        return GetLastError() == ERROR_FILE_EXISTS ? buffer : nullptr;
    return buffer;
}

int listAtmOpenTypeFonts(std::string *names, std::string *paths)
{
    char profile[kAtmPathSize];
    if (!atmProfilePath(kAtmIni, profile))
        return 0;
    std::unique_ptr<char[]> keys(new (std::nothrow) char[kAtmKeyListSize]);
    if (!keys)
        return 0;
    DWORD n = GetPrivateProfileStringA(kOpenTypeSection, nullptr, "", keys.get(), kAtmKeyListSize,
                                       profile);
    if (n >= static_cast<DWORD>(kAtmKeyListSize))
        n = kAtmKeyListSize - 1;
    keys[n] = '\0';

    int count = 0;
    // The names lie one after another, each ended by a NUL; a list cut at
    // the buffer's end ends in the middle of a name, which is still listed.
    for (DWORD pos = 0; pos < n && keys[pos] != '\0';) {
        const char *name = keys.get() + pos;
        size_t len = std::strlen(name);
        pos += static_cast<DWORD>(len) + 1;
        if (name[0] == '@')
            continue;
        char value[kAtmPathSize];
        DWORD got = GetPrivateProfileStringA(kOpenTypeSection, name, "", value, sizeof value,
                                             profile);
        names->append(name, len);
        names->push_back('\n');
        paths->append(got > 0 && value[0] != '\0' ? value : kErrorPath);
        paths->push_back('\n');
        ++count;
    }
    return count;
}

bool writeAtmOpenTypeFont(const char *name, const char *path)
{
    if (!name || name[0] == '\0')
        return false;
    char companion[kAtmCompanionSize];
    int len = std::snprintf(companion, sizeof companion, "@%s", name);
    if (len < 0 || len >= static_cast<int>(sizeof companion))
        return false;
    char profile[kAtmPathSize];
    if (!ensureAtmProfile(kAtmIni, profile))
        return false;

    // The name key is what lists the font, so it is written last and
    // removed first: an interruption between the two writes leaves at most
    // a companion key without its font, never a font without its companion.
    bool adding = path && path[0] != '\0';
    if (!adding) {
        if (!g_profileWriter(kOpenTypeSection, name, nullptr, profile))
            return false;
        return g_profileWriter(kOpenTypeSection, companion, nullptr, profile);
    }

    PathParts parts = splitPath(path);
    std::string where = parts.drive + parts.dir + "|" + parts.fname + parts.ext;
    if (!g_profileWriter(kOpenTypeSection, companion, where.c_str(), profile))
        return false;
    if (g_profileWriter(kOpenTypeSection, name, path, profile))
        return true;
    g_profileWriter(kOpenTypeSection, companion, nullptr, profile);
    return false;
}

char *getAtmOpenTypeFontPath(const char *name, char *buffer)
{
    char profile[kAtmPathSize];
    if (!name || name[0] == '\0' || !atmProfilePath(kAtmIni, profile))
        return nullptr;
    DWORD n = GetPrivateProfileStringA(kOpenTypeSection, name, "", buffer, kAtmPathSize, profile);
    return n > 0 && buffer[0] != '\0' ? buffer : nullptr;
}

char *getAtmPfbDirFromProfile(char *buffer)
{
    char profile[kAtmPathSize];
    if (!atmProfilePath(kAtmIni, profile))
        return nullptr;
    DWORD n = GetPrivateProfileStringA(kSetupSection, kPfbDir, "", buffer, kAtmPathSize, profile);
    return (n > 0 && buffer[0] != '\0') ? buffer : nullptr;
}

char *getAtmPfbDirFromRegistry(char *buffer)
{
    OwnedKey key;
    if (!openKey(HKEY_LOCAL_MACHINE, kAtmSetupKey, &key))
        return nullptr;
    // One char more than the caller's buffer: a value that fills it without
    // its NUL is too long and is not cut.
    char value[kAtmPathSize + 1];
    if (!getString(key, kPfbDir, value, sizeof value) ||
        !copyWhole(buffer, kAtmPathSize, value))
        return nullptr;
    return buffer;
}

bool findOtfOpener(char *buffer)
{
    char typeName[kOpenerValueSize];
    OwnedKey extension;
    if (!openKey(HKEY_CLASSES_ROOT, ".otf", &extension) ||
        !getString(extension, nullptr, typeName, sizeof typeName))
        return false;

    std::string commandKey = std::string(typeName) + "\\shell\\open\\command";
    char command[kOpenerValueSize];
    OwnedKey open;
    if (!openKey(HKEY_CLASSES_ROOT, commandKey.c_str(), &open) ||
        !getString(open, nullptr, command, sizeof command))
        return false;

    // The program is the first piece between double quotes, leading quotes
    // skipped; an unquoted command line is taken whole.
    const char *start = command;
    while (*start == '"')
        ++start;
    const char *end = std::strchr(start, '"');
    size_t len = end ? static_cast<size_t>(end - start) : std::strlen(start);
    if (len == 0)
        return false;
    std::memcpy(buffer, start, len);
    buffer[len] = '\0';
    return true;
}

bool browseForFolder(char *buffer, int capacity)
{
    ComRef<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.receive())) || !allocator)
        return false;
    char path[MAX_PATH];
    std::memset(path, 0, sizeof path);

    for (;;) {
        LPITEMIDLIST rootList = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &rootList)) || !rootList)
            return false;
        OwnedItemList root(allocator.get(), rootList);
        BROWSEINFOA info;
        std::memset(&info, 0, sizeof info);
        info.hwndOwner = nullptr;
        info.pidlRoot = root.get();
        info.pszDisplayName = path;
        info.lpszTitle = "";
        info.ulFlags = 0;
        OwnedItemList item(allocator.get(), SHBrowseForFolderA(&info));
        if (!item.get())
            return false;

        BOOL converted = SHGetPathFromIDListA(item.get(), path);
        DWORD attributes = converted ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (capacity > 0) {
                // At most capacity - 1 bytes, never half a double-byte character.
                size_t n = fitChars(path, static_cast<size_t>(capacity) - 1);
                std::memcpy(buffer, path, n);
                buffer[n] = '\0';
            }
            return true;
        }
        MessageBoxA(nullptr, "Not a file directory", "Warning", MB_OK | MB_ICONWARNING);
    }
}
