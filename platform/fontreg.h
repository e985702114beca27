// platform/fontreg.h - registration of fonts with the system.
//
// The Fonts key under HKEY_LOCAL_MACHINE holds one string value per font:
// the display name as value name, and either a bare file name (a file in the
// system fonts folder) or a full path as data. Windows 95/98/Me and Windows
// NT keep it in different places; other platforms have none, and every
// operation on it fails there. Fonts installed for one user (FontScope::User)
// are values of the same key path under HKEY_CURRENT_USER, always with the
// full path as data. Each operation works on the key of a scope, by default
// the one of all users.
#ifndef PLATFORM_FONTREG_H
#define PLATFORM_FONTREG_H

#include "platform/atm.h"
#include "platform/scope.h"

#include <windows.h>

#include <string>

class ModuleChain;

// Buffers of value names, value data and paths: 260 chars incl. NUL.
const int kFontsValueSize = 260;

// The Fonts key path of the running platform family, or nullptr.
const char *getFontsKeyPath();
// The root key of scope's Fonts key: HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
HKEY fontsKeyRoot(FontScope scope);

// Sets value name to data (REG_SZ, with its NUL), or deletes the value when
// data is nullptr. The registry's error code: 0 on success.
LONG setFontsValue(const char *name, const char *data, FontScope scope = FontScope::Machine);
// The data of value name into buffer (kFontsValueSize chars); nullptr when the
// key cannot be opened, or the value is missing, empty or too long.
char *getFontsValue(const char *name, char *buffer, FontScope scope = FontScope::Machine);

// The full path that value data names into out (kFontsValueSize chars): data
// with a directory unchanged, a bare file name inside the system fonts
// folder. nullptr when the result does not fit.
char *resolveFontsValuePath(const char *data, char *out);
// The value data for the font file at path into out (kFontsValueSize
// chars): its file name when it lies directly in the system fonts folder,
// else the path itself; always the path itself for a user's font. nullptr
// when it does not fit.
char *makeFontsValueData(const char *path, char *out, FontScope scope = FontScope::Machine);

// Loads the font file and registers it under valueName in scope's key. The
// number of fonts loaded; 0 (with the font unloaded again) when the value
// cannot be written, and 0 without loading anything for an empty valueName.
int registerFontFile(const char *path, const char *valueName, FontScope scope = FontScope::Machine);
// Registers an OpenType font as the running platform wants it: Adobe Type
// Manager's list on Windows 95/98/Me, the NT 4.0 way on NT 3.x and 4.0,
// registerFontFile (in scope's key) later; Adobe Type Manager's profile is
// written through writer. Nonzero on success.
int registerOpenTypeFont(const char *path, const char *name, FontScope scope = FontScope::Machine,
                         const ProfileWriter &writer = ProfileWriter());
// Loads the font and registers it under name + " (OpenType)" with its full
// path. The number of fonts loaded; 0 when nothing was registered.
int registerOpenTypeFontNT4(const char *path, const char *name);
// Unloads the font registered under valueName and removes the value: 1, -1
// when there is no such value (nothing is changed), 0 when the value could
// not be removed.
int unregisterFontByName(const char *valueName, FontScope scope = FontScope::Machine);
// Tells all top-level windows that the fonts changed (posted, never waited).
// While a FontChangeBatch exists it only notes the change.
void broadcastFontChange();

// A run of many fonts: while one exists, broadcastFontChange only notes that
// the fonts changed, and when the last one ends, the change is posted once
// (when there was one). The batch also keeps the Fonts key open for the
// values it reads and writes. Registration and broadcast happen on one
// thread.
class FontChangeBatch {
public:
    FontChangeBatch();
    ~FontChangeBatch();
    FontChangeBatch(const FontChangeBatch &) = delete;
    FontChangeBatch &operator=(const FontChangeBatch &) = delete;
};

// The system fonts folder: the Windows directory followed by "\Fonts".
// out holds kFontsValueSize chars.
char *getSystemFontFolder(char *out);

// The default destination folder for the font type of the package bound in
// product and the running system, and the user's own fonts folder for a run
// of scope User; false when there is none (no Adobe Type Manager setting
// where one is needed). out holds kFontsValueSize chars.
bool getDefaultFontFolder(const ModuleChain &product, FontScope scope, char *out);

// Appends, for every Fonts value whose data has one of the extensions (a
// nullptr-terminated list, compared without regard to case; every value
// when extensions is nullptr), the value name
// and the full path of its file to names and paths, each followed by a line
// feed. Values whose name or data is longer than 259 chars are skipped.
// Returns the number of values listed; 0 when the key cannot be opened.
int listInstalledFonts(const char *const *extensions, std::string *names, std::string *paths,
                       FontScope scope = FontScope::Machine);

// True when the installed font file at path belongs to this maker's package
// line: the IsMyFontFile export of the module bound in product decides when
// it has one.
bool isMyFontFile(const ModuleChain &product, const char *path);

// The same test for many files: what it takes from the product module (its
// export, or its extension list) is looked up once, when it is made.
class MyFontTest {
public:
    explicit MyFontTest(const ModuleChain &product);
    bool operator()(const char *path) const;
    // The same answer; when the module that answers also names the font
    // (its IdentifyMyFontFile export), its PostScript name as the installer
    // reads it goes to postscript (FONT_NAME_SIZE bytes), else postscript is
    // left empty.
    bool identify(const char *path, char *postscript) const;

private:
    typedef BYTE (*ExportFn)(const char *path);
    typedef BYTE (*IdentifyFn)(const char *path, char *postscript, int size);
    ExportFn export_;
    IdentifyFn identify_;
    bool haveExtensions_;
    std::string extensions_;
};

#endif
