// tests/ui/catalogue_double.h - test double of the catalogue's system part:
// loadCatalogue, getSystemFontFolder, getDefaultFontFolder, findOtfOpener
// and browseForFolder answer from the settings below instead of the disc,
// the registry and the shell. Linked into test programs only.
#ifndef TESTS_UI_CATALOGUE_DOUBLE_H
#define TESTS_UI_CATALOGUE_DOUBLE_H

#include "catalogue/fontentry.h"

#include <string>
#include <vector>

namespace catalogue_double {

// One entry per row: key/value pairs.
typedef std::vector<std::pair<std::string, std::string>> Row;

struct Settings {
    std::vector<Row> rows;           // what loadCatalogue puts into the catalogue
    std::string defaultFolder;       // empty: getDefaultFontFolder has none
    std::string systemFontFolder = "C:\\windows\\Fonts";
    std::string chosenFolder;        // empty: the folder chooser is cancelled
    std::string otfOpener;           // empty: no ".otf" opener
    int loadCount = 0;
    std::vector<bool> loadFirstFlags;
    int browseCount = 0;
    int openerCount = 0;
    int installRuns = 0;             // Start in Install mode with fonts ticked
    int uninstallRuns = 0;
    size_t uninstalled = 0;          // entries handed to the last uninstall run
};

Settings &settings();

}  // namespace catalogue_double

#endif
