// tests/ui/dialog_test.cpp - the main dialog, run as the program runs it and
// driven with real mouse and keyboard input; the catalogue, the folders, the
// folder chooser and the runs come from the stand-in services.
#include "controls/summary.h"
#include "dialogs/installerdialog.h"
#include "platform/product.h"
#include "resources/resource.h"
#include "tests/ui/catalogue_double.h"
#include "tests/ui/uitest.h"
#include "tests/win/winutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

const char kInitialSummary[] =
    "Selected count : 0\nRequired disk space : 0.0M\nFree disk space : ---\nFontEmbed : Restrict\n";

std::vector<char> bitmapBits(HBITMAP bitmap)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return std::vector<char>();
    std::vector<char> bits(info.bmWidthBytes * info.bmHeight);
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return bits;
}

// How many times the catalogue had been loaded when the watcher met a
// message box; read as the box comes, however soon that is.
// The loads of the watched services when the message box came.
const catalogue_double::Settings *gWatched = nullptr;
std::atomic<int> gLoadsAtMessage{-1};

void noteLoadsAtMessage(int)
{
    gLoadsAtMessage = gWatched->loadCount;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chain_.append(nullptr);
        chain_.append(GetModuleHandleA(nullptr));
        settings().rows = {
            {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-A"}, {NAME_POSTSCRIPT, "QXTEST-W3"},
             {F_AVAILABLE, "1"}, {SIZE_ALL, "1048576"}},
            {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-B"}, {NAME_POSTSCRIPT, "QXNONE-W5"},
             {F_AVAILABLE, "1"}, {SIZE_ALL, "524288"}},
            {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-C"}, {F_INSTALLED, "1"}, {SIZE_ALL, "3000000"}},
        };
    }

    void TearDown() override
    {
        if (ui_) {
            if (dialog_ && IsWindow(dialog_))
                PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
            ui_->waitDone(5000);
            ui_.reset();
        }
    }

    // Runs the main dialog as the program does, on a thread of its own.
    void open()
    {
        ui_.reset(new uitest::UiThread([this] {
            InstallerDialog dialog(services_, chain_, FontScope::Machine);
            running_ = &dialog;
            dialog.run();
            running_ = nullptr;
        }));
        for (int i = 0; i < 500 && !dialog_; ++i) {
            InstallerDialog *current = running_;
            if (current && current->handle() && IsWindowVisible(current->handle()))
                dialog_ = current->handle();
            else
                Sleep(10);
        }
        ASSERT_TRUE(dialog_);
        tree_ = GetDlgItem(dialog_, IDC_FONT_TREE);
        ui_->call([this] { SetForegroundWindow(dialog_); });
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item(nullptr, TVGN_ROOT)));
        ui_->settle();
    }

    InstallerDialog *dialog() { return running_; }

    catalogue_double::Settings &settings() { return services_.settings; }

    catalogue_double::FakeServices services_;
    ModuleChain chain_;  // no product module: the test program's resources

    HTREEITEM item(HTREEITEM from, UINT how)
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    }
    HTREEITEM font(int index)
    {
        HTREEITEM it = item(item(nullptr, TVGN_ROOT), TVGN_CHILD);
        while (index-- > 0)
            it = item(it, TVGN_NEXT);
        return it;
    }

    POINT boxPoint(HTREEITEM it)
    {
        RECT box;
        EXPECT_TRUE(dialog()->fontTree()->boxRect(it, &box));
        POINT c = uitest::centreOf(box);
        return uitest::toScreen(tree_, c.x, c.y);
    }
    POINT labelPoint(HTREEITEM it)
    {
        RECT r;
        std::memcpy(&r, &it, sizeof it);
        SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        POINT c = uitest::centreOf(r);
        return uitest::toScreen(tree_, c.x, c.y);
    }
    POINT controlPoint(int id)
    {
        RECT r;
        GetWindowRect(GetDlgItem(dialog_, id), &r);
        return uitest::centreOf(r);
    }
    void clickAndSettle(POINT pt)
    {
        uitest::click(pt);
        ui_->settle();
    }
    void focusMode()
    {
        ui_->call([this] {
            SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, IDC_MODE)), TRUE);
        });
    }
    void pressKey(WORD vk)
    {
        uitest::keyDown(vk);
        uitest::keyUp(vk);
        ui_->settle();
    }

    std::string itemText(int id)
    {
        char text[512] = "";
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    RECT windowRect(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    }
    HBITMAP sample()
    {
        return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog_, IDC_SAMPLE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }

    std::unique_ptr<uitest::UiThread> ui_;
    std::atomic<InstallerDialog *> running_{nullptr};  // the dialog while its thread runs it
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
};

