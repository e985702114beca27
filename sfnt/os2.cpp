// sfnt/os2.cpp - the 'OS/2' table and its PANOSE block.
#include "sfnt/os2.h"

void TT_PANOSE::fields(FieldVisitor &f)
{
    f.number("bFamilyType", bFamilyType, SHOW_SIGNED_AS_SET);
    f.number("bSerifStyle", bSerifStyle, SHOW_SIGNED_AS_SET);
    f.number("bWeight", bWeight, SHOW_SIGNED_AS_SET);
    f.number("bProportion", bProportion, SHOW_SIGNED_AS_SET);
    f.number("bContrast", bContrast, SHOW_SIGNED_AS_SET);
    f.number("bStrokeVariation", bStrokeVariation, SHOW_SIGNED_AS_SET);
    f.number("bArmStyle", bArmStyle, SHOW_SIGNED_AS_SET);
    f.number("bLetterform", bLetterform, SHOW_SIGNED_AS_SET);
    f.number("bMidline", bMidline, SHOW_SIGNED_AS_SET);
    f.number("bXHeight", bXHeight, SHOW_SIGNED_AS_SET);
}

void TT_OS2::fields(FieldVisitor &f)
{
    f.number("version", version);
    f.number("xAvgCharWidth", xAvgCharWidth);
    f.number("usWeightClass", usWeightClass);
    f.number("usWidthClass", usWidthClass);
    f.number("fsType", fsType, SHOW_SIGNED);
    f.number("ySubscriptXSize", ySubscriptXSize);
    f.number("ySubscriptYSize", ySubscriptYSize);
    f.number("ySubscriptXOffset", ySubscriptXOffset);
    f.number("ySubscriptYOffset", ySubscriptYOffset);
    f.number("ySuperscriptXSize", ySuperscriptXSize);
    f.number("ySuperscriptYSize", ySuperscriptYSize);
    f.number("ySuperscriptXOffset", ySuperscriptXOffset);
    f.number("ySuperscriptYOffset", ySuperscriptYOffset);
    f.number("yStrikeoutSize", yStrikeoutSize);
    f.number("yStrikeoutPosition", yStrikeoutPosition);
    f.number("sFamilyClass", sFamilyClass);
    panose.fields(f);
    f.number("ulUnicodeRange1", ulUnicodeRange1, SHOW_HEX);
    f.number("ulUnicodeRange2", ulUnicodeRange2, SHOW_HEX);
    f.number("ulUnicodeRange3", ulUnicodeRange3, SHOW_HEX);
    f.number("ulUnicodeRange4", ulUnicodeRange4, SHOW_HEX);
    f.chars("achVendID[4]", achVendID, sizeof achVendID);
    f.number("fsSelection", fsSelection);
    f.number("usFirstCharIndex", usFirstCharIndex);
    f.number("usLastCharIndex", usLastCharIndex);
    f.number("sTypoAscender", sTypoAscender);
    f.number("sTypoDescender", sTypoDescender);
    f.number("sTypoLineGap", sTypoLineGap);
    f.number("usWinAscent", usWinAscent);
    f.number("usWinDescent", usWinDescent);
    if (version >= 1) {
        f.number("ulCodePageRange1", ulCodePageRange1, SHOW_HEX);
        f.number("ulCodePageRange2", ulCodePageRange2, SHOW_HEX);
    }
    if (version >= 2) {
        f.number("sxHeight", sxHeight);
        f.number("sCapHeight", sCapHeight);
        f.number("usDefaultChar", usDefaultChar, SHOW_HEX_DIGITS);
        f.number("usBreakChar", usBreakChar, SHOW_HEX_DIGITS);
        f.number("usMaxContext", usMaxContext);
    }
}
