// platform/atm.h - Adobe Type Manager's font list and folder.
//
// Adobe Type Manager keeps its OpenType fonts in the profile "atm.ini" in
// the Windows directory, section "OpenTypeFonts": one key per font (its
// registration name) whose value is the font file's full path, and a
// companion key "@" + name holding the file's directory, "|" and its file
// name ("C:\FONTS\|QXSample-W5.otf"). Its font folder is "Setup"/"PFB_DIR"
// of that profile on Windows 95/98/Me, and a registry value on NT 4.0.
#ifndef PLATFORM_ATM_H
#define PLATFORM_ATM_H

#include <string>

// Buffers of profile paths and values: 260 chars incl. NUL.
const int kAtmPathSize = 260;
// Bytes for the key names of "OpenTypeFonts"; a longer list is read up to
// this size and no further.
const int kAtmKeyListSize = 38400;
// Longest companion key name ("@" + name), NUL included.
const int kAtmCompanionSize = 128;

// The path of one of Adobe Type Manager's files in the Windows directory
// into buffer (kAtmPathSize chars). Only "atm.ini", "atmdata.dat" and
// "win.ini" (any case) are accepted; nullptr for any other name, or when the
// path does not fit.
char *atmProfilePath(const char *name, char *buffer);
// As atmProfilePath, and creates the file empty when it does not exist.
// nullptr when the name is refused or the file cannot be created.
char *ensureAtmProfile(const char *name, char *buffer);

// Appends the name and the path of every OpenType font in Adobe Type
// Manager's list to names and paths, each followed by a line feed; a key
// whose value is empty or unreadable gets the path "ERROR". Companion keys
// are left out. Returns the number of fonts; 0 without a profile or list.
int listAtmOpenTypeFonts(std::string *names, std::string *paths);
// How the profile is written: as WritePrivateProfileStringA, which this one
// calls. Tests hand in writers that fail or record.
class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;
    virtual bool write(const char *section, const char *key, const char *value, const char *file) const;
};

// Adds or replaces the font name with its path, or removes it (and its
// companion key) when path is nullptr or empty, through writer. False when
// the profile cannot be created or written, or when name is too long for its
// companion key. A font is never listed without its companion: the
// companion key is written before the name key and removed after it, and
// when the name key cannot be written the companion is removed again.
bool writeAtmOpenTypeFont(const char *name, const char *path, const ProfileWriter &writer = ProfileWriter());
// The path that Adobe Type Manager's list gives for the font name into
// buffer (kAtmPathSize chars); nullptr when it does not list it.
char *getAtmOpenTypeFontPath(const char *name, char *buffer);

// Adobe Type Manager's font folder from its profile, into buffer
// (kAtmPathSize chars); nullptr when the profile has no non-empty PFB_DIR.
char *getAtmPfbDirFromProfile(char *buffer);
// The same from HKLM "SOFTWARE\Adobe\Adobe Type Manager\Setup" "PFB_DIR";
// nullptr when the key or a non-empty value is missing or too long.
char *getAtmPfbDirFromRegistry(char *buffer);

#endif
