// platform/fontreg.cpp - registration of fonts with the system.
#include "platform/fontreg.h"

#include "base/handles.h"
#include "base/path.h"
#include "platform/atm.h"
#include "platform/product.h"
#include "product/contract.h"
#include "sfnt/maker.h"
#include "sfnt/name.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kFontsKey9x[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const char kFontsKeyNT[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kOpenTypeSuffix[] = " (OpenType)";
// The first letter of the maker's font-name prefix "QX": a file of one of
// the package's extensions must begin with it to be the maker's.
const char kMakerInitial = 'Q';

// Opens scope's Fonts key of the running platform into key; the registry's
// error code, ERROR_FILE_NOT_FOUND on a platform without one. A user's key
// exists only on the NT family, and is made by the first font of the user.
LONG openFontsKey(REGSAM access, OwnedKey *key, FontScope scope)
{
    const char *path = getFontsKeyPath();
    if (!path || (scope == FontScope::User && !isWinNT()))
        return ERROR_FILE_NOT_FOUND;
    LONG rc = scope == FontScope::User && (access & KEY_SET_VALUE)
                  ? RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, key->receive(), nullptr)
                  : RegOpenKeyExA(fontsKeyRoot(scope), path, 0, access, key->receive());
    if (rc != ERROR_SUCCESS)
        key->release();  // whatever a failed open left there is no key
    return rc;
}

// Open batches (FontChangeBatch), whether the fonts changed inside them, and
// the Fonts key that they keep open for reading and writing (opened at the
// first use; none when that open failed, and each use opens its own).
int g_batches = 0;
bool g_changedInBatch = false;
HKEY g_batchKey = nullptr;
FontScope g_batchScope = FontScope::Machine;  // whose key g_batchKey is
bool g_batchKeyTried = false;

// scope's Fonts key for access into *key: the batch's (the scope of the
// batch's first use), or one opened into own.
LONG useFontsKey(REGSAM access, OwnedKey *own, HKEY *key, FontScope scope)
{
    if (g_batches > 0 && !g_batchKeyTried) {
        g_batchKeyTried = true;
        g_batchScope = scope;
        OwnedKey both;
        if (openFontsKey(KEY_QUERY_VALUE | KEY_SET_VALUE, &both, scope) == ERROR_SUCCESS)
            g_batchKey = both.release();
    }
    if (g_batches > 0 && g_batchKey && scope == g_batchScope) {
        *key = g_batchKey;
        return ERROR_SUCCESS;
    }
    LONG rc = openFontsKey(access, own, scope);
    *key = own->get();
    return rc;
}

bool windowsDirectory(char *dir, UINT size)
{
    UINT n = GetWindowsDirectoryA(dir, size);
    return n > 0 && n < size;
}

// Takes a font loaded by a registration back when its registry value could
// not be written, so that the failure leaves the system as it was.
int abandonRegistration(const char *path)
{
    RemoveFontResourceA(path);
    broadcastFontChange();
    return 0;
}

}  // namespace

const char *getFontsKeyPath()
{
    if (isWin9x())
        return kFontsKey9x;
    if (isWinNT())
        return kFontsKeyNT;
    return nullptr;
}

HKEY fontsKeyRoot(FontScope scope)
{
    return scope == FontScope::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

LONG setFontsValue(const char *name, const char *data, FontScope scope)
{
    OwnedKey own;
    HKEY key;
    LONG rc = useFontsKey(KEY_SET_VALUE, &own, &key, scope);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (!data)
        return RegDeleteValueA(key, name);
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data),
                          static_cast<DWORD>(std::strlen(data) + 1));
}

char *getFontsValue(const char *name, char *buffer, FontScope scope)
{
    OwnedKey own;
    HKEY key;
    if (useFontsKey(KEY_QUERY_VALUE, &own, &key, scope) != ERROR_SUCCESS)
        return nullptr;
    // One char more than the caller's buffer, so that a value without its
    // NUL that fills the buffer is seen to be too long.
    char value[kFontsValueSize + 1];
    DWORD size = kFontsValueSize;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) !=
        ERROR_SUCCESS)
        return nullptr;
    value[size < kFontsValueSize ? size : kFontsValueSize] = '\0';
    if (value[0] == '\0' || !copyWhole(buffer, kFontsValueSize, value))
        return nullptr;
    return buffer;
}

