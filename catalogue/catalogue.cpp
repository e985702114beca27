// catalogue/catalogue.cpp - loading the catalogue from the name map, the
// package disc and the fonts installed on the machine.
#include "catalogue/catalogue.h"

#include "base/handles.h"
#include "base/path.h"
#include "base/system.h"
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "sfnt/identity.h"

#include <windows.h>
#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

// Longest registry name or path taken from one line of the installed lists.
const size_t kListItemLength = 259;

// The next line-feed-ended item of text from pos on, cut to
// kListItemLength bytes. Empty items are kept, so that the i-th item of two
// parallel lists always belong together.
bool nextListItem(const std::string &text, size_t *pos, std::string *item)
{
    if (*pos >= text.size())
        return false;
    size_t end = text.find('\n', *pos);
    if (end == std::string::npos)
        end = text.size();
    item->assign(text, *pos, end - *pos);
    if (item->size() > kListItemLength)
        item->resize(kListItemLength);
    *pos = end + 1;
    return true;
}

void setInstalled(FontEntry *entry, const char *path, const char *registryName, const char *postscript,
                  FontScope scope, FontScope own)
{
    entry->setProperty(PATH_INSTALLED, path);
    entry->setProperty(NAME_REGISTRY, registryName);
    entry->setProperty(F_INSTALLED, "1");
    entry->setProperty(NAME_POSTSCRIPT, postscript);
    // A user's font is the user's to remove; one of all users only an
    // administrator's.
    if (scope == FontScope::User)
        entry->setProperty(F_PER_USER, "1");
    else
        entry->removeProperty(F_PER_USER);
    if (scope == FontScope::Machine && own == FontScope::User)
        entry->setProperty(F_ALL_USERS_KEPT, "1");
    else
        entry->removeProperty(F_ALL_USERS_KEPT);
    struct _stat status;
    entry->setPropertyNumber(SIZE_ALL, _stat(path, &status) == 0 ? static_cast<long>(status.st_size)
                                                                  : -1L);
}

// Each PostScript name of the catalogue with the first entry, in catalogue
// order, that has it: what findEntry finds for that name.
typedef std::unordered_map<std::string, FontEntry *> PostScriptIndex;

PostScriptIndex indexByPostScriptName(const FontCatalogue &catalogue)
{
    PostScriptIndex index;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        if (const std::string *name = catalogue.at(i)->findProperty(NAME_POSTSCRIPT))
            index.emplace(*name, catalogue.at(i));
    }
    return index;
}

// The names of the files and folders in one folder, each with the low 32
// bits of its size, from one listing of the folder.
typedef std::map<std::string, DWORD> FolderListing;

const FolderListing &listFolder(std::map<std::string, FolderListing> *listings, const std::string &folder)
{
    auto found = listings->find(folder);
    if (found != listings->end())
        return found->second;
    FolderListing &names = (*listings)[folder];
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((folder + "*").c_str(), &data));
    if (find) {
        do
            names.emplace(data.cFileName, data.nFileSizeLow);
        while (FindNextFileA(find.get(), &data));
    }
    return names;
}

}  // namespace

void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &product, FontScope own, bool firstLoad)
{
    catalogue.clear();

    std::unique_ptr<char[]> text(loadNameMapText(product));
    if (text) {
        std::unique_ptr<char[]> keys(loadTextResource("NAMEMAP_KEYS"));
        parseNameMap(catalogue, text.get(), keys.get());
    }

    char drive = firstLoad ? requestProductDisc(product) : findProductDisc(product);
    if (drive >= 'A' && drive <= 'Z')
        markAvailable(catalogue, drive);

    // The fonts installed for all users and those of the current user (the
    // NT family only). The run's own scope is marked last, so that a font
    // installed both ways is the one that this run can uninstall.
    if (isWinNT())
        markInstalledIn(catalogue, product, own == FontScope::User ? FontScope::Machine : FontScope::User, own);
    markInstalledIn(catalogue, product, own, own);
}

