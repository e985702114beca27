// sfnt/checksum.cpp - sfnt table checksums and the whole-file adjustment.
#include "sfnt/checksum.h"

#include "base/stream.h"
#include "sfnt/head.h"

uint32_t CalcTableChecksum(std::istream &in, uint32_t length)
{
    BigEndianReader r(&in);
    uint32_t sum = 0;
    for (uint32_t n = length / 4; n > 0; --n)
        sum += static_cast<uint32_t>(r.readUnsignedInt());
    uint32_t rest = length % 4;
    if (rest > 0) {
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

int AdjustFileChecksum(std::iostream &stream, TT_FontDirectory &dir)
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

    stream.seekg(0, std::ios::end);
    std::streampos size = stream.tellg();
    stream.seekg(0);
    uint32_t fileSum = CalcTableChecksum(stream, static_cast<uint32_t>(size));
    std::cerr << "Checksum(File)=" << std::hex << fileSum << std::endl;

    head.checkSumAdjustment = SFNT_FILE_CHECKSUM - fileSum;
    std::cerr << "checkSumAdjustment=" << std::hex << head.checkSumAdjustment << std::endl;
    stream.seekp(at);
    head.write(stream);
    return 0;
}
