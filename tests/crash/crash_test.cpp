// The crash test: the installer killed at many points of its installs and
// uninstalls, and what it leaves checked after each kill.
//
// crashinstall.exe is install.exe's quiet run with numbered crash points
// (tests/crash/crashinstall.cpp). A run that is let through names the
// points of a whole install (/quiet /all) and of a whole uninstall (/quiet
// /uninstall /all) of a package: a copy block, the stamp, the move, a write
// of a registration, ... Points of every kind, spread over the run, are then
// killed one at a time, each from a fresh system (an uninstall from a whole
// install), and after each kill:
//
//   a. every registration of the package names a complete, stamped copy
//      (the disc's file with fsType 2 and its checksums repaired, byte for
//      byte), and Adobe Type Manager lists no font without its companion;
//   b. after the next /quiet /all: exit 0, exactly one file and one
//      registration per font, naming each other, and no temporary file;
//   c. after /quiet /uninstall /all: exit 0, no file and no registration of
//      the package left, companion keys included.
//
// Packages: the OpenType one on Windows 98 (Adobe Type Manager's profile)
// and Windows 10 (the NT Fonts key), the TrueType one on Windows 98 (the
// Windows 95/98/Me Fonts key). One font is padded to 25 copy blocks, more
// than a copy holds in memory, so that kills fall inside a copy with part
// of it on disk. The figures (kill points by kind, violations) are printed;
// any violation or a point not reached fails the test.
#include "base/handles.h"
#include "sfnt/embed.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace testutil;

