// shell/fontreg.h - registration of fonts with the system.
#ifndef SHELL_FONTREG_H
#define SHELL_FONTREG_H

// Buffers of value names, value data and paths: 260 chars incl. NUL.
const int kFontsValueSize = 260;

// The system fonts folder: the Windows directory followed by "\Fonts".
// out holds kFontsValueSize chars.
char *getSystemFontFolder(char *out);

// The default destination folder for the package's font type and the
// running system; false when there is none (no Adobe Type Manager setting
// where one is needed). out holds kFontsValueSize chars.
bool getDefaultFontFolder(char *out);

#endif
