// base/system.cpp - small stateless wrappers over the operating system.
#include "base/system.h"

#include "base/handles.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Placeholder key written through the profile functions, then turned into
// "NUL" by rewriting the file. Exactly 16 characters.
const char kPlaceholderKey[] = "KorimaruDummyKey";
const size_t kPlaceholderLength = sizeof kPlaceholderKey - 1;

bool readWholeFile(const char *path, std::string *out)
{
    OwnedStdio f(std::fopen(path, "rb"));
    if (!f)
        return false;
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f.get())) > 0)
        out->append(block, n);
    return !std::ferror(f.get());
}

bool writeWholeFile(const char *path, const std::string &data)
{
    OwnedStdio f(std::fopen(path, "wb"));
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
    ok = (std::fflush(f.get()) == 0) && ok;
    ok = f.close() && ok;
    return ok;
}

// Where replaceFile keeps the old target while it puts the new one in place.
std::string asidePath(const char *target)
{
    return std::string(target) + ".bak";
}

// Puts replacement in the place of target. MoveFileExA does it in one step
// on NT; Windows 95/98/Me lack it, so there the old file is first moved
// aside, which leaves a complete copy on disk at every moment.
bool replaceFile(const char *replacement, const char *target)
{
    if (MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING))
        return true;
    std::string aside = asidePath(target);
    // Without the target, a file moved aside is the only copy of the old
    // text (an earlier replace stopped between its moves): it is kept.
    bool hadTarget = GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES;
    if (hadTarget) {
        DeleteFileA(aside.c_str());
        if (!MoveFileA(target, aside.c_str()))
            return false;
    }
    if (!MoveFileA(replacement, target)) {
        if (hadTarget)
            MoveFileA(aside.c_str(), target);
        return false;
    }
    if (hadTarget)
        DeleteFileA(aside.c_str());
    return true;
}

// Puts back the file that an interrupted replaceFile moved aside, when the
// target itself is missing. False when it is there and cannot be moved back.
bool restoreMovedAside(const char *target)
{
    std::string aside = asidePath(target);
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesA(aside.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    return MoveFileA(aside.c_str(), target) != FALSE;
}

}  // namespace

HMODULE installerModule()
{
    return GetModuleHandleA(nullptr);
}

char *loadText(UINT id, char *buffer, int size)
{
    if (size <= 0)
        return nullptr;
    buffer[0] = '\0';
    if (LoadStringA(installerModule(), id, buffer, size) > 0)
        return buffer;
    buffer[0] = '\0';
    return nullptr;
}

const char *findTextResource(HMODULE module, const char *name, DWORD *size)
{
    HRSRC res = FindResourceA(module, name, "TEXT");
    if (!res)
        return nullptr;
    HGLOBAL handle = LoadResource(module, res);
    const char *bytes = handle ? static_cast<const char *>(LockResource(handle)) : nullptr;
    *size = bytes ? SizeofResource(module, res) : 0;
    return bytes;
}

char *copyText(const char *bytes, DWORD size)
{
    char *copy = new char[size + 1];
    if (size > 0)
        std::memcpy(copy, bytes, size);
    copy[size] = '\0';
    return copy;
}

char *loadTextResource(const char *name)
{
    DWORD size = 0;
    const char *bytes = findTextResource(installerModule(), name, &size);
    return bytes && size > 0 ? copyText(bytes, size) : nullptr;
}

const OSVERSIONINFOA &getOsVersion()
{
    // One record per thread: the install worker asks too.
    static thread_local OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version;
}

VolumeInfo *getVolumeInfo(char driveLetter, VolumeInfo *info)
{
    char root[] = "x:\\";
    root[0] = driveLetter;
    if (!GetVolumeInformationA(root, info->label, sizeof info->label, &info->serialNumber,
                               &info->maxComponentLength, &info->fileSystemFlags,
                               info->fileSystemName, sizeof info->fileSystemName))
        return nullptr;
    return info;
}

char *getVolumeLabel(char driveLetter, char *buffer, int size)
{
    VolumeInfo info;
    if (size <= 0 || !getVolumeInfo(driveLetter, &info))
        return nullptr;
    lstrcpynA(buffer, info.label, size);
    return buffer;
}

bool isFloppyDriveLetter(char letter)
{
    return static_cast<signed char>(letter) < 'C';
}

int deleteFileAtRestart(const char *path)
{
    if (isWin9x())
        return scheduleDeleteInWininit(path);
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

int scheduleDeleteInWininit(const char *path)
{
    char shortPath[MAX_PATH];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath)
        return 0;

    char windowsDir[MAX_PATH];
    UINT w = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (w == 0 || w >= sizeof windowsDir)
        return 0;
    std::string iniPath = std::string(windowsDir) + "\\WININIT.INI";
    // The profile functions below would start a new file in place of one
    // that an interrupted rewrite left moved aside, and every deletion that
    // it holds would be lost.
    if (!restoreMovedAside(iniPath.c_str()))
        return 0;

    if (!WritePrivateProfileStringA("rename", kPlaceholderKey, shortPath, iniPath.c_str()))
        return 0;
    // Make the system write out its cached copy of the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, iniPath.c_str());

    std::string text;
    if (!readWholeFile(iniPath.c_str(), &text))
        return 0;

    // Every line is carried over as it is, whatever its length, except the
    // placeholder line, whose key becomes NUL. A last line without a line
    // end gets one.
    std::string out;
    out.reserve(text.size() + 2);
    int rewritten = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        bool hasEnd = end != std::string::npos;
        size_t next = hasEnd ? end + 1 : text.size();
        if (text.compare(pos, kPlaceholderLength, kPlaceholderKey) == 0) {
            out += "NUL";
            out.append(text, pos + kPlaceholderLength, next - pos - kPlaceholderLength);
            rewritten = 1;
        } else {
            out.append(text, pos, next - pos);
        }
        if (!hasEnd)
            out += "\r\n";
        pos = next;
    }

    // The new text goes to a file beside the old one and replaces it only
    // once complete, so an interruption never loses the pending operations.
    std::string tempPath = std::string(windowsDir) + "\\WININIT.$$$";
    if (!writeWholeFile(tempPath.c_str(), out)) {
        DeleteFileA(tempPath.c_str());
        return 0;
    }
    if (!replaceFile(tempPath.c_str(), iniPath.c_str())) {
        DeleteFileA(tempPath.c_str());
        return 0;
    }
    return rewritten;
}
