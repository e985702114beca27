// shell/quiet.h - the unattended install and uninstall from the command line:
//
//   install.exe /quiet [/uninstall] (/all | /font:NAME ...) [/dir:FOLDER] [/log:FILE]
//
// A quiet run shows no window at all. It loads the catalogue, computes the
// destination names, copies, stamps and registers (or unregisters and
// deletes) each font with the same functions as the dialog's runs, and ends
// with one of the exit codes below.
#ifndef SHELL_QUIET_H
#define SHELL_QUIET_H

#include "shell/services.h"

#include <string>
#include <vector>

// The process exit codes of a quiet run.
enum QuietExitCode {
    kQuietDone = 0,          // every font done (installed, already there, removed)
    kQuietFontFailed = 1,    // at least one font failed; the log says which
    kQuietBadArguments = 2,  // unknown switch, unknown font, /dir: with /uninstall, ...
    kQuietNoDisc = 3,        // the package disc (or its product module) was not found
    kQuietNoFolder = 4,      // no destination folder, and no /dir:
};

// What a quiet command line asks for.
struct QuietRequest {
    bool uninstall = false;
    bool all = false;
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
// written. request is filled for CommandLineKind::Quiet.
CommandLineKind parseCommandLine(const std::vector<std::string> &args, QuietRequest *request);

// The usage text that /? shows.
extern const char kQuietUsage[];

// Runs request with the product module bound: loads the catalogue through
// services (silently), checks the names, and installs or uninstalls. The
// exit code.
int runQuietRequest(const QuietRequest &request, InstallerServices &services);

#endif
