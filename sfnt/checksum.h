// sfnt/checksum.h - sfnt table checksums and the whole-file adjustment.
//
// https://learn.microsoft.com/en-us/typography/opentype/spec/otff#calculating-checksums
#ifndef SFNT_CHECKSUM_H
#define SFNT_CHECKSUM_H

#include "sfnt/container.h"

#include <cstdint>
#include <iostream>

// The whole-file checksum of a single font whose checkSumAdjustment is right.
const uint32_t SFNT_FILE_CHECKSUM = 0xB1B0AFBA;

// Sum modulo 2^32 of the big-endian u32 words of length bytes from the
// stream's read position; a last partial word is padded with zero bytes in
// its low-order end. The whole words must be there (EOFException otherwise);
// trailing bytes missing at the end of the stream count as zero.
uint32_t CalcTableChecksum(std::istream &in, uint32_t length);

// For the single font at the start of the stream whose directory is dir:
// zeroes checkSumAdjustment, sets the 'head' record's checkSum, writes the
// directory back at byte 0, sums the whole file and stores 0xB1B0AFBA minus
// that sum as checkSumAdjustment. Writes the lines "Checksum(File)=..." and
// "checkSumAdjustment=..." to diagnostics when one is given. Returns 0, or -1
// without touching the stream when dir has no 'head' record. The caller
// makes sure that the head table lies inside the stream.
int AdjustFileChecksum(std::iostream &stream, TT_FontDirectory &dir, std::ostream *diagnostics = nullptr);

#endif
