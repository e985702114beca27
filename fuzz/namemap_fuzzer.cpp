// fuzz/namemap_fuzzer.cpp - the name-map parser. The input is the name map;
// after a NUL byte, if there is one, come the column keys that it is read
// with, else the package's own keys.
#include "catalogue/catalogue.h"
#include "fuzz/fuzz_common.h"

#include <cstdlib>

namespace {

const char kPackageKeys[] =
    "NAME_SUITCASE\r\nNAME_MARUKAN\r\nNAME_LOCAL\r\nNAME_ROMAN\r\nNAME_POSTSCRIPT\r\n"
    "NAME_CATEGORY\r\nNAME_LOCAL_SHORT\r\nNAME_REGISTRY\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes = bytesOf(data, size);
    const size_t nul = bytes.find('\0');
    const std::string text = bytes.substr(0, nul);
    const std::string keys = nul == std::string::npos ? kPackageKeys : bytes.substr(nul + 1);

    FontCatalogue catalogue;
    parseNameMap(catalogue, text.c_str(), keys.c_str());
    char value[kPropertySize];
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const FontEntry *entry = catalogue.at(i);
        getProperty(entry, NAME_POSTSCRIPT, value, sizeof value);
        getProperty(entry, NAME_CATEGORY, value, 2);
        entry->getPropertyNumber(SIZE_ALL);
    }
    // The first entry's own PostScript name must find an entry.
    const std::string *first = catalogue.size() > 0 ? catalogue.at(0)->findProperty(NAME_POSTSCRIPT) : nullptr;
    if (first && findEntry(catalogue, NAME_POSTSCRIPT, first->c_str()) == nullptr)
        std::abort();
    return 0;
}
