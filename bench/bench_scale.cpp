// bench/bench_scale.cpp - the scale section of the benchmarks: one package of
// N generated fonts, from the start of the installer to its dialog, ticking
// every font, the dialog's refresh, and the unattended runs against the
// plain loops that do what any installer must.
//
// Everything lives in one folder (C:\Scale): this program, install.exe, the
// package's product.dll and its English name map (namemap.csv); the disc is
// on the drive given. One program, several roles:
//
//   bench_scale.exe scale DRIVE N RESULTS   the whole section for one package;
//                                           key-value lines into RESULTS
//   bench_scale.exe plain install|uninstall DRIVE
//                                           the plain loop over namemap.csv
//   bench_scale.exe empty                   the main dialog's template with
//                                           nothing in it (the floor of a start)
//   bench_scale.exe dialog N RESULTS        the real main dialog in this
//                                           process: refresh, check-all and
//                                           where the time of a load goes
//
// Start-to-dialog is timed from CreateProcess to the main dialog being
// visible, and on to the first moment its process waits for input (the
// dialog painted). The quiet runs and the plain loops are timed from
// CreateProcess to the process's end, so both pay one process start.
#include "base/handles.h"
#include "catalogue/catalogue.h"
#include "controls/fonttree.h"
#include "dialogs/installerdialog.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "program/entry.h"
#include "resources/resource.h"
#include "sfnt/name.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char kPrefix[] = "QXScale-";
// The font tree's message that adds many entries at once, where it has one
// (the same program measures builds from before it).
const UINT kAddEntries = WM_USER + 9;
// Turns of each measurement: at most this many, and no more once a series
// has taken kSeriesBudget seconds (a slow build may take minutes a turn).
const int kStartTurns = 5;
const int kRunTurns = 3;
const int kDialogTurns = 5;
const double kSeriesBudget = 60;
const DWORD kTimeoutMs = 6 * 3600000;
const double kStartTimeout = 3600;

LARGE_INTEGER gFrequency;

LONGLONG now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double seconds(LONGLONG from, LONGLONG to)
{
    return static_cast<double>(to - from) / static_cast<double>(gFrequency.QuadPart);
}

// Whether another turn of a series whose turns took these times is wanted.
bool anotherTurn(const std::vector<double> &times, int maxTurns)
{
    double spent = 0;
    for (double t : times)
        spent += t;
    return static_cast<int>(times.size()) < maxTurns && (times.empty() || spent < kSeriesBudget);
}

std::string folderOfProgram()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n < sizeof path ? n : 0);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::string windowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

// Key-value lines "name value value ..." (seconds), written as they come.
class Results {
public:
    explicit Results(const char *path) : file_(std::fopen(path, "ab")) {}
    bool ok() const { return static_cast<bool>(file_); }
    void put(const std::string &key, const std::vector<double> &values)
    {
        std::fprintf(file_.get(), "%s", key.c_str());
        for (double v : values)
            std::fprintf(file_.get(), " %.4f", v);
        std::fprintf(file_.get(), "\n");
        std::fflush(file_.get());
    }
    void put(const std::string &key, double value) { put(key, std::vector<double>{value}); }

private:
    OwnedStdio file_;
};

// ---------------------------------------------------------------- the system

// Fonts values of the package's fonts (their data is the file name).
int countFontsValues()
{
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return -1;
    int n = 0;
    for (DWORD i = 0;; ++i) {
        char name[512], data[512];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
        LONG rc = RegEnumValueA(key.get(), i, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE *>(data),
                                &dataSize);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            break;
        data[dataSize] = '\0';
        if (std::strncmp(data, kPrefix, std::strlen(kPrefix)) == 0)
            ++n;
    }
    return n;
}

int countFontFiles()
{
    WIN32_FIND_DATAA data;
    OwnedFind find(FindFirstFileA((windowsDir() + "\\Fonts\\" + kPrefix + "*").c_str(), &data));
    if (!find)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileA(find.get(), &data));
    return n;
}

