// The whole installer, end to end: the real install.exe and product.dll on
// the package disc E:, started as a user would start them and driven through
// their dialog with real mouse input, on the Windows version this run
// emulates. Each test checks what the run left on the system: files, the
// Fonts key or Adobe Type Manager's list, the stamped embedding type and the
// checksums (with sfnttool), and the dialog's own view after its refresh.
// The quiet runs (install.exe /quiet ...) are checked the same way, by their
// exit codes and logs, and watched for any top-level window of install.exe.
#include "base/handles.h"
#include "controls/fonttree.h"
#include "sfnt/embed.h"
#include "tests/e2e/installerdriver.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace testutil;
using namespace automation;

namespace {

const char kMainCaption[] = "Korimaru Installer US";
const char kProgressCaption[] = " Progress";
const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xFontsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kSignInDeletion[] = "KorimaruInstaller delete ";
const char kAtmFolder[] = "C:\\ATMFONTS";

// The sample package's fonts: installed file, PostScript and local name.
struct PackageFont {
    const char *file, *psName, *localName;
};
const PackageFont kPackageFonts[] = {
    {"QXSample-W3.otf", "QXSample-W3", "QX Sample W3"}, {"QXSample-W5.otf", "QXSample-W5", "QX Sample W5"},
    {"QXSample-W7.otf", "QXSample-W7", "QX Sample W7"}, {"QXRound-W4.otf", "QXRound-W4", "QX Round W4"},
    {"QXBrush-W3.otf", "QXBrush-W3", "QX Brush W3"},    {"QXBrush-W7.otf", "QXBrush-W7", "QX Brush W7"},
};

// The lines of a text file ended by CR LF.
std::vector<std::string> readLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = readFile(path);
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

struct WindowSearch {
    DWORD pid;
    std::string *seen;
};

// Notes every top-level window of the process, shown or hidden, and closes
// it so that the run does not wait for anyone.
BOOL CALLBACK noteWindow(HWND hwnd, LPARAM lParam)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid) {
        *search->seen += "[" + windowText(hwnd) + "|" + windowText(GetDlgItem(hwnd, 0xFFFF)) + "]";
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void deleteQxValues(const char *key, HKEY root = HKEY_LOCAL_MACHINE, const char *prefix = "QX")
{
    OwnedKey h;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, h.receive()) != ERROR_SUCCESS)
        return;
    std::vector<std::string> doomed;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(h.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::string(name).compare(0, std::strlen(prefix), prefix) == 0)
            doomed.push_back(name);
    }
    for (const std::string &n : doomed)
        RegDeleteValueA(h.get(), n.c_str());
}

// Wine remembers the faces it found in the Windows fonts folder in a cache
// that outlives the files, and a later process loads a cached face again
// once a file of that name reappears; a real Windows keeps no such cache.
// The installed fonts' entries go with the fonts, so that the next test
// program starts with none of them loaded.
void deleteQxWineFontCache()
{
    const char kCache[] = "Software\\Wine\\Fonts\\Cache";
    OwnedKey h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kCache, 0, KEY_ALL_ACCESS, h.receive()) != ERROR_SUCCESS)
        return;
    std::vector<std::string> doomed;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(h.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::string(name).compare(0, 2, "QX") == 0)
            doomed.push_back(name);
    }
    // A family's key holds one value per style.
    for (const std::string &family : doomed)
        RegDeleteKeyA(h.get(), family.c_str());
}

std::string profileString(const char *section, const char *key)
{
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof value,
                             (windowsDir() + "\\atm.ini").c_str());
    return value;
}

// Runs a program and returns its exit code and standard output.
int runProgram(const std::string &commandLine, std::string *output)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    OwnedHandle readEnd, writeEnd;
    CreatePipe(readEnd.receive(), writeEnd.receive(), &sa, 0);
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd.get();
    si.hStdError = writeEnd.get();
    PROCESS_INFORMATION pi;
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    OwnedHandle process(pi.hProcess), thread(pi.hThread);
    writeEnd.reset();
    char buf[4096];
    DWORD n;
    while (ReadFile(readEnd.get(), buf, sizeof buf, &n, nullptr) && n > 0)
        output->append(buf, n);
    readEnd.reset();
    WaitForSingleObject(process.get(), 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    // Text written by a Windows program ends its lines with CR LF.
    std::string text;
    for (char c : *output)
        if (c != '\r')
            text += c;
    output->swap(text);
    return static_cast<int>(code);
}

class InstallerRun : public ::testing::Test, protected InstallerDriver {
protected:
    InstallerRun() : InstallerDriver(kMainCaption, kProgressCaption) {}

