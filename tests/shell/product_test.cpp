// Tests of the product binding: STRMAP lookups, lookups along the module
// chain, the disc search and its prompt, the name-map source and the whole
// entry flow with good and bad product modules.
#include "base/handles.h"
#include "platform/product.h"
#include "program/entry.h"
#include "program/quiet.h"

#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <istream>
#include <memory>
#include <new>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

using namespace testutil;

namespace {

const char kInstallerTitle[] = "Korimaru Installer";

// Binds the chain as the entry flow does, with a product module of the test's choice.
class ChainTest : public ::testing::Test {
protected:
    void bind(const char *dll)
    {
        product_.reset(dll ? LoadLibraryA((programFolder() + dll).c_str()) : nullptr);
        if (dll) {
            ASSERT_TRUE(product_) << dll;
        }
        chain_.clear();
        chain_.append(nullptr);
        chain_.append(GetModuleHandleA(nullptr));
        if (product_)
            chain_.append(product_.get());
    }
    OwnedModule product_;
    ModuleChain chain_;
};

TEST_F(ChainTest, StrmapKeysAreExactAndTheFirstLineWins)
{
    bind("testproduct_ok.dll");
    EXPECT_EQ(25010u, lookupStringId(product_.get(), "PRODUCT_FONTTYPE"));
    EXPECT_EQ(0u, lookupStringId(product_.get(), "product_fonttype"));
    EXPECT_EQ(0u, lookupStringId(product_.get(), "PRODUCT_FONT"));
    EXPECT_EQ(25003u, lookupStringId(product_.get(), "PRODUCT_REQUEST_CD"));  // leading '=' skipped
    EXPECT_EQ(25002u, lookupStringId(product_.get(), "DUPLICATE"));
    EXPECT_EQ(0u, lookupStringId(product_.get(), "NO_DIGITS"));
    EXPECT_EQ(0u, lookupStringId(product_.get(), "TRAILING"));
    EXPECT_EQ(0u, lookupStringId(product_.get(), ""));
}

TEST_F(ChainTest, OverlongStrmapLineEndsWithoutHarmAndLaterLinesStillCount)
{
    bind("testproduct_ok.dll");
    EXPECT_EQ(0u, lookupStringId(product_.get(), ("LONG_" + std::string(600, 'K')).c_str()));
    EXPECT_EQ(25004u, lookupStringId(product_.get(), "AFTER_LONG"));
}

TEST_F(ChainTest, ModuleWithoutStrmapHasNoIds)
{
    bind("testproduct_start0.dll");
    EXPECT_EQ(0u, lookupStringId(product_.get(), "PRODUCT_FONTTYPE"));
}

TEST_F(ChainTest, ProductStringsComeFromTheModuleThatNamesThem)
{
    bind("testproduct_ok.dll");
    char buf[256];
    ASSERT_NE(nullptr, findProductString(chain_, "PRODUCT_CDROM_NAME", buf, sizeof buf));
    EXPECT_STREQ("Disc512,Disc512", buf);
    // Only the installer's own STRMAP has this key.
    ASSERT_NE(nullptr, findProductString(chain_, "INSTALLER_STRMAP_TEST", buf, sizeof buf));
    EXPECT_STREQ("STRMAP test entry of the installer", buf);
    // A key naming a string that does not exist counts as missing.
    EXPECT_EQ(nullptr, findProductString(chain_, "MISSING_STRING", buf, sizeof buf));
    EXPECT_EQ(nullptr, findProductString(chain_, "PRODUCT_NAME", buf, sizeof buf));
}

TEST_F(ChainTest, FontTypeIsTheFirstLetterOrZero)
{
    bind("testproduct_ok.dll");
    EXPECT_EQ('O', getProductFontType(chain_));
    bind("testproduct_other.dll");
    EXPECT_EQ(0, getProductFontType(chain_));
}

TEST_F(ChainTest, TextResourcesBitmapsAndExportsAskTheProductFirst)
{
    bind("testproduct_ok.dll");
    char *text = findProductTextResource(chain_, "NameMap.csv");
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("#File,#Marukan\r\nFontData\\QXRes-W1,QXRes-W1.otf\r\n", text);
    delete[] text;
    // Only the installer has this one.
    text = findProductTextResource(chain_, "namemap_keys");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0, std::string(text).find("NAME_SUITCASE\r\n"));
    delete[] text;
    EXPECT_EQ(nullptr, findProductTextResource(chain_, "NO_SUCH_TEXT"));

