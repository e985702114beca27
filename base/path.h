// base/path.h - splitting, joining and comparing Windows paths.
//
// Paths are ANSI strings. In a double-byte code page (Shift-JIS 932, GBK
// 936, Korean 949, Big5 950) a lead byte starts a two-byte character whose
// second byte may be 0x5C, the backslash: 表 and ソ in 932, 許 and 功 in 950.
// Every walk here steps over whole characters, as the C runtime and
// CharNextA do, so such a trail byte never counts as a separator, a dot or a
// letter. Which bytes lead is given by a predicate: ansiLeadBytes() is the
// running system's ANSI code page (IsDBCSLeadByte on Windows, none
// elsewhere); leadBytesOf(codePage) names a code page for tests and tools.
#ifndef BASE_PATH_H
#define BASE_PATH_H

#include <cstddef>
#include <string>

// True when byte starts a two-byte character.
typedef bool (*LeadByteFn)(unsigned char byte);

// The lead bytes of the ANSI code page of the running system.
LeadByteFn ansiLeadBytes();
// The lead bytes of code page 932, 936, 949 or 950; any other code page has
// none.
LeadByteFn leadBytesOf(unsigned codePage);

// The next character after p (p itself at the terminating NUL). A lead byte
// followed by the NUL is a character of its own.
const char *nextChar(const char *p, LeadByteFn isLead);

// The parts of a path as the C runtime's _splitpath gives them, without its
// fixed-size buffers: drive "C:", directory with its trailing separator
// ("\FONTS\"), file name, and extension with its dot (".otf"). Both '\' and
// '/' separate directories; the extension starts at the last '.' of the file
// name part.
struct PathParts {
    std::string drive;
    std::string dir;
    std::string fname;
    std::string ext;
};

PathParts splitPath(const char *path, LeadByteFn isLead = ansiLeadBytes());

// The extension of path with its leading dot: the part from the last '.' of
// the file-name part. A path without one gives "" (a pointer to the
// terminating NUL). A dot inside a directory name is not an extension.
const char *FileExtension(const char *path, LeadByteFn isLead = ansiLeadBytes());

// True when path ends in a separator ('\' or '/') of its own, not in the
// second byte of a double-byte character.
bool endsWithSeparator(const char *path, LeadByteFn isLead = ansiLeadBytes());

// The next separator ('\') of path at or after p, or null: the splitter of
// the category paths of the name map.
const char *findSeparator(const char *p, LeadByteFn isLead = ansiLeadBytes());

// Comparison that folds the ASCII letters only, character by character:
// the second byte of a double-byte character is compared as it is.
bool EqualsIgnoreCase(const char *a, const char *b, LeadByteFn isLead = ansiLeadBytes());

// The length of the longest start of text of at most maxBytes bytes that
// does not end inside a double-byte character.
size_t fitChars(const char *text, size_t maxBytes, LeadByteFn isLead = ansiLeadBytes());

// True when name is a plain file name: not empty, without a drive or a
// directory separator and without "..", so that it cannot lead out of the
// folder it is put into; without wildcards, the characters <>"| and bytes
// below 0x20, not ending in a dot or a space, and no device (CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, with any extension and in any case).
bool isPlainFileName(const char *name, LeadByteFn isLead = ansiLeadBytes());

// True when name (a file name) names one of the system's devices, as above.
bool isDeviceName(const char *name);

// Copies text into out (capacity bytes, NUL included) when it fits whole;
// false, with out empty, when it does not.
bool copyWhole(char *out, size_t capacity, const std::string &text);

#endif
