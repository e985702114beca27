// pipeline/pipeline.cpp - the one install and uninstall pipeline.
#include "pipeline/pipeline.h"

#include "base/path.h"
#include "base/system.h"
#include "catalogue/catalogue.h"
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "sfnt/embed.h"
#include "sfnt/name.h"
#include "sfnt/verify.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

const size_t kCopyBlock = 8192;
// Written to the copy in a few large writes rather than one per block.
const size_t kWriteBuffer = 65536;
const size_t kFileNameSize = 128;  // name part of NAME_MARUKAN, NUL included
// The installer's temporary names: "~kri" + four hex digits + ".tmp".
const char kTempPrefix[] = "~kri";
const size_t kTempPrefixLength = sizeof kTempPrefix - 1;
const char kTempExtension[] = ".tmp";
const size_t kTempNameLength = kTempPrefixLength + 4 + sizeof kTempExtension - 1;
const int kTempAttempts = 64;

void reach(RunSteps *steps, RunStep step)
{
    if (steps)
        steps->reached(step);
}

const char *separatorAfter(const char *folder)
{
    // A drive root already ends in its separator, and a folder whose name
    // ends in a double-byte character with a 0x5C second byte does not.
    return endsWithSeparator(folder) ? "" : "\\";
}

bool fileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool alreadyExists(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// path with its ASCII letters in upper case, whole characters at a time: the
// key by which registered files are compared.
std::string foldCase(const char *path)
{
    std::string folded;
    LeadByteFn isLead = ansiLeadBytes();
    for (const char *p = path; *p;) {
        const char *next = nextChar(p, isLead);
        if (next == p + 1)
            folded.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(*p))));
        else
            folded.append(p, next);
        p = next;
    }
    return folded;
}

// The files that registrations name, read once per run and only when a run
// first needs to know: a file that an earlier run left under a font's final
// name is rare.
class RegisteredFiles {
public:
    explicit RegisteredFiles(const ModuleChain &product) : product_(product) {}
    bool names(const char *path)
    {
        if (!loaded_) {
            std::string names, paths;
            listInstalledFonts(nullptr, &names, &paths, FontScope::Machine);
            if (isWinNT())
                listInstalledFonts(nullptr, &names, &paths, FontScope::User);
            if (getProductFontType(product_) == 'O' && isWin9x())
                listAtmOpenTypeFonts(&names, &paths);
            for (size_t at = 0, end; (end = paths.find('\n', at)) != std::string::npos; at = end + 1)
                paths_.push_back(foldCase(paths.substr(at, end - at).c_str()));
            std::sort(paths_.begin(), paths_.end());
            loaded_ = true;
        }
        return std::binary_search(paths_.begin(), paths_.end(), foldCase(path));
    }

private:
    const ModuleChain &product_;
    bool loaded_ = false;
    std::vector<std::string> paths_;
};

// The names in the run's folder, listed once when a run first asks: under
// Wine, and on some file systems, each look-up of a name that does not
// exist reads the whole folder, and a folder of fonts holds thousands. A
// name taken after the listing is still never overwritten: the move fails
// rather than replaces, and the next letter is tried.
class FolderNames {
public:
    bool has(const std::string &folder, const char *name)
    {
        if (!loaded_) {
            std::string dir = folder + separatorAfter(folder.c_str());
            WIN32_FIND_DATAA found;
            OwnedFind find(FindFirstFileA((dir + "*").c_str(), &found));
            if (find) {
                do
                    names_.push_back(foldCase(found.cFileName));
                while (FindNextFileA(find.get(), &found));
            }
            std::sort(names_.begin(), names_.end());
            loaded_ = true;
        }
        return std::binary_search(names_.begin(), names_.end(), foldCase(name));
    }
    void add(const char *name)
    {
        if (loaded_)
            names_.insert(std::upper_bound(names_.begin(), names_.end(), foldCase(name)), foldCase(name));
    }

private:
    bool loaded_ = false;
    std::vector<std::string> names_;
};

// What the job gives (its package, stamp, registrar, profile writer), or,
// where it gives nothing, the installer's own: a package with no module,
// the real stamp, registrar and writer.
template <class T>
const T &orDefault(const T *given)
{
    static const T fallback;
    return given ? *given : fallback;
}

