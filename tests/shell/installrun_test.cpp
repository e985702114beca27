// Tests of the install and uninstall pipeline: destination names and the
// moves that never replace a file, the block copy and its progress messages,
// the percentage, the progress dialog's protocol and Cancel, what the runs
// leave behind (no temporary file, no half-done font) and what they find of
// an earlier run, and what registration and uninstallation do with odd
// entries.
#include "dialogs/installrun.h"

#include "base/handles.h"
#include "dialogs/installerdialog.h"
#include "dialogs/progressdialog.h"
#include "dialogs/services.h"
#include "platform/atm.h"
#include "platform/fontreg.h"
#include "platform/product.h"
#include "program/quiet.h"
#include "sfnt/embed.h"
#include "sfnt/verify.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace testutil;

namespace {

const char kNtFontsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const char k9xFontsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";

// A hidden window standing in for the progress dialog: it records every
// PM_ADVANCE amount.
std::vector<long> gAdvances;

LRESULT CALLBACK progressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == PM_ADVANCE) {
        gAdvances.push_back(static_cast<long>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The files of folder (names only), sorted.
std::vector<std::string> filesIn(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    OwnedFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

class RunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = progressProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RunTestProgress";
        RegisterClassA(&wc);
        window_ = CreateWindowA("RunTestProgress", "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        gAdvances.clear();
        folder_ = scratchFolder("run");
    }
    void TearDown() override { DestroyWindow(window_); }
    std::string file(const std::string &name) { return folder_ + "\\" + name; }
    // A job of the test's package (none unless a fixture binds one).
    InstallJob job() const
    {
        InstallJob j;
        j.folder = folder_;
        j.product = &chain_;
        return j;
    }
    // A temporary file holding data, as the pipeline makes them.
    std::string temporary(const std::string &data)
    {
        std::string path;
        OwnedFile f = createTemporaryFile(folder_.c_str(), &path);
        EXPECT_TRUE(static_cast<bool>(f));
        f.reset();
        writeFile(path, data);
        return path;
    }

    HWND window_ = nullptr;
    std::string folder_;
    ModuleChain chain_;
};

TEST_F(RunTest, MoveTakesTheNextFreeLetterAndReplacesNothing)
{
    char out[MAX_PATH];
    ASSERT_TRUE(moveToFreeName(temporary("0").c_str(), folder_.c_str(), "QXSample-W5", ".otf", 0, out));
    EXPECT_EQ(file("QXSample-W5.otf"), out);
    writeFile(file("QXSample-W5A.otf"), "2");
    ASSERT_TRUE(moveToFreeName(temporary("3").c_str(), folder_.c_str(), "QXSample-W5", ".otf", 0, out));
    EXPECT_EQ(file("QXSample-W5B.otf"), out);
    EXPECT_EQ("0", readFile(file("QXSample-W5.otf")));  // nothing is overwritten
    EXPECT_EQ("2", readFile(file("QXSample-W5A.otf")));
    EXPECT_EQ("3", readFile(file("QXSample-W5B.otf")));
    // Starting at a letter: the name itself is not tried.
    ASSERT_TRUE(moveToFreeName(temporary("4").c_str(), folder_.c_str(), "QXOther-W1", ".otf", 'A', out));
    EXPECT_EQ(file("QXOther-W1A.otf"), out);
}

TEST_F(RunTest, MoveGivesUpAfterZAndLeavesTheFileWhereItWas)
{
    writeFile(file("F.otf"), "");
    for (char c = 'A'; c <= 'Z'; ++c)
        writeFile(file(std::string("F") + c + ".otf"), "");
    std::string from = temporary("x");
    char out[MAX_PATH];
    EXPECT_FALSE(moveToFreeName(from.c_str(), folder_.c_str(), "F", ".otf", 0, out));
    EXPECT_EQ("x", readFile(from));
    EXPECT_FALSE(fileExists(file("F[.otf")));
}

TEST_F(RunTest, MoveBoundsLongPathsAndTakesRootFolders)
{
    char out[MAX_PATH];
    std::string longName(300, 'n');
    std::string from = temporary("x");
    EXPECT_FALSE(moveToFreeName(from.c_str(), folder_.c_str(), longName.c_str(), ".otf", 0, out));
    EXPECT_TRUE(fileExists(from));
    ASSERT_TRUE(moveToFreeName(from.c_str(), "C:\\", "QXNotThere-W1", ".otf", 0, out));
    EXPECT_STREQ("C:\\QXNotThere-W1.otf", out);
    DeleteFileA(out);
}

TEST_F(RunTest, DestinationNeedsAFolderAndAPlainFileName)
{
    FontEntry entry;
    char out[MAX_PATH];
    EXPECT_FALSE(computeDestination(job(), &entry, out));  // no NAME_MARUKAN
    for (const char *unsafe : {"..\\evil.otf", "sub\\x.otf", "a/b.otf", "C:x.otf", "..", "x..otf", "COM1.otf",
                               "nul.ttf", "*.otf", "x.otf.", "~kri0001.tmp", "~KRI000.TMP"}) {
        entry.setProperty(NAME_MARUKAN, unsafe);
        EXPECT_FALSE(computeDestination(job(), &entry, out)) << unsafe;
    }
    entry.setProperty(NAME_MARUKAN, "QXSample-W5.otf");
    ASSERT_TRUE(computeDestination(job(), &entry, out));
    EXPECT_EQ(file("QXSample-W5.otf"), out);
    EXPECT_FALSE(computeDestination(InstallJob(), &entry, out));  // no folder chosen
}

TEST_F(RunTest, TemporaryNamesAreTheInstallersOwnAndOnlyThoseAreRemoved)
{
    std::string a, b;
    OwnedFile first = createTemporaryFile(folder_.c_str(), &a);
    OwnedFile second = createTemporaryFile(folder_.c_str(), &b);
    ASSERT_TRUE(first && second);
    EXPECT_NE(a, b);
    EXPECT_TRUE(isTemporaryName(a.substr(folder_.size() + 1).c_str())) << a;
    first.reset();
    second.reset();
    for (const char *name : {"~KRIBEEF.TMP", "~kri1.tmp", "~krizzzz.tmp", "other.tmp", "~kri0001.tmp.otf",
                             "QXSample-W5.otf", "~kri00011.tmp"})
        writeFile(file(name), "x");
    EXPECT_EQ(3, removeTemporaryFiles(folder_.c_str()));
    EXPECT_EQ((std::vector<std::string>{"QXSample-W5.otf", "other.tmp", "~kri0001.tmp.otf", "~kri00011.tmp",
                                        "~kri1.tmp", "~krizzzz.tmp"}),
              filesIn(folder_));
}

TEST_F(RunTest, CopyReportsEveryBlockIncludingAnEmptyLastRead)
{
    writeFile(file("a.bin"), std::string(20000, 'a'));
    unsigned long bytes = 0;
    EXPECT_EQ(CopyResult::Copied, copyFontFile(file("a.bin").c_str(), file("a.copy").c_str(),
                                               ProgressSink(window_), nullptr, nullptr, nullptr, &bytes));
    EXPECT_EQ(20000ul, bytes);
    EXPECT_EQ((std::vector<long>{8192, 8192, 3616}), gAdvances);
    EXPECT_EQ(std::string(20000, 'a'), readFile(file("a.copy")));

    gAdvances.clear();
    writeFile(file("b.bin"), std::string(150000, 'b'));  // more than the write buffer holds
    EXPECT_EQ(CopyResult::Copied, copyFontFile(file("b.bin").c_str(), file("b.copy").c_str(),
                                               ProgressSink(window_), nullptr, nullptr, nullptr, &bytes));
    EXPECT_EQ(150000ul, bytes);
    EXPECT_EQ(19u, gAdvances.size());
    EXPECT_EQ(std::string(150000, 'b'), readFile(file("b.copy")));

    gAdvances.clear();
    writeFile(file("c.bin"), std::string(16384, 'c'));
    EXPECT_EQ(CopyResult::Copied,
              copyFontFile(file("c.bin").c_str(), file("c.copy").c_str(), ProgressSink(window_)));
    EXPECT_EQ((std::vector<long>{8192, 8192, 0}), gAdvances);
}

TEST_F(RunTest, EmptyMissingOrUnwritableCopiesFailAndLeaveNothing)
{
    writeFile(file("empty.bin"), "");
    EXPECT_EQ(CopyResult::Failed, copyFontFile(file("empty.bin").c_str(), file("empty.copy").c_str(), ProgressSink()));
    EXPECT_FALSE(fileExists(file("empty.copy")));
    EXPECT_EQ(CopyResult::Failed, copyFontFile(file("absent.bin").c_str(), file("x.copy").c_str(), ProgressSink()));
    EXPECT_FALSE(fileExists(file("x.copy")));
    writeFile(file("c.bin"), "abc");
    EXPECT_EQ(CopyResult::Failed,
              copyFontFile(file("c.bin").c_str(), file("no\\such\\dir\\c.copy").c_str(), ProgressSink()));
}

// An existing file is never opened for writing: a file that took the name
// (another program, a second installer) keeps every byte.
TEST_F(RunTest, CopyNeverTruncatesAnExistingFile)
{
    writeFile(file("src.bin"), std::string(100, 's'));
    writeFile(file("theirs.otf"), "theirs");
    EXPECT_EQ(CopyResult::Exists, copyFontFile(file("src.bin").c_str(), file("theirs.otf").c_str(), ProgressSink()));
    EXPECT_EQ("theirs", readFile(file("theirs.otf")));
}

// Stamps that fail: after damaging the copy, or before touching it.
class FailingStamp : public EmbeddingStamp {
public:
    explicit FailingStamp(bool partWay) : partWay_(partWay) {}
    int stamp(const char *path, int, bool *written) const override
    {
        if (partWay_)
            writeFile(path, "broken");
        *written = partWay_;
        return -1;
    }

private:
    bool partWay_;
};

TEST_F(RunTest, ACopyWhoseStampFailedPartWayHasFailedAndIsGone)
{
    writeFile(file("e.bin"), std::string(100, 'e'));
    FailingStamp partWay(true), refusing(false);
    EXPECT_EQ(CopyResult::Failed, copyFontFile(file("e.bin").c_str(), file("e.copy").c_str(), ProgressSink(),
                                               nullptr, &partWay));
    EXPECT_FALSE(fileExists(file("e.copy")));
    // A font that the stamp refuses is installed unchanged.
    EXPECT_EQ(CopyResult::Copied,
              copyFontFile(file("e.bin").c_str(), file("f.copy").c_str(), ProgressSink(), nullptr, &refusing));
    EXPECT_EQ(std::string(100, 'e'), readFile(file("f.copy")));
}

TEST_F(RunTest, CancelStopsTheCopyBeforeTheNextBlockAndLeavesNothing)
{
    writeFile(file("d.bin"), std::string(30000, 'd'));
    CancelRequest cancel;
    cancel.request();
    EXPECT_EQ(CopyResult::Cancelled,
              copyFontFile(file("d.bin").c_str(), file("d.copy").c_str(), ProgressSink(window_), &cancel));
    EXPECT_TRUE(gAdvances.empty());
    EXPECT_FALSE(fileExists(file("d.copy")));
}

TEST_F(RunTest, CopyStampsTheInstalledFontButNotTheSource)
{
    std::string source = FI_SAMPLE_FONT;
    ASSERT_TRUE(fileExists(source)) << source;
    ASSERT_EQ(CopyResult::Copied, copyFontFile(source.c_str(), file("QXSample-W5.otf").c_str(), ProgressSink()));
    EXPECT_EQ(2, GetEmbeddingType(file("QXSample-W5.otf").c_str()));
    EXPECT_TRUE(FileChecksumsHold(file("QXSample-W5.otf").c_str()));
    EXPECT_EQ(0, GetEmbeddingType(source.c_str()));
}

TEST(ProgressPercentTest, WholePercentWithoutOverflow)
{
    EXPECT_EQ(100, progressPercent(0, 20000, 20000));
    EXPECT_EQ(40, progressPercent(0, 20000, 8192));
    EXPECT_EQ(0, progressPercent(0, 0, 5));          // empty range
    EXPECT_EQ(99, progressPercent(0, 4000000000u, 3999999999u));
    EXPECT_EQ(100, progressPercent(0, 100, 150));    // a file larger than announced
}

TEST(RegisterCopyTest, UnknownFontTypeFails)
{
    FontEntry entry;  // no product: no font type
    entry.setProperty(NAME_REGISTRY, "QXSample-W5 Regular (OpenType)");
    EXPECT_EQ(0, registerFontCopy(InstallJob(), &entry, "C:\\windows\\Fonts\\QXSample-W5.otf"));
}

// A worker that plays the install protocol and then waits for Cancel.
struct Played {
    std::string name, percent, nameAfterCancel;
    int visibleAfterCancel = 0;
};
Played gPlayed;

void playProtocol(HWND dialog, const CancelRequest &cancel)
{
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("QX Sample W5"));
    SendMessageA(dialog, PM_SETMAX, 0, 20000);
    SendMessageA(dialog, PM_SETPOS, 0, 0);
    for (long n : {8192L, 8192L, 3616L})
        SendMessageA(dialog, PM_ADVANCE, 0, n);
    char text[64];
    GetDlgItemTextA(dialog, 6553, text, sizeof text);
    gPlayed.name = text;
    GetDlgItemTextA(dialog, 1005, text, sizeof text);
    gPlayed.percent = text;
    // Cancel keeps the dialog open; the worker's end closes it.
    HWND button = GetDlgItem(dialog, IDCANCEL);
    PostMessageA(button, BM_CLICK, 0, 0);
    while (!cancel.requested())
        Sleep(10);
    GetDlgItemTextA(dialog, 6553, text, sizeof text);
    gPlayed.nameAfterCancel = text;
    gPlayed.visibleAfterCancel = IsWindowVisible(dialog) ? 1 : 0;
}

TEST(ProgressDialogTest, ShowsTheFontAndPercentAndClosesOnlyWhenTheWorkerSaysSo)
{
    CancelRequest cancel;
    ProgressDialog dialog([&cancel](HWND window) { playProtocol(window, cancel); }, cancel);
    EXPECT_EQ(IDOK, dialog.run(nullptr));
    EXPECT_EQ("QX Sample W5", gPlayed.name);
    EXPECT_EQ("100 %", gPlayed.percent);
    EXPECT_EQ("Canceled !", gPlayed.nameAfterCancel);
    EXPECT_EQ(1, gPlayed.visibleAfterCancel);  // still shown after Cancel
    EXPECT_TRUE(cancel.requested());
}

TEST_F(RunTest, UninstallClearsReadOnlyAndKeepsFilesWithoutAPath)
{
    std::string font = file("QXGone-W3.otf");
    writeFile(font, "font");
    SetFileAttributesA(font.c_str(), FILE_ATTRIBUTE_READONLY);
    FontEntry entry;
    entry.setProperty(F_INSTALLED, "1");
    entry.setProperty(PATH_INSTALLED, font.c_str());
    std::string path;
    EXPECT_EQ(FontOutcome::Removed, uninstallFont(InstallJob(), entry, &path));
    EXPECT_EQ(font, path);
    EXPECT_FALSE(fileExists(font));

    std::string kept = file("QXKept-W3.otf");
    writeFile(kept, "font");
    FontEntry noPath;
    noPath.setProperty(F_INSTALLED, "1");
    noPath.setProperty(NAME_LOCAL, "QX Kept W3");
    EXPECT_EQ(FontOutcome::NotDeleted, uninstallFont(InstallJob(), noPath, &path));
    EXPECT_TRUE(fileExists(kept));
}

// Records what a run reports: each font's outcome, and its steps.
class Recorder : public FontObserver, public RunSteps {
public:
    void fontDone(const FontEntry &entry, const char *path, FontOutcome outcome) override
    {
        const std::string *name = entry.findProperty(NAME_POSTSCRIPT);
        names.push_back(name ? *name : "");
        paths.push_back(path);
        outcomes.push_back(outcome);
    }
    void reached(RunStep step) override
    {
        steps.push_back(step);
        if (onStep)
            onStep(step);
    }
    std::vector<std::string> names, paths;
    std::vector<FontOutcome> outcomes;
    std::vector<RunStep> steps;
    std::function<void(RunStep)> onStep;
};

// The pipeline with the sample package's product module bound: its font
// type decides how a font is registered on the emulated system (Adobe Type
// Manager's list on Windows 95/98/Me, the Fonts key on NT).
class PipelineTest : public RunTest {
protected:
    void SetUp() override
    {
        RunTest::SetUp();
        product_.reset(LoadLibraryA(FI_PRODUCT_DLL));
        ASSERT_TRUE(product_);
        chain_.append(nullptr);
        chain_.append(GetModuleHandleA(nullptr));
        chain_.append(product_.get());
        ASSERT_EQ('O', getProductFontType(chain_));
        source_ = FI_SAMPLE_FONT;
        stamped_ = readFile(source_);
        std::stringstream memory(stamped_);
        ASSERT_GT(RewriteEmbeddingType(memory, 2), 0);
        stamped_ = memory.str();
        cleanRegistrations();
    }
    void TearDown() override
    {
        cleanRegistrations();
        product_.reset();
        RunTest::TearDown();
    }
    void cleanRegistrations()
    {
        for (const char *key : {kNtFontsKey, k9xFontsKey}) {
            OwnedKey h;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, h.receive()) != ERROR_SUCCESS)
                continue;
            RegDeleteValueA(h.get(), "QXSample-W5 Regular (OpenType)");
            RegDeleteValueA(h.get(), "QX Other W5");
        }
        DeleteFileA((windowsDir() + "\\atm.ini").c_str());
    }
    // The sample font's entry as the catalogue makes it from the disc.
    FontEntry entry(const std::string &source = FI_SAMPLE_FONT)
    {
        FontEntry e;
        e.setProperty(NAME_MARUKAN, "QXSample-W5.otf");
        e.setProperty(NAME_LOCAL, "QX Sample W5");
        e.setProperty(NAME_POSTSCRIPT, "QXSample-W5");
        e.setProperty(NAME_REGISTRY, "QXSample-W5 Regular (OpenType)");
        e.setProperty(PATH_SOURCE, source.c_str());
        e.setProperty(F_AVAILABLE, "1");
        return e;
    }
    // Where the system says the font is registered; empty when it is not.
    std::string registeredPath()
    {
        std::string data;
        if (isWin9x()) {
            char value[MAX_PATH] = "";
            return getAtmOpenTypeFontPath("QX Sample W5", value) ? value : "";
        }
        regGetString(HKEY_LOCAL_MACHINE, kNtFontsKey, "QXSample-W5 Regular (OpenType)", &data);
        return data;
    }
    FontOutcome install(const FontEntry &e, std::string *path, Recorder *recorder = nullptr)
    {
        InstallJob j = job();
        j.steps = recorder;
        return installFont(j, e, path);
    }

    OwnedModule product_;
    std::string source_, stamped_;
};

