// shell/entry.cpp - the installer's flow: binding the product module and
// running the main dialog, or a quiet run from the command line.
#include "shell/entry.h"

#include "base/handles.h"
#include "base/system.h"
#include "resources/resource.h"
#include "shell/installerdialog.h"
#include "shell/product.h"
#include "shell/quiet.h"

#include <cstdlib>

namespace {

const char kNotFoundCaption[] = "Korimaru Installer: File not found!!";

// What became of the binding of the product module.
enum class Binding { Bound, NoName, NotLoaded, Refused };

// Loads the product module beside the program, puts it into the module
// chain, calls its `start` and, when it agrees, body; then unbinds it. With
// showErrors a module that cannot be loaded is named in a message box.
template <class Body>
Binding runWithProduct(bool showErrors, Body body)
{
    HMODULE self = installerModule();
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fileName[MAX_PATH], path[MAX_PATH];
    if (!moduleFolder(self, drive, dir))
        return Binding::NoName;
    if (LoadStringA(self, IDS_PRODUCT_MODULE, fileName, sizeof fileName) <= 0)
        return Binding::NoName;
    if (!joinPath(path, sizeof path, drive, dir, fileName)) {
        if (showErrors)
            MessageBoxA(nullptr, fileName, kNotFoundCaption, MB_OK);
        return Binding::NotLoaded;
    }

    OwnedModule product(LoadLibraryA(path));
    if (!product) {
        if (showErrors)
            MessageBoxA(nullptr, path, kNotFoundCaption, MB_OK);
        return Binding::NotLoaded;
    }

    ModuleChain &chain = ModuleChain::instance();
    chain.clear();
    chain.append(nullptr);
    chain.append(self);
    chain.append(product.get());

    typedef int (*StartFn)(int);
    StartFn start =
        reinterpret_cast<StartFn>(reinterpret_cast<void *>(GetProcAddress(product.get(), "start")));
    Binding binding = Binding::Refused;
    if (start && start(0) != 0) {
        body();
        binding = Binding::Bound;
    }

    chain.remove(product.get());
    product.reset();
    return binding;
}

}  // namespace

int runInstaller(int)
{
    int result = 0;
    Binding binding = runWithProduct(true, [&result] { result = static_cast<int>(runMainDialog()); });
    return binding == Binding::NotLoaded ? -1 : result;
}

int runQuietInstaller(const QuietRequest &request)
{
    // Nor may the system ask: no "insert a disk" box for an empty drive met
    // by the disc search, no box for a crash (the run just ends).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    int result = kQuietNoDisc;
    runWithProduct(false, [&] { result = runQuietRequest(request, systemServices()); });
    return result;
}

INT_PTR runMainDialog()
{
    InstallerDialog dialog;
    return dialog.run();
}
