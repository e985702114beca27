// shell/quiet.cpp - the unattended install and uninstall from the command line.
#include "shell/quiet.h"

#include "base/handles.h"
#include "catalogue/fontentry.h"
#include "shell/fontreg.h"
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
    "3 package disc not found, 4 no destination folder,\n"
    "1618 another installer is running.";

namespace {

// How a quiet run ends: its exit code, and the result that its log's run
// line gives (none for the ends whose fonts have their own lines).
enum class QuietEnd {
    Done,
    NothingInstalled,
    FontFailed,
    NoFontOnDisc,
    NoFontListed,
    BadArguments,
    UnknownFont,
    BadFolder,
    NoProduct,
    NoDisc,
    NoFolder,
    Broken,
};

struct QuietEndRow {
    QuietEnd end;
    int code;
    const char *result;
};

const QuietEndRow kQuietEnds[] = {
    {QuietEnd::Done, kQuietDone, nullptr},
    {QuietEnd::NothingInstalled, kQuietDone, "nothing installed"},
    {QuietEnd::FontFailed, kQuietFontFailed, nullptr},
    {QuietEnd::NoFontOnDisc, kQuietFontFailed, "failed: no font of the package on the disc"},
    {QuietEnd::NoFontListed, kQuietFontFailed, "failed: the package lists no font"},
    {QuietEnd::BadArguments, kQuietBadArguments, "failed: bad arguments"},
    {QuietEnd::UnknownFont, kQuietBadArguments, "failed: not a font of the package"},
    {QuietEnd::BadFolder, kQuietBadArguments, "failed: the /dir: folder cannot be used"},
    {QuietEnd::NoProduct, kQuietNoDisc, "failed: the product module could not be bound"},
    {QuietEnd::NoDisc, kQuietNoDisc, "failed: the package disc was not found"},
    {QuietEnd::NoFolder, kQuietNoFolder, "failed: no destination folder"},
    {QuietEnd::Broken, kQuietFontFailed, "failed: the run broke off (internal error)"},
};

const char *outcomeText(FontOutcome outcome)
{
    switch (outcome) {
    case FontOutcome::Installed: return "installed";
    case FontOutcome::Recovered: return "installed (registered in place)";
    case FontOutcome::AlreadyInstalled: return "already installed";
    case FontOutcome::Removed: return "removed";
    case FontOutcome::RemovedAtRestart: return "removed at restart";
    case FontOutcome::NotInstalled: return "not installed";
    case FontOutcome::NotOnDisc: return "failed: not on the disc";
    case FontOutcome::NoDestination: return "failed: unsafe file name";
    case FontOutcome::NoRegistryName: return "failed: no registry name";
    case FontOutcome::NoFreeName: return "failed: no free destination name";
    case FontOutcome::CopyFailed: return "failed: copy";
    case FontOutcome::Cancelled: return "failed: cancelled";
    case FontOutcome::RegistrationFailed: return "failed: registration";
    case FontOutcome::UnregisterFailed: return "failed: unregister";
    case FontOutcome::NotDeleted: return "failed: the file can neither be deleted nor scheduled";
    }
    return "failed";
}

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
// ended by CR LF:  action TAB PostScript name TAB path TAB result. A run that
// ends for another reason than its fonts says why in a line of its own.
class QuietLog : public FontObserver {
public:
    QuietLog(const QuietRequest &request)
        : action_(request.uninstall ? "uninstall" : "install"), quietAbsent_(request.uninstall && request.all)
    {
    }
    bool open(const std::string &path)
    {
        if (path.empty())
            return true;
        file_.reset(std::fopen(path.c_str(), "wb"));
        return static_cast<bool>(file_);
    }
    void fontDone(const FontEntry &entry, const char *path, FontOutcome outcome) override
    {
        // /uninstall /all goes through every font of the package and tells
        // only of those it found.
        if (quietAbsent_ && outcome == FontOutcome::NotInstalled)
            return;
        const std::string *name = entry.findProperty(NAME_POSTSCRIPT);
        line(name ? name->c_str() : "-", path, outcomeText(outcome));
    }
    // The exit code of end, with its run line.
    int end(QuietEnd end, const char *name = "-")
    {
        for (const QuietEndRow &row : kQuietEnds) {
            if (row.end != end)
                continue;
            if (row.result)
                line(name, "", row.result);
            return row.code;
        }
        return kQuietFontFailed;
    }

private:
    void line(const char *name, const char *path, const char *result)
    {
        if (!file_)
            return;
        std::fprintf(file_.get(), "%s\t%s\t%s\t%s\r\n", action_, name, path[0] ? path : "-", result);
        std::fflush(file_.get());
    }