    OwnedBitmap bitmap(findProductBitmap(chain_, "QXSample-W5"));
    ASSERT_TRUE(bitmap);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(bitmap.get(), sizeof info, &info));
    EXPECT_EQ(2, info.bmWidth);
    EXPECT_EQ(nullptr, findProductBitmap(chain_, "QXNOSUCH"));

    EXPECT_NE(nullptr, findProductExport(chain_, "productMarker"));
    EXPECT_EQ(nullptr, findProductExport(chain_, "IsMyFontFile"));
}

typedef ChainTest DiscTest;

TEST_F(DiscTest, FindsTheLabelledDriveAndNeverAFloppy)
{
    bind("testproduct_ok.dll");
    char label[MAX_PATH];
    ASSERT_TRUE(GetVolumeInformationA("A:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    ASSERT_STREQ("Disc512", label);  // A: carries the label too
    EXPECT_EQ('E', findProductDisc(chain_));
}

TEST_F(DiscTest, LabelsAreWholeTokensComparedWithoutRegardToCase)
{
    bind("testproduct_lower.dll");  // "NOSUCHDISC,disc512"
    EXPECT_EQ('E', findProductDisc(chain_));
}

TEST_F(DiscTest, NoMatchOrNoLabelListFindsNothing)
{
    bind("testproduct_other.dll");  // "NOSUCHDISC"
    EXPECT_EQ(0, findProductDisc(chain_));
    bind(nullptr);  // no product: the key is missing altogether
    EXPECT_EQ(0, findProductDisc(chain_));
}

TEST_F(DiscTest, PromptCancelGivesZeroAtOnce)
{
    bind("testproduct_other.dll");
    WindowWatcher watcher(kInstallerTitle, IDCANCEL);
    watcher.expectWithin(30000);
    EXPECT_EQ(0, requestProductDisc(chain_));
    EXPECT_EQ(1, watcher.answers());
    EXPECT_EQ("Insert the other disc", watcher.lastText());
}

// While the prompt is up, the disc "arrives": the chain gains a product
// module whose label list matches drive E:.
ModuleChain *gSearched = nullptr;
HMODULE gArriving = nullptr;
void insertDisc(int)
{
    gSearched->append(gArriving);
}

TEST_F(DiscTest, PromptOkLooksAgainAfterASecond)
{
    bind("testproduct_other.dll");
    OwnedModule arriving(LoadLibraryA((programFolder() + "testproduct_ok.dll").c_str()));
    ASSERT_TRUE(arriving);
    gSearched = &chain_;
    gArriving = arriving.get();
    WindowWatcher watcher(kInstallerTitle, IDOK);
    watcher.expectWithin(30000);
    watcher.onBeforeAnswer(insertDisc);
    DWORD start = GetTickCount();
    EXPECT_EQ('E', requestProductDisc(chain_));
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_EQ(1, watcher.answers());
}

// A thread whose desktop handle lacks the right to create windows: its
// prompt cannot be shown.
struct PromptSearch {
    const ModuleChain *chain;
    char result;
};
DWORD WINAPI promptWithoutWindows(LPVOID param)
{
    HDESK desktop = OpenDesktopA("Default", 0, FALSE, DESKTOP_READOBJECTS);
    if (!desktop || !SetThreadDesktop(desktop))
        return 1;
    PromptSearch *search = static_cast<PromptSearch *>(param);
    search->result = requestProductDisc(*search->chain);
    return 0;
}

// A prompt that cannot be shown ends the search at once as a Cancel does,
// instead of asking again for ever.
TEST_F(DiscTest, PromptThatCannotBeShownGivesZeroAtOnce)
{
    bind("testproduct_other.dll");
    PromptSearch search = {&chain_, 'x'};
    OwnedHandle thread(CreateThread(nullptr, 0, promptWithoutWindows, &search, 0, nullptr));
    ASSERT_TRUE(thread);
    DWORD waited = WaitForSingleObject(thread.get(), 20000);
    DWORD code = 1;
    if (waited == WAIT_OBJECT_0)
        GetExitCodeThread(thread.get(), &code);
    else
        TerminateThread(thread.get(), 2);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), waited) << "the prompt was asked for again and again";
    ASSERT_EQ(0u, code) << "the thread could not leave the window-creating desktop";
    EXPECT_EQ(0, search.result);
}

