// sfnt/head.h - the 'head' (font header) table.
//
// https://learn.microsoft.com/en-us/typography/opentype/spec/head
//
// Only checkSumAdjustment matters to the installer: it is recomputed after
// the OS/2 table of an installed copy changes. Every other field is carried
// so that the table can be written back byte for byte and shown as text.
#ifndef SFNT_HEAD_H
#define SFNT_HEAD_H

#include "sfnt/container.h"
#include "sfnt/fields.h"

#include <cstdint>

class TT_head : public TT_Table {
public:
    static const int SIZE = 54;                 // bytes in the file
    static const int CHECKSUM_ADJUSTMENT = 8;   // offset of checkSumAdjustment

    uint16_t versionMajor = 0;        // version, 16.16: 1.0
    uint16_t versionMinor = 0;
    uint16_t fontRevisionMajor = 0;   // fontRevision, 16.16, set by the font maker
    uint16_t fontRevisionMinor = 0;   // raw fraction: 1.5 is 1 and 32768
    uint32_t checkSumAdjustment = 0;  // 0xB1B0AFBA minus the file sum taken with this field 0
    uint32_t magicNumber = 0;         // 0x5F0F3CF5; not compared
    uint16_t flags = 0;
    uint16_t unitsPerEm = 0;
    uint8_t created[8] = {};          // LONGDATETIME, seconds since 1904, kept raw
    uint8_t modified[8] = {};         // as created
    int16_t xMin = 0;                 // bounding box of all glyphs
    int16_t yMin = 0;
    int16_t xMax = 0;
    int16_t yMax = 0;
    uint16_t macStyle = 0;
    uint16_t lowestRecPPEM = 0;
    int16_t fontDirectionHint = 0;
    int16_t indexToLocFormat = 0;     // 0 short loca offsets, 1 long
    int16_t glyphDataFormat = 0;

    // The fields above in file order, with the form of their profile lines.
    void fields(FieldVisitor &f);

    int read(std::istream &in) override { return ReadFields(in, *this); }      // always 54
    int write(std::ostream &out) override { return WriteFields(out, *this); }  // always 54
    // One "name=value" line per field; created and modified are shown as
    // their 8 raw bytes in 16 hexadecimal digits. Returns 1.
    int writeProfile(std::ostream &out) override
    {
        ShowFields(out, *this, FieldText::LINES);
        return 1;
    }
};

#endif