TEST_F(DialogTest, StartsWithTheInstallModeAnEmptySelectionAndTheMissingSample)
{
    open();
    EXPECT_EQ(kInitialSummary, itemText(IDC_SUMMARY));
    EXPECT_EQ("Korimaru Installer US", [this] { char t[64]; GetWindowTextA(dialog_, t, 64); return std::string(t); }());

    HWND combo = GetDlgItem(dialog_, IDC_MODE);
    ASSERT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    char text[64];
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Install", text);
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Uninstall", text);
    EXPECT_EQ(MODE_INSTALL, SendMessageA(combo, CB_GETCURSEL, 0, 0));

    HMENU menu = GetSystemMenu(dialog_, FALSE);
    int last = GetMenuItemCount(menu) - 1;
    EXPECT_EQ(kAboutCommand, GetMenuItemID(menu, last));
    GetMenuStringA(menu, last, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Version (Installer.exe) (&A)...", text);
    LRESULT icon = SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0);
    EXPECT_TRUE(icon);
    EXPECT_EQ(icon, SendMessageA(dialog_, WM_QUERYDRAGICON, 0, 0));

    // The layout toggle sits in the lower left corner, the badge is hidden.
    RECT client, toggle;
    GetClientRect(dialog_, &client);
    toggle = windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE));
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT *>(&toggle), 2);
    EXPECT_EQ(0, toggle.left);
    EXPECT_EQ(client.bottom, toggle.bottom);
    EXPECT_TRUE(SendDlgItemMessageA(dialog_, IDC_LAYOUT_TOGGLE, STM_GETICON, 0, 0));
    EXPECT_TRUE(SendDlgItemMessageA(dialog_, IDC_BADGE, STM_GETICON, 0, 0));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, IDC_BADGE)));

    OwnedBitmap missing(LoadBitmapA(GetModuleHandleA(nullptr), "SAMPLE_MISSING"));
    EXPECT_EQ(bitmapBits(missing.get()), bitmapBits(sample()));
    EXPECT_EQ(1, settings().loadCount);
}

TEST_F(DialogTest, TicksUpdateTheSummaryAndGrayedFontsDoNotCount)
{
    open();
    clickAndSettle(boxPoint(font(0)));
    EXPECT_EQ("Selected count : 1\nRequired disk space : 1.1M\nFree disk space : ---\nFontEmbed : Restrict\n",
              itemText(IDC_SUMMARY));
    clickAndSettle(boxPoint(font(1)));
    EXPECT_EQ("Selected count : 2\nRequired disk space : 1.6M\nFree disk space : ---\nFontEmbed : Restrict\n",
              itemText(IDC_SUMMARY));
    // The installed font is gray and checked; its click changes nothing.
    clickAndSettle(boxPoint(font(2)));
    EXPECT_EQ("Selected count : 2\nRequired disk space : 1.6M\nFree disk space : ---\nFontEmbed : Restrict\n",
              itemText(IDC_SUMMARY));
    clickAndSettle(boxPoint(item(nullptr, TVGN_ROOT)));
    EXPECT_EQ(kInitialSummary, itemText(IDC_SUMMARY));
}

TEST_F(DialogTest, UninstallModeClearsTicksAndDisablesTheFolderControls)
{
    open();
    clickAndSettle(boxPoint(font(0)));
    focusMode();
    pressKey(VK_DOWN);
    EXPECT_EQ(MODE_UNINSTALL, SendDlgItemMessageA(dialog_, IDC_MODE, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(kInitialSummary, itemText(IDC_SUMMARY));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_TO_WHERE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog_, IDC_FOLDER)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDOK)));
    FontTreeCtrl *tree = dialog()->fontTree();
    EXPECT_EQ(0, tree->isItemEnabled(font(0)));
    EXPECT_EQ(CHECK_NONE, tree->getCheckState(font(2)));
    EXPECT_EQ(1, tree->isItemEnabled(font(2)));

    clickAndSettle(boxPoint(font(2)));
    EXPECT_EQ("Selected count : 1\nRequired disk space : 3.0M\nFree disk space : ---\nFontEmbed : Restrict\n",
              itemText(IDC_SUMMARY));

    focusMode();
    pressKey(VK_UP);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDC_TO_WHERE)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDC_FOLDER)));
    EXPECT_EQ(kInitialSummary, itemText(IDC_SUMMARY));
}

