// sfnt/verify.cpp - whether a font file's checksums hold.
#include "sfnt/verify.h"

#include "base/stream.h"
#include "sfnt/checksum.h"
#include "sfnt/head.h"
#include "sfnt/locator.h"


bool ChecksumsHold(std::istream &in)
{
    return withStreamErrors(false, [&] {
        TableLocator font(in);
        if (!font.open(TableLocator::SINGLE_FONT))
            return false;
        bool hasHead = false;
        for (const TT_TableDirectory &rec : font.directory().records) {
            if (!font.fits(rec))
                return false;
            in.clear();
            in.seekg(rec.offset);
            uint32_t sum = CalcTableChecksum(in, rec.length);
            if (rec.tag == TAG_head) {
                if (rec.length < TT_head::CHECKSUM_ADJUSTMENT + 4)
                    return false;
                // checkSumAdjustment is a whole word of the table: taking it
                // out of the sum is taking the table with it as 0.
                in.seekg(rec.offset + TT_head::CHECKSUM_ADJUSTMENT);
                BigEndianReader r(&in);
                sum -= static_cast<uint32_t>(r.readUnsignedInt());
                hasHead = true;
            }
            if (sum != rec.checkSum)
                return false;
        }
        if (!hasHead)
            return true;
        in.seekg(0);
        return CalcTableChecksum(in, static_cast<uint32_t>(font.fileSize())) == SFNT_FILE_CHECKSUM;
    });
}

bool FileChecksumsHold(const char *path)
{
    InputFile in(path);
    return in.is_open() && ChecksumsHold(in);
}