class NameMapTest : public ChainTest {
protected:
    void TearDown() override
    {
        DeleteFileA((programFolder() + "TestNameMap.csv").c_str());
        ChainTest::TearDown();
    }
};

TEST_F(NameMapTest, FileBesideTheProgramWins)
{
    bind("testproduct_ok.dll");
    std::string text = "#File\r\nFontData\\QXFile-W3,QXFile-W3.otf\r\n";
    ASSERT_TRUE(writeFile(programFolder() + "TestNameMap.csv", text));
    char *got = loadNameMapText(chain_);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(text, got);
    delete[] got;
}

TEST_F(NameMapTest, WithoutTheFileTheResourceIsUsed)
{
    bind("testproduct_ok.dll");
    char *got = loadNameMapText(chain_);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(0, std::string(got).find("#File,#Marukan\r\n"));
    delete[] got;
}

// A file that reports 4096 bytes and reads back far fewer, as some special
// files do.
class ShortFile : public std::streambuf {
public:
    ShortFile() { setg(text_, text_, text_ + sizeof text_ - 1); }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        off_type at = dir == std::ios_base::beg ? off : dir == std::ios_base::end ? 4096 + off : here_() + off;
        off_type in = at < static_cast<off_type>(sizeof text_ - 1) ? at : sizeof text_ - 1;
        setg(text_, text_ + in, text_ + sizeof text_ - 1);
        reported_ = at;
        return pos_type(at);
    }
    pos_type seekpos(pos_type at, std::ios_base::openmode which) override
    {
        return seekoff(off_type(at), std::ios_base::beg, which);
    }

private:
    off_type here_() const { return reported_ > static_cast<off_type>(sizeof text_ - 1) ? reported_ : gptr() - eback(); }
    char text_[16] = "#File\r\nShort\r\n";
    off_type reported_ = 0;
};

struct ShortFileOpener : FileOpener {
    std::unique_ptr<std::istream> open(const char *) const override
    {
        struct Stream : std::istream {
            Stream() : std::istream(&file) {}
            ShortFile file;
        };
        return std::unique_ptr<std::istream>(new Stream);
    }
};

TEST_F(NameMapTest, FileShorterThanItsSizeIsDiscarded)
{
    bind("testproduct_other.dll");  // its name map is "ShortNameMap.csv"
    std::unique_ptr<char[]> got(loadNameMapText(chain_, ShortFileOpener()));
    std::unique_ptr<char[]> fallback(findProductTextResource(chain_, "NameMap.csv"));
    ASSERT_EQ(fallback == nullptr, got == nullptr);
    if (got) {
        EXPECT_STREQ(fallback.get(), got.get());
    }
}

// The whole entry flow, with product.dll beside the program swapped per test.
class EntryTest : public ::testing::Test {
protected:
    void useProduct(const char *dll)
    {
        std::string target = programFolder() + "product.dll";
        DeleteFileA(target.c_str());
        if (dll) {
            ASSERT_TRUE(CopyFileA((programFolder() + dll).c_str(), target.c_str(), FALSE));
        }
    }
    void TearDown() override { DeleteFileA((programFolder() + "product.dll").c_str()); }
};