void markInstalledIn(FontCatalogue &catalogue, const ModuleChain &product, FontScope scope, FontScope own)
{
    std::string names, paths;
    int count;
    if (getProductFontType(product) == 'O') {
        if (isWin9x()) {
            count = listAtmOpenTypeFonts(&names, &paths);
        } else {
            static const char *const openType[] = {".otf", nullptr};
            count = listInstalledFonts(openType, &names, &paths, scope);
        }
    } else {
        static const char *const trueType[] = {".ttf", ".ttc", nullptr};
        count = listInstalledFonts(trueType, &names, &paths, scope);
    }

    MyFontTest isMine(product);
    markInstalledFonts(
        catalogue, names, paths, count,
        [&isMine](const char *file, char *postscript) { return isMine.identify(file, postscript); }, scope, own);
}

void markInstalledFonts(FontCatalogue &catalogue, const std::string &names, const std::string &paths, int count,
                        const InstalledFontTest &isMine, FontScope scope, FontScope own)
{
    // The entries are found by PostScript name in an index instead of a
    // walk along the catalogue per installed font. Marking an entry sets its
    // PostScript name to the one it was found by, so the index stays true.
    PostScriptIndex index = indexByPostScriptName(catalogue);
    size_t namePos = 0, pathPos = 0;
    std::string name, path;
    for (int i = 0; i < count; ++i) {
        if (!nextListItem(names, &namePos, &name) || !nextListItem(paths, &pathPos, &path))
            break;
        // A font registered under the unnamed default value cannot be told
        // apart from "no name"; it is left out.
        if (name.empty() || path.empty())
            continue;
        char postscript[FONT_NAME_SIZE] = "";
        if (!isMine(path.c_str(), postscript))
            continue;
        postscript[FONT_NAME_SIZE - 1] = '\0';
        if (!postscript[0] && !readPostScriptName(path.c_str(), postscript))
            continue;
        auto found = index.find(postscript);
        if (found != index.end())
            setInstalled(found->second, path.c_str(), name.c_str(), postscript, scope, own);
    }
}

// Each folder of the disc is listed once, and a file whose name is in the
// listing as it stands in the name map is taken from there; any other name
// (another case, a short name, a pattern) is looked up on its own, as the
// system's find-first-file call matches it.
void markAvailable(FontCatalogue &catalogue, char drive)
{
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    std::map<std::string, FolderListing> listings;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        FontEntry *entry = catalogue.at(i);
        char suitcase[kPropertySize];
        if (!entry->getProperty(NAME_SUITCASE, suitcase, sizeof suitcase))
            continue;
        char path[MAX_PATH];
        int len = std::snprintf(path, sizeof path, "%c:\\%s", drive, suitcase);
        if (len < 0 || len >= static_cast<int>(sizeof path))
            continue;
        PathParts parts = splitPath(path);
        const FolderListing &folder = listFolder(&listings, parts.drive + parts.dir);
        auto listed = folder.find(parts.fname + parts.ext);
        DWORD size = 0;
        if (listed != folder.end()) {
            size = listed->second;
        } else {
            WIN32_FIND_DATAA found;
            OwnedFind find(FindFirstFileA(path, &found));
            if (!find)
                continue;
            size = found.nFileSizeLow;
        }
        if (size != 0) {
            entry->setPropertyNumber(SIZE_ALL, static_cast<long>(size));
            entry->setProperty(F_AVAILABLE, "1");
            entry->setProperty(PATH_SOURCE, path);
        }
    }
    SetCursor(previous);
}

bool readPostScriptName(const char *path, char *out)
{
    // The file is read once, and its PostScript name taken from the face:
    // Macintosh Roman English, then with the Japanese language id, and, as
    // many fonts carry only Windows name records, their Windows English
    // name when neither Macintosh one is there.
    FontFace face;
    return ReadFirstFace(path, &face) && face.postScriptName(out);
}

int markInstalled(FontCatalogue &catalogue, const char *path, const char *registryName, FontScope scope,
                  FontScope own)
{
    char postscript[FONT_NAME_SIZE];
    if (!readPostScriptName(path, postscript))
        return 0;
    FontEntry *entry = findEntry(catalogue, NAME_POSTSCRIPT, postscript);
    if (!entry)
        return 0;
    setInstalled(entry, path, registryName, postscript, scope, own);
    return 1;
}
