// base/system.h - small stateless wrappers over the operating system.
//
// The two resource loaders read only the installer module (the program's own
// image); lookups that ask the product module first live in platform/.
#ifndef BASE_SYSTEM_H
#define BASE_SYSTEM_H

#include <windows.h>

// The module whose resources loadText and loadTextResource read: the
// program's own image.
HMODULE installerModule();

// Loads string id of the installer module into buffer (size chars incl. NUL).
// Returns buffer when at least one character was loaded, else nullptr with
// buffer empty.
char *loadText(UINT id, char *buffer, int size);

// The bytes of the TEXT resource name of module, their number in *size; nullptr
// when it is missing or cannot be read. They stay valid while the module is
// loaded.
const char *findTextResource(HMODULE module, const char *name, DWORD *size);
// A new NUL-terminated copy of size bytes; the caller frees it with delete[].
char *copyText(const char *bytes, DWORD size);

// A new NUL-terminated copy of the TEXT resource name of the installer
// module, or nullptr when it is missing or empty. The caller frees it with
// delete[].
char *loadTextResource(const char *name);

// The running system's version, refreshed at every call.
const OSVERSIONINFOA &getOsVersion();
inline bool isWin9x() { return getOsVersion().dwPlatformId == VER_PLATFORM_WIN32_WINDOWS; }
inline bool isWinNT() { return getOsVersion().dwPlatformId == VER_PLATFORM_WIN32_NT; }
inline bool isNT4() { return isWinNT() && getOsVersion().dwMajorVersion == 4; }

struct VolumeInfo {
    char label[MAX_PATH];
    DWORD serialNumber;
    DWORD maxComponentLength;
    DWORD fileSystemFlags;
    char fileSystemName[MAX_PATH];
};

// Fills info for the root of driveLetter; nullptr when the volume cannot be queried.
VolumeInfo *getVolumeInfo(char driveLetter, VolumeInfo *info);
// Copies the volume label (at most size chars incl. NUL); nullptr on failure.
char *getVolumeLabel(char driveLetter, char *buffer, int size);
// A: and B: are floppy letters and are never touched by the disc search.
bool isFloppyDriveLetter(char letter);

// Schedules path for deletion at the next start of the system. Nonzero when
// scheduled. Windows 95/98/Me: a NUL line in WININIT.INI; NT: MoveFileExA.
int deleteFileAtRestart(const char *path);
// The Windows 95/98/Me branch; 1 when a NUL line for path was written.
int scheduleDeleteInWininit(const char *path);

#endif
