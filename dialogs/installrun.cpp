// dialogs/installrun.cpp - the install and uninstall runs behind Start.
#include "dialogs/installrun.h"

#include "base/system.h"
#include "dialogs/installerdialog.h"
#include "dialogs/progressdialog.h"
#include "platform/product.h"
#include "resources/resource.h"

RunSummary runInstallJob(const InstallJob &job)
{
    CancelRequest cancel;
    InstallJob run = job;
    run.cancel = &cancel;
    run.policy = FailurePolicy::StopAtFirstFailure;
    RunSummary summary;
    ProgressDialog progress(
        [&run, &summary](HWND window) {
            run.progress = ProgressSink(window);
            summary = installFonts(run);
        },
        cancel);
    progress.run(job.mainDialog);
    return summary;
}

RunSummary runUninstallJob(const InstallJob &job)
{
    InstallJob run = job;
    run.policy = FailurePolicy::GoOn;
    RunSummary summary = uninstallFonts(run);
    // Adobe Type Manager on NT 4.0 keeps its own record of the fonts.
    if (job.product && getProductFontType(*job.product) == 'O' && isNT4() && job.mainDialog)
        showInstallerMessage(job.mainDialog, IDS_ATM_NT4_UNINSTALL, MB_OK | MB_ICONEXCLAMATION);
    return summary;
}
