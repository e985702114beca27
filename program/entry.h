// program/entry.h - the installer's flow, run by WinMain and by the exported
// `start`.
#ifndef PROGRAM_ENTRY_H
#define PROGRAM_ENTRY_H

#include "platform/scope.h"

#include <windows.h>

class InstallerServices;
class ModuleChain;
struct QuietRequest;
struct RunHooks;

// The whole flow: binds the product module, runs the main dialog, unbinds.
// The main dialog's result; 0 when the product refused or lacks its entry,
// -1 when it cannot be loaded. While another installer runs it says so in a
// message box and returns 0.
int runInstaller(int arg);

// The same flow over services. It first decides for whom the dialog
// installs: on Windows 2000 and later without administrator rights, a
// system with fonts for one user installs for the current user, any other
// starts the program again elevated (services.restartElevated) and returns
// 0; restarted says that this is that second start, which then says that
// administrator rights are needed instead of asking again.
int runInstallerDialog(InstallerServices &services, bool restarted);

// The same binding around a quiet run of request, without any window: its
// exit code, kQuietNoDisc when the product module cannot be bound and
// kQuietAnotherRun, with nothing done, while another installer runs. A test
// build passes hooks for the run's jobs.
int runQuietInstaller(const QuietRequest &request, const RunHooks *hooks = nullptr);

// The name of the mutex that the running installer holds: a second one,
// dialog or quiet run, finds it held and does nothing.
const char *installerLockName();

// Runs the main dialog of the package bound in product, installing for
// scope's users, modally over services.
INT_PTR runMainDialog(InstallerServices &services, const ModuleChain &product, FontScope scope);

#endif
