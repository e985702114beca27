// tests/ui/catalogue_double.cpp - stand-in for the system side of the main dialog.
#include "tests/ui/catalogue_double.h"

#include "platform/fontreg.h"

#include <windows.h>

namespace catalogue_double {

namespace {

bool answer(const std::string &text, char *out, int capacity)
{
    if (text.empty())
        return false;
    lstrcpynA(out, text.c_str(), capacity);
    return true;
}

}  // namespace

void FakeServices::loadCatalogue(FontCatalogue &catalogue, const ModuleChain &, FontScope, bool firstLoad)
{
    ++settings.loadCount;
    settings.loadFirstFlags.push_back(firstLoad);
    catalogue.clear();
    for (const auto &row : settings.rows) {
        FontEntry *entry = catalogue.append();
        for (const auto &property : row)
            entry->setProperty(property.first.c_str(), property.second.c_str());
    }
}

bool FakeServices::defaultFontFolder(const ModuleChain &, FontScope, char *out)
{
    return answer(settings.defaultFolder, out, kFontsValueSize);
}

bool FakeServices::systemFontFolder(char *out) { return answer(settings.systemFontFolder, out, kFontsValueSize); }

bool FakeServices::chooseFolder(char *buffer, int capacity)
{
    ++settings.browseCount;
    return answer(settings.chosenFolder, buffer, capacity);
}

bool FakeServices::findOtfOpener(char *buffer)
{
    ++settings.openerCount;
    return answer(settings.otfOpener, buffer, 256);
}

RunSummary FakeServices::runInstall(const InstallJob &job)
{
    ++settings.installRuns;
    settings.installed = job.entries.size();
    settings.jobDialog = job.mainDialog;
    RunSummary summary;
    size_t refused = static_cast<size_t>(settings.fontListFullAt);
    if (settings.fontListFullAt >= 0 && refused < job.entries.size()) {
        summary.systemFull = job.entries[refused];
        summary.done = static_cast<int>(refused);
        summary.failed = static_cast<int>(job.entries.size() - refused);
        summary.stopped = refused + 1 < job.entries.size();
    } else {
        summary.done = static_cast<int>(job.entries.size());
    }
    return summary;
}

RunSummary FakeServices::runUninstall(const InstallJob &job)
{
    ++settings.uninstallRuns;
    settings.uninstalled = job.entries.size();
    settings.jobDialog = job.mainDialog;
    RunSummary summary;
    summary.failed = settings.uninstallFailures;
    summary.done = static_cast<int>(job.entries.size()) - summary.failed;
    return summary;
}

}  // namespace catalogue_double