    void SetUp() override
    {
        version_ = emulatedVersion();
        win9x_ = version_ == "win95" || version_ == "win98" || version_ == "winme";
        nt4_ = version_ == "nt40";
        cleanSystem();
        if (win9x_) {
            WritePrivateProfileStringA("Setup", "PFB_DIR", kAtmFolder,
                                       (windowsDir() + "\\atm.ini").c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, (windowsDir() + "\\atm.ini").c_str());
        }
        if (nt4_) {
            OwnedKey h;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup", 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, h.receive(), nullptr);
            RegSetValueExA(h.get(), "PFB_DIR", 0, REG_SZ, reinterpret_cast<const BYTE *>(kAtmFolder),
                           sizeof kAtmFolder);
        }
        CreateDirectoryA(kAtmFolder, nullptr);
        registerOpener();
        // install.exe sees the same Windows version as this program.
        emulateVersionFor("install.exe", version_);
        useDisc(FI_DISC_DIR);
    }

    void TearDown() override
    {
        lock_.reset();
        cleanSystem();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "QxTestOtfFile\\shell\\open\\command");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "QxTestOtfFile\\shell\\open");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "QxTestOtfFile\\shell");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "QxTestOtfFile");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".otf");
    }

    void cleanSystem()
    {
        deleteQxValues(kNtFontsKey);
        deleteQxValues(k9xFontsKey);
        deleteQxValues(kNtFontsKey, HKEY_CURRENT_USER);
        deleteQxValues(kRunOnceKey, HKEY_CURRENT_USER, kSignInDeletion);
        removeFilesIn(userFonts(), "QX*");
        DeleteFileA((windowsDir() + "\\atm.ini").c_str());
        DeleteFileA((windowsDir() + "\\WININIT.INI").c_str());
        removeFilesIn(windowsDir() + "\\Fonts", "QX*");
        deleteQxWineFontCache();
        removeFilesIn(kAtmFolder, "*");
        removeFilesIn("S:", "*");
        DeleteFileA((windowsDir() + "\\opener.log").c_str());
        DeleteFileA(logPath().c_str());
    }

    // The program registered for ".otf" files: tests/e2e/opener.exe.
    void registerOpener()
    {
        OwnedKey type, open;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, ".otf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, type.receive(), nullptr);
        RegSetValueExA(type.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>("QxTestOtfFile"), 14);
        std::string command = "\"" + programFolder() + "opener.exe\" \"%1\"";
        RegCreateKeyExA(HKEY_CLASSES_ROOT, "QxTestOtfFile\\shell\\open\\command", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, open.receive(), nullptr);
        RegSetValueExA(open.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }

    // Puts a package disc into E: (the folder laid out by the build).
    void useDisc(const char *unixDisc)
    {
        removeFilesIn("E:\\FontData", "*");
        removeFilesIn("E:", "*.exe");
        removeFilesIn("E:", "*.dll");
        copyFolder(buildPath(unixDisc), "E:");
    }

    // The current user's own fonts folder.
    static std::string userFonts()
    {
        char base[MAX_PATH] = "";
        GetEnvironmentVariableA("LOCALAPPDATA", base, sizeof base);
        return std::string(base) + "\\Microsoft\\Windows\\Fonts";
    }

    std::string destination() const
    {
        return (win9x_ || nt4_) ? kAtmFolder : windowsDir() + "\\Fonts";
    }

    void launch() { InstallerDriver::launch("E:\\install.exe", "E:\\"); }

    // The font at path is stamped (fsType 2) and all its checksums hold.
    void expectStamped(const std::string &path)
    {
        std::string tool = buildPath(FI_SFNTTOOL);
        std::string out;
        EXPECT_EQ(0, runProgram("\"" + tool + "\" check \"" + path + "\"", &out)) << path << ": " << out;
        out.clear();
        runProgram("\"" + tool + "\" dump \"" + path + "\"", &out);
        EXPECT_NE(std::string::npos, out.find("\nfsType=2\n")) << path;
    }

    // What the system now says of an installed font, by platform row.
    void expectRegistered(const std::string &file, const std::string &psName,
                          const std::string &localName, const std::string &registryName)
    {
        std::string path = destination() + "\\" + file, data;
        if (win9x_) {
            EXPECT_EQ(path, profileString("OpenTypeFonts", localName.c_str()));
            EXPECT_EQ(destination() + "\\|" + file, profileString("OpenTypeFonts", ("@" + localName).c_str()));
        } else if (nt4_) {
            ASSERT_TRUE(regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, (psName + " (OpenType)").c_str(), &data));
            EXPECT_EQ(path, data);
        } else {
            ASSERT_TRUE(regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, registryName.c_str(), &data))
                << registryName;
            EXPECT_EQ(file, data);  // a file in the system fonts folder goes by its name
        }
    }

    bool registeredAnyhow(const std::string &psName, const std::string &localName)
    {
        std::string data;
        if (win9x_)
            return !profileString("OpenTypeFonts", localName.c_str()).empty();
        if (nt4_)
            return regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, (psName + " (OpenType)").c_str(), &data);
        return regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, (psName + " Regular (OpenType)").c_str(), &data);
    }

    // Runs program (the disc's install.exe) with args to its end, looking for
    // top-level windows of its process all the while (into windowsSeen_). Its
    // exit code; -1 when it could not start or did not end within a minute.
    int runQuiet(const std::string &args, const std::string &program = "E:\\install.exe")
    {
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::string cmd = "\"" + program + "\" " + args;
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, "E:\\", &si, &pi))
            return -1;
        OwnedHandle process(pi.hProcess), thread(pi.hThread);
        WindowSearch search = {pi.dwProcessId, &windowsSeen_};
        DWORD wait = WAIT_TIMEOUT;
        for (int waited = 0; wait == WAIT_TIMEOUT && waited < 60000; waited += 2) {
            EnumWindows(noteWindow, reinterpret_cast<LPARAM>(&search));
            wait = WaitForSingleObject(process.get(), 2);
        }
        DWORD code = static_cast<DWORD>(-1);
        if (wait == WAIT_OBJECT_0)
            GetExitCodeProcess(process.get(), &code);
        else
            TerminateProcess(process.get(), 1);
        return static_cast<int>(code);
    }

    // In the prefix's own Windows directory: a run of another version may be
    // going on in the program's folder at the same time.
    std::string logPath() const { return windowsDir() + "\\qx quiet.log"; }
    std::string logSwitch() const { return "/log:\"" + logPath() + "\""; }

    // No file of the package's fonts is left in the destination.
    void expectNoFontsLeft()
    {
        WIN32_FIND_DATAA data;
        OwnedFind find(FindFirstFileA((destination() + "\\QX*").c_str(), &data));
        EXPECT_FALSE(find) << data.cFileName;
    }

    // path is to be deleted at the next restart.
    void expectDeletedAtRestart(const std::string &path)
    {
        char shortPath[MAX_PATH];
        GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
        if (win9x_) {
            EXPECT_NE(std::string::npos,
                      readFile(windowsDir() + "\\WININIT.INI").find(std::string("NUL=") + shortPath));
        } else {
            std::vector<std::string> ops;
            ASSERT_TRUE(regGetMultiString(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                          "PendingFileRenameOperations", &ops));
            bool scheduled = false;
            for (const std::string &op : ops)
                scheduled = scheduled || op == "\\??\\" + path;
            EXPECT_TRUE(scheduled) << path;
        }
    }

    int openerStarts()
    {
        std::string log = readFile(windowsDir() + "\\opener.log");
        int n = 0;
        for (char c : log)
            n += c == '\n';
        return n;
    }

    std::string version_;
    bool win9x_ = false, nt4_ = false;
    OwnedFile lock_;  // a file held open as a font in use is
    std::string windowsSeen_;  // top-level windows of quiet runs
};

