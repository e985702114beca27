// sfnt/embed.h - the embedding-type rewrite of an installed font copy.
#ifndef SFNT_EMBED_H
#define SFNT_EMBED_H

#include <iosfwd>

// Sets OS/2 fsType of the single font in the file at path to value (the
// installer passes 2, Restricted License) and repairs the 'OS/2' and 'head'
// record checksums and head.checkSumAdjustment, in place.
//
// Returns the OS/2 bytes written (78, 86 or 96); 0 when the file has no
// tables, no 'OS/2' record (a collection, read at byte 0, has none) or
// fsType already equals value; -1 when the file cannot be opened for reading
// and writing or is damaged: directory or tables cut off by the end of the
// file, an OS/2 or head table that lies outside the file, overlaps the
// directory or the other table, or is shorter than the bytes its version
// reads or that are to be written. Everything is checked before the first
// byte is written, so on 0 and on such a -1 the file is unchanged.
//
// A write, flush or close that fails, or a read that fails after the first
// write, also gives -1; the file may then be changed part-way, with broken
// checksums. written, when given, tells the two -1 apart: it is set true
// once the first byte has been written.
//
// A head table at an offset that is not a multiple of four is rewritten all
// the same, but its adjustment cannot bring the whole-file checksum to
// 0xB1B0AFBA there, since it is no whole word of the file.
//
// A font without a head table gets its OS/2 table and record checksum
// updated; there is no checkSumAdjustment to repair then.
//
// The directory dump, the OS/2 record and profile, and the checksum lines go
// to diagnostics when one is given; without one the rewrite writes no text.
int SetEmbeddingType(const char *path, int value, bool *written = nullptr,
                     std::ostream *diagnostics = nullptr);

// The same rewrite on a stream open for reading and writing (a file, or a
// font in memory). A failed stream state after the last write gives -1.
int RewriteEmbeddingType(std::iostream &file, int value, bool *written = nullptr,
                         std::ostream *diagnostics = nullptr);

// The OS/2 fsType of the single font in the file at path (0 to 65535), or -1
// when the file cannot be read or has no readable OS/2 table.
int GetEmbeddingType(const char *path);

#endif