TEST_F(EntryTest, MissingProductShowsThePathAndGivesMinusOne)
{
    useProduct(nullptr);
    WindowWatcher watcher("Korimaru Installer: File not found!!", IDOK);
    watcher.expectWithin(30000);
    EXPECT_EQ(-1, runInstaller(0));
    EXPECT_EQ(1, watcher.answers());
    EXPECT_EQ(programFolder() + "product.dll", watcher.lastText());
}

TEST_F(EntryTest, ProductRefusingOrWithoutStartEndsSilently)
{
    WindowWatcher anyBox(kInstallerTitle, IDCANCEL);
    useProduct("testproduct_start0.dll");
    EXPECT_EQ(0, runInstaller(0));
    useProduct("testproduct_nostart.dll");
    EXPECT_EQ(0, runInstaller(0));
    EXPECT_EQ(0, anyBox.answers());
}

TEST_F(EntryTest, GoodProductShowsTheMainDialogUntilExit)
{
    useProduct("testproduct_ok.dll");
    WindowWatcher dialog("Korimaru Installer US", IDCANCEL);
    dialog.expectWithin(30000);
    EXPECT_EQ(0, runInstaller(0));
    EXPECT_EQ(1, dialog.answers());
    // The product module is unbound again once the dialog has closed.
    EXPECT_EQ(nullptr, GetModuleHandleA("product.dll"));
}

TEST_F(EntryTest, QuietRunWithoutItsProductEndsWithThreeAndNoBox)
{
    WindowWatcher notFound("Korimaru Installer: File not found!!", IDOK);
    QuietRequest request;
    request.all = true;
    useProduct(nullptr);
    EXPECT_EQ(kQuietNoDisc, runQuietInstaller(request));
    useProduct("testproduct_start0.dll");
    EXPECT_EQ(kQuietNoDisc, runQuietInstaller(request));
    EXPECT_EQ(0, notFound.answers());
}

// A quiet run whose product module cannot be bound says so in its log.
TEST_F(EntryTest, AQuietRunWithoutItsProductLogsWhy)
{
    std::string log = programFolder() + "quiet early.log";
    QuietRequest request;
    request.all = true;
    request.logPath = log;
    useProduct(nullptr);
    EXPECT_EQ(kQuietNoDisc, runQuietInstaller(request));
    EXPECT_EQ("install\t-\t-\tfailed: the product module could not be bound\r\n", readFile(log));
    DeleteFileA(log.c_str());
}

// Whatever a run meets (memory, a reader that gives up), an exception ends
// it with 1 and a line that says so; never with another end's code.
class ThrowingServices : public InstallerServices {
public:
    void loadCatalogue(FontCatalogue &, const ModuleChain &, FontScope, bool) override { throw std::bad_alloc(); }
    bool defaultFontFolder(const ModuleChain &, FontScope, char *) override { return false; }
    bool systemFontFolder(char *) override { return false; }
    bool chooseFolder(char *, int) override { return false; }
    bool findOtfOpener(char *) override { return false; }
    RunSummary runInstall(const InstallJob &) override { return RunSummary(); }
    RunSummary runUninstall(const InstallJob &) override { return RunSummary(); }
    bool administrator() override { return true; }
    DWORD systemBuild() override { return 0; }
    bool restartElevated() override { return false; }
};

TEST_F(EntryTest, AnExceptionEndsAQuietRunWithOneAndALogLine)
{
    std::string log = programFolder() + "quiet exception.log";
    ThrowingServices services;
    QuietRequest request;
    request.uninstall = true;
    request.all = true;
    request.logPath = log;
    EXPECT_EQ(1, runQuietRequest(request, services, ModuleChain()));
    EXPECT_EQ(0u, readFile(log).find("uninstall\t-\t-\tfailed: ")) << readFile(log);
    DeleteFileA(log.c_str());
}