TEST_F(DialogTest, StartRunsTheModeOnTheTickedFontsAndDoesNothingWithoutAny)
{
    open();
    testutil::WindowWatcher boxes("Korimaru Installer", IDOK);
    int loads = settings().loadCount;
    clickAndSettle(controlPoint(IDOK));
    EXPECT_EQ(0u, settings().installed);
    EXPECT_EQ(0, settings().installRuns);
    EXPECT_EQ(loads, settings().loadCount);

    clickAndSettle(boxPoint(font(1)));
    clickAndSettle(controlPoint(IDOK));
    // One install run over the ticked font, then the view is rebuilt and
    // no message follows.
    EXPECT_EQ(1, settings().installRuns);
    EXPECT_EQ(loads + 1, settings().loadCount);
    EXPECT_FALSE(settings().loadFirstFlags.back());
    EXPECT_EQ(1u, settings().installed);
    EXPECT_EQ(dialog_, settings().jobDialog);
    EXPECT_TRUE(dialog()->fontsChanged());
    EXPECT_TRUE(IsWindowVisible(dialog_));
    EXPECT_EQ(0, boxes.answers());
}

// Windows 95/98/Me refused a font for a full font list: after the refresh
// one message names it and says that the fonts after it were not installed.
TEST_F(DialogTest, InstallRunThatFindsTheFontListFullNamesTheRefusedFont)
{
    settings().rows[1].push_back({NAME_LOCAL, "Gothic B Local"});
    settings().fontListFullAt = 0;
    open();
    int loads = settings().loadCount;
    gLoadsAtMessage = -1;
    gWatched = &settings();
    testutil::WindowWatcher boxes("Korimaru Installer", IDOK);
    boxes.onBeforeAnswer(noteLoadsAtMessage);
    clickAndSettle(boxPoint(font(1)));
    clickAndSettle(controlPoint(IDOK));
    for (int i = 0; i < 100 && boxes.answers() == 0; ++i)
        Sleep(50);
    EXPECT_EQ(1, settings().installRuns);
    EXPECT_EQ(loads + 1, gLoadsAtMessage.load());
    ASSERT_EQ(1, boxes.answers());
    EXPECT_EQ("Windows did not accept the font \"Gothic B Local\": its list of fonts is full (Windows 95, 98 "
              "and Me hold about a thousand fonts). The fonts after it were not installed.",
              boxes.lastText());

    // A run that the system did not stop shows nothing, as before.
    settings().fontListFullAt = -1;
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item(nullptr, TVGN_ROOT)));
    ui_->settle();
    clickAndSettle(boxPoint(font(0)));
    clickAndSettle(controlPoint(IDOK));
    for (int i = 0; i < 20 && boxes.answers() == 1; ++i)
        Sleep(50);
    EXPECT_EQ(2, settings().installRuns);
    EXPECT_EQ(1, boxes.answers());
}

TEST_F(DialogTest, UninstallRunEndsWithTheRemovalMessageAfterTheRefresh)
{
    open();
    focusMode();
    pressKey(VK_DOWN);
    testutil::WindowWatcher boxes("Korimaru Installer", IDOK);
    clickAndSettle(controlPoint(IDOK));  // nothing ticked: no run, no message
    EXPECT_EQ(0, settings().uninstallRuns);

    int loads = settings().loadCount;
    clickAndSettle(boxPoint(font(2)));  // the installed font
    clickAndSettle(controlPoint(IDOK));
    for (int i = 0; i < 100 && boxes.answers() == 0; ++i)
        Sleep(50);
    EXPECT_EQ(1, settings().uninstallRuns);
    EXPECT_EQ(1u, settings().uninstalled);
    EXPECT_EQ(loads + 1, settings().loadCount);
    EXPECT_EQ(1, boxes.answers());
    EXPECT_EQ("Fonts were removed.", boxes.lastText());
}