namespace {

const int kKilled = 9;
const int kHung = -2;
const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xFontsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const char kAtmFolder[] = "C:\\ATMFONTS";
const char kInstallAll[] = "/quiet /all";
const char kUninstallAll[] = "/quiet /uninstall /all";
// Points of each kind that are killed, spread from the first to the last.
const size_t kPointsPerKind = 3;

struct Font {
    std::string base, ext, local, registry;
    std::string stamped;  // the disc's file with the installer's stamp
};

struct Package {
    const char *disc;
    bool openType;
    std::vector<Font> fonts;
};

// The package's fonts from their names without the maker's prefix ("Sample-W3").
Package package(const char *disc, bool openType, std::vector<std::string> names)
{
    Package p{disc, openType, {}};
    for (const std::string &name : names) {
        std::string base = "QX" + name, local = "QX " + name;
        local[local.find('-')] = ' ';
        p.fonts.push_back({base, openType ? ".otf" : ".ttf", local,
                           base + (openType ? " Regular (OpenType)" : " Regular (TrueType)"), ""});
    }
    return p;
}

// A registration: where it is, what it is called, the file it names.
struct Registration {
    bool atm;
    std::string name, path;
};

bool startsWith(const std::string &s, const char *prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

class CrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        version_ = emulatedVersion();
        win9x_ = version_ == "win95" || version_ == "win98" || version_ == "winme";
        OwnedKey h;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\crashinstall.exe", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, h.receive(), nullptr);
        RegSetValueExA(h.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version_.c_str()),
                       static_cast<DWORD>(version_.size() + 1));
        CreateDirectoryA(kAtmFolder, nullptr);
        log_ = windowsDir() + "\\crashpoints.log";
        SetEnvironmentVariableA("FI_CRASH_LOG", log_.c_str());
    }
    void TearDown() override
    {
        cleanSystem();
        // The profile that cleanSystem sets up for the next run goes too:
        // the next test program in this prefix expects none.
        DeleteFileA(atmIni().c_str());
        DeleteFileA(log_.c_str());
    }

    std::string atmIni() const { return windowsDir() + "\\atm.ini"; }
    bool atm() const { return package_.openType && win9x_; }
    std::string destination() const { return atm() ? std::string(kAtmFolder) : windowsDir() + "\\Fonts"; }

    // The package's disc in E:, the crash build beside its product module.
    void usePackage(const Package &package)
    {
        package_ = package;
        removeFilesIn("E:\\FontData", "*");
        removeFilesIn("E:", "*.exe");
        removeFilesIn("E:", "*.dll");
        copyFolder(buildPath(package.disc), "E:");
        ASSERT_TRUE(CopyFileA(buildPath(FI_CRASH_PROGRAM).c_str(), "E:\\crashinstall.exe", FALSE));
        for (Font &f : package_.fonts) {
            std::string source = "E:\\FontData\\" + f.base, bytes = readFile(source);
            if (f.base.find("-W7") != std::string::npos) {
                bytes.resize(200000);
                ASSERT_TRUE(writeFile(source, bytes));
            }
            std::stringstream memory(bytes);
            ASSERT_GT(RewriteEmbeddingType(memory, 2), 0) << source;
            f.stamped = memory.str();
        }
        cleanSystem();
    }

    void cleanSystem()
    {
        for (const char *key : {kNtFontsKey, k9xFontsKey}) {
            OwnedKey h;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, h.receive()) != ERROR_SUCCESS)
                continue;
            for (const Registration &r : fontsValues(key))
                RegDeleteValueA(h.get(), r.name.c_str());
        }
        DeleteFileA(atmIni().c_str());
        if (win9x_) {
            WritePrivateProfileStringA("Setup", "PFB_DIR", kAtmFolder, atmIni().c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, atmIni().c_str());
        }
        for (const std::string &folder : {std::string(kAtmFolder), windowsDir() + "\\Fonts"}) {
            removeFilesIn(folder, "QX*");
            removeFilesIn(folder, "~kri*.tmp");
        }
        deleteQxWineFontCache();
    }

    // Wine keeps the faces it found in the fonts folder in a cache that
    // outlives the files; no program may find there a face of a file that a
    // kill left half written or that a run deleted.
    void deleteQxWineFontCache()
    {
        OwnedKey h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Cache", 0, KEY_ALL_ACCESS, h.receive()) !=
            ERROR_SUCCESS)
            return;
        std::vector<std::string> doomed;
        char name[512];
        for (DWORD i = 0, size = sizeof name; RegEnumKeyExA(h.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                              ERROR_SUCCESS;
             ++i, size = sizeof name)
            if (startsWith(name, "QX"))
                doomed.push_back(name);
        for (const std::string &family : doomed)
            RegDeleteKeyA(h.get(), family.c_str());
    }

    // Runs the crash build, ending it at point stopAt (0: never). Its exit
    // code, kHung when it did not end within a minute; the kinds of the
    // points it passed into points.
    int run(const char *args, int stopAt, std::vector<std::string> *points = nullptr)
    {
        deleteQxWineFontCache();
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("FI_CRASH_AT", std::to_string(stopAt).c_str());
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::string cmd = std::string("E:\\crashinstall.exe ") + args;
        // A start that fails runs nothing, so it is tried again (one such
        // failure was seen in a loaded run); each one is printed.
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, "E:\\", &si, &pi);
            if (!started) {
                std::fprintf(stderr, "crash test: '%s' could not be started (error %lu)\n", cmd.c_str(),
                             GetLastError());
                Sleep(500);
            }
        }
        if (!started)
            return -1;
        OwnedHandle process(pi.hProcess), thread(pi.hThread);
        DWORD code = static_cast<DWORD>(kHung);
        if (WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.get(), &code);
        else
            TerminateProcess(process.get(), 1);
        std::istringstream lines(readFile(log_));
        for (std::string line; points && std::getline(lines, line);)
            points->push_back(line.substr(line.find(' ') + 1));
        return static_cast<int>(code);
    }

    // The values of a Fonts key that belong to the package: a name or a file
    // of the maker's prefix, and the unnamed default value.
    std::vector<Registration> fontsValues(const char *key)
    {
        std::vector<Registration> found;
        OwnedKey h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, h.receive()) != ERROR_SUCCESS)
            return found;
        char name[512], data[1024];
        for (DWORD i = 0, n = sizeof name, d = sizeof data - 1;
             RegEnumValueA(h.get(), i, name, &n, nullptr, nullptr, reinterpret_cast<BYTE *>(data), &d) == ERROR_SUCCESS;
             ++i, n = sizeof name, d = sizeof data - 1) {
            data[d] = '\0';
            std::string path = std::strchr(data, '\\') ? data : windowsDir() + "\\Fonts\\" + data;
            if (startsWith(name, "QX") || startsWith(path.substr(path.rfind('\\') + 1), "QX") || !name[0])
                found.push_back({false, name, path});
        }
        return found;
    }

    // The keys of Adobe Type Manager's list that belong to the package,
    // companions ("@" + name) included when asked for.
    std::vector<Registration> atmKeys(bool companions)
    {
        std::vector<Registration> found;
        char keys[32768], value[1024];
        DWORD n = GetPrivateProfileStringA("OpenTypeFonts", nullptr, "", keys, sizeof keys, atmIni().c_str());
        for (const char *key = keys; key < keys + n && *key; key += std::strlen(key) + 1) {
            GetPrivateProfileStringA("OpenTypeFonts", key, "", value, sizeof value, atmIni().c_str());
            if (startsWith(key, "QX") || (companions && startsWith(key, "@QX")))
                found.push_back({true, key, value});
        }
        return found;
    }

    // Every registration of the package: the Fonts key of the system, and
    // Adobe Type Manager's list where it holds the package's fonts.
    std::vector<Registration> registrations()
    {
        std::vector<Registration> all = fontsValues(win9x_ ? k9xFontsKey : kNtFontsKey);
        for (const Registration &r : atm() ? atmKeys(false) : std::vector<Registration>())
            all.push_back(r);
        return all;
    }

    const Font *fontOf(const Registration &r)
    {
        for (const Font &f : package_.fonts)
            if (r.name == (r.atm ? f.local : f.registry))
                return &f;
        return nullptr;
    }

    void violation(const std::string &what)
    {
        ++violations_;
        if (report_.size() < 40)
            report_.push_back(point_ + ": " + what);
    }

    // a. Every registration names a complete, stamped copy, and a font in
    // Adobe Type Manager's list has its companion.
    void checkRegistrations()
    {
        for (const Registration &r : registrations()) {
            const Font *f = fontOf(r);
            if (!f) {
                violation("'" + r.name + "' = " + r.path + " is no name of the package");
            } else if (readFile(r.path) != f->stamped) {
                violation("'" + r.name + "' names " + r.path + (fileExists(r.path) ? ", not the stamped copy"
                                                                                    : ", which is missing"));
            }
            char companion[1024];
            size_t dir = r.path.rfind('\\') + 1;
            GetPrivateProfileStringA("OpenTypeFonts", ("@" + r.name).c_str(), "", companion, sizeof companion,
                                     atmIni().c_str());
            if (r.atm && companion != r.path.substr(0, dir) + "|" + r.path.substr(dir))
                violation("atm.ini lists '" + r.name + "' without its companion");
        }
    }

    // The files of the destination that pattern matches.
    std::vector<std::string> filesLike(const std::string &pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        OwnedFind find(FindFirstFileA((destination() + "\\" + pattern).c_str(), &found));
        for (BOOL more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &found))
            names.push_back(found.cFileName);
        return names;
    }

    // b. After the next whole install.
    void checkInstalled()
    {
        if (int code = run(kInstallAll, 0))
            violation("the next /quiet /all ended with " + std::to_string(code));
        checkRegistrations();
        std::vector<Registration> all = registrations();
        for (const Font &f : package_.fonts) {
            std::vector<std::string> files;  // the font's name, or it with a letter
            for (const std::string &name : filesLike(f.base + "*" + f.ext))
                if (name.size() <= f.base.size() + f.ext.size() + 1)
                    files.push_back(name);
            std::vector<std::string> named;
            for (const Registration &r : all)
                if (fontOf(r) == &f)
                    named.push_back(r.path);
            if (files.size() != 1 || named.size() != 1)
                violation(std::to_string(files.size()) + " files and " + std::to_string(named.size()) +
                          " registrations of " + f.base + " after /quiet /all");
            else if (named[0] != destination() + "\\" + files[0])
                violation(f.base + " is registered as " + named[0] + ", its file is " + files[0]);
        }
        if (!filesLike("~kri*.tmp").empty())
            violation("a temporary file is left after /quiet /all");
    }

    // c. After a whole uninstall.
    void checkUninstalled()
    {
        if (int code = run(kUninstallAll, 0))
            violation("/quiet /uninstall /all ended with " + std::to_string(code));
        std::vector<Registration> left = fontsValues(win9x_ ? k9xFontsKey : kNtFontsKey);
        for (const Registration &r : atmKeys(true))
            left.push_back(r);
        for (const Registration &r : left)
            violation("left registered after /quiet /uninstall /all: " + r.name + " = " + r.path);
        for (const std::string &name : filesLike("QX*"))
            violation("left after /quiet /uninstall /all: " + name);
        for (const std::string &name : filesLike("~kri*.tmp"))
            violation("temporary file left after /quiet /uninstall /all: " + name);
    }

    // The points to kill (numbered from 1): of each kind up to
    // kPointsPerKind, spread from its first to its last.
    static std::vector<int> choose(const std::vector<std::string> &points)
    {
        std::map<std::string, std::vector<int>> byKind;
        for (size_t i = 0; i < points.size(); ++i)
            byKind[points[i]].push_back(static_cast<int>(i) + 1);
        std::vector<int> chosen;
        for (const auto &kind : byKind) {
            const std::vector<int> &all = kind.second;
            size_t n = std::min(kPointsPerKind, all.size());
            for (size_t k = 0; k < n; ++k)
                chosen.push_back(all[n == 1 ? 0 : k * (all.size() - 1) / (n - 1)]);
        }
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        return chosen;
    }

    // Kills a whole install and a whole uninstall of the package at the
    // chosen points, checking after each.
    void crashPackage(const Package &package, const char *label)
    {
        usePackage(package);
        if (HasFatalFailure())
            return;
        std::vector<std::string> install, uninstall;
        ASSERT_EQ(0, run(kInstallAll, 0, &install)) << label;
        ASSERT_EQ(0, run(kUninstallAll, 0, &uninstall)) << label;
        cleanSystem();
        for (bool installing : {true, false}) {
            const std::vector<std::string> &points = installing ? install : uninstall;
            for (int at : choose(points)) {
                std::string kind = std::string(installing ? "install " : "uninstall ") + points[at - 1];
                point_ = std::string(label) + " " + kind + " (point " + std::to_string(at) + ")";
                if (!installing && run(kInstallAll, 0) != 0)
                    violation("the install before the uninstall failed");
                int code = run(installing ? kInstallAll : kUninstallAll, at);
                if (code == kKilled)
                    ++kills_, ++byKind_[kind];
                else
                    ++missed_, report_.push_back(point_ + ": not reached (exit " + std::to_string(code) + ")");
                checkRegistrations();
                checkInstalled();
                checkUninstalled();
                cleanSystem();
            }
        }
    }

    std::string version_, log_, point_;
    bool win9x_ = false;
    Package package_;
    int kills_ = 0, violations_ = 0, missed_ = 0;
    std::map<std::string, int> byKind_;
    std::vector<std::string> report_;
};

TEST_F(CrashTest, EveryKillPointIsRecoveredFrom)
{
    crashPackage(package(FI_DISC_DIR, true, {"Sample-W3", "Sample-W5", "Sample-W7", "Round-W4", "Brush-W3", "Brush-W7"}),
                 "OpenType");
    if (win9x_)
        crashPackage(package(FI_DISC_TT_DIR, false, {"True-W3", "True-W5", "True-W7"}), "TrueType");
    std::printf("crash test on %s: %d kill points, %d violations, %d points not reached\n", version_.c_str(),
                kills_, violations_, missed_);
    for (const auto &k : byKind_)
        std::printf("  %-24s %3d\n", k.first.c_str(), k.second);
    for (const std::string &line : report_)
        std::printf("  %s\n", line.c_str());
    EXPECT_EQ(0, violations_);
    EXPECT_EQ(0, missed_);
}

}  // namespace