TEST_F(PipelineTest, InstallGoesThroughATemporaryNameAndRegistersTheMovedCopy)
{
    Recorder recorder;
    std::string path;
    recorder.onStep = [&](RunStep step) {
        // Until the move, the copy exists only under its temporary name.
        if (step == RunStep::Stamped) {
            EXPECT_FALSE(fileExists(file("QXSample-W5.otf")));
        }
        if (step == RunStep::Moved) {
            EXPECT_EQ("", registeredPath());
        }
    };
    ASSERT_EQ(FontOutcome::Installed, install(entry(), &path, &recorder));
    EXPECT_EQ(file("QXSample-W5.otf"), path);
    EXPECT_EQ((std::vector<RunStep>{RunStep::TempCreated, RunStep::BlockCopied, RunStep::Copied, RunStep::Stamped,
                                    RunStep::Moved, RunStep::Registered}),
              recorder.steps);
    EXPECT_EQ(stamped_, readFile(path));
    EXPECT_EQ(path, registeredPath());
    EXPECT_EQ(std::vector<std::string>{"QXSample-W5.otf"}, filesIn(folder_));
}

// An earlier run that was killed after its move left a stamped copy that no
// registration names: it is registered where it is, without a sibling.
// Anything else under the name is left alone and the copy takes a letter.
TEST_F(PipelineTest, AStampedCopyLeftUnregisteredIsRegisteredInPlace)
{
    writeFile(file("QXSample-W5.otf"), stamped_);
    std::string path;
    ASSERT_EQ(FontOutcome::Recovered, install(entry(), &path));
    EXPECT_EQ(file("QXSample-W5.otf"), path);
    EXPECT_EQ(path, registeredPath());
    EXPECT_EQ(std::vector<std::string>{"QXSample-W5.otf"}, filesIn(folder_));
    cleanRegistrations();

    std::string cut = stamped_.substr(0, stamped_.size() - 100);
    for (const std::string &other : {readFile(source_), cut, std::string("not a font")}) {
        removeFilesIn(folder_, "*");
        writeFile(file("QXSample-W5.otf"), other);
        ASSERT_EQ(FontOutcome::Installed, install(entry(), &path));
        EXPECT_EQ(file("QXSample-W5A.otf"), path);
        EXPECT_EQ(other, readFile(file("QXSample-W5.otf")));
        cleanRegistrations();
    }

    // A stamped copy that a registration names belongs to that one.
    removeFilesIn(folder_, "*");
    writeFile(file("QXSample-W5.otf"), stamped_);
    if (isWin9x())
        ASSERT_TRUE(writeAtmOpenTypeFont("QX Other W5", file("QXSample-W5.otf").c_str()));
    else
        ASSERT_EQ(ERROR_SUCCESS, setFontsValue("QX Other W5", file("QXSample-W5.otf").c_str()));
    ASSERT_EQ(FontOutcome::Installed, install(entry(), &path));
    EXPECT_EQ(file("QXSample-W5A.otf"), path);
}