TEST_F(InstallerRun, InstallsTwoFontsThatThenShowAsInstalled)
{
    launch();
    EXPECT_EQ(kNone, imageOf("Sample W3"));
    tick("Sample W3");
    tick("Sample W5");
    startInstall();

    for (const char *w : {"W3", "W5"}) {
        std::string file = std::string("QXSample-") + w + ".otf";
        EXPECT_TRUE(fileExists(destination() + "\\" + file)) << file;
        expectStamped(destination() + "\\" + file);
        expectRegistered(file, std::string("QXSample-") + w, std::string("QX Sample ") + w,
                         std::string("QXSample-") + w + " Regular (OpenType)");
    }
    // The view is rebuilt: installed fonts are ticked and gray in Install mode.
    EXPECT_EQ(kAllGray, imageOf("Sample W3"));
    EXPECT_EQ(kAllGray, imageOf("Sample W5"));
    EXPECT_EQ(kNone, imageOf("Sample W7"));
    // The disc's copy is left as it was.
    std::string out;
    runProgram("\"" + buildPath(FI_SFNTTOOL) + "\" dump E:\\FontData\\QXSample-W5", &out);
    EXPECT_NE(std::string::npos, out.find("\nfsType=0\n"));

    exitInstaller();
    // Only Windows 95/98/Me hand OpenType fonts to the ".otf" program on exit.
    EXPECT_EQ(win9x_ ? 1 : 0, openerStarts());
}

