// program/quiet.h - the unattended install and uninstall from the command line:
//
//   install.exe /quiet [/uninstall] (/all | /font:NAME ...) [/dir:FOLDER] [/log:FILE] [/user]
//
// A quiet run shows no window at all. It reads its command line, hands the
// fonts it names to the same pipeline as the dialog (pipeline/pipeline.h),
// writes one log line per font, and ends with one of the exit codes below.
#ifndef PROGRAM_QUIET_H
#define PROGRAM_QUIET_H

#include "dialogs/services.h"
#include "pipeline/pipeline.h"

#include <functional>
#include <string>
#include <vector>

// The process exit codes of a quiet run.
enum QuietExitCode {
    kQuietDone = 0,           // every font done (installed, already there, removed)
    kQuietFontFailed = 1,     // a font failed, the package had none, or the run broke off
    kQuietBadArguments = 2,   // unknown switch, unknown font, /dir: with /uninstall, ...
    kQuietNoDisc = 3,         // the package disc (or its product module) was not found
    kQuietNoFolder = 4,       // no destination folder, and no /dir:
    kQuietNoRights = 5,       // administrator rights are needed: nothing done
    kQuietAnotherRun = 1618,  // another installer is running: nothing done, try again
    kQuietRestart = 3010,     // everything done; a restart (or sign-in) completes it
};

// What a quiet command line asks for.
struct QuietRequest {
    bool wellFormed = true;  // false: the arguments make no request
    bool uninstall = false;
    bool all = false;
    bool user = false;               // /user: for the current user only
    std::vector<std::string> fonts;  // PostScript names, in command-line order
    std::string folder;              // /dir:, empty when not given
    std::string logPath;             // /log:, empty when not given
};

enum class CommandLineKind {
    Dialog,  // no /quiet and no /?: the dialog, as without arguments
    Usage,   // /? without /quiet: the usage in a message box
    Quiet,   // a well-formed quiet request
    Bad,     // /quiet with arguments that do not make a request
};

// Reads the program's arguments (the program name left out). Switches are
// case-insensitive; the value after "/font:", "/dir:" or "/log:" is kept as
// written. request is filled for Quiet, and for Bad as far as the
// arguments go (with wellFormed false), so that its log can say why.
CommandLineKind parseCommandLine(const std::vector<std::string> &args, QuietRequest *request);

// The usage text that /? shows.
extern const char kQuietUsage[];

// Runs body with the product module bound, giving it the chain that holds
// the module; false when it could not be bound.
typedef std::function<bool(const std::function<void(const ModuleChain &)> &body)> ProductBinding;

// A whole quiet run: opens its log, decides for whom it installs from the
// rights and the system that services report (ending with 5 where it would
// need rights it has not, with 2 for /user where there are no fonts for one
// user), binds the product module with bind,
// loads the catalogue through services (silently), runs the fonts through
// the pipeline (with hooks, when given, in its jobs) and returns the exit
// code. Every end other than 0 and 1 for a failed font writes one line
// with its reason into the log; no exception leaves it.
int runQuiet(const QuietRequest &request, InstallerServices &services, const ProductBinding &bind,
             const RunHooks *hooks = nullptr);

// The same with the product module bound already, in product.
int runQuietRequest(const QuietRequest &request, InstallerServices &services, const ModuleChain &product,
                    const RunHooks *hooks = nullptr);

#endif
