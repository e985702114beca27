// tests/ui/catalogue_double.h - stand-in for the system side of the main
// dialog: the catalogue load, the folders, the folder chooser, the ".otf"
// opener and the two runs answer from the settings below instead of the
// disc, the registry and the shell. Given to the dialog in place of
// SystemServices.
#ifndef TESTS_UI_CATALOGUE_DOUBLE_H
#define TESTS_UI_CATALOGUE_DOUBLE_H

#include "dialogs/services.h"

#include <string>
#include <vector>

namespace catalogue_double {

// One entry per row: key/value pairs.
typedef std::vector<std::pair<std::string, std::string>> Row;

struct Settings {
    std::vector<Row> rows;           // what loadCatalogue puts into the catalogue
    std::string defaultFolder;       // empty: there is no default folder
    std::string systemFontFolder = "C:\\windows\\Fonts";
    std::string chosenFolder;        // empty: the folder chooser is cancelled
    std::string otfOpener;           // empty: no ".otf" opener
    int loadCount = 0;
    std::vector<bool> loadFirstFlags;
    int browseCount = 0;
    int openerCount = 0;
    int installRuns = 0;             // Start in Install mode with fonts ticked
    int uninstallRuns = 0;
    size_t installed = 0;            // entries handed to the last install run
    size_t uninstalled = 0;          // entries handed to the last uninstall run
    int uninstallFailures = 0;       // fonts that the uninstall runs fail
    int fontListFullAt = -1;         // the ticked font that install runs find the list full at
    HWND jobDialog = nullptr;        // main dialog of the last run's job
    bool administrator = true;       // the run has administrator rights
    DWORD build = 19045;             // the system's build number
    int restarts = 0;                // elevated restarts asked for
};

// The stand-in, answering from its settings.
class FakeServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own, bool firstLoad) override;
    bool defaultFontFolder(const ModuleChain &product, FontScope scope, char *out) override;
    bool systemFontFolder(char *out) override;
    bool chooseFolder(char *buffer, int capacity) override;
    bool findOtfOpener(char *buffer) override;
    // The runs behind Start, which the dialog tests only record.
    RunSummary runInstall(const InstallJob &job) override;
    RunSummary runUninstall(const InstallJob &job) override;
    bool administrator() override { return settings.administrator; }
    DWORD systemBuild() override { return settings.build; }
    bool restartElevated() override
    {
        ++settings.restarts;
        return true;
    }

    Settings settings;
};

}  // namespace catalogue_double

#endif
