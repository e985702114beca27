// shell/entry.h - the installer's flow, run by WinMain and by the exported
// `start`.
#ifndef SHELL_ENTRY_H
#define SHELL_ENTRY_H

#include <windows.h>

struct QuietRequest;

// The whole flow: binds the product module, runs the main dialog, unbinds.
// The main dialog's result; 0 when the product refused or lacks its entry,
// -1 when it cannot be loaded.
int runInstaller(int arg);

// The same binding around a quiet run of request, without any window: its
// exit code, kQuietNoDisc when the product module cannot be bound.
int runQuietInstaller(const QuietRequest &request);

// Runs the main dialog modally over the real catalogue, folders and runs.
INT_PTR runMainDialog();

#endif
