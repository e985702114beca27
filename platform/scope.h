// platform/scope.h - for whom a run installs: every user of the machine (the
// system fonts folder and the Fonts key under HKEY_LOCAL_MACHINE) or the
// current user alone (a folder of the user's profile and the Fonts key under
// HKEY_CURRENT_USER, which Windows 10 version 1809 and later read at sign-in),
// and how the run's rights decide it.
#ifndef PLATFORM_SCOPE_H
#define PLATFORM_SCOPE_H

#include <windows.h>

enum class FontScope { Machine, User };

// The first build of Windows 10 that loads fonts installed for one user
// (version 1809).
const DWORD kFirstPerUserFontBuild = 17763;

// What the rights and the system make of a run.
enum class ScopeChoice {
    Machine,        // install for all users, as the installer always did
    User,           // install for the current user
    Elevate,        // start again with administrator rights (asks the user)
    NoRights,       // a quiet run without the rights it needs: nothing is done
    UserNotAllowed, // /user on a system that has no fonts for one user
};

// The choice for a run on the system version (as getOsVersion gives it)
// with the real build number build (0 when unknown), with or without
// administrator rights, asked for /user or not, quiet or with its dialog.
// Windows 95/98/Me and NT 3.x/4.0 install for all users as they always did,
// whatever the rights. Later NT systems need administrator rights for that;
// from build 17763 on, a run without them, or with /user, installs for the
// current user instead.
ScopeChoice chooseScope(const OSVERSIONINFOA &version, DWORD build, bool administrator, bool userSwitch,
                        bool quiet);

// Whether the system loads fonts installed for one user.
bool hasPerUserFonts(const OSVERSIONINFOA &version, DWORD build);

// The system's real build number: RtlGetVersion (GetVersionExA reports an
// older system to a program that does not declare the newer one), else the
// registry's CurrentBuildNumber; 0 when neither is there (Windows 95/98/Me).
DWORD realBuildNumber();

// Whether the process may write for all users: on the NT family from
// Windows 2000 on, whether its token holds the enabled Administrators group
// (an administrator's unelevated token does not); true on systems without
// that notion (Windows 95/98/Me, NT 3.x and 4.0).
bool processIsAdministrator();

// Starts this program again through the "runas" verb with arguments, so
// that the user can give an administrator's name or confirm; false when it
// could not be started (the user cancelled, or the system refused).
bool restartAsAdministrator(const char *arguments);

// The folder of the current user's fonts, %LOCALAPPDATA%\Microsoft\Windows\Fonts,
// made when missing, into out (capacity chars); false when there is none.
bool getUserFontFolder(char *out, int capacity);

// Deleting a file at the user's next sign-in: a value of the user's RunOnce
// key runs the system's command interpreter on it. Only a path that the
// interpreter takes literally inside quotes is scheduled (no '%', '"' or
// control characters; see isSafeForSignInCommand). Nonzero when scheduled.
int deleteFileAtSignIn(const char *path);
// Takes back what deleteFileAtSignIn scheduled for path (a font installed
// again under the same name must not go at the next sign-in).
void cancelDeleteAtSignIn(const char *path);
// Whether path may stand in quotes on a command line of the command
// interpreter without being expanded or ending the quotes.
bool isSafeForSignInCommand(const char *path);
// The command and the RunOnce value name of path's deletion; false when the
// path cannot be scheduled. command holds capacity chars.
bool signInDeletion(const char *path, char *command, int capacity, char *valueName, int nameCapacity);

#endif
