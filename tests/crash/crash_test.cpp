// The crash test: the installer killed at many points of its installs and
// uninstalls, and what it leaves checked after each kill.
//
// crashinstall.exe is install.exe's quiet run with numbered crash points
// (tests/crash/crashinstall.cpp). A run that is let through counts the
// points of a whole install (/quiet /all) and a whole uninstall (/quiet
// /uninstall /all) of a package and names each: a copy block, the stamp,
// the move, a write of the registration, ... Points of every kind, spread
// over the fonts, are then killed one at a time, each from a fresh system
// (an uninstall from a whole install), and after each kill:
//
//   a. every registration of the package names a complete, stamped copy
//      (the disc's file with fsType 2 and its checksums repaired, byte for
//      byte), and Adobe Type Manager lists no font without its companion;
//   b. after the next /quiet /all: exit 0, exactly one file and one
//      registration per font, naming each other, and no temporary file;
//   c. after /quiet /uninstall /all: exit 0, no file and no registration of
//      the package left, companion keys included.
//
// Packages: the OpenType package on Windows 98 (Adobe Type Manager's
// profile) and Windows 10 (the NT Fonts key), the TrueType package on
// Windows 98 (the Windows 95/98/Me Fonts key). One font is padded to 25
// copy blocks, more than the copy holds in memory at once, so that kills
// fall inside a copy with part of it on disk as well. The figures (kill
// points by kind, violations) are printed; the test fails on any violation
// or on a kill point that was not reached.
#include "sfnt/embed.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace testutil;

