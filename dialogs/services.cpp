// dialogs/services.cpp - the real catalogue load, folders, chooser and runs.
#include "dialogs/services.h"

#include "catalogue/catalogue.h"
#include "controls/folderchooser.h"
#include "dialogs/installrun.h"
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/opener.h"
#include "platform/scope.h"

const char kRestartedArgument[] = "/elevated";

void SystemServices::loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own,
                                   bool firstLoad)
{
    ::loadCatalogue(catalogue, product, own, firstLoad);
}

bool SystemServices::defaultFontFolder(const ModuleChain &product, FontScope scope, char *out)
{
    return getDefaultFontFolder(product, scope, out);
}

bool SystemServices::systemFontFolder(char *out) { return getSystemFontFolder(out) != nullptr; }
bool SystemServices::chooseFolder(char *buffer, int capacity) { return browseForFolder(buffer, capacity); }
bool SystemServices::findOtfOpener(char *buffer) { return ::findOtfOpener(buffer); }
RunSummary SystemServices::runInstall(const InstallJob &job) { return runInstallJob(job); }
RunSummary SystemServices::runUninstall(const InstallJob &job) { return runUninstallJob(job); }
bool SystemServices::administrator() { return processIsAdministrator(); }
DWORD SystemServices::systemBuild() { return realBuildNumber(); }
bool SystemServices::restartElevated() { return restartAsAdministrator(kRestartedArgument); }