// Wine remembers the faces of the fonts folder in a registry cache that
// outlives the files; the package's entries go with the fonts.
void forgetCachedFaces()
{
    OwnedKey cache;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Cache", 0, KEY_ALL_ACCESS, cache.receive()) !=
        ERROR_SUCCESS)
        return;
    std::vector<std::string> doomed;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(cache.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::strncmp(name, "QXScale", 7) == 0)
            doomed.push_back(name);
    }
    for (const std::string &family : doomed)
        RegDeleteKeyA(cache.get(), family.c_str());
}

// ---------------------------------------------------------------- the plain loops

struct PlainFont {
    std::string source;    // on the disc, without the drive
    std::string fileName;  // of the installed copy
    std::string valueName; // in the Fonts key
};

// The name map's columns 1, 2 and 8 of every font line.
std::vector<PlainFont> readNameMap(const std::string &path)
{
    std::vector<PlainFont> fonts;
    OwnedStdio file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fonts;
    char line[1024];
    while (std::fgets(line, sizeof line, file.get())) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (line[0] == '\0' || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        for (char *p = line;;) {
            char *comma = std::strchr(p, ',');
            fields.emplace_back(p, comma ? static_cast<size_t>(comma - p) : std::strlen(p));
            if (!comma)
                break;
            p = comma + 1;
        }
        if (fields.size() >= 8)
            fonts.push_back({fields[0], fields[1], fields[7]});
    }
    return fonts;
}

// CopyFileA + AddFontResourceA + the Fonts value per font, or the way back:
// RemoveFontResourceA + the value deleted + DeleteFileA. The exit code is the
// number of fonts that failed.
int plainLoop(bool install, char drive)
{
    std::vector<PlainFont> fonts = readNameMap(folderOfProgram() + "\\namemap.csv");
    if (fonts.empty())
        return 1000000;
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS)
        return 1000000;
    std::string folder = windowsDir() + "\\Fonts\\";
    int failed = 0;
    for (const PlainFont &font : fonts) {
        std::string target = folder + font.fileName;
        if (install) {
            std::string source = std::string(1, drive) + ":\\" + font.source;
            bool ok = CopyFileA(source.c_str(), target.c_str(), FALSE) && AddFontResourceA(target.c_str()) > 0 &&
                      RegSetValueExA(key.get(), font.valueName.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE *>(font.fileName.c_str()),
                                     static_cast<DWORD>(font.fileName.size() + 1)) == ERROR_SUCCESS;
            failed += ok ? 0 : 1;
        } else {
            RemoveFontResourceA(target.c_str());
            bool ok = RegDeleteValueA(key.get(), font.valueName.c_str()) == ERROR_SUCCESS;
            ok = DeleteFileA(target.c_str()) && ok;
            failed += ok ? 0 : 1;
        }
    }
    return failed;
}

// ---------------------------------------------------------------- child processes

struct Child {
    PROCESS_INFORMATION pi;
    bool started = false;
    ~Child()
    {
        if (started) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
    bool start(const std::string &commandLine)
    {
        STARTUPINFOA si;
        std::memset(&si, 0, sizeof si);
        si.cb = sizeof si;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folderOfProgram().c_str(), &si, &pi) != 0;
        return started;
    }
};

// Runs commandLine to its end: its exit code, and its time into *elapsed.
DWORD timeProcess(const std::string &commandLine, double *elapsed)
{
    Child child;
    LONGLONG t0 = now();
    if (!child.start(commandLine))
        return 0xFFFFFFFF;
    WaitForSingleObject(child.pi.hProcess, kTimeoutMs);
    *elapsed = seconds(t0, now());
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(child.pi.hProcess, &code);
    return code;
}

struct DialogSearch {
    DWORD pid;
    HWND found;
};

