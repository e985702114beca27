// shell/installrun.h - the install and uninstall runs behind Start.
//
// Both go through the pipeline (shell/pipeline.h) that the quiet command
// line uses too. An install runs on a worker thread under the progress
// dialog and stops at its first failure; an uninstall runs on the dialog
// thread and goes on after a failure.
#ifndef SHELL_INSTALLRUN_H
#define SHELL_INSTALLRUN_H

#include "shell/pipeline.h"

// The install under a progress dialog owned by job.mainDialog, with its
// Cancel; returns when the dialog has closed.
RunSummary runInstallJob(const InstallJob &job);
// The uninstall on the calling thread.
RunSummary runUninstallJob(const InstallJob &job);

#endif