char *resolveFontsValuePath(const char *data, char *out)
{
    PathParts parts = splitPath(data);
    if (!parts.dir.empty())
        return copyWhole(out, kFontsValueSize, data) ? out : nullptr;
    char windows[MAX_PATH];
    if (!windowsDirectory(windows, sizeof windows))
        return nullptr;
    std::string path = std::string(windows) + "\\Fonts\\" + parts.fname + parts.ext;
    return copyWhole(out, kFontsValueSize, path) ? out : nullptr;
}

char *makeFontsValueData(const char *path, char *out, FontScope scope)
{
    // The system reads a user's fonts by their full paths.
    if (scope == FontScope::User)
        return copyWhole(out, kFontsValueSize, path) ? out : nullptr;
    char fonts[kFontsValueSize];
    PathParts parts = splitPath(path);
    std::string dir = parts.drive + parts.dir;
    if (dir.size() > 1 && (dir[dir.size() - 1] == '\\' || dir[dir.size() - 1] == '/'))
        dir.erase(dir.size() - 1);
    if (getSystemFontFolder(fonts) && lstrcmpiA(dir.c_str(), fonts) == 0)
        return copyWhole(out, kFontsValueSize, parts.fname + parts.ext) ? out : nullptr;
    return copyWhole(out, kFontsValueSize, path) ? out : nullptr;
}

int registerFontFile(const char *path, const char *valueName, FontScope scope)
{
    // An empty value name is the key's default value, which names no font.
    if (!valueName || valueName[0] == '\0')
        return 0;
    int loaded = AddFontResourceA(path);
    if (loaded <= 0)
        return loaded;
    broadcastFontChange();
    char data[kFontsValueSize];
    if (!makeFontsValueData(path, data, scope) || setFontsValue(valueName, data, scope) != ERROR_SUCCESS)
        return abandonRegistration(path);
    return loaded;
}

int registerOpenTypeFont(const char *path, const char *name, FontScope scope, const ProfileWriter &writer)
{
    const OSVERSIONINFOA &version = getOsVersion();
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        DWORD minor = version.dwMinorVersion;
        if (minor != 0 && minor != 10 && minor != 90)
            return 0;
        bool written = writeAtmOpenTypeFont(name, path, writer);
        broadcastFontChange();
        return written ? 1 : 0;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (version.dwMajorVersion == 3 || version.dwMajorVersion == 4)
            return registerOpenTypeFontNT4(path, name);
        return registerFontFile(path, name, scope);
    }
    return 0;
}

int registerOpenTypeFontNT4(const char *path, const char *name)
{
    if (!name || name[0] == '\0')
        return 0;
    int loaded = AddFontResourceA(path);
    if (loaded <= 0)
        return loaded;
    broadcastFontChange();
    char valueName[kFontsValueSize];
    int len = std::snprintf(valueName, sizeof valueName, "%s%s", name, kOpenTypeSuffix);
    if (len < 0 || len >= static_cast<int>(sizeof valueName) ||
        std::strlen(path) >= static_cast<size_t>(kFontsValueSize) ||
        setFontsValue(valueName, path) != ERROR_SUCCESS)
        return abandonRegistration(path);
    return loaded;
}

int unregisterFontByName(const char *valueName, FontScope scope)
{
    char data[kFontsValueSize];
    if (!getFontsValue(valueName, data, scope))
        return -1;
    char path[kFontsValueSize];
    if (resolveFontsValuePath(data, path))
        RemoveFontResourceA(path);
    LONG rc = setFontsValue(valueName, nullptr, scope);
    broadcastFontChange();
    return rc == ERROR_SUCCESS ? 1 : 0;
}

