// shell/installrun.cpp - the install and uninstall runs behind Start.
#include "shell/installrun.h"

#include "base/handles.h"
#include "base/path.h"
#include "base/system.h"
#include "catalogue/atm.h"
#include "sfnt/embed.h"
#include "shell/fontreg.h"
#include "shell/installerdialog.h"
#include "shell/product.h"
#include "shell/progressdialog.h"
#include "resources/resource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

const size_t kCopyBlock = 8192;
const size_t kStreamBuffer = 65536;
const size_t kFileNameSize = 128;  // name part of NAME_MARUKAN, NUL included

}  // namespace

bool makeUniqueDestination(const char *folder, const char *name, const char *ext, char *out)
{
    // A folder given as a drive root already ends in its separator. One
    // whose name ends in 表 or 許 ends in a 0x5C byte that separates nothing.
    const char *sep = endsWithSeparator(folder) ? "" : "\\";
    int len = std::snprintf(out, MAX_PATH, "%s%s%s%s", folder, sep, name, ext);
    if (len < 0 || len >= MAX_PATH)
        return false;
    for (char letter = 'A'; GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES; ++letter) {
        if (letter > 'Z')
            return false;
        len = std::snprintf(out, MAX_PATH, "%s%s%s%c%s", folder, sep, name, letter, ext);
        if (len < 0 || len >= MAX_PATH)
            return false;
    }
    return true;
}

bool computeDestination(const InstallJob &job, const FontEntry *entry, char *out)
{
    char folder[kPropertySize] = "";
    if (job.mainDialog) {
        if (SendMessageA(job.mainDialog, DM_GETFOLDER, 0, reinterpret_cast<LPARAM>(folder)) == 0)
            return false;
    } else if (job.folder.empty() || job.folder.size() >= sizeof folder) {
        return false;
    } else {
        job.folder.copy(folder, job.folder.size());
    }
    char marukan[kPropertySize];
    if (!getProperty(entry, NAME_MARUKAN, marukan, sizeof marukan))
        return false;
    // NAME_MARUKAN comes from the name map; only a plain file name may name
    // the installed copy, never a path that leads out of the destination.
    if (!isPlainFileName(marukan))
        return false;
    PathParts parts = splitPath(marukan);
    parts.fname.resize(fitChars(parts.fname.c_str(), kFileNameSize - 1));
    return makeUniqueDestination(folder, parts.fname.c_str(), parts.ext.c_str(), out);
}

unsigned long copyFontFile(const char *source, const char *destination, HWND progress,
                           EmbeddingStamp stamp)
{
    OwnedStdio in(std::fopen(source, "rb"));
    if (!in)
        return 0;
    OwnedStdio out(std::fopen(destination, "wb"));
    if (!out)
        return 0;
    // Stream buffers larger than the block: the system is asked for the
    // data in a few large reads and writes rather than in two calls a block.
    std::setvbuf(in.get(), nullptr, _IOFBF, kStreamBuffer);
    std::setvbuf(out.get(), nullptr, _IOFBF, kStreamBuffer);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBlock]);
    unsigned long total = 0;
    bool ok = buffer != nullptr;
    while (ok) {
        if (cancelRequested & 1) {
            ok = false;
            break;
        }
        size_t n = std::fread(buffer.get(), 1, kCopyBlock, in.get());
        if (n > 0) {
            if (std::fwrite(buffer.get(), 1, n, out.get()) != n) {
                ok = false;
                break;
            }
            total += static_cast<unsigned long>(n);
        }
        if (progress)
            SendMessageA(progress, PM_ADVANCE, 0, static_cast<LPARAM>(n));
        if (n < kCopyBlock) {
            ok = !std::ferror(in.get());
            break;
        }
    }
    // A write that the flush or close reports as failed (a full disk) fails the copy.
    if (std::fflush(out.get()) != 0)
        ok = false;
    if (!out.close())
        ok = false;
    in.reset();
    if (!ok)
        return 0;
    // Installed copies carry Restricted License embedding, with their
    // checksums repaired.
    bool written = false;
    if (stamp(destination, 2, &written) < 0 && written)
        return 0;
    return total;
}

