// fuzz/fuzz_common.h - helpers shared by the fuzz targets.
#ifndef FUZZ_FUZZ_COMMON_H
#define FUZZ_FUZZ_COMMON_H

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <streambuf>
#include <string>

// A stream buffer that drops what is written: the readers' dumps and
// profiles are run for their code, not their text.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char *, std::streamsize n) override { return n; }
};

inline std::ostream &nullStream()
{
    static NullBuffer buffer;
    static std::ostream stream(&buffer);
    return stream;
}

// The diagnostics that the font readers write to standard error go nowhere.
inline void silenceStandardError()
{
    static NullBuffer buffer;
    std::cerr.rdbuf(&buffer);
}

inline std::string bytesOf(const uint8_t *data, size_t size)
{
    return std::string(reinterpret_cast<const char *>(data), size);
}

#endif