TEST_F(InstallerRun, ExitWithoutARunStartsNothing)
{
    launch();
    exitInstaller();
    EXPECT_EQ(0, openerStarts());
}

TEST_F(InstallerRun, SecondCopyOfAFontGetsTheNextFreeLetter)
{
    // A copy of the font that the system does not know lies in the folder.
    std::string first = destination() + "\\QXSample-W5.otf";
    ASSERT_TRUE(CopyFileA("E:\\FontData\\QXSample-W5", first.c_str(), FALSE));
    launch();
    tick("Sample W5");
    startInstall();
    EXPECT_EQ(readFile("E:\\FontData\\QXSample-W5"), readFile(first));  // untouched
    EXPECT_TRUE(fileExists(destination() + "\\QXSample-W5A.otf"));
    expectStamped(destination() + "\\QXSample-W5A.otf");
    expectRegistered("QXSample-W5A.otf", "QXSample-W5", "QX Sample W5", "QXSample-W5 Regular (OpenType)");
    exitInstaller();
}

TEST_F(InstallerRun, UninstallDeletesReadOnlyFilesAndSchedulesBusyOnes)
{
    launch();
    tick("Sample W3");
    tick("Sample W5");
    startInstall();
    std::string readOnly = destination() + "\\QXSample-W3.otf";
    std::string busy = destination() + "\\QXSample-W5.otf";
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    lock_.reset(CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock_);

    setMode(MODE_UNINSTALL);
    EXPECT_EQ(kNone, imageOf("Sample W3"));   // installed: can be ticked
    EXPECT_EQ(kNoneGray, imageOf("Sample W7"));  // not installed: gray
    tick("Sample W3");
    tick("Sample W5");
    pressStart();
    if (nt4_) {
        HWND atm = waitForWindow(pid(), "Korimaru Installer", 20000);
        ASSERT_NE(nullptr, atm);
        EXPECT_NE(std::string::npos, windowText(GetDlgItem(atm, 0xFFFF)).find("AdobeTypeManager"));
        SendMessageA(GetDlgItem(atm, IDOK), BM_CLICK, 0, 0);
        waitForWindowGone(atm, 5000);
    }
    HWND done = waitForWindow(pid(), "Korimaru Installer", 20000);
    ASSERT_NE(nullptr, done);
    EXPECT_EQ("Fonts were removed.", windowText(GetDlgItem(done, 0xFFFF)));
    // The view was rebuilt before the message: nothing is installed any more.
    EXPECT_EQ(kNoneGray, imageOf("Sample W3"));
    EXPECT_EQ(kNoneGray, imageOf("Sample W5"));
    SendMessageA(GetDlgItem(done, IDOK), BM_CLICK, 0, 0);

    EXPECT_FALSE(fileExists(readOnly));
    EXPECT_FALSE(registeredAnyhow("QXSample-W3", "QX Sample W3"));
    // The busy file stays until the restart, and its registration is gone now.
    EXPECT_TRUE(fileExists(busy));
    EXPECT_FALSE(registeredAnyhow("QXSample-W5", "QX Sample W5"));
    expectDeletedAtRestart(busy);
    lock_.reset();
    exitInstaller();
}

TEST_F(InstallerRun, CancelDuringALargeFontKeepsEarlierFontsAndBeginsNoLaterOne)
{
    // A large font file: the real font followed by padding.
    std::string big = readFile("E:\\FontData\\QXSample-W7");
    big.resize(96u << 20);
    ASSERT_TRUE(writeFile("E:\\FontData\\QXSample-W7", big));
    big.clear();
    launch();
    tick("Sample W3");
    tick("Sample W7");
    tick("Round W4");
    pressStart();
    HWND progress = waitForProgress(20000);
    ASSERT_NE(nullptr, progress);
    HWND name = GetDlgItem(progress, 6553);
    for (int i = 0; i < 600 && windowText(name) != "QX Sample W7"; ++i)
        Sleep(10);
    ASSERT_EQ("QX Sample W7", windowText(name));
    clickCenter(GetDlgItem(progress, IDCANCEL));
    ASSERT_TRUE(waitForWindowGone(progress, 60000)) << "the progress dialog did not close by itself";
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);

    EXPECT_TRUE(fileExists(destination() + "\\QXSample-W3.otf"));
    expectRegistered("QXSample-W3.otf", "QXSample-W3", "QX Sample W3", "QXSample-W3 Regular (OpenType)");
    EXPECT_FALSE(fileExists(destination() + "\\QXSample-W7.otf"));
    EXPECT_FALSE(registeredAnyhow("QXSample-W7", "QX Sample W7"));
    EXPECT_FALSE(fileExists(destination() + "\\QXRound-W4.otf"));
    EXPECT_EQ(kAllGray, imageOf("Sample W3"));
    EXPECT_EQ(kNone, imageOf("Round W4"));
    exitInstaller();
}

