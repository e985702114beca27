// dialogs/services.cpp - the real catalogue load, folders, chooser and runs.
#include "dialogs/services.h"

#include "catalogue/catalogue.h"
#include "controls/folderchooser.h"
#include "dialogs/installrun.h"
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/opener.h"
#include "platform/scope.h"

namespace {

class SystemServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &catalogue, bool firstLoad) override
    {
        ::loadCatalogue(catalogue, firstLoad);
    }
    bool defaultFontFolder(char *out) override { return getDefaultFontFolder(out); }
    bool systemFontFolder(char *out) override { return getSystemFontFolder(out) != nullptr; }
    bool chooseFolder(char *buffer, int capacity) override { return browseForFolder(buffer, capacity); }
    bool findOtfOpener(char *buffer) override { return ::findOtfOpener(buffer); }
    RunSummary runInstall(const InstallJob &job) override { return runInstallJob(job); }
    RunSummary runUninstall(const InstallJob &job) override { return runUninstallJob(job); }
    bool administrator() override { return processIsAdministrator(); }
    DWORD systemBuild() override { return realBuildNumber(); }
    bool restartElevated() override { return restartAsAdministrator(kRestartedArgument); }
};

}  // namespace

const char kRestartedArgument[] = "/elevated";

InstallerServices &systemServices()
{
    static SystemServices services;
    return services;
}