// A font that could not be removed shows as installed after the refresh; no
// message says that the fonts were removed.
TEST_F(DialogTest, UninstallRunWithAFailedFontShowsNoRemovalMessage)
{
    settings().uninstallFailures = 1;
    open();
    focusMode();
    pressKey(VK_DOWN);
    testutil::WindowWatcher boxes("Korimaru Installer", IDOK);
    clickAndSettle(boxPoint(font(2)));
    clickAndSettle(controlPoint(IDOK));
    for (int i = 0; i < 20 && boxes.answers() == 0; ++i)
        Sleep(50);
    EXPECT_EQ(1, settings().uninstallRuns);
    EXPECT_EQ(0, boxes.answers());
}

TEST_F(DialogTest, LayoutToggleMakesTheWindowTallAndBack)
{
    open();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT window = windowRect(dialog_), tree = windowRect(tree_);
    RECT toggle = windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE));
    HICON normalIcon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog_, IDC_LAYOUT_TOGGLE, STM_GETICON, 0, 0));

    clickAndSettle(uitest::centreOf(toggle));
    RECT tall = windowRect(dialog_);
    EXPECT_EQ(work.top, tall.top);
    EXPECT_EQ(work.bottom, tall.bottom);
    EXPECT_EQ(window.left, tall.left);
    EXPECT_EQ(window.right, tall.right);
    int gained = (tall.bottom - tall.top) - (window.bottom - window.top);
    RECT tallTree = windowRect(tree_);
    EXPECT_EQ(tree.bottom - tree.top + gained, tallTree.bottom - tallTree.top);
    RECT tallToggle = windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE));
    EXPECT_EQ(toggle.top - window.top + gained, tallToggle.top - tall.top);
    EXPECT_NE(normalIcon, reinterpret_cast<HICON>(SendDlgItemMessageA(dialog_, IDC_LAYOUT_TOGGLE, STM_GETICON, 0, 0)));

    clickAndSettle(uitest::centreOf(tallToggle));
    EXPECT_TRUE(EqualRect(&window, &(tall = windowRect(dialog_))));
    RECT back = windowRect(tree_);
    EXPECT_TRUE(EqualRect(&tree, &back));
    back = windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE));
    EXPECT_TRUE(EqualRect(&toggle, &back));
}

// Each dialog has its own layout and its own first load: one closed in its
// tall layout leaves the next in the same process (a second start of the
// exported flow) in the normal one, and the next one's first load asks for
// the disc again.
TEST_F(DialogTest, ASecondDialogStartsNormalAndLoadsAsAFirstLoad)
{
    open();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    clickAndSettle(uitest::centreOf(windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE))));
    ASSERT_EQ(work.top, windowRect(dialog_).top);
    TearDown();  // closed while tall
    dialog_ = nullptr;
    size_t loads = settings().loadFirstFlags.size();

    open();
    ASSERT_LT(loads, settings().loadFirstFlags.size());
    EXPECT_TRUE(settings().loadFirstFlags[loads]);
    clickAndSettle(uitest::centreOf(windowRect(GetDlgItem(dialog_, IDC_LAYOUT_TOGGLE))));
    RECT tall = windowRect(dialog_);
    EXPECT_EQ(work.top, tall.top);
    EXPECT_EQ(work.bottom, tall.bottom);
}

TEST_F(DialogTest, SelectingShowsTheSampleOfTheFontOrOfNone)
{
    open();
    clickAndSettle(labelPoint(font(0)));
    OwnedBitmap own(LoadBitmapA(GetModuleHandleA(nullptr), "QXTEST-W3"));
    EXPECT_EQ(bitmapBits(own.get()), bitmapBits(sample()));

    // A font whose PostScript name has no bitmap: an empty sample area.
    clickAndSettle(labelPoint(font(1)));
    EXPECT_EQ(nullptr, sample());

    // A category: the missing-sample picture.
    clickAndSettle(labelPoint(item(nullptr, TVGN_ROOT)));
    OwnedBitmap missing(LoadBitmapA(GetModuleHandleA(nullptr), "SAMPLE_MISSING"));
    EXPECT_EQ(bitmapBits(missing.get()), bitmapBits(sample()));
}