TEST_F(PipelineTest, ANameTakenDuringTheCopyIsNeverOverwritten)
{
    Recorder recorder;
    recorder.onStep = [&](RunStep step) {
        if (step == RunStep::Stamped)
            writeFile(file("QXSample-W5.otf"), "written meanwhile");
    };
    std::string path;
    ASSERT_EQ(FontOutcome::Installed, install(entry(), &path, &recorder));
    EXPECT_EQ(file("QXSample-W5A.otf"), path);
    EXPECT_EQ("written meanwhile", readFile(file("QXSample-W5.otf")));
    EXPECT_EQ(stamped_, readFile(path));
}

TEST_F(PipelineTest, FailedAndCancelledCopiesLeaveNoFile)
{
    std::string path;
    EXPECT_EQ(FontOutcome::CopyFailed, install(entry(file("absent.otf")), &path));
    writeFile(file("empty.otf"), "");
    EXPECT_EQ(FontOutcome::CopyFailed, install(entry(file("empty.otf")), &path));
    DeleteFileA(file("empty.otf").c_str());

    CancelRequest cancel;
    Recorder recorder;
    recorder.onStep = [&](RunStep step) {
        if (step == RunStep::TempCreated)
            cancel.request();
    };
    InstallJob j = job();
    j.cancel = &cancel;
    j.steps = &recorder;
    EXPECT_EQ(FontOutcome::Cancelled, installFont(j, entry(), &path));
    EXPECT_EQ(std::vector<std::string>(), filesIn(folder_));
    EXPECT_EQ("", registeredPath());
}