    const char *action_;
    bool quietAbsent_;
    OwnedStdio file_;
};

// The fonts of request, with the product module bound.
QuietEnd runFonts(const QuietRequest &request, InstallerServices &services, QuietLog &log, const RunHooks &hooks,
                  std::string *badName)
{
    // The silent disc search; a quiet run never asks for the disc.
    services.loadCatalogue(false);
    const FontCatalogue &catalogue = fontCatalogue();
    InstallJob job;
    job.policy = FailurePolicy::GoOn;
    job.observer = &log;
    job.steps = hooks.steps;
    job.stamp = hooks.stamp;
    for (const std::string &name : request.fonts) {
        FontEntry *entry = findEntry(catalogue, NAME_POSTSCRIPT, name.c_str());
        if (!entry) {
            *badName = name;
            return QuietEnd::UnknownFont;
        }
        // A name given twice is done once.
        if (std::find(job.entries.begin(), job.entries.end(), entry) == job.entries.end())
            job.entries.push_back(entry);
    }

    char folder[kFontsValueSize] = "";
    if (request.uninstall) {
        if (request.all) {
            for (size_t i = 0; i < catalogue.size(); ++i)
                if (catalogue.at(i)->findProperty(NAME_POSTSCRIPT))
                    job.entries.push_back(catalogue.at(i));
            if (job.entries.empty())
                return QuietEnd::NoFontListed;
        }
        // Where a copy that an interrupted run left behind is looked for.
        if (services.defaultFontFolder(folder))
            job.folder = folder;
        RunSummary summary = uninstallFonts(job);
        if (summary.failed)
            return QuietEnd::FontFailed;
        return request.all && summary.done == 0 ? QuietEnd::NothingInstalled : QuietEnd::Done;
    }

    if (findProductDisc() == 0)
        return QuietEnd::NoDisc;
    if (!request.folder.empty()) {
        // Registered paths must be full paths, whatever the folder was given as.
        DWORD n = GetFullPathNameA(request.folder.c_str(), kPropertySize, folder, nullptr);
        if (n == 0 || n >= static_cast<DWORD>(kPropertySize))
            return QuietEnd::BadFolder;
    } else if (!services.defaultFontFolder(folder)) {
        return QuietEnd::NoFolder;
    }
    job.folder = folder;
    if (request.all) {
        for (size_t i = 0; i < catalogue.size(); ++i)
            if (catalogue.at(i)->findProperty(F_AVAILABLE) && catalogue.at(i)->findProperty(NAME_POSTSCRIPT))
                job.entries.push_back(catalogue.at(i));
        if (job.entries.empty())
            return QuietEnd::NoFontOnDisc;
    }
    return installFonts(job).failed ? QuietEnd::FontFailed : QuietEnd::Done;
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
    r.wellFormed = !(usage || bad || r.all == !r.fonts.empty() || (r.uninstall && haveFolder));
    *request = r;
    return r.wellFormed ? CommandLineKind::Quiet : CommandLineKind::Bad;
}

int runQuiet(const QuietRequest &request, InstallerServices &services, const ProductBinding &bind,
             const RunHooks *hooks)
{
    QuietLog log(request);
    if (!log.open(request.logPath))
        return kQuietBadArguments;
    if (!request.wellFormed)
        return log.end(QuietEnd::BadArguments);
    // An exception (memory, a font file that the readers give up on) ends
    // the run with a line that says so, never with another end's code.
    QuietEnd end = QuietEnd::NoProduct;
    std::string badName = "-";
    try {
        bool bound = bind([&] {
            try {
                end = runFonts(request, services, log, hooks ? *hooks : RunHooks(), &badName);
            } catch (...) {
                end = QuietEnd::Broken;
            }
        });
        if (!bound)
            end = QuietEnd::NoProduct;
    } catch (...) {
        end = QuietEnd::Broken;
    }
    return log.end(end, badName.c_str());
}

int runQuietRequest(const QuietRequest &request, InstallerServices &services)
{
    return runQuiet(request, services, [](const std::function<void()> &body) {
        body();
        return true;
    });
}
