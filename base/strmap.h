// base/strmap.h - the STRMAP text: the string id of each package key.
//
// One "KEY=ID" per line (CR, LF or both end a line; empty lines are
// skipped). Leading '=' of a line are skipped; the key runs to the next '='
// and the id is the decimal number after it, read as the C runtime's atoi
// does. Lines longer than kStrmapLineSize - 1 bytes are cut there.
#ifndef BASE_STRMAP_H
#define BASE_STRMAP_H

#include <cstddef>

// Longest STRMAP line that is read, NUL included; the rest of a longer line
// is dropped.
const int kStrmapLineSize = 512;

// The id that key names in the size bytes of text (no NUL needed), 0 when
// no line names it. Keys are case-sensitive; the first matching line wins,
// and a matching line without '=' gives 0.
unsigned findStrmapId(const char *text, size_t size, const char *key);

#endif
