// program/entry.cpp - the installer's flow: binding the product module and
// running the main dialog, or a quiet run from the command line.
#include "program/entry.h"

#include "base/handles.h"
#include "base/system.h"
#include "dialogs/installerdialog.h"
#include "dialogs/services.h"
#include "platform/product.h"
#include "platform/scope.h"
#include "program/quiet.h"
#include "resources/resource.h"

#include <cstdlib>

namespace {

const char kNotFoundCaption[] = "Korimaru Installer: File not found!!";

// The named mutex that the one running installer holds from its start to
// its end, dialog or quiet run alike.
class RunLock {
public:
    RunLock()
    {
        mutex_.reset(CreateMutexA(nullptr, FALSE, installerLockName()));
        if (!mutex_) {
            // A mutex of that name that this user may not open is another
            // user's installer; a system without named mutexes runs unlocked.
            held_ = GetLastError() != ERROR_ACCESS_DENIED;
            return;
        }
        // A run that was killed leaves its mutex abandoned, and free.
        DWORD wait = WaitForSingleObject(mutex_.get(), 0);
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        owned_ = held_;
    }
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;
    ~RunLock()
    {
        if (owned_)
            ReleaseMutex(mutex_.get());
    }
    bool held() const { return held_; }

private:
    OwnedHandle mutex_;
    bool held_ = false;
    bool owned_ = false;
};

// What became of the binding of the product module.
enum class Binding { Bound, NoName, NotLoaded, Refused };

// Loads the product module beside the program, makes the module chain of
// this run with it, calls its `start` and, when it agrees, body with the
// chain; then unbinds it. With showErrors a module that cannot be loaded is
// named in a message box.
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

    ModuleChain chain;
    chain.append(nullptr);
    chain.append(self);
    chain.append(product.get());

    typedef int (*StartFn)(int);
    StartFn start =
        reinterpret_cast<StartFn>(reinterpret_cast<void *>(GetProcAddress(product.get(), "start")));
    Binding binding = Binding::Refused;
    if (start && start(0) != 0) {
        body(chain);
        binding = Binding::Bound;
    }
    return binding;
}

}  // namespace

const char *installerLockName()
{
    // Windows 2000 and later have a namespace per session: one installer
    // runs per machine. Older systems know no such prefix.
    const OSVERSIONINFOA &version = getOsVersion();
    bool sessions = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    return sessions ? "Global\\KorimaruInstaller.Run" : "KorimaruInstaller.Run";
}

int runInstaller(int)
{
    SystemServices services;
    return runInstallerDialog(services, false);
}

int runInstallerDialog(InstallerServices &services, bool restarted)
{
    FontScope scope = FontScope::Machine;
    switch (chooseScope(getOsVersion(), services.systemBuild(), services.administrator(), false, false)) {
    case ScopeChoice::Elevate:
        // Asked once; a second start that still lacks the rights says so.
        if (!restarted && services.restartElevated())
            return 0;
        if (restarted)
            showInstallerMessage(nullptr, IDS_NEED_ADMINISTRATOR, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    case ScopeChoice::User:
        scope = FontScope::User;
        break;
    default:
        break;
    }
    RunLock lock;
    if (!lock.held()) {
        showInstallerMessage(nullptr, IDS_ALREADY_RUNNING, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    int result = 0;
    Binding binding =
        runWithProduct(true, [&result, &services, scope](const ModuleChain &product) {
            result = static_cast<int>(runMainDialog(services, product, scope));
        });
    return binding == Binding::NotLoaded ? -1 : result;
}

int runQuietInstaller(const QuietRequest &request, const RunHooks *hooks)
{
    // Nor may the system ask: no "insert a disk" box for an empty drive met
    // by the disc search, no box for a crash (the run just ends).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    // Another installer at work: nothing is touched, its log included.
    RunLock lock;
    if (!lock.held())
        return kQuietAnotherRun;
    ProductBinding bind = [](const std::function<void(const ModuleChain &)> &body) {
        return runWithProduct(false, body) == Binding::Bound;
    };
    SystemServices services;
    return runQuiet(request, services, bind, hooks);
}

INT_PTR runMainDialog(InstallerServices &services, const ModuleChain &product, FontScope scope)
{
    InstallerDialog dialog(services, product, scope);
    return dialog.run();
}
