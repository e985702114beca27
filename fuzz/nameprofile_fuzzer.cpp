// fuzz/nameprofile_fuzzer.cpp - the text profile of the 'name' table, and
// the binary table written from it and read back.
#include "fuzz/fuzz_common.h"
#include "sfnt/locator.h"
#include "sfnt/name.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::istringstream in(bytesOf(data, size));
    TT_name table;
    table.readProfile(in);
    table.writeProfile(nullStream());

    std::stringstream binary;
    table.write(binary);
    binary.seekg(0);
    TT_name back;
    withStreamErrors(0, [&] { return back.read(binary); });
    return 0;
}