// Another installer holds the run's mutex: a quiet run ends with 1618 and
// touches nothing, not even its log; the dialog says so and ends.
TEST_F(EntryTest, ASecondInstallerDoesNothingWhileTheFirstRuns)
{
    useProduct("testproduct_ok.dll");
    OwnedHandle held(CreateEventA(nullptr, TRUE, FALSE, nullptr)), done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread first([&] {
        OwnedHandle mutex(CreateMutexA(nullptr, TRUE, installerLockName()));
        SetEvent(held.get());
        WaitForSingleObject(done.get(), INFINITE);
        ReleaseMutex(mutex.get());
    });
    WaitForSingleObject(held.get(), INFINITE);

    std::string log = programFolder() + "quiet second.log";
    writeFile(log, "the first run's log");
    QuietRequest request;
    request.all = true;
    request.logPath = log;
    EXPECT_EQ(kQuietAnotherRun, runQuietInstaller(request));
    EXPECT_EQ(1618, runQuietInstaller(request));
    EXPECT_EQ("the first run's log", readFile(log));

    WindowWatcher dialog("Korimaru Installer US", IDCANCEL);
    {
        WindowWatcher box(kInstallerTitle, IDOK);
        box.expectWithin(60000);
        EXPECT_EQ(0, runInstaller(0));
        EXPECT_EQ(1, box.answers());
        EXPECT_EQ("Another installer is running. Please try again when it has finished.", box.lastText());
    }
    EXPECT_EQ(0, dialog.answers());

    SetEvent(done.get());
    first.join();
    // Once the first has ended, the next goes past the lock to the product,
    // which here declines to start: no box, and nothing else to wait for.
    // (That a bound product's dialog then shows is the test above.)
    useProduct("testproduct_start0.dll");
    {
        WindowWatcher box(kInstallerTitle, IDOK);
        EXPECT_EQ(0, runInstaller(0));
        EXPECT_EQ(0, box.answers()) << box.lastText();
    }
    EXPECT_EQ(0, dialog.answers());
    DeleteFileA(log.c_str());
}

// The command line: the dialog unless /quiet, switches in any case, values
// as written, and a quiet request that is whole or refused.
TEST(CommandLineTest, DialogUsageQuietOrBad)
{
    typedef std::vector<std::string> Args;
    QuietRequest r;
    EXPECT_EQ(CommandLineKind::Dialog, parseCommandLine(Args(), &r));
    EXPECT_EQ(CommandLineKind::Dialog, parseCommandLine(Args{"/all", "/bogus"}, &r));
    EXPECT_EQ(CommandLineKind::Usage, parseCommandLine(Args{"/?"}, &r));

    ASSERT_EQ(CommandLineKind::Quiet,
              parseCommandLine(Args{"/QUIET", "/Font:QXSample-W3", "/font:qxsample-w5", "/DIR:D:\\My Fonts",
                                    "/Log:C:\\x.log"},
                               &r));
    EXPECT_FALSE(r.uninstall);
    EXPECT_FALSE(r.all);
    EXPECT_EQ((Args{"QXSample-W3", "qxsample-w5"}), r.fonts);
    EXPECT_EQ("D:\\My Fonts", r.folder);
    EXPECT_EQ("C:\\x.log", r.logPath);
    ASSERT_EQ(CommandLineKind::Quiet, parseCommandLine(Args{"/quiet", "/Uninstall", "/all"}, &r));
    EXPECT_TRUE(r.uninstall && r.all && r.fonts.empty());

    for (const Args &bad : {Args{"/quiet"}, Args{"/quiet", "/all", "/font:A"}, Args{"/quiet", "/font:"},
                            Args{"/quiet", "/all", "/dir:C:\\", "/dir:D:\\"}, Args{"/quiet", "/all", "/log:"},
                            Args{"/quiet", "/uninstall", "/all", "/dir:C:\\"}, Args{"/quiet", "/all", "/?"},
                            Args{"/quiet", "/all", "/allx"}, Args{"/quiet", "/all", "all"}})
        EXPECT_EQ(CommandLineKind::Bad, parseCommandLine(bad, &r)) << bad.back();
}

}  // namespace