// A visible dialog of the process with a tree view as control 1001.
BOOL CALLBACK findMainDialog(HWND window, LPARAM param)
{
    DialogSearch *search = reinterpret_cast<DialogSearch *>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window))
        return TRUE;
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    HWND tree = GetDlgItem(window, IDC_FONT_TREE);
    char treeClass[32] = "";
    if (tree)
        GetClassNameA(tree, treeClass, sizeof treeClass);
    if (std::strcmp(cls, "#32770") != 0 || std::strcmp(treeClass, WC_TREEVIEWA) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Starts commandLine and times it until its main dialog shows and until the
// process first waits for input; *items is the tree's item count then.
bool timeStart(const std::string &commandLine, double *shown, double *idle, int *items)
{
    Child child;
    LONGLONG t0 = now();
    if (!child.start(commandLine))
        return false;
    DialogSearch search = {child.pi.dwProcessId, nullptr};
    for (;;) {
        EnumWindows(findMainDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            break;
        if (WaitForSingleObject(child.pi.hProcess, 2) == WAIT_OBJECT_0 || seconds(t0, now()) > kStartTimeout)
            break;
    }
    LONGLONG t1 = now();
    bool ok = search.found != nullptr;
    if (ok) {
        WaitForInputIdle(child.pi.hProcess, 60000);
        LONGLONG t2 = now();
        *shown = seconds(t0, t1);
        *idle = seconds(t0, t2);
        *items = static_cast<int>(SendMessageA(GetDlgItem(search.found, IDC_FONT_TREE), TVM_GETCOUNT, 0, 0));
    }
    TerminateProcess(child.pi.hProcess, 0);
    WaitForSingleObject(child.pi.hProcess, kTimeoutMs);
    return ok;
}

// ---------------------------------------------------------------- the section

class Section {
public:
    Section(char drive, int fonts, Results &results) : drive_(drive), fonts_(fonts), results_(results) {}

    bool run()
    {
        folder_ = folderOfProgram();
        if (countFontsValues() != 0 || countFontFiles() != 0) {
            std::fprintf(stderr, "bench_scale: the package's fonts are installed before the start\n");
            return false;
        }
        // Nothing installed.
        if (!starts("nothing") || !dialog("nothing"))
            return false;
        for (int turn = 0; turn < kRunTurns; ++turn) {
            if (!ours(true, turn))
                return false;
            if (turn == 0) {
                // A first start after the install lets Wine take the new
                // fonts into its cache; then everything installed.
                double shown, idle;
                int items;
                timeStart(quote(folder_ + "\\bench_scale.exe") + " empty", &shown, &idle, &items);
                if (!starts("all") || !dialog("all"))
                    return false;
            }
            if (!ours(false, turn) || !plain(true, turn) || !plain(false, turn))
                return false;
        }
        putRuns();
        return true;
    }

private:
    static std::string quote(const std::string &s) { return "\"" + s + "\""; }

    // The installer's start and the empty template's, in turns.
    bool starts(const char *state)
    {
        std::vector<double> shown, idle, emptyShown, emptyIdle;
        for (int turn = 0; anotherTurn(idle, kStartTurns); ++turn) {
            double s = 0, i = 0;
            int items = 0;
            if (!timeStart(quote(folder_ + "\\bench_scale.exe") + " empty", &s, &i, &items)) {
                std::fprintf(stderr, "bench_scale: the empty dialog did not show\n");
                return false;
            }
            emptyShown.push_back(s);
            emptyIdle.push_back(i);
            if (!timeStart(quote(folder_ + "\\install.exe"), &s, &i, &items)) {
                std::fprintf(stderr, "bench_scale: the installer's dialog did not show\n");
                return false;
            }
            if (items != fonts_ + 1) {
                std::fprintf(stderr, "bench_scale: the tree holds %d items, not %d\n", items, fonts_ + 1);
                return false;
            }
            shown.push_back(s);
            idle.push_back(i);
            std::fprintf(stderr, "  start, %s installed, turn %d: dialog shown %.3f s, waits for input %.3f s "
                                 "(empty template %.3f / %.3f s)\n",
                         state, turn + 1, shown.back(), idle.back(), emptyShown.back(), emptyIdle.back());
        }
        std::string s = state;
        results_.put("start_shown_" + s, shown);
        results_.put("start_idle_" + s, idle);
        results_.put("empty_shown_" + s, emptyShown);
        results_.put("empty_idle_" + s, emptyIdle);
        return true;
    }

    // The in-process measurements, in a process of their own.
    bool dialog(const char *state)
    {
        std::string out = folder_ + "\\dialog-" + state + ".txt";
        DeleteFileA(out.c_str());
        double elapsed = 0;
        DWORD code = timeProcess(quote(folder_ + "\\bench_scale.exe") + " dialog " + std::to_string(fonts_) + " " +
                                     quote(out),
                                 &elapsed);
        if (code != 0) {
            std::fprintf(stderr, "bench_scale: the dialog measurements failed (%lu)\n", code);
            return false;
        }
        OwnedStdio file(std::fopen(out.c_str(), "rb"));
        char line[4096];
        while (file && std::fgets(line, sizeof line, file.get())) {
            // Each key gets the state it was measured in.
            char *space = std::strchr(line, ' ');
            if (!space)
                continue;
            std::string key(line, space);
            std::vector<double> values;
            for (char *p = space; *p && *p != '\n';) {
                char *end;
                double v = std::strtod(p, &end);
                if (end == p)
                    break;
                values.push_back(v);
                p = end;
            }
            results_.put(key + "_" + state, values);
        }
        return true;
    }

public:
    // Only the quiet runs against the plain loops (BENCH_SCALE_ONLY=runs).
    bool runsOnly()
    {
        folder_ = folderOfProgram();
        if (countFontsValues() != 0 || countFontFiles() != 0) {
            std::fprintf(stderr, "bench_scale: the package's fonts are installed before the start\n");
            return false;
        }
        for (int turn = 0; turn < kRunTurns; ++turn)
            if (!ours(true, turn) || !ours(false, turn) || !plain(true, turn) || !plain(false, turn))
                return false;
        putRuns();
        return true;
    }

private:
    void putRuns()
    {
        results_.put("quiet_install", quietInstall_);
        results_.put("quiet_uninstall", quietUninstall_);
        results_.put("plain_install", plainInstall_);
        results_.put("plain_uninstall", plainUninstall_);
    }

    bool ours(bool install, int turn)
    {
        double t = 0;
        std::string line = quote(folder_ + "\\install.exe") + (install ? " /quiet /all" : " /quiet /uninstall /all");
        DWORD code = timeProcess(line, &t);
        int values = countFontsValues(), files = countFontFiles();
        int want = install ? fonts_ : 0;
        std::fprintf(stderr, "  ours %s, turn %d: %.3f s (exit %lu; %d values, %d files)\n",
                     install ? "install" : "uninstall", turn + 1, t, code, values, files);
        if (code != 0 || values != want || files != want) {
            std::fprintf(stderr, "bench_scale: the quiet run did not do every font\n");
            return false;
        }
        (install ? quietInstall_ : quietUninstall_).push_back(t);
        if (!install)
            forgetCachedFaces();
        return true;
    }

    bool plain(bool install, int turn)
    {
        double t = 0;
        std::string line = quote(folder_ + "\\bench_scale.exe") + (install ? " plain install " : " plain uninstall ") +
                           std::string(1, drive_);
        DWORD code = timeProcess(line, &t);
        int values = countFontsValues(), files = countFontFiles();
        int want = install ? fonts_ : 0;
        std::fprintf(stderr, "  plain %s, turn %d: %.3f s (%lu failed; %d values, %d files)\n",
                     install ? "install" : "uninstall", turn + 1, t, code, values, files);
        if (code != 0 || values != want || files != want) {
            std::fprintf(stderr, "bench_scale: the plain loop did not do every font\n");
            return false;
        }
        (install ? plainInstall_ : plainUninstall_).push_back(t);
        if (!install)
            forgetCachedFaces();
        return true;
    }

    char drive_;
    int fonts_;
    Results &results_;
    std::string folder_;
    std::vector<double> quietInstall_, quietUninstall_, plainInstall_, plainUninstall_;
};

// ---------------------------------------------------------------- in the dialog

int gDialogFonts = 0;
Results *gDialogResults = nullptr;
bool gDialogFailed = false;

void dialogFail(const char *what)
{
    std::fprintf(stderr, "bench_scale: %s\n", what);
    gDialogFailed = true;
}

void repaint(HWND dialog)
{
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int checkedCount(FontTreeCtrl *tree)
{
    CheckedParams checked;
    tree->send(TM_GETCHECKEDPARAMS, 0, reinterpret_cast<LPARAM>(&checked));
    return static_cast<int>(checked.size());
}

// A click on the box of the first root: the button's release is what toggles.
void clickTopBox(FontTreeCtrl *tree)
{
    HTREEITEM root = TreeView_GetRoot(tree->handle());
    RECT box;
    if (!root || !tree->boxRect(root, &box))
        return;
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageA(tree->handle(), WM_LBUTTONUP, 0, at);
}

// Where the time of one refresh goes: the steps of refreshContents one by
// one, and the catalogue's load as a whole, then its parts again on the
// loaded catalogue (marking an entry a second time changes nothing): the
// name map read into a scratch catalogue, the disc search, the disc's files,
// the Fonts key, the package test of each installed font and the reading
// and matching of its PostScript name.
const char *const kParts[] = {"part_empty_tree", "part_catalogue",      "part_name_map",
                              "part_find_disc",  "part_disc_files",     "part_list_installed",
                              "part_installed_test", "part_installed_match", "part_tree_fill",
                              "part_mode",       "part_paint"};

void profileLoad(InstallerDialog *dialog, std::vector<std::vector<double>> &parts)
{
    FontTreeCtrl *tree = dialog->fontTree();
    HWND window = dialog->handle();
    std::vector<double> t;
    LONGLONG mark = now();
    auto step = [&t, &mark]() {
        LONGLONG n = now();
        t.push_back(seconds(mark, n));
        mark = n;
    };
    FontCatalogue &catalogue = dialog->catalogue();
    tree->send(TM_DELETEALL);
    step();
    const ModuleChain &product = dialog->product();
    loadCatalogue(catalogue, product, dialog->scope(), false);
    step();
    {
        FontCatalogue scratch;
        std::unique_ptr<char[]> text(loadNameMapText(product));
        std::unique_ptr<char[]> keys(loadTextResource("NAMEMAP_KEYS"));
        parseNameMap(scratch, text.get(), keys.get());
    }
    step();
    char drive = findProductDisc(product);
    step();
    if (drive)
        markAvailable(catalogue, drive);
    step();
    std::string names, paths;
    static const char *const trueType[] = {".ttf", ".ttc", nullptr};
    int count = listInstalledFonts(trueType, &names, &paths);
    step();
    std::vector<std::pair<std::string, std::string>> installed;
    size_t np = 0, pp = 0;
    for (int i = 0; i < count; ++i) {
        size_t ne = names.find('\n', np), pe = paths.find('\n', pp);
        if (ne == std::string::npos || pe == std::string::npos)
            break;
        installed.emplace_back(names.substr(np, ne - np), paths.substr(pp, pe - pp));
        np = ne + 1;
        pp = pe + 1;
    }
    // The package test as the load asks it, with the names that it gives.
    MyFontTest test(product);
    std::map<std::string, std::pair<bool, std::string>> mine;
    for (const auto &font : installed) {
        char postscript[FONT_NAME_SIZE];
        bool accepted = test.identify(font.second.c_str(), postscript);
        mine[font.second] = std::make_pair(accepted, std::string(postscript));
    }
    step();
    // The load's own marking, with the package test's answers of the step
    // before, so that this step is the name reads left and the look-ups.
    markInstalledFonts(
        catalogue, names, paths, count,
        [&mine](const char *path, char *postscript) {
            const auto &answer = mine[path];
            std::snprintf(postscript, FONT_NAME_SIZE, "%s", answer.second.c_str());
            return answer.first;
        },
        FontScope::Machine, FontScope::Machine);
    step();
    // As the dialog fills the tree: all entries in one message where the
    // tree takes them so, else one message per entry.
    std::vector<FontEntry *> entries;
    for (size_t i = 0; i < catalogue.size(); ++i)
        entries.push_back(catalogue.at(i));
    tree->send(kAddEntries, entries.size(), reinterpret_cast<LPARAM>(entries.data()));
    if (!TreeView_GetRoot(tree->handle())) {
        for (FontEntry *entry : entries)
            tree->send(TM_ADDENTRY, 0, reinterpret_cast<LPARAM>(entry));
    }
    step();
    dialog->updateModeControls();
    step();
    repaint(window);
    step();
    for (size_t k = 0; k < t.size() && k < parts.size(); ++k)
        parts[k].push_back(t[k]);
}

// A run of the dialog: its refresh starts with the tree being emptied, and
// after an uninstall run it ends where the message that the fonts were
// removed comes up (which is answered at once).
HWND gRunTree = nullptr;
HHOOK gRefreshHook = nullptr;
LONGLONG gRefreshStart = 0, gMessageShown = 0;

LRESULT CALLBACK watchRefresh(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && sent->hwnd == gRunTree && sent->message == TM_DELETEALL && gRefreshStart == 0) {
        gRefreshStart = now();
        HHOOK hook = gRefreshHook;
        gRefreshHook = nullptr;
        LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
        UnhookWindowsHookEx(hook);
        return result;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK answerMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && gMessageShown == 0) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char cls[32] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && !GetDlgItem(window, IDC_FONT_TREE)) {
            gMessageShown = now();
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool runAndRefresh(InstallerDialog *dialog, int mode, double *run, double *refresh)
{
    HWND window = dialog->handle();
    FontTreeCtrl *tree = dialog->fontTree();
    SendDlgItemMessageA(window, IDC_MODE, CB_SETCURSEL, mode, 0);
    dialog->updateModeControls();
    clickTopBox(tree);
    if (checkedCount(tree) != gDialogFonts) {
        dialogFail("the dialog's run: not every font ticked");
        return false;
    }
    gRunTree = tree->handle();
    gRefreshStart = gMessageShown = 0;
    gRefreshHook = SetWindowsHookExA(WH_CALLWNDPROC, watchRefresh, nullptr, GetCurrentThreadId());
    // An uninstall run shows no window of its own before that message.
    HHOOK cbt = mode == MODE_UNINSTALL ? SetWindowsHookExA(WH_CBT, answerMessage, nullptr, GetCurrentThreadId())
                                       : nullptr;
    LONGLONG t0 = now();
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    LONGLONG t1 = now();
    if (cbt)
        UnhookWindowsHookEx(cbt);
    if (gRefreshHook)
        UnhookWindowsHookEx(gRefreshHook);
    gRefreshHook = nullptr;
    int values = countFontsValues();
    bool done = mode == MODE_INSTALL ? values == gDialogFonts : values == 0;
    if (!done || gRefreshStart == 0 || (mode == MODE_UNINSTALL && gMessageShown == 0)) {
        std::fprintf(stderr, "bench_scale: the dialog's run left %d values\n", values);
        dialogFail("the dialog's run did not do every font");
        return false;
    }
    *run = seconds(t0, gRefreshStart);
    *refresh = seconds(gRefreshStart, mode == MODE_UNINSTALL ? gMessageShown : t1);
    if (mode == MODE_UNINSTALL)
        forgetCachedFaces();
    return true;
}

// The main dialog among this thread's windows, once it shows.
BOOL CALLBACK findOwnMainDialog(HWND hwnd, LPARAM found)
{
    InstallerDialog *dialog = dynamic_cast<InstallerDialog *>(ui::Dialog::fromHandle(hwnd));
    if (dialog && IsWindowVisible(hwnd))
        *reinterpret_cast<InstallerDialog **>(found) = dialog;
    return TRUE;
}

void CALLBACK dialogDriver(HWND, UINT, UINT_PTR id, DWORD)
{
    InstallerDialog *dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findOwnMainDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !dialog->handle() || !IsWindowVisible(dialog->handle()) || !dialog->fontTree())
        return;
    KillTimer(nullptr, id);
    HWND window = dialog->handle();
    FontTreeCtrl *tree = dialog->fontTree();
    Results &results = *gDialogResults;
    repaint(window);

    // The refresh after a run: the whole of refreshContents, painted.
    std::vector<double> refresh;
    while (anotherTurn(refresh, kDialogTurns)) {
        LONGLONG t0 = now();
        dialog->refreshContents();
        repaint(window);
        refresh.push_back(seconds(t0, now()));
    }
    results.put("refresh", refresh);
    if (static_cast<int>(TreeView_GetCount(tree->handle())) != gDialogFonts + 1)
        dialogFail("the tree does not hold every font");

    // Ticking every font by the top category's box, and taking the ticks off
    // again; in Uninstall mode when the fonts are installed.
    const FontCatalogue &shown = dialog->catalogue();
    bool installed = shown.size() > 0 && shown.at(0)->findProperty(F_INSTALLED);
    if (installed) {
        SendDlgItemMessageA(window, IDC_MODE, CB_SETCURSEL, MODE_UNINSTALL, 0);
        LONGLONG t0 = now();
        dialog->updateModeControls();
        repaint(window);
        results.put("mode_switch", seconds(t0, now()));
    }
    std::vector<double> check, uncheck;
    while (anotherTurn(check, kDialogTurns)) {
        LONGLONG t0 = now();
        clickTopBox(tree);
        repaint(window);
        LONGLONG t1 = now();
        int ticked = checkedCount(tree);
        clickTopBox(tree);
        repaint(window);
        LONGLONG t2 = now();
        if (ticked != gDialogFonts || checkedCount(tree) != 0) {
            std::fprintf(stderr, "bench_scale: check-all ticked %d fonts\n", ticked);
            dialogFail("check-all did not tick every font");
            break;
        }
        check.push_back(seconds(t0, t1));
        uncheck.push_back(seconds(t1, t2));
    }
    results.put("check_all", check);
    results.put("uncheck_all", uncheck);
    if (installed) {
        SendDlgItemMessageA(window, IDC_MODE, CB_SETCURSEL, MODE_INSTALL, 0);
        dialog->updateModeControls();
    }

    // The last turn leaves the tree full and in the mode.
    std::vector<std::vector<double>> parts(sizeof kParts / sizeof kParts[0]);
    std::vector<double> loads;
    while (anotherTurn(loads, kDialogTurns)) {
        profileLoad(dialog, parts);
        double total = 0;
        for (const std::vector<double> &part : parts)
            total += part.back();
        loads.push_back(total);
    }
    for (size_t k = 0; k < parts.size(); ++k)
        results.put(kParts[k], parts[k]);

    // The refresh after real runs of the dialog, from nothing installed:
    // every font installed, then every font removed.
    if (!installed) {
        double run = 0, refresh = 0;
        if (runAndRefresh(dialog, MODE_INSTALL, &run, &refresh)) {
            results.put("dialog_install_run", run);
            results.put("refresh_after_install", refresh);
        }
        if (runAndRefresh(dialog, MODE_UNINSTALL, &run, &refresh)) {
            results.put("dialog_uninstall_run", run);
            results.put("refresh_after_uninstall", refresh);
        }
        SendDlgItemMessageA(window, IDC_MODE, CB_SETCURSEL, MODE_INSTALL, 0);
        dialog->updateModeControls();
    }

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
}

int runDialog(int fonts, const char *out)
{
    Results results(out);
    if (!results.ok())
        return 2;
    gDialogFonts = fonts;
    gDialogResults = &results;
    InitCommonControls();
    SetTimer(nullptr, 0, 50, dialogDriver);
    runInstaller(0);
    return gDialogFailed ? 1 : 0;
}

INT_PTR CALLBACK emptyDialogProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

int main(int argc, char **argv)
{
    QueryPerformanceFrequency(&gFrequency);
    std::string role = argc > 1 ? argv[1] : "";
    if (role == "plain" && argc == 4)
        return plainLoop(std::string(argv[2]) == "install", argv[3][0]);
    if (role == "empty") {
        InitCommonControls();
        return static_cast<int>(
            DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INSTALLER), nullptr, emptyDialogProc, 0));
    }
    if (role == "dialog" && argc == 4)
        return runDialog(std::atoi(argv[2]), argv[3]);
    if ((role == "scale" || role == "runs") && argc == 5) {
        Results results(argv[4]);
        if (!results.ok())
            return 2;
        Section section(argv[2][0], std::atoi(argv[3]), results);
        return (role == "scale" ? section.run() : section.runsOnly()) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: bench_scale scale|runs DRIVE N RESULTS | plain install|uninstall DRIVE | empty | "
                         "dialog N RESULTS\n");
    return 2;
}
