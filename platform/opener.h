// platform/opener.h - the program that opens ".otf" files.
#ifndef PLATFORM_OPENER_H
#define PLATFORM_OPENER_H

// The program registered to open ".otf" files (its path without quotes) into
// buffer (256 chars); false when there is none.
bool findOtfOpener(char *buffer);

#endif
