// sfnt/os2.h - the 'OS/2' (OS/2 and Windows metrics) table and its PANOSE block.
//
// https://learn.microsoft.com/en-us/typography/opentype/spec/os2
//
// achVendID decides the maker test and fsType is the embedding permission
// that every installed copy gets set to 2 (Restricted License). The other
// fields are carried so that the table is written back unchanged. Versions 0,
// 1 and 2 and above are read as 78, 86 and 96 bytes; what versions 5 and up
// add after usMaxContext is neither read nor written.
#ifndef SFNT_OS2_H
#define SFNT_OS2_H

#include "sfnt/container.h"
#include "sfnt/fields.h"

#include <cstdint>

// The 10-byte PANOSE classification. Each byte is read with the reader's
// single-byte read, so a byte cut off by the end of the file becomes 0xFF.
class TT_PANOSE : public TT_Table {
public:
    uint8_t bFamilyType = 0;
    uint8_t bSerifStyle = 0;
    uint8_t bWeight = 0;
    uint8_t bProportion = 0;
    uint8_t bContrast = 0;
    uint8_t bStrokeVariation = 0;
    uint8_t bArmStyle = 0;
    uint8_t bLetterform = 0;
    uint8_t bMidline = 0;
    uint8_t bXHeight = 0;

    // The ten bytes, each shown signed in the base the stream already has.
    void fields(FieldVisitor &f);

    int read(std::istream &in) override { return ReadFields(in, *this); }      // 10
    int write(std::ostream &out) override { return WriteFields(out, *this); }  // 10
    // Ten "name=value" lines; returns 10.
    int writeProfile(std::ostream &out) override
    {
        ShowFields(out, *this, FieldText::LINES);
        return FieldBytes(*this);
    }
};

class TT_OS2 : public TT_Table {
public:
    uint16_t version = 0;
    int16_t xAvgCharWidth = 0;
    uint16_t usWeightClass = 0;
    uint16_t usWidthClass = 0;
    uint16_t fsType = 0;             // embedding permissions; 2 = Restricted License
    int16_t ySubscriptXSize = 0;
    int16_t ySubscriptYSize = 0;
    int16_t ySubscriptXOffset = 0;
    int16_t ySubscriptYOffset = 0;
    int16_t ySuperscriptXSize = 0;
    int16_t ySuperscriptYSize = 0;
    int16_t ySuperscriptXOffset = 0;
    int16_t ySuperscriptYOffset = 0;
    int16_t yStrikeoutSize = 0;
    int16_t yStrikeoutPosition = 0;
    int16_t sFamilyClass = 0;
    TT_PANOSE panose;                // its fields lie here, inside this table
    uint32_t ulUnicodeRange1 = 0;
    uint32_t ulUnicodeRange2 = 0;
    uint32_t ulUnicodeRange3 = 0;
    uint32_t ulUnicodeRange4 = 0;
    uint8_t achVendID[4] = {};       // single-byte reads: a byte past the end is 0xFF
    uint16_t fsSelection = 0;
    uint16_t usFirstCharIndex = 0;
    uint16_t usLastCharIndex = 0;
    int16_t sTypoAscender = 0;
    int16_t sTypoDescender = 0;
    int16_t sTypoLineGap = 0;
    uint16_t usWinAscent = 0;
    uint16_t usWinDescent = 0;
    uint32_t ulCodePageRange1 = 0;   // version 1 and up: 86 bytes
    uint32_t ulCodePageRange2 = 0;
    int16_t sxHeight = 0;            // version 2 and up: 96 bytes
    int16_t sCapHeight = 0;
    uint16_t usDefaultChar = 0;
    uint16_t usBreakChar = 0;
    uint16_t usMaxContext = 0;

    // The fields above in file order, those of the stored version only,
    // with the form of their profile lines.
    void fields(FieldVisitor &f);

    // Bytes that read and write handle for the stored version: 78, 86 or 96.
    int byteSize() const { return FieldBytes(*this); }

    // Both give byteSize() of the version read or stored.
    int read(std::istream &in) override { return ReadFields(in, *this); }
    int write(std::ostream &out) override { return WriteFields(out, *this); }
    // One "name=value" line per field of the version; returns byteSize().
    int writeProfile(std::ostream &out) override
    {
        ShowFields(out, *this, FieldText::LINES);
        return byteSize();
    }
};

#endif
