// tests/ui/catalogue_double.cpp - test double of the catalogue's system part.
#include "tests/ui/catalogue_double.h"

#include "catalogue/atm.h"
#include "catalogue/catalogue.h"
#include "shell/fontreg.h"
#include "shell/installerdialog.h"

#include <windows.h>

#include <cstring>

namespace catalogue_double {

Settings &settings()
{
    static Settings s;
    return s;
}

}  // namespace catalogue_double

using catalogue_double::settings;

void loadCatalogue(bool firstLoad)
{
    ++settings().loadCount;
    settings().loadFirstFlags.push_back(firstLoad);
    FontCatalogue &catalogue = fontCatalogue();
    catalogue.clear();
    for (const auto &row : settings().rows) {
        FontEntry *entry = catalogue.append();
        for (const auto &property : row)
            entry->setProperty(property.first.c_str(), property.second.c_str());
    }
}

char *getSystemFontFolder(char *out)
{
    lstrcpynA(out, settings().systemFontFolder.c_str(), kFontsValueSize);
    return out;
}

bool getDefaultFontFolder(char *out)
{
    if (settings().defaultFolder.empty())
        return false;
    lstrcpynA(out, settings().defaultFolder.c_str(), kFontsValueSize);
    return true;
}

bool findOtfOpener(char *buffer)
{
    ++settings().openerCount;
    if (settings().otfOpener.empty())
        return false;
    lstrcpynA(buffer, settings().otfOpener.c_str(), 256);
    return true;
}

bool browseForFolder(char *buffer, int capacity)
{
    ++settings().browseCount;
    if (settings().chosenFolder.empty())
        return false;
    lstrcpynA(buffer, settings().chosenFolder.c_str(), capacity);
    return true;
}

// The runs behind Start, which the dialog tests only count.
void InstallerDialog::runInstall()
{
    ++settings().installRuns;
}

void InstallerDialog::runUninstall(const CheckedParams &entries)
{
    ++settings().uninstallRuns;
    settings().uninstalled = entries.size();
}