int registerFontCopy(const FontEntry *entry, const char *installedPath)
{
    char name[kPropertySize] = "";
    switch (getProductFontType()) {
    case 'T':
        getProperty(entry, NAME_REGISTRY, name, sizeof name);
        return registerFontFile(installedPath, name);
    case 'O': {
        const char *key = NAME_REGISTRY;
        if (isWin9x())
            key = NAME_LOCAL;
        else if (getOsVersion().dwMajorVersion == 4)
            key = NAME_POSTSCRIPT;
        getProperty(entry, key, name, sizeof name);
        return registerOpenTypeFont(installedPath, name);
    }
    default:
        return 0;
    }
}

int installOneFont(const FontEntry *entry, const char *destination, HWND progress)
{
    char source[kPropertySize] = "", local[kPropertySize] = "";
    getProperty(entry, PATH_SOURCE, source, sizeof source);
    getProperty(entry, NAME_LOCAL, local, sizeof local);
    SendMessageA(progress, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(local));
    SendMessageA(progress, PM_SETMAX, 0, static_cast<LPARAM>(entry->getPropertyNumber(SIZE_ALL)));
    SendMessageA(progress, PM_SETPOS, 0, 0);
    if (copyFontFile(source, destination, progress) == 0)
        return 0;
    return registerFontCopy(entry, destination);
}

void installEntries(const InstallJob &job, HWND progress)
{
    for (const FontEntry *entry : job.entries) {
        char destination[MAX_PATH];
        if (!computeDestination(job, entry, destination))
            continue;
        if (!installOneFont(entry, destination, progress)) {
            DeleteFileA(destination);
            break;
        }
    }
}

DWORD WINAPI installWorkerProc(LPVOID progressDialog)
{
    ProgressDialog *dialog = static_cast<ProgressDialog *>(progressDialog);
    installEntries(*static_cast<const InstallJob *>(dialog->context()), dialog->handle());
    SendMessageA(dialog->handle(), PM_DONE, 0, 0);
    return 0;
}

UninstallResult uninstallOneFont(const FontEntry *entry)
{
    char name[kPropertySize] = "";
    char type = getProductFontType();
    if (type == 'O' && isWin9x()) {
        // The installed pass put the name under which Adobe Type Manager
        // really lists the font into NAME_REGISTRY; NAME_LOCAL, the name it
        // was installed under, differs when the installer ran in another
        // language then.
        if (!getProperty(entry, NAME_REGISTRY, name, sizeof name))
            getProperty(entry, NAME_LOCAL, name, sizeof name);
        writeAtmOpenTypeFont(name, nullptr);
        broadcastFontChange();
    } else if ((type == 'O' && isWinNT()) || type == 'T') {
        if (getProperty(entry, NAME_REGISTRY, name, sizeof name))
            unregisterFontByName(name);
    }

    char path[kPropertySize];
    if (!getProperty(entry, PATH_INSTALLED, path, sizeof path))
        return UninstallResult::NoFile;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(path))
        return UninstallResult::Removed;
    return deleteFileAtRestart(path) ? UninstallResult::RemovedAtRestart : UninstallResult::NotDeleted;
}

void runInstallJob(const InstallJob &job)
{
    ProgressDialog progress(installWorkerProc, &job);
    InterlockedExchange(&cancelRequested, 0);
    progress.run(job.mainDialog);
}

void runUninstallJob(const InstallJob &job)
{
    for (const FontEntry *entry : job.entries)
        uninstallOneFont(entry);
    // Adobe Type Manager on NT 4.0 keeps its own record of the fonts.
    if (getProductFontType() == 'O' && isNT4() && job.mainDialog)
        showInstallerMessage(job.mainDialog, IDS_ATM_NT4_UNINSTALL, MB_OK | MB_ICONEXCLAMATION);
}
