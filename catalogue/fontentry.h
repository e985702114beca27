// catalogue/fontentry.h - font entries, the catalogue that owns them, and the
// list of ticked entries handed to an install or uninstall run.
//
// A font entry is an ordered map from property key to 8-bit text. An absent
// key is the normal way of saying "no": flags hold "1", numbers their decimal
// text, and readers turn either into an integer with the atol rule.
#ifndef CATALOGUE_FONTENTRY_H
#define CATALOGUE_FONTENTRY_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Keys of the name-map columns (bound by position through NAMEMAP_KEYS).
extern const char NAME_SUITCASE[];     // source file on the disc, no drive
extern const char NAME_MARUKAN[];      // file name of the installed copy
extern const char NAME_LOCAL[];        // full name in the package language
extern const char NAME_ROMAN[];        // full name in Latin letters
extern const char NAME_POSTSCRIPT[];   // PostScript name
extern const char NAME_CATEGORY[];     // category path, levels split by "\"
extern const char NAME_LOCAL_SHORT[];  // short name shown in the tree
extern const char NAME_REGISTRY[];     // value name in the Fonts key
// Keys computed from the disc and the system.
extern const char PATH_SOURCE[];       // full path of the file on the disc
extern const char SIZE_ALL[];          // size in bytes, decimal
extern const char F_AVAILABLE[];       // "1": the source file is on the disc
extern const char F_INSTALLED[];       // "1": installed on this machine
extern const char PATH_INSTALLED[];    // full path of the installed file
extern const char F_PER_USER[];        // "1": installed for the current user only
extern const char F_ALL_USERS_KEPT[];  // "1": installed for all users, which this run may not undo

// Capacity (bytes, NUL included) of the buffers that property values are
// read into at call boundaries.
const int kPropertySize = 256;

class FontEntry {
public:
    // Copies the value and its NUL into buffer when key is present (a longer
    // value is cut to capacity - 1 bytes) and returns true; otherwise returns
    // false and leaves buffer untouched.
    bool getProperty(const char *key, char *buffer, int capacity) const;
    // The value, or nullptr when the key is absent. Valid until the key changes.
    const std::string *findProperty(const char *key) const;
    // The value read as a C long (atol rule); 0 when absent.
    long getPropertyNumber(const char *key) const;
    // Stores text under key, replacing an earlier value; returns whether the
    // key was present before.
    bool setProperty(const char *key, const char *text);
    // Stores the number as plain decimal text.
    bool setPropertyNumber(const char *key, long value);
    // Removes key; returns whether it was present.
    bool removeProperty(const char *key);
    size_t propertyCount() const { return properties_.size(); }

private:
    std::vector<std::pair<std::string, std::string>> properties_;
};

// Free-function forms used throughout the installer.
bool getProperty(const FontEntry *entry, const char *key, char *buffer, int capacity);
bool setProperty(FontEntry *entry, const char *key, const char *text);
bool setPropertyNumber(FontEntry *entry, const char *key, long value);

// The package's fonts in name-map order. Owns its entries: every pointer
// handed out is valid until the next clear().
class FontCatalogue {
public:
    void clear() { entries_.clear(); }
    FontEntry *append();
    size_t size() const { return entries_.size(); }
    FontEntry *at(size_t i) const { return entries_[i].get(); }

private:
    std::vector<std::unique_ptr<FontEntry>> entries_;
};

// The first entry, in catalogue order, whose key holds exactly text.
FontEntry *findEntry(const FontCatalogue &catalogue, const char *key, const char *text);

typedef std::vector<FontEntry *> CheckedParams;

#endif