TEST_F(InstallerRun, FullDestinationLeavesNoPartialFile)
{
    // S: is a small drive; the default folder comes from Adobe Type Manager's
    // setting on these systems.
    if (!(win9x_ || nt4_) || GetFileAttributesA("S:\\") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "needs the small drive S: and a settable default folder";
    if (win9x_) {
        WritePrivateProfileStringA("Setup", "PFB_DIR", "S:\\", (windowsDir() + "\\atm.ini").c_str());
    } else {
        OwnedKey h;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup", 0, KEY_ALL_ACCESS,
                      h.receive());
        RegSetValueExA(h.get(), "PFB_DIR", 0, REG_SZ, reinterpret_cast<const BYTE *>("S:\\"), 4);
    }
    std::string big = readFile("E:\\FontData\\QXSample-W7");
    big.resize(2u << 20);
    ASSERT_TRUE(writeFile("E:\\FontData\\QXSample-W7", big));
    launch();
    tick("Sample W7");
    tick("Round W4");
    startInstall();
    EXPECT_FALSE(fileExists("S:\\QXSample-W7.otf"));
    EXPECT_FALSE(fileExists("S:\\QXRound-W4.otf"));  // the run stopped
    EXPECT_FALSE(registeredAnyhow("QXSample-W7", "QX Sample W7"));
    exitInstaller();
}

TEST_F(InstallerRun, TrueTypePackageRegistersInTheFontsKey)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the TrueType package runs on one NT version";
    useDisc(FI_DISC_TT_DIR);
    launch();
    tick("True W3");
    tick("True W7");
    startInstall();
    for (const char *w : {"W3", "W7"}) {
        std::string file = std::string("QXTrue-") + w + ".ttf", data;
        EXPECT_TRUE(fileExists(windowsDir() + "\\Fonts\\" + file));
        expectStamped(windowsDir() + "\\Fonts\\" + file);
        ASSERT_TRUE(regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey,
                                 (std::string("QXTrue-") + w + " Regular (TrueType)").c_str(), &data));
        EXPECT_EQ(file, data);
    }
    EXPECT_EQ(kAllGray, imageOf("True W3"));
    exitInstaller();
    EXPECT_EQ(0, openerStarts());
}

TEST_F(InstallerRun, QuietInstallAndUninstallOfEveryFontShowNoWindow)
{
    ASSERT_EQ(0, runQuiet("/Quiet /ALL " + logSwitch()));
    std::vector<std::string> log = readLines(logPath());
    ASSERT_EQ(6u, log.size());
    for (size_t i = 0; i < log.size(); ++i) {
        const PackageFont &font = kPackageFonts[i];
        std::string path = destination() + "\\" + font.file;
        EXPECT_EQ(std::string("install\t") + font.psName + "\t" + path + "\tinstalled", log[i]);
        EXPECT_EQ(2, GetEmbeddingType(path.c_str())) << path;
        expectRegistered(font.file, font.psName, font.localName, std::string(font.psName) + " Regular (OpenType)");
    }
    expectStamped(destination() + "\\QXSample-W3.otf");  // checksums too, once

    // An installed font is skipped, never copied again under the next letter.
    ASSERT_EQ(0, runQuiet("/quiet /font:QXSample-W3 " + logSwitch()));
    log = readLines(logPath());
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("install\tQXSample-W3\t" + destination() + "\\QXSample-W3.otf\talready installed", log[0]);
    EXPECT_FALSE(fileExists(destination() + "\\QXSample-W3A.otf"));

    ASSERT_EQ(0, runQuiet("/quiet /uninstall /all " + logSwitch()));
    log = readLines(logPath());
    ASSERT_EQ(6u, log.size());
    for (size_t i = 0; i < log.size(); ++i) {
        const PackageFont &font = kPackageFonts[i];
        EXPECT_EQ(std::string("uninstall\t") + font.psName + "\t" + destination() + "\\" + font.file + "\tremoved",
                  log[i]);
        EXPECT_FALSE(registeredAnyhow(font.psName, font.localName)) << font.psName;
        if (win9x_) {
            EXPECT_EQ("", profileString("OpenTypeFonts", (std::string("@") + font.localName).c_str()));
        }
    }
    expectNoFontsLeft();
    EXPECT_EQ("", windowsSeen_);
}

