// sfnt/checksum.cpp - sfnt table checksums and the whole-file adjustment.
#include "sfnt/checksum.h"

#include "base/stream.h"
#include "sfnt/head.h"

#include <string>

uint32_t CalcTableChecksum(std::istream &in, uint32_t length)
{
    // Whole words are summed from blocks read in one go: a 4 MB font is
    // checksummed several times per install. A stream that ends early
    // raises EOFException, a failed one IOException, as word reads would.
    unsigned char block[16384];
    uint32_t sum = 0;
    uint32_t words = length / 4;
    while (words > 0) {
        uint32_t n = words < sizeof block / 4 ? words : static_cast<uint32_t>(sizeof block / 4);
        in.read(reinterpret_cast<char *>(block), static_cast<std::streamsize>(n) * 4);
        if (in.gcount() != static_cast<std::streamsize>(n) * 4)
            throw std::string(in.eof() ? kEOFException : kIOException);
        for (uint32_t i = 0; i < n; ++i) {
            const unsigned char *w = block + 4 * i;
            sum += (uint32_t(w[0]) << 24) | (uint32_t(w[1]) << 16) | (uint32_t(w[2]) << 8) | w[3];
        }
        words -= n;
    }
    uint32_t rest = length % 4;
    if (rest > 0) {
        BigEndianReader r(&in);
        uint32_t word = 0;
        for (uint32_t i = 0; i < rest; ++i) {
            int32_t b = r.read();
            if (b > 0)
                word |= static_cast<uint32_t>(b) << (24 - 8 * i);
        }
        sum += word;
    }
    return sum;
}

int AdjustFileChecksum(std::iostream &stream, TT_FontDirectory &dir, std::ostream *diagnostics)
{
    TT_TableDirectory *rec = dir.find(TAG_head);
    if (!rec)
        return -1;
    const std::streampos at = rec->offset;

    // The head checksum is taken with a zero adjustment.
    TT_head head;
    stream.seekg(at);
    head.read(stream);
    head.checkSumAdjustment = 0;
    stream.seekp(at);
    head.write(stream);
    stream.seekg(at);
    rec->checkSum = CalcTableChecksum(stream, rec->length);

    stream.seekp(0);
    dir.write(stream);

    int64_t size = StreamSize(stream);
    uint32_t fileSum = CalcTableChecksum(stream, static_cast<uint32_t>(size));
    if (diagnostics)
        *diagnostics << "Checksum(File)=" << std::hex << fileSum << std::endl;

    head.checkSumAdjustment = SFNT_FILE_CHECKSUM - fileSum;
    if (diagnostics)
        *diagnostics << "checkSumAdjustment=" << std::hex << head.checkSumAdjustment << std::endl;
    stream.seekp(at);
    head.write(stream);
    return 0;
}
