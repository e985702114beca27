// base/strmap.cpp - the STRMAP text: the string id of each package key.
#include "base/strmap.h"

#include "base/stream.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

unsigned findStrmapId(const char *text, size_t size, const char *key)
{
    if (!text || !key)
        return 0;
    std::istringstream in(std::string(text, size));
    BigEndianReader reader(&in);
    char line[kStrmapLineSize];
    const size_t keyLength = std::strlen(key);
    while (reader.readLine(line, sizeof line) > 0) {
        const char *p = line;
        while (*p == '=')
            ++p;
        const char *end = std::strchr(p, '=');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length == 0 || keyLength != length || std::strncmp(p, key, length) != 0)
            continue;
        return end ? static_cast<unsigned>(std::atoi(end + 1)) : 0;
    }
    return 0;
}
