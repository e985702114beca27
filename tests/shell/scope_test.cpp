// Tests of the choice between installing for all users and for the current
// user: the choice by system, build, rights and /user; what a quiet run and
// the dialog flow do with it through stand-in services; and the deletion of
// a user's font at the next sign-in with paths that a command interpreter
// could misread.
#include "platform/scope.h"
#include "program/entry.h"
#include "program/quiet.h"

#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

using namespace testutil;

namespace {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

OSVERSIONINFOA version(DWORD platform, DWORD major, DWORD minor)
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    return v;
}

TEST(ScopeTest, RightsSystemAndUserSwitchDecideForWhom)
{
    const OSVERSIONINFOA win98 = version(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    const OSVERSIONINFOA nt40 = version(VER_PLATFORM_WIN32_NT, 4, 0);
    const OSVERSIONINFOA xp = version(VER_PLATFORM_WIN32_NT, 5, 1);
    const OSVERSIONINFOA win10 = version(VER_PLATFORM_WIN32_NT, 10, 0);
    struct Case {
        const OSVERSIONINFOA *system;
        DWORD build;
        bool administrator, user, quiet;
        ScopeChoice choice;
    };
    const Case cases[] = {
        // Windows 95/98/Me and NT 4.0 as always, whatever the rights.
        {&win98, 0, false, false, true, ScopeChoice::Machine},
        {&nt40, 1381, false, false, false, ScopeChoice::Machine},
        {&win98, 0, true, true, true, ScopeChoice::UserNotAllowed},
        {&nt40, 1381, true, true, true, ScopeChoice::UserNotAllowed},
        // Later NT systems: an administrator installs for all users.
        {&xp, 2600, true, false, false, ScopeChoice::Machine},
        {&win10, 19045, true, false, true, ScopeChoice::Machine},
        // Without the rights before 1809: the dialog asks, a quiet run stops.
        {&xp, 2600, false, false, false, ScopeChoice::Elevate},
        {&win10, 17134, false, false, false, ScopeChoice::Elevate},
        {&win10, 17134, false, false, true, ScopeChoice::NoRights},
        {&win10, 17134, true, true, true, ScopeChoice::UserNotAllowed},
        // From 1809 on: the user's own fonts, asked for or for lack of rights.
        {&win10, 17763, false, false, false, ScopeChoice::User},
        {&win10, 17763, false, false, true, ScopeChoice::User},
        {&win10, 19045, true, true, true, ScopeChoice::User},
        {&win10, 19045, false, true, false, ScopeChoice::User},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.choice, chooseScope(*c.system, c.build, c.administrator, c.user, c.quiet))
            << c.system->dwMajorVersion << " build " << c.build << " admin " << c.administrator << " user "
            << c.user << " quiet " << c.quiet;
}

// What the running system reports, for the record of this run: Wine's
// Windows 10 is a build with fonts for one user; older ones have none.
TEST(ScopeTest, TheEmulatedSystemsBuildNumber)
{
    DWORD build = realBuildNumber();
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    std::printf("%s: build %lu\n", versionText().c_str(), static_cast<unsigned long>(build));
    if (emulatedVersion() == "win10") {
        EXPECT_GE(build, kFirstPerUserFontBuild);
    } else {
        EXPECT_FALSE(hasPerUserFonts(v, build));
    }
}

// Services that report the rights and the build of the test's choice and
// fail every load, so that a run that gets past its choice of scope ends
// with 1 (an exception) instead of doing anything.
class RightsServices : public InstallerServices {
public:
    RightsServices(bool administrator, DWORD build) : administrator_(administrator), build_(build) {}
    void loadCatalogue(FontCatalogue &, const ModuleChain &, FontScope own, bool) override
    {
        loadedFor.push_back(own);
        throw std::bad_alloc();
    }
    bool defaultFontFolder(const ModuleChain &, FontScope, char *) override { return false; }
    bool systemFontFolder(char *) override { return false; }
    bool chooseFolder(char *, int) override { return false; }
    bool findOtfOpener(char *) override { return false; }
    RunSummary runInstall(const InstallJob &) override { return RunSummary(); }
    RunSummary runUninstall(const InstallJob &) override { return RunSummary(); }
    bool administrator() override { return administrator_; }
    DWORD systemBuild() override { return build_; }
    bool restartElevated() override
    {
        ++restarts;
        return true;
    }
    int restarts = 0;
    std::vector<FontScope> loadedFor;  // the run's scope at each catalogue load

private:
    bool administrator_;
    DWORD build_;
};

class QuietScopeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        DeleteFileA(log_.c_str());
    }
    int run(RightsServices &services, bool user, bool withFolder = false)
    {
        QuietRequest request;
        request.all = true;
        request.user = user;
        request.logPath = log_;
        if (withFolder)
            request.folder = "C:\\";
        return runQuietRequest(request, services, ModuleChain());
    }
    std::string log_ = programFolder() + "quiet scope.log";
    bool nt5_ = emulatedVersion() != "win98" && emulatedVersion() != "nt40";
};

