// pipeline/pipeline.h - the one install and uninstall pipeline, behind the
// dialog's Start and behind the quiet command line alike.
//
// An install copies each font under a temporary name in the destination
// folder, stamps its embedding type there, moves it to the first free final
// name (a move that fails rather than replaces, then the next letter) and
// registers it. An uninstall unregisters each font and deletes its file, or
// schedules the deletion for the next restart. Whatever interrupts a run, no
// registration names a file that is not complete and stamped, and a later
// run finds what an earlier one left: its temporary files are removed, and a
// stamped copy under a font's own final name that no registration names is
// registered in place (install) or deleted (uninstall).
#ifndef PIPELINE_PIPELINE_H
#define PIPELINE_PIPELINE_H

#include "base/handles.h"
#include "catalogue/fontentry.h"
#include "platform/atm.h"
#include "platform/product.h"
#include "platform/scope.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// The stamp of the installer: SetEmbeddingType without any diagnostic text.
int stampInstalledCopy(const char *path, int value, bool *written);

// Sets the embedding type of the file at path as SetEmbeddingType does,
// telling through written whether it wrote anything: stampInstalledCopy.
// Tests stand in stamps of their own.
class EmbeddingStamp {
public:
    virtual ~EmbeddingStamp() = default;
    virtual int stamp(const char *path, int value, bool *written) const;
};

// A cancel asked for by the user (the progress dialog's Cancel), read by the
// run before each copy block.
class CancelRequest {
public:
    void request() { InterlockedExchange(&flag_, 1); }
    void clear() { InterlockedExchange(&flag_, 0); }
    bool requested() const { return flag_ != 0; }

private:
    volatile LONG flag_ = 0;
};

// The progress protocol: a progress window is driven with synchronous
// messages, each handled on its thread before the worker goes on:
//   WM_SETTEXT   lParam text: the font being copied (not the caption)
//   PM_SETPOS    lParam amount: current = amount
//   PM_ADVANCE   lParam amount: current += amount
//   PM_SETMIN    lParam amount: lower bound (no redraw)
//   PM_SETMAX    lParam amount: upper bound (no redraw)
//   PM_DONE      closes the dialog as if OK had been pressed
const UINT PM_SETPOS = WM_USER + 1;
const UINT PM_ADVANCE = WM_USER + 2;
const UINT PM_SETMIN = WM_USER + 3;
const UINT PM_SETMAX = WM_USER + 4;
const UINT PM_DONE = WM_USER + 5;

// Where a run reports the font it works on and the bytes it copies: one
// synchronous message each to the progress dialog, nothing without one.
class ProgressSink {
public:
    ProgressSink() = default;
    explicit ProgressSink(HWND window) : window_(window) {}
    HWND window() const { return window_; }
    // The font's name (WM_SETTEXT), its size as the range (PM_SETMAX) and 0.
    void beginFont(const char *name, long size) const;
    // One copy block of bytes (PM_ADVANCE).
    void advance(size_t bytes) const;

private:
    HWND window_ = nullptr;
};

// What a run does after a font failed: the dialog stops its install there,
// the quiet run goes on with the next font.
enum class FailurePolicy { StopAtFirstFailure, GoOn };

// What became of one font of a run.
enum class FontOutcome {
    Installed,         // copied, stamped, moved into place and registered
    Recovered,         // an earlier run's stamped copy, registered in place
    AlreadyInstalled,  // registered before the run: nothing done
    Removed,           // unregistered and deleted
    RemovedAtRestart,  // unregistered; the file is deleted at the next restart
    NotInstalled,      // uninstall of a font that is not there
    KeptForAllUsers,   // uninstall, for one user, of a font of all users: left as it is
    // Failures: nothing of the font is left half done.
    NotOnDisc,           // no source file
    NoDestination,       // no folder, or no or an unsafe file name
    NoRegistryName,      // no name to register it under on this system
    NoFreeName,          // the name and all its letters are taken
    CopyFailed,          // reading, writing, stamping or moving failed
    Cancelled,           // the user cancelled during its copy
    RegistrationFailed,  // the system refused it
    UnregisterFailed,    // its registration could not be removed: file kept
    NotDeleted,          // unregistered, but neither deleted nor scheduled
    // Windows 95/98/Me refused to register it: their Fonts key, font table
    // or Adobe Type Manager's list is full (about a thousand fonts). The run
    // stops there, since every later font would be refused as well.
    SystemFull,
    NotTried,  // not begun: the system's font list was full before it
};
bool isFailure(FontOutcome outcome);
// A failure found before anything was written (the dialog skips such a
// font and goes on with the next, as it always did).
bool isRefusal(FontOutcome outcome);

