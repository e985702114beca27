// Tests of the pieces of an install run: destination names, the block copy
// and its progress messages, the percentage, the progress dialog's protocol
// and Cancel, and what registration and uninstallation do with odd entries.
#include "shell/installrun.h"

#include "catalogue/atm.h"
#include "shell/installerdialog.h"
#include "shell/product.h"
#include "shell/progressdialog.h"
#include "sfnt/embed.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testutil;

namespace {

// A hidden window standing in for the main dialog (DM_GETFOLDER) and for the
// progress dialog (it records every PM_ADVANCE amount).
struct Recorder {
    std::string folder;
    std::vector<long> advances;
};
Recorder gRecorder;

// DM_GETFOLDER and PM_ADVANCE share a number: they go to different windows.
LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == DM_GETFOLDER) {
        lstrcpynA(reinterpret_cast<char *>(lParam), gRecorder.folder.c_str(), 256);
        return static_cast<LRESULT>(gRecorder.folder.size() > 255 ? 255 : gRecorder.folder.size());
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK progressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == PM_ADVANCE) {
        gRecorder.advances.push_back(static_cast<long>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class RunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = mainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RunTestMain";
        RegisterClassA(&wc);
        wc.lpfnWndProc = progressProc;
        wc.lpszClassName = "RunTestProgress";
        RegisterClassA(&wc);
        main_ = CreateWindowA("RunTestMain", "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        window_ = CreateWindowA("RunTestProgress", "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        gRecorder = Recorder();
        folder_ = scratchFolder("run");
        gRecorder.folder = folder_;
        InterlockedExchange(&cancelRequested, 0);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        DestroyWindow(main_);
        InterlockedExchange(&cancelRequested, 0);
    }
    std::string file(const std::string &name) { return folder_ + "\\" + name; }
    InstallJob job() const
    {
        InstallJob j;
        j.mainDialog = main_;
        return j;
    }

    HWND main_ = nullptr, window_ = nullptr;
    std::string folder_;
};

TEST_F(RunTest, UniqueDestinationTakesTheNextFreeLetter)
{
    char out[MAX_PATH];
    ASSERT_TRUE(makeUniqueDestination(folder_.c_str(), "QXSample-W5", ".otf", out));
    EXPECT_EQ(file("QXSample-W5.otf"), out);
    writeFile(file("QXSample-W5.otf"), "1");
    writeFile(file("QXSample-W5A.otf"), "2");
    ASSERT_TRUE(makeUniqueDestination(folder_.c_str(), "QXSample-W5", ".otf", out));
    EXPECT_EQ(file("QXSample-W5B.otf"), out);
    EXPECT_EQ("1", readFile(file("QXSample-W5.otf")));  // nothing is overwritten
}

TEST_F(RunTest, UniqueDestinationGivesUpAfterZ)
{
    writeFile(file("F.otf"), "");
    for (char c = 'A'; c <= 'Z'; ++c)
        writeFile(file(std::string("F") + c + ".otf"), "");
    char out[MAX_PATH];
    EXPECT_FALSE(makeUniqueDestination(folder_.c_str(), "F", ".otf", out));
    EXPECT_FALSE(fileExists(file("F[.otf")));
}

TEST_F(RunTest, UniqueDestinationBoundsLongPathsAndRootFolders)
{
    char out[MAX_PATH];
    std::string longName(300, 'n');
    EXPECT_FALSE(makeUniqueDestination(folder_.c_str(), longName.c_str(), ".otf", out));
    ASSERT_TRUE(makeUniqueDestination("C:\\", "QXNotThere-W1", ".otf", out));
    EXPECT_STREQ("C:\\QXNotThere-W1.otf", out);
}

TEST_F(RunTest, DestinationNeedsAFolderAndAPlainFileName)
{
    FontEntry entry;
    char out[MAX_PATH];
    EXPECT_FALSE(computeDestination(job(), &entry, out));  // no NAME_MARUKAN
    for (const char *unsafe : {"..\\evil.otf", "sub\\x.otf", "a/b.otf", "C:x.otf", "..", "x..otf"}) {
        entry.setProperty(NAME_MARUKAN, unsafe);
        EXPECT_FALSE(computeDestination(job(), &entry, out)) << unsafe;
    }
    entry.setProperty(NAME_MARUKAN, "QXSample-W5.otf");
    ASSERT_TRUE(computeDestination(job(), &entry, out));
    EXPECT_EQ(file("QXSample-W5.otf"), out);
    InstallJob windowless;  // no dialog to ask: the job's own folder
    windowless.folder = folder_;
    ASSERT_TRUE(computeDestination(windowless, &entry, out));
    EXPECT_EQ(file("QXSample-W5.otf"), out);
    gRecorder.folder = "";  // no destination chosen
    EXPECT_FALSE(computeDestination(job(), &entry, out));
}

TEST_F(RunTest, CopyReportsEveryBlockIncludingAnEmptyLastRead)
{
    writeFile(file("a.bin"), std::string(20000, 'a'));
    EXPECT_EQ(20000ul, copyFontFile(file("a.bin").c_str(), file("a.copy").c_str(), window_));
    EXPECT_EQ((std::vector<long>{8192, 8192, 3616}), gRecorder.advances);
    EXPECT_EQ(std::string(20000, 'a'), readFile(file("a.copy")));

    gRecorder.advances.clear();
    writeFile(file("b.bin"), std::string(16384, 'b'));
    EXPECT_EQ(16384ul, copyFontFile(file("b.bin").c_str(), file("b.copy").c_str(), window_));
    EXPECT_EQ((std::vector<long>{8192, 8192, 0}), gRecorder.advances);
}

TEST_F(RunTest, EmptyMissingOrUnwritableCopiesFail)
{
    writeFile(file("empty.bin"), "");
    EXPECT_EQ(0ul, copyFontFile(file("empty.bin").c_str(), file("empty.copy").c_str(), window_));
    EXPECT_EQ(0ul, copyFontFile(file("absent.bin").c_str(), file("x.copy").c_str(), window_));
    writeFile(file("c.bin"), "abc");
    EXPECT_EQ(0ul, copyFontFile(file("c.bin").c_str(), file("no\\such\\dir\\c.copy").c_str(), window_));
}

TEST_F(RunTest, CancelStopsTheCopyBeforeTheNextBlock)
{
    writeFile(file("d.bin"), std::string(30000, 'd'));
    InterlockedExchange(&cancelRequested, 1);
    EXPECT_EQ(0ul, copyFontFile(file("d.bin").c_str(), file("d.copy").c_str(), window_));
    EXPECT_TRUE(gRecorder.advances.empty());
}

TEST_F(RunTest, CopyStampsTheInstalledFontButNotTheSource)
{
    std::string source = FI_SAMPLE_FONT;
    ASSERT_TRUE(fileExists(source)) << source;
    ASSERT_NE(0ul, copyFontFile(source.c_str(), file("QXSample-W5.otf").c_str(), window_));
    EXPECT_EQ(2, GetEmbeddingType(file("QXSample-W5.otf").c_str()));
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
    ModuleChain::instance().clear();  // no product: no font type
    FontEntry entry;
    entry.setProperty(NAME_REGISTRY, "QXSample-W5 Regular (OpenType)");
    EXPECT_EQ(0, registerFontCopy(&entry, "C:\\windows\\Fonts\\QXSample-W5.otf"));
}

// A worker that plays the install protocol and then waits for Cancel.
struct Played {
    std::string name, percent, nameAfterCancel;
    int visibleAfterCancel = 0;
};
Played gPlayed;

DWORD WINAPI playProtocol(LPVOID param)
{
    HWND dialog = static_cast<ui::Dialog *>(param)->handle();
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
    // Cancel keeps the dialog open; the worker ends it.
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    PostMessageA(cancel, BM_CLICK, 0, 0);
    while (!(cancelRequested & 1))
        Sleep(10);
    GetDlgItemTextA(dialog, 6553, text, sizeof text);
    gPlayed.nameAfterCancel = text;
    gPlayed.visibleAfterCancel = IsWindowVisible(dialog) ? 1 : 0;
    SendMessageA(dialog, PM_DONE, 0, 0);
    return 0;
}

TEST(ProgressDialogTest, ShowsTheFontAndPercentAndClosesOnlyWhenTheWorkerSaysSo)
{
    InterlockedExchange(&cancelRequested, 0);
    ProgressDialog dialog(playProtocol);
    EXPECT_EQ(IDOK, dialog.run(nullptr));
    EXPECT_EQ("QX Sample W5", gPlayed.name);
    EXPECT_EQ("100 %", gPlayed.percent);
    EXPECT_EQ("Canceled !", gPlayed.nameAfterCancel);
    EXPECT_EQ(1, gPlayed.visibleAfterCancel);  // still shown after Cancel
    EXPECT_EQ(1, cancelRequested & 1);
    InterlockedExchange(&cancelRequested, 0);
}

TEST_F(RunTest, UninstallClearsReadOnlyAndKeepsFilesWithoutAPath)
{
    ModuleChain::instance().clear();
    std::string font = file("QXGone-W3.otf");
    writeFile(font, "font");
    SetFileAttributesA(font.c_str(), FILE_ATTRIBUTE_READONLY);
    FontEntry entry;
    entry.setProperty(PATH_INSTALLED, font.c_str());
    uninstallOneFont(&entry);
    EXPECT_FALSE(fileExists(font));

    std::string kept = file("QXKept-W3.otf");
    writeFile(kept, "font");
    FontEntry noPath;
    noPath.setProperty(NAME_LOCAL, "QX Kept W3");
    uninstallOneFont(&noPath);
    EXPECT_TRUE(fileExists(kept));
}

TEST_F(RunTest, UninstallOn9xRemovesTheAtmEntryUnderItsListedName)
{
    // The font was installed while the installer ran in another language:
    // Adobe Type Manager lists it under that language's name, which the
    // catalogue put into NAME_REGISTRY.
    if (!isWin9x())
        GTEST_SKIP() << "Adobe Type Manager's list is used on Windows 95/98/Me";
    HMODULE product = LoadLibraryA(FI_PRODUCT_DLL);
    ASSERT_NE(nullptr, product);
    ModuleChain &chain = ModuleChain::instance();
    chain.clear();
    chain.append(nullptr);
    chain.append(GetModuleHandleA(nullptr));
    chain.append(product);
    ASSERT_EQ('O', getProductFontType());

    std::string font = file("QXSample-W5.otf");
    writeFile(font, "font");
    ASSERT_TRUE(writeAtmOpenTypeFont("QX Other Language W5", font.c_str()));
    FontEntry entry;
    entry.setProperty(NAME_LOCAL, "QX Sample W5");
    entry.setProperty(NAME_REGISTRY, "QX Other Language W5");
    entry.setProperty(PATH_INSTALLED, font.c_str());
    uninstallOneFont(&entry);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string ini = std::string(windows) + "\\atm.ini";
    char value[MAX_PATH];
    GetPrivateProfileStringA("OpenTypeFonts", "QX Other Language W5", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ("", value);
    GetPrivateProfileStringA("OpenTypeFonts", "@QX Other Language W5", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ("", value);
    EXPECT_FALSE(fileExists(font));
    DeleteFileA(ini.c_str());
    chain.clear();
    FreeLibrary(product);
}

}  // namespace