TEST_F(DialogTest, DefaultFolderShowsItsFreeSpaceAndAnswersGetFolder)
{
    settings().defaultFolder = "C:\\windows\\Fonts";
    open();
    EXPECT_EQ("C:\\windows\\Fonts", itemText(IDC_FOLDER));
    EXPECT_TRUE(std::regex_match(itemText(IDC_SUMMARY),
                                 std::regex("Selected count : 0\nRequired disk space : 0\\.0M\n"
                                            "Free disk space : [0-9]+\\.0M\nFontEmbed : Restrict\n")))
        << itemText(IDC_SUMMARY);
    char buffer[256];
    EXPECT_EQ(static_cast<LRESULT>(std::strlen("C:\\windows\\Fonts")),
              SendMessageA(dialog_, DM_GETFOLDER, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ("C:\\windows\\Fonts", buffer);
}

TEST_F(DialogTest, WithoutADefaultFolderThereIsNoDestination)
{
    settings().defaultFolder = "";  // e.g. no Adobe Type Manager setting
    open();
    EXPECT_EQ("C:\\...", itemText(IDC_FOLDER));  // the template's placeholder
    char buffer[256] = "junk";
    EXPECT_EQ(0, SendMessageA(dialog_, DM_GETFOLDER, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ("", buffer);
}

// On NT 4.0 the system fonts folder needs a confirmation in Install mode;
// Cancel keeps the previous folder. Elsewhere it is taken at once.
TEST_F(DialogTest, ToWhereAsksOnNT4BeforeTakingTheSystemFontsFolder)
{
    settings().defaultFolder = "C:\\windows";
    settings().chosenFolder = "C:\\WINDOWS\\FONTS";
    open();
    testutil::WindowWatcher warning("Korimaru Installer", IDCANCEL);
    clickAndSettle(controlPoint(IDC_TO_WHERE));
    for (int i = 0; i < 100 && isNT4() && warning.answers() == 0; ++i)
        Sleep(20);
    ui_->settle();
    EXPECT_EQ(1, settings().browseCount);
    if (isNT4()) {
        EXPECT_EQ(1, warning.answers());
        EXPECT_EQ("On NT4, it recommend not to install OpenType font files under system fonts directory.\n"
                  "Push OK button if continue by force.",
                  warning.lastText());
        EXPECT_EQ("C:\\windows", itemText(IDC_FOLDER));
    } else {
        EXPECT_EQ(0, warning.answers());
        EXPECT_EQ("C:\\WINDOWS\\FONTS", itemText(IDC_FOLDER));
    }
}

TEST_F(DialogTest, SystemMenuItemShowsTheAboutBox)
{
    open();
    testutil::WindowWatcher about("Version Information", IDOK);
    PostMessageA(dialog_, WM_SYSCOMMAND, kAboutCommand, 0);
    for (int i = 0; i < 250 && about.answers() == 0; ++i)
        Sleep(20);
    EXPECT_EQ(1, about.answers());
    ui_->settle();
    EXPECT_TRUE(IsWindowVisible(dialog_));
}

TEST_F(DialogTest, SelectionsBeyondTheRangeOfTheTotalShowTheLargestSize)
{
    settings().rows = {
        {{NAME_LOCAL_SHORT, "Huge-A"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "2000000000"}},
        {{NAME_LOCAL_SHORT, "Huge-B"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "2000000000"}},
    };
    open();
    clickAndSettle(boxPoint(item(nullptr, TVGN_ROOT)));
    clickAndSettle(boxPoint(item(item(nullptr, TVGN_ROOT), TVGN_NEXT)));
    EXPECT_EQ("Selected count : 2\nRequired disk space : 2048.1M\nFree disk space : ---\nFontEmbed : Restrict\n",
              itemText(IDC_SUMMARY));
}

TEST_F(DialogTest, ExitWithoutARunStartsNoOpenerAndEndsTheDialog)
{
    settings().otfOpener = "C:\\windows\\notepad.exe";
    open();
    clickAndSettle(controlPoint(IDCANCEL));
    EXPECT_TRUE(ui_->waitDone(5000));
    EXPECT_EQ(0, settings().openerCount);
}

}  // namespace
