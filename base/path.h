// base/path.h - splitting a Windows path into its four parts.
#ifndef BASE_PATH_H
#define BASE_PATH_H

#include <string>

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

PathParts splitPath(const char *path);

// Copies text into out (capacity bytes, NUL included) when it fits whole;
// false, with out empty, when it does not.
bool copyWhole(char *out, size_t capacity, const std::string &text);

#endif
