// base/path.cpp - splitting, joining and comparing Windows paths.
#include "base/path.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

bool noLeadBytes(unsigned char)
{
    return false;
}

// The lead-byte ranges of the double-byte code pages Windows ships.
bool leadByte932(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool leadByteWide(unsigned char c)  // 936, 949 and 950
{
    return c >= 0x81 && c <= 0xFE;
}

#ifdef _WIN32
bool systemLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}
#endif

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

LeadByteFn ansiLeadBytes()
{
#ifdef _WIN32
    return systemLeadByte;
#else
    return noLeadBytes;
#endif
}

LeadByteFn leadBytesOf(unsigned codePage)
{
    switch (codePage) {
    case 932:
        return leadByte932;
    case 936:
    case 949:
    case 950:
        return leadByteWide;
    default:
        return noLeadBytes;
    }
}

const char *nextChar(const char *p, LeadByteFn isLead)
{
    if (*p == '\0')
        return p;
    if (isLead(static_cast<unsigned char>(*p)) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

PathParts splitPath(const char *path, LeadByteFn isLead)
{
    PathParts parts;
    if (!path)
        return parts;
    const char *p = path;
    if (p[0] != '\0' && !isLead(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        parts.drive.assign(p, 2);
        p += 2;
    }
    const char *nameStart = p;
    for (const char *q = p; *q; q = nextChar(q, isLead)) {
        if (isSeparator(*q))
            nameStart = q + 1;
    }
    parts.dir.assign(p, nameStart - p);
    const char *ext = FileExtension(nameStart, isLead);
    parts.fname.assign(nameStart, ext - nameStart);
    parts.ext = ext;
    return parts;
}

const char *FileExtension(const char *path, LeadByteFn isLead)
{
    const char *dot = nullptr;
    const char *q = path;
    for (; *q; q = nextChar(q, isLead)) {
        if (isSeparator(*q))
            dot = nullptr;
        else if (*q == '.')
            dot = q;
    }
    return dot ? dot : q;
}

bool endsWithSeparator(const char *path, LeadByteFn isLead)
{
    const char *last = nullptr;
    for (const char *q = path; *q; q = nextChar(q, isLead))
        last = q;
    return last && isSeparator(*last);
}

const char *findSeparator(const char *p, LeadByteFn isLead)
{
    for (; *p; p = nextChar(p, isLead)) {
        if (*p == '\\')
            return p;
    }
    return nullptr;
}

bool EqualsIgnoreCase(const char *a, const char *b, LeadByteFn isLead)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    while (*a && *b) {
        const char *nextA = nextChar(a, isLead);
        const char *nextB = nextChar(b, isLead);
        if (nextA - a != nextB - b)
            return false;
        if (nextA - a == 1) {
            if (lower(static_cast<unsigned char>(*a)) != lower(static_cast<unsigned char>(*b)))
                return false;
        } else if (a[0] != b[0] || a[1] != b[1]) {
            return false;
        }
        a = nextA;
        b = nextB;
    }
    return *a == *b;
}

size_t fitChars(const char *text, size_t maxBytes, LeadByteFn isLead)
{
    const char *p = text;
    while (*p) {
        const char *next = nextChar(p, isLead);
        if (static_cast<size_t>(next - text) > maxBytes)
            break;
        p = next;
    }
    return static_cast<size_t>(p - text);
}

bool isDeviceName(const char *name)
{
    // The name before its first dot, spaces at its end dropped, as the
    // system reads it: "NUL.ttf" and "com1 .otf" are devices too.
    size_t len = std::strcspn(name, ".");
    while (len > 0 && name[len - 1] == ' ')
        --len;
    static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char *device : kDevices) {
        if (len == 3 && EqualsIgnoreCase(std::string(name, len).c_str(), device, noLeadBytes))
            return true;
    }
    if (len != 4 || name[3] < '1' || name[3] > '9')
        return false;
    std::string port(name, 3);
    return EqualsIgnoreCase(port.c_str(), "COM", noLeadBytes) || EqualsIgnoreCase(port.c_str(), "LPT", noLeadBytes);
}

bool isPlainFileName(const char *name, LeadByteFn isLead)
{
    if (name[0] == '\0' || std::strstr(name, ".."))
        return false;
    const char *last = name;
    for (const char *p = name; *p; p = nextChar(p, isLead)) {
        last = p;
        // The second byte of a double-byte character may be any of these
        // bytes; it is part of a letter, not a separator or a wildcard.
        if (nextChar(p, isLead) != p + 1)
            continue;
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || std::strchr("<>:\"/\\|?*", c))
            return false;
    }
    // The system drops a dot or a space at the end: another name than asked.
    if (last[1] == '\0' && (*last == '.' || *last == ' '))
        return false;
    return !isDeviceName(name);
}

bool copyWhole(char *out, size_t capacity, const std::string &text)
{
    if (capacity == 0)
        return false;
    if (text.size() >= capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}
