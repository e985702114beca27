// catalogue/catalogue.h - the font catalogue built from the name map, the
// package disc and the fonts installed on the machine.
#ifndef CATALOGUE_CATALOGUE_H
#define CATALOGUE_CATALOGUE_H

#include "catalogue/fontentry.h"
#ifdef _WIN32
#include "platform/scope.h"
class ModuleChain;
#endif

#include <functional>
#include <string>

// Longest name-map line kept (bytes, NUL included); the rest of a longer
// line is dropped.
const int kNameMapLineSize = 512;
// Longest field kept (bytes, NUL included); longer fields are cut.
const int kNameMapFieldSize = 256;
// Longest key of NAMEMAP_KEYS kept (bytes, NUL included).
const int kNameMapKeySize = 64;

// Name-map text: lines end with CR or LF (blank lines are skipped), a line
// starting with '#' or ';' is a comment, and fields are separated by runs of
// ',' and TAB. The n-th field goes to the n-th key of keys (one key per
// line), so an empty field moves the following values one key to the left.

// Adds one entry for line to catalogue; nothing for a comment or an empty
// line, or when keys is nullptr. An entry may end up with no property at all.
void parseNameMapLine(FontCatalogue &catalogue, const char *line, const char *keys);
// Runs parseNameMapLine on every line of text, in order.
void parseNameMap(FontCatalogue &catalogue, const char *text, const char *keys);

#ifdef _WIN32
// Rebuilds catalogue from the package bound in product for a run that
// installs for own: all earlier entry pointers become invalid. The first
// load asks for the package disc; later loads search it silently.
void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own, bool firstLoad);

// Marks the entries whose source file NAME_SUITCASE exists, with a non-zero
// size, on the disc in drive: PATH_SOURCE, SIZE_ALL, F_AVAILABLE.
void markAvailable(FontCatalogue &catalogue, char drive);

// The PostScript name that the installed pass matches a font file by (the
// Macintosh English record, else the Macintosh one with the Japanese
// language id, else the Windows English one) into out (FONT_NAME_SIZE
// bytes); false when the file has none.
bool readPostScriptName(const char *path, char *out);

// Marks the entries of the package's fonts that are registered in scope's
// Fonts key (or Adobe Type Manager's list) as installed, for a run that
// installs for own.
void markInstalledIn(FontCatalogue &catalogue, const ModuleChain &product, FontScope scope, FontScope own);

// Marks the entry whose NAME_POSTSCRIPT is the PostScript name of the font
// file at path as installed there under registryName, for scope's users
// (F_PER_USER for the current user; F_ALL_USERS_KEPT for all users when the
// run installs for the current user, own). 1 when an entry was marked, 0
// when the file has no name or no entry has it.
int markInstalled(FontCatalogue &catalogue, const char *path, const char *registryName,
                  FontScope scope = FontScope::Machine, FontScope own = FontScope::Machine);

// markInstalled for the first count fonts of two parallel lists, registry
// names and paths, each item ended by a line feed, that isMine accepts (a
// font with an empty name or path is left out). isMine gets an empty
// FONT_NAME_SIZE buffer with each path; where it puts the font's PostScript
// name there (as readPostScriptName reads it), the file is not read again.
typedef std::function<bool(const char *path, char *postscript)> InstalledFontTest;
void markInstalledFonts(FontCatalogue &catalogue, const std::string &names, const std::string &paths, int count,
                        const InstalledFontTest &isMine, FontScope scope = FontScope::Machine,
                        FontScope own = FontScope::Machine);
#endif

#endif