// Exit code 5: a quiet run on a system before 1809 without administrator
// rights (the services say so) does nothing; Windows 98 and NT 4.0 run as
// they always did.
TEST_F(QuietScopeTest, WithoutRightsBefore1809AQuietRunEndsWithFive)
{
    RightsServices noRights(false, 17134);
    if (nt5_) {
        EXPECT_EQ(5, run(noRights, false));
        EXPECT_EQ("install\t-\t-\tfailed: administrator rights are needed\r\n", readFile(log_));
    } else {
        EXPECT_EQ(1, run(noRights, false));  // past the choice: the catalogue load throws
    }
    EXPECT_EQ(0, noRights.restarts);  // a quiet run never asks
    EXPECT_EQ(nt5_ ? std::vector<FontScope>() : std::vector<FontScope>{FontScope::Machine}, noRights.loadedFor);
}

// /user: a bad argument where the system has no fonts for one user; for the
// user where it has; with /dir: it is refused.
TEST_F(QuietScopeTest, UserSwitchNeedsFontsForOneUserAndTakesNoFolder)
{
    RightsServices before1809(true, 17134), win10(true, 19045);
    EXPECT_EQ(2, run(before1809, true));
    EXPECT_EQ("install\t-\t-\tfailed: /user needs Windows 10 version 1809 or later\r\n", readFile(log_));
    if (!nt5_)
        return;
    EXPECT_EQ(2, run(win10, true, true));
    EXPECT_EQ("install\t-\t-\tfailed: /dir: is not for an install for one user\r\n", readFile(log_));
    EXPECT_EQ(1, run(win10, true));
    EXPECT_EQ(std::vector<FontScope>{FontScope::User}, win10.loadedFor);
}

// The dialog flow without the rights before 1809 starts the program again
// elevated once, and a second start without them says so instead.
TEST_F(QuietScopeTest, TheDialogWithoutRightsStartsItselfAgainElevatedOnce)
{
    if (!nt5_)
        GTEST_SKIP() << "no elevation before Windows 2000";
    RightsServices noRights(false, 7601);
    EXPECT_EQ(0, runInstallerDialog(noRights, false));
    EXPECT_EQ(1, noRights.restarts);
    WindowWatcher box("Korimaru Installer", IDOK);
    box.expectWithin(30000);
    EXPECT_EQ(0, runInstallerDialog(noRights, true));
    EXPECT_EQ(1, noRights.restarts);
    EXPECT_EQ(1, box.answers());
    EXPECT_EQ("Administrator rights are needed to install fonts for all users of this computer.", box.lastText());
}

// A busy font of the user's goes at the next sign-in: a RunOnce command of
// the user's that the command interpreter cannot misread.
TEST(SignInDeletionTest, PathsThatTheInterpreterWouldReadAreNeverScheduledAsTheyAre)
{
    for (const char *bad : {"C:\\f\\%COMSPEC%.otf", "C:\\f\\a\".otf", "C:\\f\\a\tb.otf", ""})
        EXPECT_FALSE(isSafeForSignInCommand(bad)) << bad;
    for (const char *good : {"C:\\users\\Tom & Jerry\\f\\a(1)^!.otf", "C:\\f\\QXSample-W5.otf"})
        EXPECT_TRUE(isSafeForSignInCommand(good)) << good;

    std::string folder = scratchFolder("signin");
    // A name that the interpreter would expand is scheduled by its short
    // name, which has no '%', or not at all.
    std::string crafted = folder + "\\QX%PATH%W5.otf";
    ASSERT_TRUE(writeFile(crafted, "font"));
    char command[300], name[64];
    if (signInDeletion(crafted.c_str(), command, sizeof command, name, sizeof name)) {
        EXPECT_EQ(std::string::npos, std::string(command).find('%')) << command;
        EXPECT_NE(std::string::npos, std::string(command).find("/c del /f /q \"")) << command;
    }
    // A path that no command line of the documented length holds, and that
    // has no short form, is not scheduled.
    std::string deep = "C:\\" + std::string(240, 'x') + ".otf";
    EXPECT_FALSE(signInDeletion(deep.c_str(), command, sizeof command, name, sizeof name));
}

TEST(SignInDeletionTest, ScheduledOncePerPathAndTakenBackByAReinstall)
{
    std::string font = scratchFolder("signin2") + "\\QXSample-W5.otf";
    ASSERT_TRUE(writeFile(font, "font"));
    char command[300], name[64];
    ASSERT_TRUE(signInDeletion(font.c_str(), command, sizeof command, name, sizeof name));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(std::string("\"") + system + "\\cmd.exe\" /d /q /v:off /c del /f /q \"" + font + "\"", command);

    ASSERT_NE(0, deleteFileAtSignIn(font.c_str()));
    ASSERT_NE(0, deleteFileAtSignIn(font.c_str()));
    std::string value;
    ASSERT_TRUE(regGetString(HKEY_CURRENT_USER, kRunOnceKey, name, &value));
    EXPECT_EQ(command, value);
    // One value per path, whatever the case of its letters.
    char other[64], otherCommand[300];
    std::string upper = font;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(signInDeletion(upper.c_str(), otherCommand, sizeof otherCommand, other, sizeof other));
    EXPECT_STREQ(name, other);

    cancelDeleteAtSignIn(font.c_str());
    EXPECT_FALSE(regGetString(HKEY_CURRENT_USER, kRunOnceKey, name, &value));
}

}  // namespace