// The dialog stops at its first failure and skips a font that it refuses
// before writing anything; the quiet run goes on after any failure.
TEST_F(PipelineTest, TheFailurePolicyDecidesWhetherTheRunGoesOn)
{
    FontEntry noName = entry();
    noName.setProperty(NAME_REGISTRY, "");
    noName.setProperty(NAME_LOCAL, "");
    noName.setProperty(NAME_POSTSCRIPT, "QXNoName");
    FontEntry broken = entry(file("absent.otf"));
    broken.setProperty(NAME_POSTSCRIPT, "QXBroken");
    FontEntry good = entry();
    for (FailurePolicy policy : {FailurePolicy::StopAtFirstFailure, FailurePolicy::GoOn}) {
        cleanRegistrations();
        removeFilesIn(folder_, "*");
        Recorder recorder;
        InstallJob j = job();
        j.entries = {&noName, &broken, &good};
        j.observer = &recorder;
        j.policy = policy;
        RunSummary summary = installFonts(j);
        EXPECT_EQ(2, summary.failed);
        if (policy == FailurePolicy::StopAtFirstFailure) {
            EXPECT_TRUE(summary.stopped);
            EXPECT_EQ((std::vector<FontOutcome>{FontOutcome::NoRegistryName, FontOutcome::CopyFailed}),
                      recorder.outcomes);
        } else {
            EXPECT_FALSE(summary.stopped);
            EXPECT_EQ((std::vector<FontOutcome>{FontOutcome::NoRegistryName, FontOutcome::CopyFailed,
                                                FontOutcome::Installed}),
                      recorder.outcomes);
        }
    }
}

