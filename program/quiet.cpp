// program/quiet.cpp - the unattended install and uninstall from the command line.
#include "program/quiet.h"

#include "base/handles.h"
#include "base/system.h"
#include "catalogue/fontentry.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "platform/scope.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

const char kQuietUsage[] =
    "install.exe /quiet [/uninstall] (/all | /font:NAME ...) [/dir:FOLDER] [/log:FILE] [/user]\n"
    "\n"
    "/quiet\tinstall (or uninstall) without showing any window\n"
    "/uninstall\tuninstall instead of installing\n"
    "/all\tevery font on the disc (install) or installed (uninstall)\n"
    "/font:NAME\tthe font with this PostScript name; may be repeated\n"
    "/dir:FOLDER\twhere to install (default: the folder the dialog proposes)\n"
    "/log:FILE\tone line per font: action, name, path, result\n"
    "/user\tfor the current user only (Windows 10 1809 and later)\n"
    "\n"
    "Exit codes: 0 done, 1 a font failed, 2 bad arguments,\n"
    "3 package disc not found, 4 no destination folder,\n"
    "5 administrator rights are needed, 1618 another installer\n"
    "is running, 3010 done, a restart completes it.";

namespace {

// How a quiet run ends: its exit code, and the result that its log's run
// line gives (none for the ends whose fonts have lines of their own).
struct QuietEnd {
    int code;
    const char *result;
};
const QuietEnd kDone = {kQuietDone, nullptr};
const QuietEnd kNothingInstalled = {kQuietDone, "nothing installed"};
const QuietEnd kFontFailed = {kQuietFontFailed, nullptr};
const QuietEnd kNoFontOnDisc = {kQuietFontFailed, "failed: no font of the package on the disc"};
const QuietEnd kNoFontListed = {kQuietFontFailed, "failed: the package lists no font"};
const QuietEnd kBroken = {kQuietFontFailed, "failed: the run broke off (internal error)"};
const QuietEnd kBadArguments = {kQuietBadArguments, "failed: bad arguments"};
const QuietEnd kUnknownFont = {kQuietBadArguments, "failed: not a font of the package"};
const QuietEnd kBadFolder = {kQuietBadArguments, "failed: the /dir: folder cannot be used"};
const QuietEnd kNoProduct = {kQuietNoDisc, "failed: the product module could not be bound"};
const QuietEnd kNoDisc = {kQuietNoDisc, "failed: the package disc was not found"};
const QuietEnd kNoFolder = {kQuietNoFolder, "failed: no destination folder"};
const QuietEnd kRestart = {kQuietRestart, nullptr};
const QuietEnd kNoRights = {kQuietNoRights, "failed: administrator rights are needed"};
const QuietEnd kNoUserFonts = {kQuietBadArguments, "failed: /user needs Windows 10 version 1809 or later"};
const QuietEnd kUserFolder = {kQuietBadArguments, "failed: /dir: is not for an install for one user"};

// The log's result for each FontOutcome, in its order.
const char *const kOutcomeText[] = {
    "installed", "installed (registered in place)", "already installed", "removed", "removed at restart",
    "not installed", "installed for all users: left as it is", "failed: not on the disc", "failed: unsafe file name", "failed: no registry name",
    "failed: no free destination name", "failed: copy", "failed: cancelled", "failed: registration",
    "failed: unregister", "failed: the file can neither be deleted nor scheduled",
    "failed: the system's font list is full", "failed: not tried, the system's font list is full",
};
static_assert(sizeof kOutcomeText / sizeof kOutcomeText[0] == static_cast<size_t>(FontOutcome::NotTried) + 1,
              "one text per outcome");

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
    explicit QuietLog(const QuietRequest &request)
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
        line(name ? name->c_str() : "-", path, kOutcomeText[static_cast<int>(outcome)]);
    }
    // The exit code of end, with its run line.
    int end(const QuietEnd &end, const char *name = "-")
    {
        if (end.result)
            line(name, "", end.result);
        return end.code;
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
const QuietEnd &runFonts(const QuietRequest &request, InstallerServices &services, const ModuleChain &product,
                         FontScope scope, QuietLog &log, const RunHooks &hooks, std::string *badName)
{
    // The silent disc search; a quiet run never asks for the disc.
    FontCatalogue catalogue;
    services.loadCatalogue(catalogue, product, scope, false);
    InstallJob job;
    job.product = &product;
    job.scope = scope;
    job.policy = FailurePolicy::GoOn;
    job.observer = &log;
    job.steps = hooks.steps;
    job.stamp = hooks.stamp;
    job.registrar = hooks.registrar;
    job.profile = hooks.profile;
    for (const std::string &name : request.fonts) {
        FontEntry *entry = findEntry(catalogue, NAME_POSTSCRIPT, name.c_str());
        if (!entry) {
            *badName = name;
            return kUnknownFont;
        }
        // A name given twice is done once.
        if (std::find(job.entries.begin(), job.entries.end(), entry) == job.entries.end())
            job.entries.push_back(entry);
    }
    // /all: every font on the disc, or to uninstall every font of the
    // package (the pipeline finds those that are installed, or left by an
    // interrupted run).
    const char *wanted = request.uninstall ? NAME_POSTSCRIPT : F_AVAILABLE;
    for (size_t i = 0; request.all && i < catalogue.size(); ++i)
        if (catalogue.at(i)->findProperty(wanted) && catalogue.at(i)->findProperty(NAME_POSTSCRIPT))
            job.entries.push_back(catalogue.at(i));

    char folder[kFontsValueSize] = "";
    if (request.uninstall) {
        if (job.entries.empty())
            return kNoFontListed;
        if (services.defaultFontFolder(product, scope, folder))
            job.folder = folder;
        RunSummary summary = uninstallFonts(job);
        if (summary.failed)
            return kFontFailed;
        if (summary.atRestart)
            return kRestart;
        return request.all && summary.done == 0 ? kNothingInstalled : kDone;
    }
    if (findProductDisc(product) == 0)
        return kNoDisc;
    if (!request.folder.empty()) {
        // Registered paths must be full paths, whatever the folder was given as.
        DWORD n = GetFullPathNameA(request.folder.c_str(), kPropertySize, folder, nullptr);
        if (n == 0 || n >= static_cast<DWORD>(kPropertySize))
            return kBadFolder;
    } else if (!services.defaultFontFolder(product, scope, folder)) {
        return kNoFolder;
    }
    job.folder = folder;
    if (job.entries.empty())
        return kNoFontOnDisc;
    return installFonts(job).failed ? kFontFailed : kDone;
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
        else if (isSwitch(arg, "/user"))
            r.user = true;
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
        return log.end(kBadArguments);
    // For whom: nothing is asked, and nothing is done without the rights.
    FontScope scope = FontScope::Machine;
    switch (chooseScope(getOsVersion(), services.systemBuild(), services.administrator(), request.user, true)) {
    case ScopeChoice::UserNotAllowed:
        return log.end(kNoUserFonts);
    case ScopeChoice::NoRights:
    case ScopeChoice::Elevate:
        return log.end(kNoRights);
    case ScopeChoice::User:
        // The user's fonts have their own folder.
        if (!request.folder.empty())
            return log.end(kUserFolder);
        scope = FontScope::User;
        break;
    case ScopeChoice::Machine:
        break;
    }
    // An exception (memory, a font file that the readers give up on) ends
    // the run with a line that says so, never with another end's code.
    const QuietEnd *end = &kNoProduct;
    std::string badName = "-";
    try {
        bool bound = bind([&](const ModuleChain &product) {
            try {
                end = &runFonts(request, services, product, scope, log, hooks ? *hooks : RunHooks(), &badName);
            } catch (...) {
                end = &kBroken;
            }
        });
        if (!bound)
            end = &kNoProduct;
    } catch (...) {
        end = &kBroken;
    }
    return log.end(*end, badName.c_str());
}

int runQuietRequest(const QuietRequest &request, InstallerServices &services, const ModuleChain &product,
                    const RunHooks *hooks)
{
    ProductBinding bound = [&product](const std::function<void(const ModuleChain &)> &body) {
        body(product);
        return true;
    };
    return runQuiet(request, services, bound, hooks);
}