TEST_F(InstallerRun, QuietUninstallOfABusyFontSchedulesItAndLogsIt)
{
    ASSERT_EQ(0, runQuiet("/quiet /font:QXSample-W5"));
    std::string busy = destination() + "\\QXSample-W5.otf";
    // Held open as a font in use is: readable, but not to be deleted.
    lock_.reset(CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock_);
    // Done, but a restart completes it: 3010.
    ASSERT_EQ(3010, runQuiet("/quiet /uninstall /font:QXSample-W5 " + logSwitch()));
    std::vector<std::string> log = readLines(logPath());
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("uninstall\tQXSample-W5\t" + busy + "\tremoved at restart", log[0]);
    EXPECT_TRUE(fileExists(busy));
    EXPECT_FALSE(registeredAnyhow("QXSample-W5", "QX Sample W5"));
    expectDeletedAtRestart(busy);
    EXPECT_EQ("", windowsSeen_);
}

// Exit code 1: one font fails (a damaged file on the disc), the others are
// installed, and the log says which failed.
TEST_F(InstallerRun, QuietRunWithAFailedFontEndsWithOne)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the exit codes are checked on one version";
    ASSERT_TRUE(writeFile("E:\\FontData\\QXSample-W7", std::string(20000, 'x')));
    EXPECT_EQ(1, runQuiet("/quiet /font:QXSample-W7 /font:QXSample-W3 " + logSwitch()));
    std::vector<std::string> log = readLines(logPath());
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(0u, log[0].find("install\tQXSample-W7\t")) << log[0];
    EXPECT_NE(std::string::npos, log[0].find("\tfailed: ")) << log[0];
    EXPECT_FALSE(fileExists(destination() + "\\QXSample-W7.otf"));
    EXPECT_EQ("install\tQXSample-W3\t" + destination() + "\\QXSample-W3.otf\tinstalled", log[1]);
    EXPECT_EQ("", windowsSeen_);
}

// Exit code 2: arguments that make no request; nothing is done.
TEST_F(InstallerRun, QuietRunWithBadArgumentsEndsWithTwo)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the exit codes are checked on one version";
    for (const char *args : {"/quiet /all /bogus", "/quiet /font:QXNoSuch-W1", "/quiet /uninstall /all /dir:C:\\",
                             "/quiet", "/quiet /all /font:QXSample-W3", "/quiet /all /?"})
        EXPECT_EQ(2, runQuiet(args)) << args;
    expectNoFontsLeft();
    EXPECT_EQ("", windowsSeen_);
    // The log, when it could be opened, says why: one line.
    EXPECT_EQ(2, runQuiet("/quiet /all /bogus " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"install\t-\t-\tfailed: bad arguments"}, readLines(logPath()));
    EXPECT_EQ(2, runQuiet("/quiet /uninstall /font:QXNoSuch-W1 " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"uninstall\tQXNoSuch-W1\t-\tfailed: not a font of the package"},
              readLines(logPath()));
}