// What a run learns once and uses for every font.
struct RunState {
    explicit RunState(const InstallJob &job) : product(orDefault(job.product)), registered(product) {}
    const ModuleChain &product;
    RegisteredFiles registered;
    FolderNames folder;
};

// The name and extension of the installed copy, and its path in the job's
// folder into out (MAX_PATH chars).
bool destinationOf(const InstallJob &job, const FontEntry &entry, std::string *name, std::string *ext, char *out)
{
    if (job.folder.empty() || job.folder.size() >= static_cast<size_t>(kPropertySize))
        return false;
    const std::string *marukan = entry.findProperty(NAME_MARUKAN);
    // NAME_MARUKAN comes from the name map: only a plain file name may name
    // the installed copy, never a path out of the folder, a device or a name
    // that the installer's temporary files use.
    if (!marukan || marukan->size() >= static_cast<size_t>(kPropertySize) || !isPlainFileName(marukan->c_str()))
        return false;
    PathParts parts = splitPath(marukan->c_str());
    parts.fname.resize(fitChars(parts.fname.c_str(), kFileNameSize - 1));
    if (EqualsIgnoreCase(parts.ext.c_str(), kTempExtension) &&
        _strnicmp(parts.fname.c_str(), kTempPrefix, kTempPrefixLength) == 0)
        return false;
    int len = std::snprintf(out, MAX_PATH, "%s%s%s%s", job.folder.c_str(), separatorAfter(job.folder.c_str()),
                            parts.fname.c_str(), parts.ext.c_str());
    if (len < 0 || len >= MAX_PATH)
        return false;
    *name = parts.fname;
    *ext = parts.ext;
    return true;
}

// Copies in into out in blocks, each reported to progress and steps after
// it is written, a cancel looked for before each; total receives the bytes.
CopyResult copyBlocks(FILE *in, HANDLE out, const ProgressSink &progress, const CancelRequest *cancel,
                      RunSteps *steps, unsigned long *total)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kWriteBuffer]);
    if (!buffer)
        return CopyResult::Failed;
    *total = 0;
    size_t held = 0;  // bytes in buffer not yet written
    auto flush = [&] {
        DWORD written = 0;
        bool ok = held == 0 || (WriteFile(out, buffer.get(), static_cast<DWORD>(held), &written, nullptr) &&
                                written == held);
        held = 0;
        return ok;
    };
    for (;;) {
        if (cancel && cancel->requested())
            return CopyResult::Cancelled;
        if (held + kCopyBlock > kWriteBuffer && !flush())
            return CopyResult::Failed;
        size_t n = std::fread(buffer.get() + held, 1, kCopyBlock, in);
        held += n;
        *total += static_cast<unsigned long>(n);
        progress.advance(n);
        reach(steps, RunStep::BlockCopied);
        if (n < kCopyBlock) {
            if (std::ferror(in))
                return CopyResult::Failed;
            break;
        }
    }
    // A disc that holds an empty file holds no font.
    return flush() && *total > 0 ? CopyResult::Copied : CopyResult::Failed;
}

// Closes the copy and stamps it (Restricted License embedding, checksums
// repaired).
CopyResult finishCopy(OwnedFile &out, const char *path, const EmbeddingStamp &stamp, RunSteps *steps)
{
    // A write that the close reports as failed (a full disk) fails the copy.
    if (!CloseHandle(out.release()))
        return CopyResult::Failed;
    reach(steps, RunStep::Copied);
    bool written = false;
    if (stamp.stamp(path, 2, &written) < 0 && written)
        return CopyResult::Failed;
    reach(steps, RunStep::Stamped);
    return CopyResult::Copied;
}

// What a registration that the system refused means. A copy is complete
// and stamped when it is registered, so where Windows 95/98/Me refuse it,
// the font list that they keep (the Fonts key of 64 KB, GDI's table of font
// files, or Adobe Type Manager's profile) is full.
FontOutcome registrationRefused()
{
    return isWin9x() ? FontOutcome::SystemFull : FontOutcome::RegistrationFailed;
}