// Told the outcome of each font, in the order of the run.
class FontObserver {
public:
    virtual void fontDone(const FontEntry &entry, const char *path, FontOutcome outcome) = 0;

protected:
    ~FontObserver() = default;
};

// The points of a run between which an interruption leaves a different
// state on disk. A test build stops the program at each in turn to prove
// that every one of them is recovered from.
enum class RunStep {
    TempCreated,   // the temporary file exists, empty
    BlockCopied,   // one more copy block is in the temporary file
    Copied,        // the temporary file is complete and closed, not stamped
    Stamped,       // the temporary file is stamped
    Moved,         // the copy has its final name, unregistered
    Registered,    // the font is registered
    Unregistered,  // the font's registration is gone, its file not yet
    Deleted,       // the file is deleted (or scheduled)
};

class RunSteps {
public:
    virtual void reached(RunStep step) = 0;

protected:
    ~RunSteps() = default;
};

struct InstallJob;

// The registrar of the installer: registers the installed copy of entry, a
// font of job's package, at installedPath as the package's font type and
// the running system require; nonzero on success.
int registerFontCopy(const InstallJob &job, const FontEntry *entry, const char *installedPath);

// What registers an installed copy: registerFontCopy. Tests stand in
// registrars of their own.
class FontRegistrar {
public:
    virtual ~FontRegistrar() = default;
    virtual int registerCopy(const InstallJob &job, const FontEntry *entry, const char *installedPath) const;
};

// What a test build puts into every job of a run: where each step is
// reported, the stamp, the registrar and the profile writer (nullptr: the
// installer's own).
struct RunHooks {
    RunSteps *steps = nullptr;
    const EmbeddingStamp *stamp = nullptr;
    const FontRegistrar *registrar = nullptr;
    const ProfileWriter *profile = nullptr;
};

// One install or uninstall run: everything the pipeline needs, nothing of
// the dialog.
struct InstallJob {
    // Owner of the run's windows; nullptr when the run has none.
    HWND mainDialog = nullptr;
    // The bound package: its font type and its test of a maker's file.
    // nullptr: no package is bound (no font type; no file is the maker's).
    const ModuleChain *product = nullptr;
    // For whom the run installs (the Fonts key and the deletions it uses).
    FontScope scope = FontScope::Machine;
    // Install: the destination. Uninstall: where a copy that an interrupted
    // run left unregistered is looked for (empty: nowhere).
    std::string folder;
    // The fonts, in the order they are done.
    CheckedParams entries;
    ProgressSink progress;
    const CancelRequest *cancel = nullptr;  // nullptr: the run cannot be cancelled
    FailurePolicy policy = FailurePolicy::StopAtFirstFailure;
    FontObserver *observer = nullptr;
    RunSteps *steps = nullptr;
    // The stamp, the registrar and what writes Adobe Type Manager's
    // profile; nullptr: the installer's own.
    const EmbeddingStamp *stamp = nullptr;
    const FontRegistrar *registrar = nullptr;
    const ProfileWriter *profile = nullptr;
};

