// sfnt/head.cpp - the 'head' table.
#include "sfnt/head.h"

void TT_head::fields(FieldVisitor &f)
{
    f.fixed("version", versionMajor, versionMinor);
    f.fixed("fontRevision", fontRevisionMajor, fontRevisionMinor);
    f.number("checkSumAdjustment", checkSumAdjustment, SHOW_HEX);
    f.number("magicNumber", magicNumber, SHOW_HEX);
    f.number("flags", flags, SHOW_HEX);
    f.number("unitsPerEm", unitsPerEm);
    f.raw("created", created, sizeof created);
    f.raw("modified", modified, sizeof modified);
    f.number("xMin", xMin);
    f.number("yMin", yMin);
    f.number("xMax", xMax);
    f.number("yMax", yMax);
    f.number("macStyle", macStyle);
    f.number("lowestRecPPEM", lowestRecPPEM);
    f.number("fontDirectionHint", fontDirectionHint);
    f.number("indexToLocFormat", indexToLocFormat);
    f.number("glyphDataFormat", glyphDataFormat);
}
