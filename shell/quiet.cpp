// shell/quiet.cpp - the unattended install and uninstall from the command line.
#include "shell/quiet.h"

#include "base/handles.h"
#include "catalogue/fontentry.h"
#include "shell/fontreg.h"
#include "shell/installrun.h"
#include "shell/product.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

const char kQuietUsage[] =
    "install.exe /quiet [/uninstall] (/all | /font:NAME ...) [/dir:FOLDER] [/log:FILE]\n"
    "\n"
    "/quiet\tinstall (or uninstall) without showing any window\n"
    "/uninstall\tuninstall instead of installing\n"
    "/all\tevery font on the disc (install) or installed (uninstall)\n"
    "/font:NAME\tthe font with this PostScript name; may be repeated\n"
    "/dir:FOLDER\twhere to install (default: the folder the dialog proposes)\n"
    "/log:FILE\tone line per font: action, name, path, result\n"
    "\n"
    "Exit codes: 0 done, 1 a font failed, 2 bad arguments,\n"
    "3 package disc not found, 4 no destination folder.";

namespace {

// The value of a switch "/name:value" when arg starts with prefix ("/name:",
// lower case), compared without regard to case.
bool switchValue(const std::string &arg, const char *prefix, std::string *value)
{
    size_t n = std::strlen(prefix);
    if (arg.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(arg[i])) != prefix[i])
            return false;
    *value = arg.substr(n);
    return true;
}

bool isSwitch(const std::string &arg, const char *name)
{
    std::string rest;
    return arg.size() == std::strlen(name) && switchValue(arg, name, &rest);
}

// The log of a quiet run: one line per font, fields separated by TAB, lines
// ended by CR LF:  action TAB PostScript name TAB path TAB result.
class QuietLog {
public:
    bool open(const std::string &path)
    {
        if (path.empty())
            return true;
        file_.reset(std::fopen(path.c_str(), "wb"));
        return static_cast<bool>(file_);
    }
    void line(const char *action, const char *name, const char *path, const char *result)
    {
        if (!file_)
            return;
        std::fprintf(file_.get(), "%s\t%s\t%s\t%s\r\n", action, name, path[0] ? path : "-", result);
        std::fflush(file_.get());
    }

private:
    OwnedStdio file_;
};

// Installs one entry into job's folder; true on success (also when it is
// already installed).
bool installQuietly(const InstallJob &job, const FontEntry *entry, const char *name, QuietLog &log)
{
    char path[MAX_PATH] = "";
    if (entry->findProperty(F_INSTALLED)) {
        getProperty(entry, PATH_INSTALLED, path, sizeof path);
        log.line("install", name, path, "already installed");
        return true;
    }
    char source[kPropertySize] = "";
    if (!entry->findProperty(F_AVAILABLE) || !getProperty(entry, PATH_SOURCE, source, sizeof source)) {
        log.line("install", name, "", "failed: not on the disc");
        return false;
    }
    if (!computeDestination(job, entry, path)) {
        log.line("install", name, "", "failed: no free destination name");
        return false;
    }
    // The same steps as installOneFont, without a progress dialog to tell.
    if (copyFontFile(source, path, nullptr) == 0) {
        DeleteFileA(path);
        log.line("install", name, path, "failed: copy");
        return false;
    }
    if (!registerFontCopy(entry, path)) {
        DeleteFileA(path);
        log.line("install", name, path, "failed: registration");
        return false;
    }
    log.line("install", name, path, "installed");
    return true;
}

bool uninstallQuietly(const FontEntry *entry, const char *name, QuietLog &log)
{
    char path[kPropertySize] = "";
    if (!entry->findProperty(F_INSTALLED)) {
        log.line("uninstall", name, "", "not installed");
        return true;
    }
    getProperty(entry, PATH_INSTALLED, path, sizeof path);
    switch (uninstallOneFont(entry)) {
    case UninstallResult::Removed:
        log.line("uninstall", name, path, "removed");
        return true;
    case UninstallResult::RemovedAtRestart:
        log.line("uninstall", name, path, "removed at restart");
        return true;
    default:
        log.line("uninstall", name, path, "failed: the file can neither be deleted nor scheduled");
        return false;
    }
}

}  // namespace

CommandLineKind parseCommandLine(const std::vector<std::string> &args, QuietRequest *request)
{
    QuietRequest r;
    bool quiet = false, usage = false, bad = false;
    bool haveFolder = false, haveLog = false;
    std::string value;
    for (const std::string &arg : args) {
        if (arg == "/?")
            usage = true;
        else if (isSwitch(arg, "/quiet"))
            quiet = true;
        else if (isSwitch(arg, "/uninstall"))
            r.uninstall = true;
        else if (isSwitch(arg, "/all"))
            r.all = true;
        else if (switchValue(arg, "/font:", &value) && !value.empty())
            r.fonts.push_back(value);
        else if (switchValue(arg, "/dir:", &value) && !value.empty() && !haveFolder)
            r.folder = value, haveFolder = true;
        else if (switchValue(arg, "/log:", &value) && !value.empty() && !haveLog)
            r.logPath = value, haveLog = true;
        else
            bad = true;
    }
    if (!quiet)
        return usage ? CommandLineKind::Usage : CommandLineKind::Dialog;
    // Nothing asks anyone in quiet mode, not even the usage box.
    if (usage || bad || r.all == !r.fonts.empty() || (r.uninstall && haveFolder))
        return CommandLineKind::Bad;
    *request = r;
    return CommandLineKind::Quiet;
}

int runQuietRequest(const QuietRequest &request, InstallerServices &services)
{
    QuietLog log;
    if (!log.open(request.logPath))
        return kQuietBadArguments;

    // The silent disc search; a quiet run never asks for the disc.
    services.loadCatalogue(false);
    const FontCatalogue &catalogue = fontCatalogue();
    const char *wanted = request.uninstall ? F_INSTALLED : F_AVAILABLE;
    CheckedParams entries;
    if (request.all) {
        for (size_t i = 0; i < catalogue.size(); ++i)
            if (catalogue.at(i)->findProperty(wanted) && catalogue.at(i)->findProperty(NAME_POSTSCRIPT))
                entries.push_back(catalogue.at(i));
    }
    for (const std::string &name : request.fonts) {
        FontEntry *entry = findEntry(catalogue, NAME_POSTSCRIPT, name.c_str());
        if (!entry)
            return kQuietBadArguments;
        // A name given twice is done once: a second install would make a
        // second copy under the next free letter.
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(entry);
    }

    bool failed = false;
    if (request.uninstall) {
        for (const FontEntry *entry : entries)
            failed |= !uninstallQuietly(entry, entry->findProperty(NAME_POSTSCRIPT)->c_str(), log);
        return failed ? kQuietFontFailed : kQuietDone;
    }

    if (findProductDisc() == 0)
        return kQuietNoDisc;
    InstallJob job;
    char folder[kFontsValueSize] = "";
    if (!request.folder.empty()) {
        // Registered paths must be full paths, whatever the folder was given as.
        DWORD n = GetFullPathNameA(request.folder.c_str(), kPropertySize, folder, nullptr);
        if (n == 0 || n >= static_cast<DWORD>(kPropertySize))
            return kQuietBadArguments;
    } else if (!services.defaultFontFolder(folder)) {
        return kQuietNoFolder;
    }
    job.folder = folder;
    // Each font is tried, also after another one failed; the log tells which.
    for (const FontEntry *entry : entries)
        failed |= !installQuietly(job, entry, entry->findProperty(NAME_POSTSCRIPT)->c_str(), log);
    return failed ? kQuietFontFailed : kQuietDone;
}
