// base/path.cpp - splitting a Windows path into its four parts.
#include "base/path.h"

#include <cstring>

PathParts splitPath(const char *path)
{
    PathParts parts;
    if (!path)
        return parts;
    const char *p = path;
    if (p[0] != '\0' && p[1] == ':') {
        parts.drive.assign(p, 2);
        p += 2;
    }
    const char *nameStart = p;
    for (const char *q = p; *q; ++q) {
        if (*q == '\\' || *q == '/')
            nameStart = q + 1;
    }
    parts.dir.assign(p, nameStart - p);
    const char *dot = std::strrchr(nameStart, '.');
    if (dot) {
        parts.fname.assign(nameStart, dot - nameStart);
        parts.ext = dot;
    } else {
        parts.fname = nameStart;
    }
    return parts;
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