FontOutcome installOne(const InstallJob &job, const FontEntry &entry, RunState &run, std::string *path)
{
    if (entry.findProperty(F_INSTALLED)) {
        if (const std::string *installed = entry.findProperty(PATH_INSTALLED))
            *path = *installed;
        return FontOutcome::AlreadyInstalled;
    }
    const std::string *source = entry.findProperty(PATH_SOURCE);
    if (!entry.findProperty(F_AVAILABLE) || !source)
        return FontOutcome::NotOnDisc;
    std::string name, ext;
    char destination[MAX_PATH];
    if (!destinationOf(job, entry, &name, &ext, destination))
        return FontOutcome::NoDestination;
    char registration[kPropertySize];
    if (!registrationName(run.product, &entry, registration))
        return FontOutcome::NoRegistryName;

    char local[kPropertySize] = "";
    entry.getProperty(NAME_LOCAL, local, sizeof local);
    job.progress.beginFont(local, entry.getPropertyNumber(SIZE_ALL));

    // A file under the font's own name: an earlier run's stamped copy that it
    // could not register is registered now; anything else is left alone and
    // the copy takes the next free letter.
    char first = 0;
    if (run.folder.has(job.folder, (name + ext).c_str()) && fileExists(destination)) {
        if (isStampedCopyOf(run.product, entry, destination) && !run.registered.names(destination)) {
            *path = destination;
            if (!orDefault(job.registrar).registerCopy(job, &entry, destination))
                return registrationRefused();
            reach(job.steps, RunStep::Registered);
            return FontOutcome::Recovered;
        }
        first = 'A';
    }

    OwnedStdio in(std::fopen(source->c_str(), "rb"));
    if (!in)
        return FontOutcome::CopyFailed;
    // Large reads: the system is asked for the data in few calls.
    std::setvbuf(in.get(), nullptr, _IOFBF, kWriteBuffer);
    std::string temp;
    OwnedFile out = createTemporaryFile(job.folder.c_str(), &temp);
    if (!out)
        return FontOutcome::CopyFailed;
    reach(job.steps, RunStep::TempCreated);
    unsigned long bytes = 0;
    CopyResult copied = copyBlocks(in.get(), out.get(), job.progress, job.cancel, job.steps, &bytes);
    in.reset();
    if (copied == CopyResult::Copied)
        copied = finishCopy(out, temp.c_str(), orDefault(job.stamp), job.steps);
    if (copied != CopyResult::Copied) {
        out.reset();
        DeleteFileA(temp.c_str());
        return copied == CopyResult::Cancelled ? FontOutcome::Cancelled : FontOutcome::CopyFailed;
    }

    char moved[MAX_PATH];
    if (!moveToFreeName(temp.c_str(), job.folder.c_str(), name.c_str(), ext.c_str(), first, moved)) {
        bool taken = alreadyExists(GetLastError());
        DeleteFileA(temp.c_str());
        return taken ? FontOutcome::NoFreeName : FontOutcome::CopyFailed;
    }
    reach(job.steps, RunStep::Moved);
    *path = moved;
    run.folder.add(moved + job.folder.size() + std::strlen(separatorAfter(job.folder.c_str())));
    // A deletion at sign-in that an uninstall of a font of this name left
    // must not take the new copy.
    if (job.scope == FontScope::User)
        cancelDeleteAtSignIn(moved);
    if (!orDefault(job.registrar).registerCopy(job, &entry, moved)) {
        DeleteFileA(moved);
        path->clear();
        return registrationRefused();
    }
    reach(job.steps, RunStep::Registered);
    return FontOutcome::Installed;
}

FontOutcome uninstallOne(const InstallJob &job, const FontEntry &entry, RunState &run, std::string *path)
{
    if (!entry.findProperty(F_INSTALLED)) {
        // A stamped copy that an interrupted run unregistered, or never
        // registered, under the font's own name in the job's folder.
        std::string name, ext;
        char stranded[MAX_PATH];
        if (!destinationOf(job, entry, &name, &ext, stranded) || !run.folder.has(job.folder, (name + ext).c_str()) ||
            !fileExists(stranded) ||
            !isStampedCopyOf(run.product, entry, stranded) || run.registered.names(stranded))
            return FontOutcome::NotInstalled;
        *path = stranded;
        // Adobe Type Manager's companion key may be left of its pair.
        char atmName[kPropertySize], listed[kAtmPathSize];
        if (getProductFontType(run.product) == 'O' && isWin9x() &&
            entry.getProperty(NAME_LOCAL, atmName, sizeof atmName) && !getAtmOpenTypeFontPath(atmName, listed))
            writeAtmOpenTypeFont(atmName, nullptr, orDefault(job.profile));
        FontOutcome outcome = deleteFontFile(stranded, job.scope);
        reach(job.steps, RunStep::Deleted);
        return outcome;
    }
    // A font of all users stays when the run is one user's.
    if (entry.findProperty(F_ALL_USERS_KEPT)) {
        if (const std::string *installed = entry.findProperty(PATH_INSTALLED))
            *path = *installed;
        return FontOutcome::KeptForAllUsers;
    }

    const std::string *installed = entry.findProperty(PATH_INSTALLED);
    if (installed)
        *path = *installed;
    // A registration that cannot be removed keeps its file: it must never
    // name a file that is gone.
    if (!unregisterFontCopy(job, &entry))
        return FontOutcome::UnregisterFailed;
    reach(job.steps, RunStep::Unregistered);
    if (!installed || installed->empty())
        return FontOutcome::NotDeleted;
    FontOutcome outcome =
        deleteFontFile(installed->c_str(), entry.findProperty(F_PER_USER) ? FontScope::User : FontScope::Machine);
    reach(job.steps, RunStep::Deleted);
    return outcome;
}