// A system whose font list is full: it takes the first registration of a
// run and refuses every later one, as Windows 95/98/Me do once their Fonts
// key, font table or Adobe Type Manager's list is full.
class RegisterOnceThenRefuse : public FontRegistrar {
public:
    int registerCopy(const InstallJob &, const FontEntry *, const char *) const override
    {
        return ++registrations == 1 ? 1 : 0;
    }
    mutable int registrations = 0;
};

// The catalogue of a quiet run: the entries given, and the test's folder.
class ListServices : public InstallerServices {
public:
    ListServices(const std::vector<FontEntry> &entries, const std::string &folder)
        : entries_(entries), folder_(folder)
    {
    }
    void loadCatalogue(FontCatalogue &catalogue, const ModuleChain &, FontScope, bool) override
    {
        catalogue.clear();
        for (const FontEntry &e : entries_)
            *catalogue.append() = e;
    }
    bool defaultFontFolder(const ModuleChain &, FontScope, char *out) override
    {
        lstrcpynA(out, folder_.c_str(), kFontsValueSize);
        return true;
    }
    bool systemFontFolder(char *) override { return false; }
    bool chooseFolder(char *, int) override { return false; }
    bool findOtfOpener(char *) override { return false; }
    RunSummary runInstall(const InstallJob &) override { return RunSummary(); }
    RunSummary runUninstall(const InstallJob &) override { return RunSummary(); }
    bool administrator() override { return true; }
    DWORD systemBuild() override { return 0; }
    bool restartElevated() override { return false; }

private:
    std::vector<FontEntry> entries_;
    std::string folder_;
};

