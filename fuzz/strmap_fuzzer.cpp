// fuzz/strmap_fuzzer.cpp - the STRMAP lookup: the package's keys, the empty
// key and the key of the input's first line.
#include "base/strmap.h"
#include "fuzz/fuzz_common.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    for (const char *key : {"PRODUCT_FONTTYPE", "PRODUCT_NAMEMAP", "PRODUCT_CDROM_NAME", ""})
        findStrmapId(text, size, key);

    // The first line's key (after leading '=') must be found, with the id of
    // that line, when the line is short enough to be read whole.
    const std::string bytes = bytesOf(data, size);
    size_t start = bytes.find_first_not_of("\r\n");
    if (start == std::string::npos)
        return 0;
    size_t end = bytes.find_first_of("\r\n", start);
    std::string line = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.find('\0') != std::string::npos || line.size() >= static_cast<size_t>(kStrmapLineSize))
        return 0;
    size_t keyStart = line.find_first_not_of('=');
    if (keyStart == std::string::npos)
        return 0;
    size_t eq = line.find('=', keyStart);
    std::string key = line.substr(keyStart, eq == std::string::npos ? std::string::npos : eq - keyStart);
    if (key.empty())
        return 0;
    unsigned expected = eq == std::string::npos ? 0u : static_cast<unsigned>(std::atoi(line.c_str() + eq + 1));
    if (findStrmapId(text, size, key.c_str()) != expected)
        std::abort();
    return 0;
}
