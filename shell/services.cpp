// shell/services.cpp - the real catalogue load, folders, chooser and runs.
#include "shell/services.h"

#include "catalogue/atm.h"
#include "catalogue/catalogue.h"
#include "shell/fontreg.h"
#include "shell/installrun.h"
#include "shell/scope.h"

namespace {

class SystemServices : public InstallerServices {
public:
    void loadCatalogue(bool firstLoad) override { ::loadCatalogue(firstLoad); }
    bool defaultFontFolder(char *out) override { return getDefaultFontFolder(out); }
    bool systemFontFolder(char *out) override { return getSystemFontFolder(out) != nullptr; }
    bool chooseFolder(char *buffer, int capacity) override { return browseForFolder(buffer, capacity); }
    bool findOtfOpener(char *buffer) override { return ::findOtfOpener(buffer); }
    void runInstall(const InstallJob &job) override { runInstallJob(job); }
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