// On Windows 95/98/Me the first refused registration means a full font
// list: the run stops there whatever its policy, names that font, and tells
// the fonts after it as not tried (a font installed before the run as
// installed). Elsewhere a refusal fails one font, and the policy decides.
TEST_F(PipelineTest, AFullFontListStopsTheRunAtTheFirstRefusedFontOnWindows9x)
{
    FontEntry first = entry(), refused = entry(), before = entry(), after = entry();
    first.setProperty(NAME_MARUKAN, "First.otf");
    first.setProperty(NAME_POSTSCRIPT, "QXFirst");
    refused.setProperty(NAME_MARUKAN, "Refused.otf");
    refused.setProperty(NAME_POSTSCRIPT, "QXRefused");
    before.setProperty(NAME_POSTSCRIPT, "QXBefore");
    before.setProperty(F_INSTALLED, "1");
    before.setProperty(PATH_INSTALLED, "C:\\Fonts\\Before.otf");
    after.setProperty(NAME_MARUKAN, "After.otf");
    after.setProperty(NAME_POSTSCRIPT, "QXAfter");
    for (FailurePolicy policy : {FailurePolicy::StopAtFirstFailure, FailurePolicy::GoOn}) {
        removeFilesIn(folder_, "*");
        RegisterOnceThenRefuse full;
        Recorder recorder;
        InstallJob j = job();
        j.entries = {&first, &refused, &before, &after};
        j.observer = &recorder;
        j.policy = policy;
        j.registrar = &full;
        RunSummary summary = installFonts(j);
        if (isWin9x()) {
            EXPECT_EQ((std::vector<FontOutcome>{FontOutcome::Installed, FontOutcome::SystemFull,
                                                FontOutcome::AlreadyInstalled, FontOutcome::NotTried}),
                      recorder.outcomes);
            EXPECT_EQ(&refused, summary.systemFull);
            EXPECT_TRUE(summary.stopped);
            EXPECT_EQ(2, summary.done);
            EXPECT_EQ(2, summary.failed);
            EXPECT_EQ(2, full.registrations);  // the font after it was never begun
            EXPECT_EQ((std::vector<std::string>{file("First.otf"), "", "C:\\Fonts\\Before.otf", ""}),
                      recorder.paths);
        } else if (policy == FailurePolicy::GoOn) {
            EXPECT_EQ((std::vector<FontOutcome>{FontOutcome::Installed, FontOutcome::RegistrationFailed,
                                                FontOutcome::AlreadyInstalled, FontOutcome::RegistrationFailed}),
                      recorder.outcomes);
            EXPECT_EQ(nullptr, summary.systemFull);
        } else {
            EXPECT_EQ((std::vector<FontOutcome>{FontOutcome::Installed, FontOutcome::RegistrationFailed}),
                      recorder.outcomes);
            EXPECT_EQ(nullptr, summary.systemFull);
        }
        // Nothing of a refused font stays behind.
        EXPECT_EQ(std::vector<std::string>{"First.otf"}, filesIn(folder_));
    }

    // The quiet run's log says which font the system refused, and that the
    // fonts after it were not tried; the run ends with 1.
    removeFilesIn(folder_, "*");
    RegisterOnceThenRefuse full;
    ListServices services({first, refused, before, after}, folder_);
    QuietRequest request;
    request.all = true;
    request.logPath = programFolder() + "quiet full.log";
    ASSERT_EQ(CommandLineKind::Quiet, parseCommandLine({"/quiet", "/all", "/log:" + request.logPath}, &request));
    RunHooks hooks;
    hooks.registrar = &full;
    int code = runQuietRequest(request, services, chain_, &hooks);
    EXPECT_EQ(kQuietFontFailed, code);
    std::string expected = "install\tQXFirst\t" + file("First.otf") + "\tinstalled\r\n";
    if (isWin9x()) {
        expected += "install\tQXRefused\t-\tfailed: the system's font list is full\r\n"
                    "install\tQXBefore\tC:\\Fonts\\Before.otf\talready installed\r\n"
                    "install\tQXAfter\t-\tfailed: not tried, the system's font list is full\r\n";
    } else {
        expected += "install\tQXRefused\t-\tfailed: registration\r\n"
                    "install\tQXBefore\tC:\\Fonts\\Before.otf\talready installed\r\n"
                    "install\tQXAfter\t-\tfailed: registration\r\n";
    }
    EXPECT_EQ(expected, readFile(request.logPath));
    DeleteFileA(request.logPath.c_str());
}

