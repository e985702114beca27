// platform/scope.cpp - installing for all users or for the current user.
#include "platform/scope.h"

#include "base/handles.h"
#include "base/path.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {


const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kDeletionValuePrefix[] = "KorimaruInstaller delete ";
// Explorer runs the user's RunOnce commands at sign-in; a command line is
// kept within the length that it documents for them.
const int kRunOnceCommandSize = 260;

// The functions below exist from Windows 2000 on (some from XP); they are
// looked up at run time so that the program still loads on Windows 95 and NT.
typedef LONG(WINAPI *RtlGetVersionFn)(OSVERSIONINFOW *);
typedef BOOL(WINAPI *AllocateSidFn)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                    DWORD, DWORD, PSID *);
typedef BOOL(WINAPI *CheckMembershipFn)(HANDLE, PSID, PBOOL);
typedef PVOID(WINAPI *FreeSidFn)(PSID);
typedef HRESULT(WINAPI *GetFolderPathFn)(HWND, int, HANDLE, DWORD, LPSTR);

FARPROC systemFunction(const char *module, const char *name)
{
    HMODULE handle = GetModuleHandleA(module);
    return handle ? GetProcAddress(handle, name) : nullptr;
}

template <class Fn>
Fn lookUp(const char *module, const char *name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(systemFunction(module, name)));
}

// The value name of path's deletion: the prefix and a hash of the path with
// its ASCII letters folded, so that one path has one value.
std::string deletionValueName(const char *path)
{
    unsigned long hash = 2166136261u;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(path); *p; ++p) {
        unsigned char c = *p >= 'a' && *p <= 'z' ? static_cast<unsigned char>(*p - 'a' + 'A') : *p;
        hash = ((hash ^ c) * 16777619u) & 0xFFFFFFFFu;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lX", hash);
    return std::string(kDeletionValuePrefix) + hex;
}

bool makeFolder(const std::string &path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool hasPerUserFonts(const OSVERSIONINFOA &version, DWORD build)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && build >= kFirstPerUserFontBuild;
}

ScopeChoice chooseScope(const OSVERSIONINFOA &version, DWORD build, bool administrator, bool userSwitch, bool quiet)
{
    bool perUser = hasPerUserFonts(version, build);
    if (userSwitch)
        return perUser ? ScopeChoice::User : ScopeChoice::UserNotAllowed;
    // Windows 95/98/Me and NT 3.x/4.0 know no elevation: they run as always.
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 5 || administrator)
        return ScopeChoice::Machine;
    if (perUser)
        return ScopeChoice::User;
    return quiet ? ScopeChoice::NoRights : ScopeChoice::Elevate;
}

DWORD realBuildNumber()
{
    if (RtlGetVersionFn get = lookUp<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion")) {
        OSVERSIONINFOW info;
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        if (get(&info) == 0)
            return info.dwBuildNumber;
    }
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS) {
        key.release();
        return 0;
    }
    char text[32] = "";
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), "CurrentBuildNumber", nullptr, &type, reinterpret_cast<BYTE *>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return 0;
    text[size < sizeof text ? size : sizeof text - 1] = '\0';
    return static_cast<DWORD>(std::strtoul(text, nullptr, 10));
}

bool processIsAdministrator()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 5)
        return true;
    AllocateSidFn allocate = lookUp<AllocateSidFn>("advapi32.dll", "AllocateAndInitializeSid");
    CheckMembershipFn check = lookUp<CheckMembershipFn>("advapi32.dll", "CheckTokenMembership");
    FreeSidFn release = lookUp<FreeSidFn>("advapi32.dll", "FreeSid");
    if (!allocate || !check || !release)
        return true;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!allocate(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!check(nullptr, administrators, &member))
        member = FALSE;
    release(administrators);
    return member != FALSE;
}

bool restartAsAdministrator(const char *arguments)
{
    // The installer's own file, also when another program runs its flow
    // through the `start` export: the module that holds this code.
    MEMORY_BASIC_INFORMATION memory;
    if (!VirtualQuery(reinterpret_cast<const void *>(&restartAsAdministrator), &memory, sizeof memory))
        return false;
    char program[MAX_PATH];
    DWORD n = GetModuleFileNameA(static_cast<HMODULE>(memory.AllocationBase), program, sizeof program);
    if (n == 0 || n >= sizeof program)
        return false;
    SHELLEXECUTEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "runas";
    info.lpFile = program;
    info.lpParameters = arguments;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

bool getUserFontFolder(char *out, int capacity)
{
    char base[MAX_PATH] = "";
    const int kLocalAppData = 0x001c;  // CSIDL_LOCAL_APPDATA
    GetFolderPathFn get = lookUp<GetFolderPathFn>("shell32.dll", "SHGetFolderPathA");
    if (!get || get(nullptr, kLocalAppData, nullptr, 0, base) != S_OK || !base[0]) {
        DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", base, sizeof base);
        if (n == 0 || n >= sizeof base)
            return false;
    }
    std::string folder = base;
    if (endsWithSeparator(folder.c_str()))
        folder.erase(folder.size() - 1);
    for (const char *level : {"\\Microsoft", "\\Windows", "\\Fonts"}) {
        folder += level;
        if (!makeFolder(folder))
            return false;
    }
    return copyWhole(out, static_cast<size_t>(capacity), folder);
}

bool isSafeForSignInCommand(const char *path)
{
    if (!path[0])
        return false;
    LeadByteFn isLead = ansiLeadBytes();
    for (const char *p = path; *p;) {
        const char *next = nextChar(p, isLead);
        if (next == p + 1) {
            unsigned char c = static_cast<unsigned char>(*p);
            // Inside quotes the interpreter still expands %NAME% and ends
            // the quotes at '"'; everything else stands for itself there.
            if (c < 0x20 || c == '%' || c == '"')
                return false;
        }
        p = next;
    }
    return true;
}

bool signInDeletion(const char *path, char *command, int capacity, char *valueName, int nameCapacity)
{
    char system[MAX_PATH];
    UINT n = GetSystemDirectoryA(system, sizeof system);
    if (n == 0 || n >= sizeof system)
        return false;
    // The short form of a path that does not fit, or holds characters that
    // the interpreter would read, where the volume has one.
    std::string target = path;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (isSafeForSignInCommand(target.c_str())) {
            std::string line = std::string("\"") + system + "\\cmd.exe\" /d /q /v:off /c del /f /q \"" + target + "\"";
            if (static_cast<int>(line.size()) < kRunOnceCommandSize && static_cast<int>(line.size()) < capacity) {
                std::string name = deletionValueName(path);
                if (!copyWhole(valueName, static_cast<size_t>(nameCapacity), name))
                    return false;
                return copyWhole(command, static_cast<size_t>(capacity), line);
            }
        }
        char shortPath[MAX_PATH];
        DWORD len = GetShortPathNameA(path, shortPath, sizeof shortPath);
        if (len == 0 || len >= sizeof shortPath || target == shortPath)
            return false;
        target = shortPath;
    }
    return false;
}

int deleteFileAtSignIn(const char *path)
{
    char command[kRunOnceCommandSize];
    char name[64];
    if (!signInDeletion(path, command, sizeof command, name, sizeof name))
        return 0;
    OwnedKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.receive(),
                        nullptr) != ERROR_SUCCESS) {
        key.release();
        return 0;
    }
    return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE *>(command),
                          static_cast<DWORD>(std::strlen(command) + 1)) == ERROR_SUCCESS;
}

void cancelDeleteAtSignIn(const char *path)
{
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS) {
        key.release();
        return;
    }
    RegDeleteValueA(key.get(), deletionValueName(path).c_str());
}
