// platform/opener.cpp - the ".otf" opener from the file-type registration.
#include "platform/opener.h"

#include "base/handles.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

const int kOpenerValueSize = 256;

// The default value of HKEY_CLASSES_ROOT\path into buffer (size bytes, NUL
// included); false when the key or a non-empty value is missing.
bool readClassString(const char *path, char *buffer, DWORD size)
{
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
        key.release();  // whatever a failed open left there is no key
        return false;
    }
    DWORD bytes = size - 1, type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &bytes) !=
        ERROR_SUCCESS)
        return false;
    buffer[bytes < size ? bytes : size - 1] = '\0';
    return buffer[0] != '\0';
}

}  // namespace

bool findOtfOpener(char *buffer)
{
    char typeName[kOpenerValueSize];
    if (!readClassString(".otf", typeName, sizeof typeName))
        return false;

    std::string commandKey = std::string(typeName) + "\\shell\\open\\command";
    char command[kOpenerValueSize];
    if (!readClassString(commandKey.c_str(), command, sizeof command))
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