// A font whose registration name is empty is never registered, and above all
// never under the Fonts key's default value, which no run could uninstall.
TEST_F(PipelineTest, AnEmptyRegistrationNameIsRefused)
{
    std::string font = file("QXSample-W5.otf");
    writeFile(font, stamped_);
    FontEntry e = entry();
    e.setProperty(NAME_REGISTRY, "");
    e.setProperty(NAME_LOCAL, "");
    e.setProperty(NAME_POSTSCRIPT, "");
    EXPECT_EQ(0, registerFontCopy(job(), &e, font.c_str()));
    std::string data;
    EXPECT_FALSE(regGetString(HKEY_LOCAL_MACHINE, isWin9x() ? k9xFontsKey : kNtFontsKey, "", &data)) << data;
    char name[kPropertySize];
    EXPECT_FALSE(registrationName(chain_, &e, name));
}

// An uninstall that was killed between the registration and the file leaves
// the stamped copy unregistered: the next uninstall deletes it. Other files
// under the name stay.
TEST_F(PipelineTest, UninstallDeletesAStampedCopyLeftUnregistered)
{
    writeFile(file("QXSample-W5.otf"), stamped_);
    std::string path;
    EXPECT_EQ(FontOutcome::Removed, uninstallFont(job(), entry(), &path));
    EXPECT_EQ(file("QXSample-W5.otf"), path);
    EXPECT_FALSE(fileExists(path));
    writeFile(file("QXSample-W5.otf"), readFile(source_));
    EXPECT_EQ(FontOutcome::NotInstalled, uninstallFont(job(), entry(), &path));
    EXPECT_TRUE(fileExists(file("QXSample-W5.otf")));
}

