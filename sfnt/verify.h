// sfnt/verify.cpp - whether a font file's checksums hold.
#ifndef SFNT_VERIFY_H
#define SFNT_VERIFY_H

#include <istream>

// True when the single font at the start of in lists tables, every one of
// them lies inside the stream clear of the directory, every record's
// checkSum is its table's sum (the head table's taken with
// checkSumAdjustment as 0), and, when there is a head table, the whole
// stream sums to 0xB1B0AFBA. False for anything else, a collection and a
// stream cut short included.
bool ChecksumsHold(std::istream &in);
// The same for the file at path; false when it cannot be read.
bool FileChecksumsHold(const char *path);

#endif