struct RunSummary {
    int done = 0;     // fonts done (installed, removed, or already installed)
    int failed = 0;   // fonts failed (those not tried after a full font list too)
    int atRestart = 0;  // fonts removed whose files go at the next restart or sign-in
    bool stopped = false;  // the run stopped before its last font
    // The font that Windows 95/98/Me refused for a full font list (the run
    // stopped there); nullptr when none was.
    const FontEntry *systemFull = nullptr;
};

// The two runs. Each font's outcome goes to job.observer.
RunSummary installFonts(const InstallJob &job);
RunSummary uninstallFonts(const InstallJob &job);

// One font of each. path receives the font's file (installed, removed or
// left), empty when there is none.
FontOutcome installFont(const InstallJob &job, const FontEntry &entry, std::string *path);
FontOutcome uninstallFont(const InstallJob &job, const FontEntry &entry, std::string *path);

// The pieces of a run, for its tests.

// folder\NAME_MARUKAN into out (MAX_PATH chars); false when the entry has no
// folder, no or an unsafe file name (see isPlainFileName), or one of the
// installer's temporary names, or when the path does not fit.
bool computeDestination(const InstallJob &job, const FontEntry *entry, char *out);

// Moves the file at from to the first name that does not exist among
// folder\name+ext, folder\name+'A'+ext, ... folder\name+'Z'+ext, starting
// at the letter first (0: the name itself), with a move that fails rather
// than replaces a file. The name taken into out (MAX_PATH chars). False
// (from left where it was) after 'Z', when a path would not fit, or when
// the move fails for another reason.
bool moveToFreeName(const char *from, const char *folder, const char *name, const char *ext, char first,
                    char *out);

// Whether name is one of the installer's temporary file names:
// "~kri" + four hex digits + ".tmp", in any case.
bool isTemporaryName(const char *name);
// Creates a new, empty temporary file in folder, never one that exists; its
// path into path. An invalid handle when none can be made.
OwnedFile createTemporaryFile(const char *folder, std::string *path);
// Deletes the temporary files of earlier runs in folder: files with one of
// the installer's temporary names, and nothing else. Their number.
int removeTemporaryFiles(const char *folder);

// How a copy ended.
enum class CopyResult { Copied, Exists, Failed, Cancelled };

// Copies source to destination, which must not exist yet (an existing file
// is never opened for writing), in 8192-byte blocks: each block goes to
// progress and steps, and a cancel is looked for before each. The copy is
// closed and stamped with stamp (embedding type 2). A copy whose stamp
// failed after writing has failed; a font that the stamp refuses before
// writing stays as it is. On any failure or cancel the file that this call
// created is deleted. bytes, when given, receives the bytes copied.
CopyResult copyFontFile(const char *source, const char *destination, const ProgressSink &progress,
                        const CancelRequest *cancel = nullptr, const EmbeddingStamp *stamp = nullptr,
                        RunSteps *steps = nullptr, unsigned long *bytes = nullptr);

// The name that entry is registered under on the running system (the
// Fonts value name, or Adobe Type Manager's key) into out (kPropertySize
// chars); false when it has none: an empty name is never registered.
bool registrationName(const ModuleChain &product, const FontEntry *entry, char *out);

// registerFontCopy (above) registers the installed copy as the package's
// font type and the running system require; a font without a registration
// name is refused.

// Removes the registration of an installed font (from the Fonts key of the
// current user for an entry marked F_PER_USER): true when it is gone (or was
// not there), false when the registry or profile refused.
bool unregisterFontCopy(const InstallJob &job, const FontEntry *entry);

// Deletes an uninstalled font's file, clearing its read-only attribute, or
// schedules the deletion when the file is in use: at the next restart for a
// font of all users, at the user's next sign-in for a user's own font.
FontOutcome deleteFontFile(const char *path, FontScope scope);

// Whether the file at path is entry's stamped copy as an earlier run left
// it: the package's test accepts it, its PostScript name is the entry's,
// its fsType is 2 and its checksums hold.
bool isStampedCopyOf(const ModuleChain &product, const FontEntry &entry, const char *path);

#endif