typedef FontOutcome (*FontStep)(const InstallJob &, const FontEntry &, RunState &, std::string *);

RunSummary runFonts(const InstallJob &job, FontStep step)
{
    RunSummary summary;
    RunState run(job);
    // The other windows hear of the run's changes once, at its end.
    FontChangeBatch batch;
    // Temporary files of an earlier run that was interrupted; the named
    // mutex of the entry lets no other run make new ones meanwhile.
    if (!job.folder.empty())
        removeTemporaryFiles(job.folder.c_str());
    for (size_t i = 0; i < job.entries.size(); ++i) {
        if (job.cancel && job.cancel->requested()) {
            summary.stopped = true;
            break;
        }
        const FontEntry &entry = *job.entries[i];
        std::string path;
        FontOutcome outcome = step(job, entry, run, &path);
        if (job.observer)
            job.observer->fontDone(entry, path.c_str(), outcome);
        if (!isFailure(outcome)) {
            summary.done += outcome != FontOutcome::NotInstalled && outcome != FontOutcome::KeptForAllUsers;
            summary.atRestart += outcome == FontOutcome::RemovedAtRestart;
            continue;
        }
        ++summary.failed;
        if (outcome == FontOutcome::SystemFull) {
            // Whatever the policy: every later font would be refused too. They
            // are told as not tried, except those installed before the run.
            summary.systemFull = &entry;
            summary.stopped = i + 1 < job.entries.size();
            for (size_t later = i + 1; later < job.entries.size(); ++later) {
                const FontEntry &rest = *job.entries[later];
                const std::string *installed = rest.findProperty(PATH_INSTALLED);
                bool there = rest.findProperty(F_INSTALLED) != nullptr;
                if (job.observer)
                    job.observer->fontDone(rest, there && installed ? installed->c_str() : "",
                                           there ? FontOutcome::AlreadyInstalled : FontOutcome::NotTried);
                ++(there ? summary.done : summary.failed);
            }
            break;
        }
        if (outcome == FontOutcome::Cancelled ||
            (job.policy == FailurePolicy::StopAtFirstFailure && !isRefusal(outcome))) {
            summary.stopped = i + 1 < job.entries.size();
            break;
        }
    }
    return summary;
}

}  // namespace

FontOutcome deleteFontFile(const char *path, FontScope scope)
{
    // The plain case first: the attributes are looked at only when the
    // delete fails (the file is gone already, read-only or in use).
    if (DeleteFileA(path))
        return FontOutcome::Removed;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return FontOutcome::Removed;  // gone already
    } else if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
        if (DeleteFileA(path))
            return FontOutcome::Removed;
    }
    // Deleting at restart needs administrator rights; a user's own font goes
    // at the user's next sign-in, when the system no longer loads it.
    int scheduled = scope == FontScope::User ? deleteFileAtSignIn(path) : deleteFileAtRestart(path);
    return scheduled ? FontOutcome::RemovedAtRestart : FontOutcome::NotDeleted;
}

int stampInstalledCopy(const char *path, int value, bool *written)
{
    return SetEmbeddingType(path, value, written);
}

int EmbeddingStamp::stamp(const char *path, int value, bool *written) const
{
    return stampInstalledCopy(path, value, written);
}