void broadcastFontChange()
{
    if (g_batches > 0) {
        g_changedInBatch = true;
        return;
    }
    PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

FontChangeBatch::FontChangeBatch()
{
    ++g_batches;
}

FontChangeBatch::~FontChangeBatch()
{
    if (--g_batches > 0)
        return;
    if (g_batchKey)
        RegCloseKey(g_batchKey);
    g_batchKey = nullptr;
    g_batchKeyTried = false;
    if (g_changedInBatch) {
        g_changedInBatch = false;
        broadcastFontChange();
    }
}

char *getSystemFontFolder(char *out)
{
    char windows[MAX_PATH];
    if (!windowsDirectory(windows, sizeof windows))
        return nullptr;
    return copyWhole(out, kFontsValueSize, std::string(windows) + "\\Fonts") ? out : nullptr;
}

bool getDefaultFontFolder(const ModuleChain &product, FontScope scope, char *out)
{
    if (scope == FontScope::User)
        return getUserFontFolder(out, kFontsValueSize);
    if (getProductFontType(product) == 'O') {
        if (isWin9x())
            return getAtmPfbDirFromProfile(out) != nullptr;
        if (isNT4())
            return getAtmPfbDirFromRegistry(out) != nullptr;
    }
    return getSystemFontFolder(out) != nullptr;
}

int listInstalledFonts(const char *const *extensions, std::string *names, std::string *paths, FontScope scope)
{
    OwnedKey key;
    if (openFontsKey(KEY_QUERY_VALUE, &key, scope) != ERROR_SUCCESS)
        return 0;
    int count = 0;
    for (DWORD index = 0;; ++index) {
        // One char more than a value may have: data that fills 260 bytes
        // without a NUL is too long, like data that does not fit at all.
        char name[kFontsValueSize];
        char data[kFontsValueSize + 1];
        DWORD nameSize = sizeof name;
        DWORD dataSize = kFontsValueSize;
        DWORD type = 0;
        LONG rc = RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type,
                                reinterpret_cast<BYTE *>(data), &dataSize);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        data[dataSize < kFontsValueSize ? dataSize : kFontsValueSize] = '\0';
        if (std::strlen(data) >= static_cast<size_t>(kFontsValueSize))
            continue;

        const char *ext = FileExtension(data);
        bool matches = !extensions;
        for (const char *const *e = extensions; e && *e && !matches; ++e)
            matches = EqualsIgnoreCase(ext, *e);
        char path[kFontsValueSize];
        if (!matches || !resolveFontsValuePath(data, path))
            continue;
        names->append(name);
        names->push_back('\n');
        paths->append(path);
        paths->push_back('\n');
        ++count;
    }
    return count;
}

bool isMyFontFile(const ModuleChain &product, const char *path)
{
    return MyFontTest(product)(path);
}

MyFontTest::MyFontTest(const ModuleChain &product) : export_(nullptr), identify_(nullptr), haveExtensions_(false)
{
    // The naming test is taken only from the module that answers.
    HMODULE module = nullptr;
    if (FARPROC found = findProductExport(product, PRODUCT_EXPORT_IS_MINE, &module)) {
        export_ = reinterpret_cast<ExportFn>(reinterpret_cast<void *>(found));
        identify_ = reinterpret_cast<IdentifyFn>(
            reinterpret_cast<void *>(GetProcAddress(module, PRODUCT_EXPORT_IDENTIFY)));
        return;
    }
    char extensions[kExtensionsSize];
    if (findProductString(product, "PRODUCT_EXTENSIONS", extensions, sizeof extensions)) {
        haveExtensions_ = true;
        extensions_ = extensions;
    }
}

bool MyFontTest::identify(const char *path, char *postscript) const
{
    postscript[0] = '\0';
    if (!identify_)
        return (*this)(path);
    bool mine = identify_(path, postscript, FONT_NAME_SIZE) != 0;
    postscript[FONT_NAME_SIZE - 1] = '\0';
    if (!mine)
        postscript[0] = '\0';
    return mine;
}

bool MyFontTest::operator()(const char *path) const
{
    if (export_)
        return export_(path) != 0;

    if (haveExtensions_) {
        PathParts parts = splitPath(path);
        const char *p = extensions_.c_str();
        while (*p) {
            size_t len = std::strcspn(p, "\r\n");
            std::string token(p, len);
            if (len > 0 && EqualsIgnoreCase(token.c_str(), parts.ext.c_str())) {
                char first = parts.fname.empty() ? '\0' : parts.fname[0];
                if (first != kMakerInitial && first != kMakerInitial - 'A' + 'a')
                    return false;
                break;
            }
            p += len;
            while (*p == '\r' || *p == '\n')
                ++p;
        }
    }
    return IsMakerFont(path) > 0;
}
