// dialogs/services.h - what the main dialog and the install run take from the
// system: the catalogue load, the folders, the folder chooser and the two
// runs. The program uses SystemServices; tests give the dialog their own.
#ifndef DIALOGS_SERVICES_H
#define DIALOGS_SERVICES_H

#include "catalogue/fontentry.h"
#include "pipeline/pipeline.h"

#include <windows.h>

#include <string>

class InstallerServices {
public:
    virtual ~InstallerServices() = default;

    // Rebuilds catalogue from the package bound in product for a run that
    // installs for own; the first load asks for the package disc.
    virtual void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own,
                               bool firstLoad) = 0;
    // The proposed destination for product's fonts in a run for scope, and
    // the system fonts folder, into out (kFontsValueSize chars); false when
    // there is none.
    virtual bool defaultFontFolder(const ModuleChain &product, FontScope scope, char *out) = 0;
    virtual bool systemFontFolder(char *out) = 0;
    // Lets the user choose a folder (capacity chars); false when cancelled.
    virtual bool chooseFolder(char *buffer, int capacity) = 0;
    // The program that opens ".otf" files into buffer (256 chars).
    virtual bool findOtfOpener(char *buffer) = 0;
    // Installs job.entries into job.folder under a progress dialog owned by
    // job.mainDialog; what became of them.
    virtual RunSummary runInstall(const InstallJob &job) = 0;
    // Uninstalls job.entries on the calling thread; what became of them.
    virtual RunSummary runUninstall(const InstallJob &job) = 0;

    // Whether the run may install for all users (administrator rights).
    virtual bool administrator() = 0;
    // The system's real build number; 0 when it has none.
    virtual DWORD systemBuild() = 0;
    // Starts the program's dialog again with administrator rights, asking
    // the user; false when it could not be started.
    virtual bool restartElevated() = 0;
};

// The argument with which the program starts itself again elevated; the
// dialog ignores it, and a second start without the rights does not ask again.
extern const char kRestartedArgument[];

// The real ones: the disc, the registry, the shell and the file system.
class SystemServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own, bool firstLoad) override;
    bool defaultFontFolder(const ModuleChain &product, FontScope scope, char *out) override;
    bool systemFontFolder(char *out) override;
    bool chooseFolder(char *buffer, int capacity) override;
    bool findOtfOpener(char *buffer) override;
    RunSummary runInstall(const InstallJob &job) override;
    RunSummary runUninstall(const InstallJob &job) override;
    bool administrator() override;
    DWORD systemBuild() override;
    bool restartElevated() override;
};

#endif
