// shell/entry.cpp - the installer's flow: binding the product module and
// running the main dialog.
#include "shell/entry.h"

#include "base/handles.h"
#include "base/system.h"
#include "resources/resource.h"
#include "shell/installerdialog.h"
#include "shell/product.h"

#include <cstdlib>

namespace {

const char kNotFoundCaption[] = "Korimaru Installer: File not found!!";

}  // namespace

int runInstaller(int)
{
    HMODULE self = installerModule();
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fileName[MAX_PATH], path[MAX_PATH];
    if (!moduleFolder(self, drive, dir))
        return 0;
    if (LoadStringA(self, IDS_PRODUCT_MODULE, fileName, sizeof fileName) <= 0)
        return 0;
    if (!joinPath(path, sizeof path, drive, dir, fileName)) {
        MessageBoxA(nullptr, fileName, kNotFoundCaption, MB_OK);
        return -1;
    }

    OwnedModule product(LoadLibraryA(path));
    if (!product) {
        MessageBoxA(nullptr, path, kNotFoundCaption, MB_OK);
        return -1;
    }

    ModuleChain &chain = ModuleChain::instance();
    chain.clear();
    chain.append(nullptr);
    chain.append(self);
    chain.append(product.get());

    typedef int (*StartFn)(int);
    StartFn start =
        reinterpret_cast<StartFn>(reinterpret_cast<void *>(GetProcAddress(product.get(), "start")));
    int result = 0;
    if (start && start(0) != 0)
        result = static_cast<int>(runMainDialog());

    chain.remove(product.get());
    product.reset();
    return result;
}

INT_PTR runMainDialog()
{
    InstallerDialog dialog;
    return dialog.run();
}
