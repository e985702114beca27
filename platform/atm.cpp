// platform/atm.cpp - Adobe Type Manager's font list and folder.
#include "platform/atm.h"

#include "base/handles.h"
#include "base/path.h"

#include <windows.h>

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

}  // namespace

bool ProfileWriter::write(const char *section, const char *key, const char *value, const char *file) const
{
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
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

bool writeAtmOpenTypeFont(const char *name, const char *path, const ProfileWriter &writer)
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
        if (!writer.write(kOpenTypeSection, name, nullptr, profile))
            return false;
        return writer.write(kOpenTypeSection, companion, nullptr, profile);
    }

    PathParts parts = splitPath(path);
    std::string where = parts.drive + parts.dir + "|" + parts.fname + parts.ext;
    if (!writer.write(kOpenTypeSection, companion, where.c_str(), profile))
        return false;
    if (writer.write(kOpenTypeSection, name, path, profile))
        return true;
    writer.write(kOpenTypeSection, companion, nullptr, profile);
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
