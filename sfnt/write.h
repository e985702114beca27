// sfnt/write.h - big-endian field writing, one byte at a time, high byte first.
#ifndef SFNT_WRITE_H
#define SFNT_WRITE_H

#include <cstdint>
#include <ostream>

inline void PutU16(std::ostream &out, uint16_t v)
{
    out.put(static_cast<char>(v >> 8));
    out.put(static_cast<char>(v & 0xFF));
}

inline void PutU32(std::ostream &out, uint32_t v)
{
    PutU16(out, static_cast<uint16_t>(v >> 16));
    PutU16(out, static_cast<uint16_t>(v & 0xFFFF));
}

inline void PutBytes(std::ostream &out, const uint8_t *bytes, int count)
{
    for (int i = 0; i < count; ++i)
        out.put(static_cast<char>(bytes[i]));
}

#endif
