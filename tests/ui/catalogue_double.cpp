// tests/ui/catalogue_double.cpp - stand-in for the system side of the main dialog.
#include "tests/ui/catalogue_double.h"

#include "platform/fontreg.h"

#include <windows.h>

namespace catalogue_double {

namespace {

class FakeServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &, bool firstLoad) override
    {
        ++settings().loadCount;
        settings().loadFirstFlags.push_back(firstLoad);
        catalogue.clear();
        for (const auto &row : settings().rows) {
            FontEntry *entry = catalogue.append();
            for (const auto &property : row)
                entry->setProperty(property.first.c_str(), property.second.c_str());
        }
    }
    bool defaultFontFolder(const ModuleChain &, char *out) override { return answer(settings().defaultFolder, out, kFontsValueSize); }
    bool systemFontFolder(char *out) override { return answer(settings().systemFontFolder, out, kFontsValueSize); }
    bool chooseFolder(char *buffer, int capacity) override
    {
        ++settings().browseCount;
        return answer(settings().chosenFolder, buffer, capacity);
    }
    bool findOtfOpener(char *buffer) override
    {
        ++settings().openerCount;
        return answer(settings().otfOpener, buffer, 256);
    }
    // The runs behind Start, which the dialog tests only record.
    RunSummary runInstall(const InstallJob &job) override
    {
        ++settings().installRuns;
        settings().installed = job.entries.size();
        settings().jobDialog = job.mainDialog;
        RunSummary summary;
        size_t refused = static_cast<size_t>(settings().fontListFullAt);
        if (settings().fontListFullAt >= 0 && refused < job.entries.size()) {
            summary.systemFull = job.entries[refused];
            summary.done = static_cast<int>(refused);
            summary.failed = static_cast<int>(job.entries.size() - refused);
            summary.stopped = refused + 1 < job.entries.size();
        } else {
            summary.done = static_cast<int>(job.entries.size());
        }
        return summary;
    }
    RunSummary runUninstall(const InstallJob &job) override
    {
        ++settings().uninstallRuns;
        settings().uninstalled = job.entries.size();
        settings().jobDialog = job.mainDialog;
        RunSummary summary;
        summary.failed = settings().uninstallFailures;
        summary.done = static_cast<int>(job.entries.size()) - summary.failed;
        return summary;
    }
    bool administrator() override { return settings().administrator; }
    DWORD systemBuild() override { return settings().build; }
    bool restartElevated() override
    {
        ++settings().restarts;
        return true;
    }

private:
    static bool answer(const std::string &text, char *out, int capacity)
    {
        if (text.empty())
            return false;
        lstrcpynA(out, text.c_str(), capacity);
        return true;
    }
};

}  // namespace

Settings &settings()
{
    static Settings s;
    return s;
}

InstallerServices &services()
{
    static FakeServices fake;
    return fake;
}

}  // namespace catalogue_double