int FontRegistrar::registerCopy(const InstallJob &job, const FontEntry *entry, const char *installedPath) const
{
    return registerFontCopy(job, entry, installedPath);
}

void ProgressSink::beginFont(const char *name, long size) const
{
    if (!window_)
        return;
    SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(window_, PM_SETMAX, 0, static_cast<LPARAM>(size));
    SendMessageA(window_, PM_SETPOS, 0, 0);
}

void ProgressSink::advance(size_t bytes) const
{
    if (window_)
        SendMessageA(window_, PM_ADVANCE, 0, static_cast<LPARAM>(bytes));
}

bool isFailure(FontOutcome outcome)
{
    switch (outcome) {
    case FontOutcome::Installed:
    case FontOutcome::Recovered:
    case FontOutcome::AlreadyInstalled:
    case FontOutcome::Removed:
    case FontOutcome::RemovedAtRestart:
    case FontOutcome::NotInstalled:
    case FontOutcome::KeptForAllUsers:
        return false;
    default:
        return true;
    }
}

bool isRefusal(FontOutcome outcome)
{
    switch (outcome) {
    case FontOutcome::NotOnDisc:
    case FontOutcome::NoDestination:
    case FontOutcome::NoRegistryName:
    case FontOutcome::NoFreeName:
        return true;
    default:
        return false;
    }
}

RunSummary installFonts(const InstallJob &job)
{
    return runFonts(job, installOne);
}

RunSummary uninstallFonts(const InstallJob &job)
{
    return runFonts(job, uninstallOne);
}

FontOutcome installFont(const InstallJob &job, const FontEntry &entry, std::string *path)
{
    RunState run(job);
    path->clear();
    return installOne(job, entry, run, path);
}

FontOutcome uninstallFont(const InstallJob &job, const FontEntry &entry, std::string *path)
{
    RunState run(job);
    path->clear();
    return uninstallOne(job, entry, run, path);
}

bool computeDestination(const InstallJob &job, const FontEntry *entry, char *out)
{
    std::string name, ext;
    return destinationOf(job, *entry, &name, &ext, out);
}

