// product/contract.h - what install.exe reads from a package's product.dll.
//
// The one list of the product module's string ids and resource names. The
// installer's resources, the hand-written product modules (the sample
// packages, the test modules, the benchmark package) and the package maker
// (tools/mkpackage, which reads this file) all take them from here.
//
// Package strings: the module's STRMAP maps each key to its string id. The
// key is the name below without "IDS_", and the package maker writes the
// keys in this order.
#ifndef PRODUCT_CONTRACT_H
#define PRODUCT_CONTRACT_H

#define IDS_PRODUCT_CDROM_NAME 25001
#define IDS_PRODUCT_NAME 25002
#define IDS_PRODUCT_REQUEST_CD 25003
#define IDS_PRODUCT_FONTDIR 25004
#define IDS_PRODUCT_EXTENSIONS 25007
#define IDS_PRODUCT_NAMEMAP 25008
#define IDS_SUFFIX_REGNAME 25009
#define IDS_PRODUCT_FONTTYPE 25010

// Resources: TEXT resources, the bitmap shown when no font is selected (each
// font's sample bitmap is named by its PostScript name in upper case), and
// the module's exports. A resource script writes these names bare
// (STRMAP TEXT "file"); code asks for them by these strings.
#define PRODUCT_RES_STRMAP "STRMAP"
#define PRODUCT_RES_NAMEMAP "NAMEMAP.CSV"
#define PRODUCT_RES_NAMEMAP_KEYS "NAMEMAP_KEYS"
#define PRODUCT_RES_SAMPLE_MISSING "SAMPLE_MISSING"
#define PRODUCT_EXPORT_START "start"
#define PRODUCT_EXPORT_IS_MINE "IsMyFontFile"
// Optional beside IsMyFontFile, in the same module: BYTE (const char *path,
// char *postscript, int size), the same answer, and the PostScript name that
// the installer would read from the file (or an empty one).
#define PRODUCT_EXPORT_IDENTIFY "IdentifyMyFontFile"

#endif