TEST_F(PipelineTest, UninstallOn9xRemovesTheAtmEntryUnderItsListedName)
{
    // The font was installed while the installer ran in another language:
    // Adobe Type Manager lists it under that language's name, which the
    // catalogue put into NAME_REGISTRY.
    if (!isWin9x())
        GTEST_SKIP() << "Adobe Type Manager's list is used on Windows 95/98/Me";
    std::string font = file("QXSample-W5.otf");
    writeFile(font, "font");
    ASSERT_TRUE(writeAtmOpenTypeFont("QX Other Language W5", font.c_str()));
    FontEntry installed;
    installed.setProperty(F_INSTALLED, "1");
    installed.setProperty(NAME_LOCAL, "QX Sample W5");
    installed.setProperty(NAME_REGISTRY, "QX Other Language W5");
    installed.setProperty(PATH_INSTALLED, font.c_str());
    std::string path;
    InstallJob j;
    j.product = &chain_;
    EXPECT_EQ(FontOutcome::Removed, uninstallFont(j, installed, &path));

    std::string ini = windowsDir() + "\\atm.ini";
    char value[MAX_PATH];
    GetPrivateProfileStringA("OpenTypeFonts", "QX Other Language W5", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ("", value);
    GetPrivateProfileStringA("OpenTypeFonts", "@QX Other Language W5", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ("", value);
    EXPECT_FALSE(fileExists(font));
}

}  // namespace