namespace {

const DWORD kKilled = 9;
const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xFontsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const char kAtmFolder[] = "C:\\ATMFONTS";
const char kProgram[] = "crashinstall.exe";
// Points of each kind that are killed, spread over the run.
const size_t kPointsPerKind = 3;

struct Font {
    std::string file, base, ext, local, registry;
    std::string stamped;  // the disc's file with the installer's stamp
};

struct Package {
    const char *disc;
    bool openType;
    std::vector<Font> fonts;
};

Font font(const std::string &base, const std::string &ext, const std::string &local, const std::string &kind)
{
    Font f;
    f.base = base;
    f.ext = ext;
    f.file = base + ext;
    f.local = local;
    f.registry = base + " Regular (" + kind + ")";
    return f;
}

Package openTypePackage()
{
    Package p{FI_DISC_DIR, true, {}};
    for (const char *w : {"Sample-W3", "Sample-W5", "Sample-W7", "Round-W4", "Brush-W3", "Brush-W7"}) {
        std::string name = w;
        std::string local = "QX " + name.substr(0, name.find('-')) + " " + name.substr(name.find('-') + 1);
        p.fonts.push_back(font("QX" + name, ".otf", local, "OpenType"));
    }
    return p;
}

Package trueTypePackage()
{
    Package p{FI_DISC_TT_DIR, false, {}};
    for (const char *w : {"W3", "W5", "W7"})
        p.fonts.push_back(font(std::string("QXTrue-") + w, ".ttf", std::string("QX True ") + w, "TrueType"));
    return p;
}

// A registration of a font: where it is, what it is called, the file it names.
struct Registration {
    std::string where, name, path;
};

std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool startsWith(const std::string &s, const std::string &prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

class CrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        version_ = emulatedVersion();
        win9x_ = version_ == "win95" || version_ == "win98" || version_ == "winme";
        HKEY h;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\crashinstall.exe", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &h, nullptr);
        RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version_.c_str()),
                       static_cast<DWORD>(version_.size() + 1));
        RegCloseKey(h);
        CreateDirectoryA(kAtmFolder, nullptr);
        log_ = windowsDir() + "\\crashpoints.log";
    }
    void TearDown() override
    {
        cleanSystem();
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("FI_CRASH_AT", nullptr);
        SetEnvironmentVariableA("FI_CRASH_LOG", nullptr);
    }

    std::string atmIni() const { return windowsDir() + "\\atm.ini"; }
    std::string fontsKey() const { return win9x_ ? k9xFontsKey : kNtFontsKey; }
    std::string destination() const
    {
        return package_.openType && win9x_ ? std::string(kAtmFolder) : windowsDir() + "\\Fonts";
    }

    // Puts the package's disc into E: with the crash build beside its
    // product module, one font padded to 25 copy blocks.
    void usePackage(const Package &package)
    {
        package_ = package;
        removeFilesIn("E:\\FontData", "*");
        removeFilesIn("E:", "*.exe");
        removeFilesIn("E:", "*.dll");
        copyFolder(buildPath(package.disc), "E:");
        ASSERT_TRUE(CopyFileA(buildPath(FI_CRASH_PROGRAM).c_str(), (std::string("E:\\") + kProgram).c_str(), FALSE));
        for (Font &f : package_.fonts) {
            std::string source = "E:\\FontData\\" + f.base;
            if (f.base.find("-W7") != std::string::npos) {
                std::string padded = readFile(source);
                padded.resize(200000);
                ASSERT_TRUE(writeFile(source, padded));
            }
            std::stringstream memory(readFile(source));
            ASSERT_GT(RewriteEmbeddingType(memory, 2), 0) << source;
            f.stamped = memory.str();
        }
        cleanSystem();
    }

    void cleanSystem()
    {
        for (const char *key : {kNtFontsKey, k9xFontsKey}) {
            HKEY h;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
                continue;
            std::vector<std::string> doomed;
            for (const Registration &r : fontsValues(key))
                doomed.push_back(r.name);
            for (const std::string &n : doomed)
                RegDeleteValueA(h, n.c_str());
            RegCloseKey(h);
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
    // outlives the files; the next program must not find a face of a file
    // that a kill left half written or that a run deleted.
    void deleteQxWineFontCache()
    {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Cache", 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
            return;
        std::vector<std::string> doomed;
        char name[512];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (startsWith(name, "QX"))
                doomed.push_back(name);
        }
        for (const std::string &family : doomed)
            RegDeleteKeyA(h, family.c_str());
        RegCloseKey(h);
    }

    // Runs the crash build with args, stopping at point stopAt (0: never);
    // the kinds of the points it passed into points. Its exit code; -1 when
    // it cannot be started, -2 when it hangs.
    int run(const std::string &args, int stopAt, std::vector<std::string> *points = nullptr)
    {
        deleteQxWineFontCache();
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("FI_CRASH_AT", std::to_string(stopAt).c_str());
        SetEnvironmentVariableA("FI_CRASH_LOG", log_.c_str());
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::string cmd = std::string("E:\\") + kProgram + " " + args;
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, "E:\\", &si, &pi))
            return -1;
        // A run that has not ended within a minute hangs: -2. The windows it
        // shows then tell why.
        DWORD code = static_cast<DWORD>(-2);
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(pi.hProcess, &code);
        } else {
            std::pair<DWORD, std::string> windows(pi.dwProcessId, "");
            EnumWindows(
                [](HWND hwnd, LPARAM lParam) -> BOOL {
                    auto *w = reinterpret_cast<std::pair<DWORD, std::string> *>(lParam);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(hwnd, &pid);
                    char text[256] = "";
                    GetWindowTextA(hwnd, text, sizeof text);
                    if (pid == w->first)
                        w->second += std::string("[") + text + "]";
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&windows));
            report_.push_back(point_ + ": '" + args + "' hangs; its windows: " + windows.second);
            TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        if (points) {
            points->clear();
            for (const std::string &line : splitLines(readFile(log_)))
                points->push_back(line.substr(line.find(' ') + 1));
        }
        return static_cast<int>(code);
    }

    // The Fonts values of key that belong to the package: a name or a file
    // of the maker's prefix, and the unnamed default value.
    std::vector<Registration> fontsValues(const std::string &key)
    {
        std::vector<Registration> found;
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
            return found;
        for (DWORD i = 0;; ++i) {
            char name[512], data[1024];
            DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
            if (RegEnumValueA(h, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE *>(data), &dataSize) !=
                ERROR_SUCCESS)
                break;
            data[dataSize] = '\0';
            std::string path = data;
            if (path.find('\\') == std::string::npos)
                path = windowsDir() + "\\Fonts\\" + path;
            std::string file = path.substr(path.find_last_of('\\') + 1);
            if (startsWith(name, "QX") || startsWith(file, "QX") || name[0] == '\0')
                found.push_back({"Fonts key", name, path});
        }
        RegCloseKey(h);
        return found;
    }

    // The keys of Adobe Type Manager's list that belong to the package,
    // companions included.
    std::vector<Registration> atmKeys()
    {
        std::vector<Registration> found;
        char keys[32768];
        DWORD n = GetPrivateProfileStringA("OpenTypeFonts", nullptr, "", keys, sizeof keys, atmIni().c_str());
        for (DWORD at = 0; at < n && keys[at];) {
            std::string key = keys + at;
            at += static_cast<DWORD>(key.size()) + 1;
            char value[1024];
            GetPrivateProfileStringA("OpenTypeFonts", key.c_str(), "", value, sizeof value, atmIni().c_str());
            if (startsWith(key, "QX") || startsWith(key, "@QX"))
                found.push_back({"atm.ini", key, value});
        }
        return found;
    }

    // Every registration of the package on this system.
    std::vector<Registration> registrations()
    {
        std::vector<Registration> all = fontsValues(fontsKey());
        if (package_.openType && win9x_)
            for (const Registration &r : atmKeys())
                if (r.name[0] != '@')
                    all.push_back(r);
        return all;
    }

    const Font *fontRegisteredAs(const Registration &r)
    {
        for (const Font &f : package_.fonts)
            if (r.name == (r.where == "atm.ini" ? f.local : f.registry))
                return &f;
        return nullptr;
    }

    void violation(const std::string &what)
    {
        ++violations_;
        if (report_.size() < 40)
            report_.push_back(point_ + ": " + what);
    }

    // a. Every registration names a complete, stamped copy; Adobe Type
    // Manager lists no font without its companion.
    void checkRegistrations()
    {
        for (const Registration &r : registrations()) {
            const Font *f = fontRegisteredAs(r);
            if (!f) {
                violation(r.where + " registers '" + r.name + "' = " + r.path + ", no name of the package");
                continue;
            }
            if (readFile(r.path) != f->stamped)
                violation(r.where + " '" + r.name + "' names " + r.path + ", which is not the complete stamped copy" +
                          (fileExists(r.path) ? "" : " (missing)"));
            if (r.where == "atm.ini") {
                char value[1024];
                GetPrivateProfileStringA("OpenTypeFonts", ("@" + r.name).c_str(), "", value, sizeof value,
                                         atmIni().c_str());
                std::string dir = r.path.substr(0, r.path.find_last_of('\\') + 1);
                if (value != dir + "|" + r.path.substr(dir.size()))
                    violation("atm.ini lists '" + r.name + "' without its companion");
            }
        }
    }

    // The files of the destination that the pattern matches.
    std::vector<std::string> filesLike(const std::string &pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((destination() + "\\" + pattern).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(found.cFileName);
        while (FindNextFileA(find, &found));
        FindClose(find);
        return names;
    }

    // b. After the next whole install.
    void checkInstalled()
    {
        int code = run("/quiet /all", 0);
        if (code != 0)
            violation("the next /quiet /all ended with " + std::to_string(code));
        checkRegistrations();
        std::vector<Registration> all = registrations();
        for (const Font &f : package_.fonts) {
            std::vector<std::string> files;
            for (const std::string &name : filesLike(f.base + "*" + f.ext)) {
                std::string rest = name.substr(f.base.size(), name.size() - f.base.size() - f.ext.size());
                if (rest.empty() || (rest.size() == 1 && rest[0] >= 'A' && rest[0] <= 'Z'))
                    files.push_back(name);
            }
            int named = 0;
            std::string registered;
            for (const Registration &r : all) {
                if (fontRegisteredAs(r) == &f) {
                    ++named;
                    registered = r.path;
                }
            }
            if (files.size() != 1)
                violation(std::to_string(files.size()) + " files of " + f.base + " after /quiet /all");
            if (named != 1)
                violation(std::to_string(named) + " registrations of " + f.base + " after /quiet /all");
            if (files.size() == 1 && named == 1 && registered != destination() + "\\" + files[0])
                violation(f.base + " is registered as " + registered + ", its file is " + files[0]);
        }
        if (!filesLike("~kri*.tmp").empty())
            violation("a temporary file is left after /quiet /all");
    }

    // c. After a whole uninstall.
    void checkUninstalled()
    {
        int code = run("/quiet /uninstall /all", 0);
        if (code != 0)
            violation("/quiet /uninstall /all ended with " + std::to_string(code));
        for (const Registration &r : fontsValues(fontsKey()))
            violation("left registered after /quiet /uninstall /all: " + r.name + " = " + r.path);
        for (const Registration &r : atmKeys())
            violation("left in atm.ini after /quiet /uninstall /all: " + r.name);
        for (const std::string &name : filesLike("QX*"))
            violation("left after /quiet /uninstall /all: " + name);
        for (const std::string &name : filesLike("~kri*.tmp"))
            violation("temporary file left after /quiet /uninstall /all: " + name);
    }

    // The points to kill: of each kind, up to kPointsPerKind spread from
    // the first to the last. Numbers count from 1.
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

    // Kills a whole install, and a whole uninstall, of the package at the
    // chosen points, checking after each.
    void crashPackage(const Package &package, const char *label)
    {
        usePackage(package);
        if (HasFatalFailure())
            return;
        std::vector<std::string> install, uninstall;
        ASSERT_EQ(0, run("/quiet /all", 0, &install)) << label;
        ASSERT_EQ(0, run("/quiet /uninstall /all", 0, &uninstall)) << label;
        cleanSystem();
        for (int phase = 0; phase < 2; ++phase) {
            const std::vector<std::string> &points = phase == 0 ? install : uninstall;
            const char *args = phase == 0 ? "/quiet /all" : "/quiet /uninstall /all";
            for (int at : choose(points)) {
                point_ = std::string(label) + (phase == 0 ? " install" : " uninstall") + " point " +
                         std::to_string(at) + " (" + points[at - 1] + ")";
                if (phase == 1 && run("/quiet /all", 0) != 0)
                    violation("the install before the uninstall failed");
                int code = run(args, at);
                if (code != static_cast<int>(kKilled)) {
                    ++missed_;
                    report_.push_back(point_ + ": not reached (exit " + std::to_string(code) + ")");
                } else {
                    ++kills_;
                    ++byKind_[std::string(phase == 0 ? "install " : "uninstall ") + points[at - 1]];
                }
                checkRegistrations();
                checkInstalled();
                checkUninstalled();
                cleanSystem();
            }
        }
    }

    void printFigures()
    {
        std::printf("crash test on %s: %d kill points, %d violations, %d points not reached\n", version_.c_str(),
                    kills_, violations_, missed_);
        for (const auto &k : byKind_)
            std::printf("  %-24s %3d\n", k.first.c_str(), k.second);
        for (const std::string &line : report_)
            std::printf("  %s\n", line.c_str());
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
    crashPackage(openTypePackage(), win9x_ ? "OpenType/atm.ini" : "OpenType/Fonts key");
    if (win9x_)
        crashPackage(trueTypePackage(), "TrueType/Fonts key");
    printFigures();
    EXPECT_EQ(0, violations_);
    EXPECT_EQ(0, missed_);
    EXPECT_GE(kills_, 25);
}

}  // namespace