bool moveToFreeName(const char *from, const char *folder, const char *name, const char *ext, char first,
                    char *out)
{
    const char *sep = separatorAfter(folder);
    for (char letter = first; letter <= 'Z'; letter = letter ? static_cast<char>(letter + 1) : 'A') {
        int len = letter ? std::snprintf(out, MAX_PATH, "%s%s%s%c%s", folder, sep, name, letter, ext)
                         : std::snprintf(out, MAX_PATH, "%s%s%s%s", folder, sep, name, ext);
        if (len < 0 || len >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        // MoveFileA never replaces a file: a name taken meanwhile, by
        // another program even, makes it fail, and the next letter is tried.
        if (MoveFileA(from, out))
            return true;
        if (!alreadyExists(GetLastError()))
            return false;
    }
    SetLastError(ERROR_ALREADY_EXISTS);
    return false;
}

bool isTemporaryName(const char *name)
{
    if (std::strlen(name) != kTempNameLength || _strnicmp(name, kTempPrefix, kTempPrefixLength) != 0)
        return false;
    for (size_t i = kTempPrefixLength; i < kTempPrefixLength + 4; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return _stricmp(name + kTempPrefixLength + 4, kTempExtension) == 0;
}

OwnedFile createTemporaryFile(const char *folder, std::string *path)
{
    const char *sep = separatorAfter(folder);
    DWORD seed = GetCurrentProcessId() * 40503u + GetTickCount();
    for (int i = 0; i < kTempAttempts; ++i) {
        char candidate[MAX_PATH];
        int len = std::snprintf(candidate, sizeof candidate, "%s%s%s%04x%s", folder, sep, kTempPrefix,
                                static_cast<unsigned>((seed + i) & 0xFFFF), kTempExtension);
        if (len < 0 || len >= static_cast<int>(sizeof candidate))
            break;
        // CREATE_NEW: a file of that name, however it got there, is never
        // opened, let alone truncated.
        OwnedFile file(CreateFileA(candidate, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            *path = candidate;
            return file;
        }
        if (!alreadyExists(GetLastError()))
            break;
    }
    return OwnedFile();
}

int removeTemporaryFiles(const char *folder)
{
    std::string dir = std::string(folder) + separatorAfter(folder);
    WIN32_FIND_DATAA found;
    std::vector<std::string> doomed;
    {
        OwnedFind find(FindFirstFileA((dir + kTempPrefix + "*" + kTempExtension).c_str(), &found));
        if (!find)
            return 0;
        // The pattern also matches short names and longer names; only the
        // installer's own names count.
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isTemporaryName(found.cFileName))
                doomed.push_back(dir + found.cFileName);
        } while (FindNextFileA(find.get(), &found));
    }
    int removed = 0;
    for (const std::string &path : doomed)
        removed += DeleteFileA(path.c_str()) ? 1 : 0;
    return removed;
}

CopyResult copyFontFile(const char *source, const char *destination, const ProgressSink &progress,
                        const CancelRequest *cancel, const EmbeddingStamp *stamp, RunSteps *steps,
                        unsigned long *bytes)
{
    unsigned long copied = 0;
    if (bytes)
        *bytes = 0;
    OwnedStdio in(std::fopen(source, "rb"));
    if (!in)
        return CopyResult::Failed;
    std::setvbuf(in.get(), nullptr, _IOFBF, kWriteBuffer);
    OwnedFile out(CreateFileA(destination, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out)
        return alreadyExists(GetLastError()) ? CopyResult::Exists : CopyResult::Failed;
    CopyResult result = copyBlocks(in.get(), out.get(), progress, cancel, steps, &copied);
    in.reset();
    if (result == CopyResult::Copied)
        result = finishCopy(out, destination, orDefault(stamp), steps);
    if (result != CopyResult::Copied) {
        out.reset();
        DeleteFileA(destination);
        return result;
    }
    if (bytes)
        *bytes = copied;
    return result;
}

bool registrationName(const ModuleChain &product, const FontEntry *entry, char *out)
{
    const char *key = nullptr;
    switch (getProductFontType(product)) {
    case 'T':
        key = NAME_REGISTRY;
        break;
    case 'O':
        if (isWin9x())
            key = NAME_LOCAL;
        else if (getOsVersion().dwMajorVersion == 4)
            key = NAME_POSTSCRIPT;
        else
            key = NAME_REGISTRY;
        break;
    default:
        return false;
    }
    out[0] = '\0';
    getProperty(entry, key, out, kPropertySize);
    // An empty value name would be the Fonts key's default value, which no
    // later run can tell as a font of the package.
    return out[0] != '\0';
}

int registerFontCopy(const InstallJob &job, const FontEntry *entry, const char *installedPath)
{
    const ModuleChain &product = orDefault(job.product);
    char name[kPropertySize];
    if (!registrationName(product, entry, name))
        return 0;
    if (getProductFontType(product) == 'T')
        return registerFontFile(installedPath, name, job.scope);
    return registerOpenTypeFont(installedPath, name, job.scope, orDefault(job.profile));
}

bool unregisterFontCopy(const InstallJob &job, const FontEntry *entry)
{
    char name[kPropertySize] = "";
    char type = getProductFontType(orDefault(job.product));
    if (type == 'O' && isWin9x()) {
        // The installed pass put the name under which Adobe Type Manager
        // really lists the font into NAME_REGISTRY; NAME_LOCAL, the name it
        // was installed under, differs when the installer ran in another
        // language then.
        if (!getProperty(entry, NAME_REGISTRY, name, sizeof name))
            getProperty(entry, NAME_LOCAL, name, sizeof name);
        bool removed = writeAtmOpenTypeFont(name, nullptr, orDefault(job.profile));
        broadcastFontChange();
        return removed;
    }
    if ((type == 'O' && isWinNT()) || type == 'T') {
        FontScope scope = entry->findProperty(F_PER_USER) ? FontScope::User : FontScope::Machine;
        // A value that is gone already (-1) is no failure.
        if (getProperty(entry, NAME_REGISTRY, name, sizeof name))
            return unregisterFontByName(name, scope) != 0;
    }
    return true;
}

bool isStampedCopyOf(const ModuleChain &product, const FontEntry &entry, const char *path)
{
    const std::string *postscript = entry.findProperty(NAME_POSTSCRIPT);
    char name[FONT_NAME_SIZE];
    return postscript && isMyFontFile(product, path) && readPostScriptName(path, name) && *postscript == name &&
           GetEmbeddingType(path) == 2 && FileChecksumsHold(path);
}