// Exit code 3: no drive carries the package's label (the installer beside a
// product module whose disc is called otherwise).
TEST_F(InstallerRun, QuietRunWithoutTheDiscEndsWithThree)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the exit codes are checked on one version";
    std::string folder = scratchFolder("nodisc") + "\\";
    ASSERT_TRUE(CopyFileA("E:\\install.exe", (folder + "install.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(buildPath(FI_OTHER_PRODUCT).c_str(), (folder + "product.dll").c_str(), FALSE));
    EXPECT_EQ(3, runQuiet("/quiet /all " + logSwitch(), folder + "install.exe"));
    EXPECT_EQ(std::vector<std::string>{"install\t-\t-\tfailed: the package disc was not found"},
              readLines(logPath()));
    expectNoFontsLeft();
    EXPECT_EQ("", windowsSeen_);
}

// Exit code 4: Adobe Type Manager names no font folder and /dir: is not
// given; with /dir: the same install goes there.
TEST_F(InstallerRun, QuietRunWithoutAFolderEndsWithFourUnlessOneIsGiven)
{
    if (!win9x_ && !nt4_)
        GTEST_SKIP() << "only Windows 95/98/Me and NT 4.0 may have no destination";
    DeleteFileA((windowsDir() + "\\atm.ini").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adobe\\Adobe Type Manager\\Setup");
    EXPECT_EQ(4, runQuiet("/quiet /all " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"install\t-\t-\tfailed: no destination folder"}, readLines(logPath()));
    expectNoFontsLeft();

    const std::string folder = "C:\\QXDIR";
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_EQ(0, runQuiet("/quiet /font:QXRound-W4 /dir:" + folder));
    EXPECT_EQ(2, GetEmbeddingType((folder + "\\QXRound-W4.otf").c_str()));
    if (win9x_) {
        EXPECT_EQ(folder + "\\QXRound-W4.otf", profileString("OpenTypeFonts", "QX Round W4"));
    } else {
        EXPECT_TRUE(registeredAnyhow("QXRound-W4", "QX Round W4"));
    }
    removeFilesIn(folder, "*");
    RemoveDirectoryA(folder.c_str());
    EXPECT_EQ("", windowsSeen_);
}

// /all finds no font of the package on the disc: nothing to do is no success.
TEST_F(InstallerRun, QuietAllWithoutAFontOnTheDiscEndsWithOne)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the exit codes are checked on one version";
    removeFilesIn("E:\\FontData", "*");
    EXPECT_EQ(1, runQuiet("/quiet /all " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"install\t-\t-\tfailed: no font of the package on the disc"},
              readLines(logPath()));
    // Uninstalling where nothing is installed has nothing to fail.
    EXPECT_EQ(0, runQuiet("/quiet /uninstall /all " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"uninstall\t-\t-\tnothing installed"}, readLines(logPath()));
}

// Adobe Type Manager's profile cannot be written (another program holds it
// open): the font stays registered, so its file stays too, and the run says
// the font failed.
TEST_F(InstallerRun, QuietUninstallWhoseRegistrationStaysFailsAndKeepsTheFile)
{
    if (!win9x_)
        GTEST_SKIP() << "Adobe Type Manager's profile holds the registrations on Windows 95/98/Me";
    ASSERT_EQ(0, runQuiet("/quiet /font:QXSample-W5"));
    std::string font = destination() + "\\QXSample-W5.otf";
    lock_.reset(CreateFileA((windowsDir() + "\\atm.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock_);
    EXPECT_EQ(1, runQuiet("/quiet /uninstall /all " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"uninstall\tQXSample-W5\t" + font + "\tfailed: unregister"},
              readLines(logPath()));
    lock_.reset();
    EXPECT_TRUE(fileExists(font));
    EXPECT_EQ(font, profileString("OpenTypeFonts", "QX Sample W5"));
    EXPECT_EQ(0, runQuiet("/quiet /uninstall /all"));
    EXPECT_FALSE(fileExists(font));
}

// /? without /quiet: the usage in a message box (which the watcher sees).
TEST_F(InstallerRun, UsageShowsInAMessageBox)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the exit codes are checked on one version";
    EXPECT_EQ(0, runQuiet("/?"));
    EXPECT_NE(std::string::npos, windowsSeen_.find("[Korimaru Installer|")) << windowsSeen_;
}

// A DLL planted beside install.exe, under the name of a system DLL that its
// dialog loads on demand (msimg32.dll, which Wine is told to take from
// outside its own set first), is not loaded: the program searches only the
// system folder for DLLs. The package's product.dll, loaded by its full
// path, still is (the main dialog, which needs it, appears).
TEST_F(InstallerRun, ADllPlantedBesideTheProgramIsNotLoaded)
{
    if (version_ != "win10")
        GTEST_SKIP() << "the DLL search is checked on one version";
    const std::string marker = windowsDir() + "\\planted-dll.log";
    const char kOverrides[] = "Software\\Wine\\AppDefaults\\install.exe\\DllOverrides";
    DeleteFileA(marker.c_str());
    ASSERT_TRUE(CopyFileA(buildPath(FI_PLANTED_DLL).c_str(), "E:\\msimg32.dll", FALSE));
    {
        OwnedKey h;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 h.receive(), nullptr));
        RegSetValueExA(h.get(), "msimg32", 0, REG_SZ, reinterpret_cast<const BYTE *>("native,builtin"), 15);
    }
    launch();
    tick("Sample W3");  // draws the tree's check boxes
    exitInstaller();
    RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides);
    DeleteFileA("E:\\msimg32.dll");
    EXPECT_FALSE(fileExists(marker)) << "install.exe loaded the DLL planted beside it";
    DeleteFileA(marker.c_str());
}

// /user: every file into the user's own fonts folder, every registration a
// value of the user's Fonts key with the file's full path, nothing for all
// users. A busy font goes at the user's next sign-in (exit code 3010); the
// user's uninstall leaves nothing of the user's fonts and leaves the fonts of
// all users alone.
TEST_F(InstallerRun, QuietRunForTheUserTouchesOnlyTheUsersFontsAndKey)
{
    if (version_ != "win10")
        GTEST_SKIP() << "fonts for one user are a Windows 10 (1809 and later) matter";
    const std::string folder = userFonts();
    // A font of all users: the user's run takes it as installed.
    ASSERT_EQ(0, runQuiet("/quiet /font:QXRound-W4"));
    std::string allUsers = destination() + "\\QXRound-W4.otf";
    ASSERT_TRUE(fileExists(allUsers));
    ASSERT_EQ(0, runQuiet("/quiet /all /user " + logSwitch()));
    std::vector<std::string> log = readLines(logPath());
    ASSERT_EQ(6u, log.size());
    for (size_t i = 0; i < log.size(); ++i) {
        const PackageFont &font = kPackageFonts[i];
        if (std::string(font.file) == "QXRound-W4.otf") {
            EXPECT_EQ("install\tQXRound-W4\t" + allUsers + "\talready installed", log[i]);
            continue;
        }
        std::string path = folder + "\\" + font.file, data;
        EXPECT_EQ(std::string("install\t") + font.psName + "\t" + path + "\tinstalled", log[i]);
        EXPECT_EQ(2, GetEmbeddingType(path.c_str())) << path;
        ASSERT_TRUE(regGetString(HKEY_CURRENT_USER, kNtFontsKey, (std::string(font.psName) + " Regular (OpenType)").c_str(),
                                 &data))
            << font.psName;
        EXPECT_EQ(path, data);
        EXPECT_FALSE(registeredAnyhow(font.psName, font.localName)) << font.psName;  // nothing for all users
        EXPECT_FALSE(fileExists(destination() + "\\" + font.file)) << font.file;
    }
    expectStamped(folder + "\\QXSample-W3.otf");
    EXPECT_EQ(0, runQuiet("/quiet /font:QXSample-W3 /user " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"install\tQXSample-W3\t" + folder + "\\QXSample-W3.otf\talready installed"},
              readLines(logPath()));

    // One of the user's fonts is in use.
    std::string busy = folder + "\\QXSample-W5.otf";
    lock_.reset(CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock_);
    ASSERT_EQ(3010, runQuiet("/quiet /uninstall /all /user " + logSwitch()));
    log = readLines(logPath());
    ASSERT_EQ(6u, log.size());
    for (size_t i = 0; i < log.size(); ++i) {
        const PackageFont &font = kPackageFonts[i];
        std::string path = (std::string(font.file) == "QXRound-W4.otf" ? destination() : folder) + "\\" + font.file;
        const char *result = path == busy ? "removed at restart"
                             : path == allUsers ? "installed for all users: left as it is"
                                                : "removed";
        EXPECT_EQ(std::string("uninstall\t") + font.psName + "\t" + path + "\t" + result, log[i]);
    }
    EXPECT_TRUE(fileExists(allUsers));
    EXPECT_TRUE(registeredAnyhow("QXRound-W4", "QX Round W4"));
    std::string data;
    for (const PackageFont &font : kPackageFonts)
        EXPECT_FALSE(regGetString(HKEY_CURRENT_USER, kNtFontsKey,
                                  (std::string(font.psName) + " Regular (OpenType)").c_str(), &data))
            << font.psName;
    // The busy file stays until the user signs in again, when the RunOnce
    // command deletes it; nothing is left for the restart of the machine.
    EXPECT_TRUE(fileExists(busy));
    char name[256], command[1024];
    {
        OwnedKey h;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_READ, h.receive()));
        DWORD nameSize = sizeof name, commandSize = sizeof command;
        ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(h.get(), 0, name, &nameSize, nullptr, nullptr,
                                               reinterpret_cast<BYTE *>(command), &commandSize));
    }
    EXPECT_EQ(0u, std::string(name).find(kSignInDeletion)) << name;
    EXPECT_NE(std::string::npos, std::string(command).find("del /f /q \"" + busy + "\"")) << command;
    std::vector<std::string> pending;
    regGetMultiString(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                      "PendingFileRenameOperations", &pending);
    for (const std::string &op : pending)
        EXPECT_EQ(std::string::npos, op.find(busy)) << op;
    // What the sign-in runs, run now that the file is free.
    lock_.reset();
    std::string out;
    runProgram(command, &out);
    EXPECT_FALSE(fileExists(busy)) << out;
    WIN32_FIND_DATAA found;
    OwnedFind find(FindFirstFileA((folder + "\\QX*").c_str(), &found));
    EXPECT_FALSE(find) << found.cFileName;
    EXPECT_EQ("", windowsSeen_);
}

// /user where the system has no fonts for one user is a bad argument.
TEST_F(InstallerRun, QuietRunForTheUserBefore1809EndsWithTwo)
{
    if (version_ == "win10")
        GTEST_SKIP() << "Windows 10 here has fonts for one user";
    EXPECT_EQ(2, runQuiet("/quiet /all /user " + logSwitch()));
    EXPECT_EQ(std::vector<std::string>{"install\t-\t-\tfailed: /user needs Windows 10 version 1809 or later"},
              readLines(logPath()));
    expectNoFontsLeft();
    EXPECT_EQ("", windowsSeen_);
}

}  // namespace
