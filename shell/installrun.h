// shell/installrun.h - the install and uninstall runs behind Start.
//
// An install copies each ticked font from the disc into the destination
// folder on a worker thread under the progress dialog, stamps the copy's
// embedding type and registers it. An uninstall unregisters and deletes each
// ticked font on the dialog thread.
#ifndef SHELL_INSTALLRUN_H
#define SHELL_INSTALLRUN_H

#include "catalogue/fontentry.h"
#include "shell/services.h"

#include <windows.h>

// The destination path of entry's installed copy (out holds MAX_PATH chars)
// in the job's folder, asking its main dialog for it when there is one; false
// when the entry is to be skipped: no folder, no or unsafe NAME_MARUKAN, or
// no free name.
bool computeDestination(const InstallJob &job, const FontEntry *entry, char *out);

// The first name that does not exist yet among folder\name+ext,
// folder\name+'A'+ext, ... folder\name+'Z'+ext; false after 'Z' or when the
// path would not fit in out (MAX_PATH chars).
bool makeUniqueDestination(const char *folder, const char *name, const char *ext, char *out);

// Copies source to destination in 8192-byte blocks, reporting each block to
// progress (PM_ADVANCE; nothing when progress is nullptr) and stopping at a
// cancel; stamps the copy's
// embedding type. The number of bytes copied, 0 on failure or cancel.
unsigned long copyFontFile(const char *source, const char *destination, HWND progress);

// Registers the installed copy as the package's font type and the running
// system require; nonzero on success.
int registerFontCopy(const FontEntry *entry, const char *installedPath);

// Copies and registers one font; nonzero on success.
int installOneFont(const FontEntry *entry, const char *destination, HWND progress);

// Installs every entry of job in turn, reporting to progress (which may be
// nullptr); an entry that has no destination is skipped, a failed one is
// deleted and ends the run.
void installEntries(const InstallJob &job, HWND progress);

// The worker of an install run; its parameter is the progress dialog, whose
// context is the InstallJob.
DWORD WINAPI installWorkerProc(LPVOID progressDialog);

// What became of an installed font's file.
enum class UninstallResult {
    Removed,           // deleted
    RemovedAtRestart,  // in use: its deletion is scheduled for the next restart
    NotDeleted,        // neither deleted nor scheduled
    NoFile,            // the entry names no installed file
};

// Unregisters one installed font and deletes its file, or schedules the
// deletion for the next restart when the file is in use.
UninstallResult uninstallOneFont(const FontEntry *entry);

// The two runs behind Start: the install under the progress dialog owned by
// job.mainDialog, the uninstall on the calling thread.
void runInstallJob(const InstallJob &job);
void runUninstallJob(const InstallJob &job);

#endif
