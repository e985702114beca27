// tests/ui/tree_test.cpp - the check-box tree, the font tree and the summary,
// driven with real mouse and keyboard input on a host dialog.
#include "base/window.h"
#include "controls/fonttree.h"
#include "controls/summary.h"
#include "resources/resource.h"
#include "tests/ui/uitest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Opens the size text to the tests.
class TestFontTree : public FontTreeCtrl {
public:
    std::string sizeText(HTREEITEM item)
    {
        char buffer[260];
        GetItemSizeText(item, buffer);
        return buffer;
    }
};

class HostDialog : public ui::Dialog {
public:
    TestFontTree fonts;
    CheckBoxTreeCtrl plain;
    TestFontTree bulk;  // filled with TM_ADDENTRIES, to set beside fonts
    int checkChanges = 0;

protected:
    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override
    {
        static const ui::MessageMapEntry<HostDialog> kMap[] = {
            {WM_INITDIALOG, 0, 0, &HostDialog::OnInitDialog},
            {WM_NOTIFY, TN_CHECKCHANGED, 1001, &HostDialog::OnCheckChanged},
        };
        return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result);
    }
    LRESULT OnInitDialog(WPARAM, LPARAM)
    {
        fonts.subclass(item(1001));
        fonts.init();
        plain.subclass(item(1002));
        bulk.subclass(item(1003));
        bulk.init();
        return TRUE;
    }
    LRESULT OnCheckChanged(WPARAM, LPARAM)
    {
        ++checkChanges;
        return 0;
    }
};

typedef std::vector<std::pair<const char *, const char *>> Props;

// A label too long for the tree beside the size column.
const char kLongLabel[] = "Mincho-K Extra Bold Condensed";

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui_.reset(new uitest::UiThread);
        ui_->call([this] {
            dialog_.reset(new HostDialog);
            dialog_->createModeless(GetModuleHandleA(nullptr), 900, nullptr);
            SetForegroundWindow(dialog_->handle());
        });
        tree_ = dialog_->fonts.handle();
        add("A", {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-A"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "1048576"}});
        add("B", {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-B"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "524288"}});
        add("C", {{NAME_CATEGORY, "Gothic"}, {NAME_LOCAL_SHORT, "Gothic-C"}, {F_INSTALLED, "1"}, {SIZE_ALL, "5000000"}});
        add("D", {{NAME_CATEGORY, "Brush\\Bold"}, {NAME_LOCAL_SHORT, "Bold-D"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "2000000"}});
        add("E", {{NAME_CATEGORY, "Mincho"}, {NAME_LOCAL_SHORT, "Mincho-E"}});
        add("F", {{NAME_LOCAL_SHORT, "Loose-F"}, {F_INSTALLED, "1"}, {SIZE_ALL, "-1"}});
        add("G", {{NAME_CATEGORY, "Brush"}, {NAME_LOCAL_SHORT, "Brush-G"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "100"}});
        add("H", {{NAME_CATEGORY, "gothic"}, {NAME_LOCAL_SHORT, "Lower-H"}, {F_AVAILABLE, "1"}, {SIZE_ALL, "1"}});
        add("I", {{NAME_CATEGORY, "Done"}, {NAME_LOCAL_SHORT, "Done-I"}, {F_INSTALLED, "1"}, {SIZE_ALL, "10"}});
        add("J", {{NAME_CATEGORY, "Done"}, {NAME_LOCAL_SHORT, "Done-J"}, {F_INSTALLED, "1"}, {SIZE_ALL, "10"}});
        add("K", {{NAME_CATEGORY, "Mincho"}, {NAME_LOCAL_SHORT, kLongLabel}});
        for (auto &entry : entries_)
            SendMessageA(tree_, TM_ADDENTRY, 0, reinterpret_cast<LPARAM>(entry.second.get()));
        SendMessageA(tree_, TM_SETMODE, MODE_INSTALL, 0);
        expandAll(nullptr);
        ui_->settle();
    }

    void TearDown() override
    {
        ui_->call([this] {
            DestroyWindow(dialog_->handle());
            dialog_.reset();
        });
        ui_.reset();
    }

    void add(const char *name, const Props &props)
    {
        std::unique_ptr<FontEntry> entry(new FontEntry);
        for (const auto &p : props)
            entry->setProperty(p.first, p.second);
        entries_.push_back(std::make_pair(std::string(name), std::move(entry)));
    }

    FontEntry *entry(const char *name)
    {
        for (auto &e : entries_)
            if (e.first == name)
                return e.second.get();
        return nullptr;
    }

    TestFontTree &fonts() { return dialog_->fonts; }

    HTREEITEM next(HTREEITEM item, UINT how) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }

    void expandAll(HTREEITEM parent)
    {
        for (HTREEITEM item = next(parent, parent ? TVGN_CHILD : TVGN_ROOT); item; item = next(item, TVGN_NEXT)) {
            SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
            expandAll(item);
        }
    }

    std::string text(HWND tree, HTREEITEM item) const
    {
        char buffer[260] = "";
        TVITEMA tv = {};
        tv.mask = TVIF_HANDLE | TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = sizeof buffer;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return tv.pszText ? tv.pszText : "";
    }

    // The item reached by the labels of a path from the root, e.g. {"Gothic", "Gothic-A"}.
    HTREEITEM find(std::vector<std::string> path, HWND tree = nullptr) const
    {
        tree = tree ? tree : tree_;
        HTREEITEM parent = nullptr;
        for (const std::string &label : path) {
            HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(
                tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
            while (item && text(tree, item) != label)
                item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
            if (!item)
                return nullptr;
            parent = item;
        }
        return parent;
    }

    POINT boxPoint(HTREEITEM item)
    {
        RECT box;
        EXPECT_TRUE(fonts().boxRect(item, &box));
        POINT centre = uitest::centreOf(box);
        return uitest::toScreen(tree_, centre.x, centre.y);
    }

    // The item's text rectangle in screen coordinates.
    RECT labelRect(HTREEITEM item)
    {
        RECT r;
        std::memcpy(&r, &item, sizeof item);
        SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(tree_, nullptr, reinterpret_cast<POINT *>(&r), 2);
        return r;
    }

    POINT labelPoint(HTREEITEM item) { return uitest::centreOf(labelRect(item)); }

    // Waits up to two seconds for the label tip to be shown or hidden.
    bool tipShown(bool shown)
    {
        ui_->settle();
        for (int i = 0; i < 40 && (IsWindowVisible(fonts().labelTip()) != 0) != shown; ++i)
            Sleep(50);
        return (IsWindowVisible(fonts().labelTip()) != 0) == shown;
    }

    void clickAndSettle(POINT pt)
    {
        uitest::click(pt);
        ui_->settle();
    }

    // Every category's state and enabled flag are its children's taken
    // together (grayed children left out), at every level.
    void expectCategoriesFollowChildren(HTREEITEM parent)
    {
        for (HTREEITEM item = next(parent, parent ? TVGN_CHILD : TVGN_ROOT); item; item = next(item, TVGN_NEXT)) {
            if (!next(item, TVGN_CHILD))
                continue;
            expectCategoriesFollowChildren(item);
            int aggregate = fonts().aggregateChildren(item, false);
            EXPECT_EQ(aggregate < 0 ? CHECK_NONE : aggregate, state(item)) << text(tree_, item);
            EXPECT_EQ(aggregate >= 0 ? 1 : 0, enabled(item)) << text(tree_, item);
        }
    }

    // The items below parent, one line each: depth, text, entry and image.
    void describe(HWND tree, HTREEITEM parent, int depth, std::string *out) const
    {
        for (HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(
                 tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
             item; item = reinterpret_cast<HTREEITEM>(
                       SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            TVITEMA tv = {};
            tv.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_IMAGE;
            tv.hItem = item;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
            std::string name = "category";
            for (auto &e : entries_)
                if (reinterpret_cast<LPARAM>(e.second.get()) == tv.lParam)
                    name = e.first;
            *out += std::string(2 * depth, ' ') + "[" + text(tree, item) + "] " + name + " " +
                    std::to_string(tv.iImage) + "\n";
            describe(tree, item, depth + 1, out);
        }
    }

    // Adds the entries named, in this order, to the font tree one message
    // each and to the other tree in one message, and expects the same trees.
    void expectBulkAddAsOneByOne(const std::vector<std::string> &names, size_t alreadyThere = 0)
    {
        SendMessageA(tree_, TM_DELETEALL, 0, 0);
        HWND bulk = dialog_->bulk.handle();
        SendMessageA(bulk, TM_DELETEALL, 0, 0);
        std::vector<FontEntry *> list;
        for (const std::string &name : names) {
            list.push_back(entry(name.c_str()));
            SendMessageA(tree_, TM_ADDENTRY, 0, reinterpret_cast<LPARAM>(list.back()));
        }
        for (size_t i = 0; i < alreadyThere; ++i)
            SendMessageA(bulk, TM_ADDENTRY, 0, reinterpret_cast<LPARAM>(list[i]));
        SendMessageA(bulk, TM_ADDENTRIES, list.size() - alreadyThere,
                     reinterpret_cast<LPARAM>(list.data() + alreadyThere));
        std::string one, all;
        describe(tree_, nullptr, 0, &one);
        describe(bulk, nullptr, 0, &all);
        EXPECT_FALSE(one.empty());
        EXPECT_EQ(one, all);
    }

    int state(HTREEITEM item) { return fonts().getCheckState(item); }
    int enabled(HTREEITEM item) { return fonts().isItemEnabled(item); }
    int changes() const { return dialog_->checkChanges; }

    CheckedParams collect()
    {
        CheckedParams list;
        SendMessageA(tree_, TM_GETCHECKEDPARAMS, 0, reinterpret_cast<LPARAM>(&list));
        return list;
    }

    std::unique_ptr<uitest::UiThread> ui_;
    std::unique_ptr<HostDialog> dialog_;
    HWND tree_ = nullptr;
    std::vector<std::pair<std::string, std::unique_ptr<FontEntry>>> entries_;
};

TEST_F(TreeTest, ClickOnBoxOfEnabledFontsTicksThemAndUpdatesTheirCategory)
{
    HTREEITEM gothic = find({"Gothic"});
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    HTREEITEM b = find({"Gothic", "Gothic-B"});
    ASSERT_TRUE(gothic && a && b);
    EXPECT_EQ(CHECK_NONE, state(gothic));

    clickAndSettle(boxPoint(a));
    EXPECT_EQ(CHECK_ALL, state(a));
    EXPECT_EQ(CHECK_MIXED, state(gothic));
    EXPECT_EQ(1, changes());

    // The installed Gothic-C is gray and checked and does not count.
    clickAndSettle(boxPoint(b));
    EXPECT_EQ(CHECK_ALL, state(b));
    EXPECT_EQ(CHECK_ALL, state(gothic));
    EXPECT_EQ(2, changes());
}

TEST_F(TreeTest, ClickOnGrayedBoxOrOnLabelChangesNoTick)
{
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    HTREEITEM c = find({"Gothic", "Gothic-C"});
    HTREEITEM e = find({"Mincho", "Mincho-E"});
    clickAndSettle(boxPoint(c));
    clickAndSettle(boxPoint(e));
    EXPECT_EQ(CHECK_ALL, state(c));
    EXPECT_EQ(0, enabled(c));
    EXPECT_EQ(CHECK_NONE, state(e));
    EXPECT_EQ(0, enabled(e));

    clickAndSettle(labelPoint(a));
    EXPECT_EQ(a, next(nullptr, TVGN_CARET));
    EXPECT_EQ(CHECK_NONE, state(a));
    EXPECT_EQ(0, changes());
}

TEST_F(TreeTest, ReleaseOverABoxTogglesWhereverThePressWent)
{
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    HTREEITEM b = find({"Gothic", "Gothic-B"});
    uitest::moveTo(labelPoint(b));
    uitest::buttonDown();
    ui_->settle();
    uitest::moveTo(boxPoint(a));
    uitest::buttonUp();
    ui_->settle();
    EXPECT_EQ(CHECK_ALL, state(a));
    EXPECT_EQ(CHECK_NONE, state(b));

    // Pressed on a box, released on a label: no toggle.
    uitest::moveTo(boxPoint(b));
    uitest::buttonDown();
    ui_->settle();
    uitest::moveTo(labelPoint(b));
    uitest::buttonUp();
    ui_->settle();
    EXPECT_EQ(CHECK_NONE, state(b));
    EXPECT_EQ(1, changes());
}

TEST_F(TreeTest, SpaceTogglesTheSelectedFontOnKeyReleaseOnly)
{
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    HTREEITEM c = find({"Gothic", "Gothic-C"});
    clickAndSettle(labelPoint(a));
    ASSERT_EQ(tree_, GetFocus() ? GetFocus() : tree_);

    uitest::keyDown(VK_SPACE);
    ui_->settle();
    EXPECT_EQ(CHECK_NONE, state(a));
    uitest::keyUp(VK_SPACE);
    ui_->settle();
    EXPECT_EQ(CHECK_ALL, state(a));
    EXPECT_EQ(1, changes());

    // A grayed selected item stays as it is.
    clickAndSettle(labelPoint(c));
    uitest::keyDown(VK_SPACE);
    uitest::keyUp(VK_SPACE);
    ui_->settle();
    EXPECT_EQ(CHECK_ALL, state(c));
    EXPECT_EQ(1, changes());
}

TEST_F(TreeTest, DoubleClickOnABoxTogglesTwiceAndNeverExpands)
{
    HTREEITEM gothic = find({"Gothic"});
    SendMessageA(tree_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(gothic));
    ui_->settle();
    uitest::doubleClick(boxPoint(gothic));
    ui_->settle();
    EXPECT_EQ(CHECK_NONE, state(gothic));
    EXPECT_EQ(2, changes());
    EXPECT_FALSE(SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(gothic), TVIS_EXPANDED) & TVIS_EXPANDED);

    // The same double click on the label expands the category.
    uitest::doubleClick(labelPoint(gothic));
    ui_->settle();
    EXPECT_TRUE(SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(gothic), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(2, changes());
}

TEST_F(TreeTest, ClickOnAMixedCategoryChecksThenUnchecksItsEnabledFonts)
{
    HTREEITEM gothic = find({"Gothic"});
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    HTREEITEM b = find({"Gothic", "Gothic-B"});
    HTREEITEM c = find({"Gothic", "Gothic-C"});
    clickAndSettle(boxPoint(a));
    ASSERT_EQ(CHECK_MIXED, state(gothic));

    clickAndSettle(boxPoint(gothic));
    EXPECT_EQ(CHECK_ALL, state(gothic));
    EXPECT_EQ(CHECK_ALL, state(a));
    EXPECT_EQ(CHECK_ALL, state(b));

    clickAndSettle(boxPoint(gothic));
    EXPECT_EQ(CHECK_NONE, state(gothic));
    EXPECT_EQ(CHECK_NONE, state(a));
    EXPECT_EQ(CHECK_NONE, state(b));
    // The grayed installed font is left alone both times.
    EXPECT_EQ(CHECK_ALL, state(c));
    EXPECT_EQ(0, enabled(c));

    // Ticking the nested Bold-D carries up through Bold to Brush.
    HTREEITEM brush = find({"Brush"});
    HTREEITEM bold = find({"Brush", "Bold"});
    clickAndSettle(boxPoint(find({"Brush", "Bold", "Bold-D"})));
    EXPECT_EQ(CHECK_ALL, state(bold));
    EXPECT_EQ(CHECK_MIXED, state(brush));
    EXPECT_EQ(4, changes());
}

TEST_F(TreeTest, CategoryOfOnlyInstalledFontsIsGrayAndUnchecked)
{
    HTREEITEM done = find({"Done"});
    EXPECT_EQ(CHECK_NONE, state(done));
    EXPECT_EQ(0, enabled(done));
    EXPECT_EQ(CHECK_ALL, state(find({"Done", "Done-I"})));
    EXPECT_EQ(0, enabled(find({"Done", "Done-I"})));
    // Clicking its box does nothing.
    clickAndSettle(boxPoint(done));
    EXPECT_EQ(CHECK_NONE, state(done));
    EXPECT_EQ(0, changes());
}

TEST_F(TreeTest, ModeChangesClearTicksAndGrayWhatCannotBeChosen)
{
    clickAndSettle(boxPoint(find({"Gothic", "Gothic-A"})));
    clickAndSettle(boxPoint(find({"Brush", "Bold", "Bold-D"})));
    ASSERT_EQ(2u, collect().size());

    SendMessageA(tree_, TM_SETMODE, MODE_UNINSTALL, 0);
    ui_->settle();
    EXPECT_EQ(2, changes());
    EXPECT_TRUE(collect().empty());
    expectCategoriesFollowChildren(nullptr);
    EXPECT_EQ(CHECK_NONE, state(find({"Gothic", "Gothic-A"})));
    EXPECT_EQ(0, enabled(find({"Gothic", "Gothic-A"})));
    EXPECT_EQ(CHECK_NONE, state(find({"Gothic", "Gothic-C"})));
    EXPECT_EQ(1, enabled(find({"Gothic", "Gothic-C"})));
    EXPECT_EQ(1, enabled(find({"Gothic"})));
    EXPECT_EQ(0, enabled(find({"Brush", "Bold"})));
    EXPECT_EQ(1, enabled(find({"Done"})));

    clickAndSettle(boxPoint(find({"Gothic", "Gothic-C"})));
    CheckedParams checked = collect();
    ASSERT_EQ(1u, checked.size());
    EXPECT_EQ(entry("C"), checked[0]);
    EXPECT_EQ(CHECK_ALL, state(find({"Gothic"})));

    // Any other mode grays everything and nothing can be collected.
    SendMessageA(tree_, TM_SETMODE, 7, 0);
    EXPECT_TRUE(collect().empty());
    expectCategoriesFollowChildren(nullptr);
    SendMessageA(tree_, TM_SETMODE, MODE_INSTALL, 0);
    expectCategoriesFollowChildren(nullptr);
    SendMessageA(tree_, TM_SETMODE, 7, 0);
    EXPECT_EQ(0, enabled(find({"Gothic", "Gothic-C"})));
    EXPECT_EQ(0, enabled(find({"Loose-F"})));
    EXPECT_EQ(0, enabled(find({"Gothic"})));
    clickAndSettle(boxPoint(find({"Gothic"})));
    EXPECT_EQ(CHECK_NONE, state(find({"Gothic"})));
}

TEST_F(TreeTest, CategoriesFollowTheCategoryPathsCaseSensitively)
{
    EXPECT_TRUE(find({"Brush", "Bold", "Bold-D"}));
    EXPECT_TRUE(find({"Brush", "Brush-G"}));
    EXPECT_TRUE(find({"Gothic", "Gothic-A"}));
    EXPECT_TRUE(find({"gothic", "Lower-H"}));
    EXPECT_TRUE(find({"Loose-F"}));
    int roots = 0;
    for (HTREEITEM item = next(nullptr, TVGN_ROOT); item; item = next(item, TVGN_NEXT))
        ++roots;
    EXPECT_EQ(6, roots);  // Brush, Done, Gothic, gothic, Mincho and the loose font

    SendMessageA(tree_, TM_DELETEALL, 0, 0);
    EXPECT_EQ(nullptr, next(nullptr, TVGN_ROOT));
    CheckedParams list;
    EXPECT_EQ(-1, SendMessageA(tree_, TM_GETCHECKEDPARAMS, 0, reinterpret_cast<LPARAM>(&list)));
}

TEST_F(TreeTest, AddingManyEntriesAtOnceMakesTheTreeThatAddingThemOneByOneMakes)
{
    std::vector<std::string> fixture;
    for (auto &e : entries_)
        fixture.push_back(e.first);
    // Siblings that compare equal, or equal but for case, in every order.
    add("S1", {{NAME_CATEGORY, "Serif"}, {NAME_LOCAL_SHORT, "Same"}});
    add("S2", {{NAME_CATEGORY, "Serif"}, {NAME_LOCAL_SHORT, "same"}});
    add("S3", {{NAME_CATEGORY, "Serif"}, {NAME_LOCAL_SHORT, "Same"}});
    add("S4", {{NAME_CATEGORY, "serif"}, {NAME_LOCAL_SHORT, "SAME"}});
    add("S5", {{NAME_CATEGORY, "Serif\\Same"}, {NAME_LOCAL_SHORT, "Inner"}});
    add("S6", {{NAME_CATEGORY, "Serif"}, {NAME_LOCAL_SHORT, "Same"}});
    add("R1", {{NAME_LOCAL_SHORT, "Serif"}});  // a font labelled as a category at the root
    add("N1", {{NAME_CATEGORY, "Serif"}});     // no label
    add("N2", {{NAME_CATEGORY, "\\\\Serif\\"}});
    // A font whose label a later category level meets: that level is the font.
    add("C1", {{NAME_CATEGORY, "Sans"}, {NAME_LOCAL_SHORT, "Bold"}});
    add("C2", {{NAME_CATEGORY, "Sans\\Bold"}, {NAME_LOCAL_SHORT, "Heavy"}});

    expectBulkAddAsOneByOne(fixture);
    expectBulkAddAsOneByOne({"S1", "S2", "S3", "S4", "S5", "S6", "R1", "N1", "N2"});
    expectBulkAddAsOneByOne({"S6", "N2", "S5", "R1", "S4", "S3", "N1", "S2", "S1"});
    expectBulkAddAsOneByOne({"C1", "C2", "A", "B"});
    expectBulkAddAsOneByOne({"C2", "C1", "S1"});
    // Into a tree that has items already.
    expectBulkAddAsOneByOne({"A", "D", "S1", "B", "S2", "G"}, 2);

    // Many fonts in one category, the name map's order reversed and mixed.
    std::vector<std::string> many;
    for (int i = 0; i < 60; ++i) {
        std::string name = "M" + std::to_string(i);
        add(name.c_str(), {{NAME_CATEGORY, i % 3 ? "Many" : "Many\\Sub"},
                           {NAME_LOCAL_SHORT, ("Font " + std::to_string((i * 37) % 60)).c_str()}});
        many.insert(i % 2 ? many.begin() : many.end(), name);
    }
    expectBulkAddAsOneByOne(many);
}

TEST_F(TreeTest, CollectsTickedEnabledFontsInTreeOrder)
{
    clickAndSettle(boxPoint(find({"Gothic", "Gothic-B"})));
    clickAndSettle(boxPoint(find({"Brush", "Bold", "Bold-D"})));
    clickAndSettle(boxPoint(find({"Gothic", "Gothic-A"})));
    CheckedParams checked = collect();
    ASSERT_EQ(3u, checked.size());
    EXPECT_EQ(entry("D"), checked[0]);
    EXPECT_EQ(entry("A"), checked[1]);
    EXPECT_EQ(entry("B"), checked[2]);
}

TEST_F(TreeTest, SizeColumnShowsEachFontsSize)
{
    EXPECT_EQ("1.1M", fonts().sizeText(find({"Gothic", "Gothic-A"})));
    EXPECT_EQ("0.6M", fonts().sizeText(find({"Gothic", "Gothic-B"})));
    EXPECT_EQ("4.9M", fonts().sizeText(find({"Gothic", "Gothic-C"})));
    EXPECT_EQ("---", fonts().sizeText(find({"Mincho", "Mincho-E"})));
    EXPECT_EQ("-1.0M", fonts().sizeText(find({"Loose-F"})));
    EXPECT_EQ("---", fonts().sizeText(find({"Gothic"})));

    HWND column = fonts().sizeColumn();
    ASSERT_TRUE(column);
    EXPECT_EQ(tree_, GetParent(column));
    EXPECT_EQ(kSizeColumnId, GetDlgCtrlID(column));
    char title[32];
    GetWindowTextA(column, title, sizeof title);
    EXPECT_STREQ("Dummy", title);
    RECT client, r;
    GetClientRect(tree_, &client);
    GetWindowRect(column, &r);
    MapWindowPoints(nullptr, tree_, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(client.right - kSizeColumnWidth, r.left);
    EXPECT_EQ(client.right, r.right);
    EXPECT_EQ(client.bottom, r.bottom);

    // Resizing the tree keeps the column at its right edge.
    RECT w;
    GetWindowRect(tree_, &w);
    SetWindowPos(tree_, nullptr, 0, 0, w.right - w.left - 40, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(tree_, &client);
    GetWindowRect(column, &r);
    MapWindowPoints(nullptr, tree_, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(client.right - kSizeColumnWidth, r.left);
}

TEST_F(TreeTest, HoverOverALabelUnderTheSizeColumnShowsItInFull)
{
    HWND tip = fonts().labelTip();
    ASSERT_TRUE(tip);
    RECT column, label = labelRect(find({"Mincho", kLongLabel}));
    GetWindowRect(fonts().sizeColumn(), &column);
    ASSERT_LT(label.left + 10, column.left);
    ASSERT_GT(label.right, column.left + 4);
    POINT cut = {(label.left + column.left) / 2, (label.top + label.bottom) / 2};

    uitest::moveTo(cut);
    ASSERT_TRUE(tipShown(true));
    char text[260] = "";
    GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(kLongLabel, text);
    // In place over the label, and over the column where the label is hidden.
    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_LE(r.left, label.left);
    EXPECT_GE(r.right, label.right);
    EXPECT_LE(r.top, label.top);

    // A label that the column does not reach shows none.
    HTREEITEM a = find({"Gothic", "Gothic-A"});
    ASSERT_LT(labelRect(a).right, column.left);
    uitest::moveTo(labelPoint(a));
    EXPECT_TRUE(tipShown(false));

    // Over the size column the tip stays while the mouse is on the label's
    // hidden part, and goes when the mouse leaves it.
    uitest::moveTo(cut);
    ASSERT_TRUE(tipShown(true));
    POINT hidden = {column.left + 4, cut.y};
    uitest::moveTo(hidden);
    Sleep(300);
    EXPECT_TRUE(tipShown(true));
    POINT below = {column.left + 4, labelPoint(a).y};
    uitest::moveTo(below);
    EXPECT_TRUE(tipShown(false));
    EXPECT_EQ(0, changes());
}

TEST_F(TreeTest, PathInsertsReuseLevelsOfThePlainTree)
{
    HWND plain = dialog_->plain.handle();
    EXPECT_FALSE(dialog_->plain.sizeColumn());
    SendMessageA(plain, TM_INSERTPATH, 0, reinterpret_cast<LPARAM>("Serif\\Bold"));
    SendMessageA(plain, TM_INSERTPATH, 0, reinterpret_cast<LPARAM>("Serif\\Light"));
    SendMessageA(plain, TM_INSERTPATH, 0, reinterpret_cast<LPARAM>("\\Sans\\"));
    EXPECT_TRUE(dialog_->plain.sizeColumn());

    HTREEITEM serif = find({"Serif"}, plain);
    ASSERT_TRUE(serif);
    EXPECT_TRUE(find({"Serif", "Bold"}, plain));
    EXPECT_TRUE(find({"Serif", "Light"}, plain));
    EXPECT_TRUE(find({"Sans"}, plain));
    int roots = 0;
    for (HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(plain, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
         item = reinterpret_cast<HTREEITEM>(SendMessageA(plain, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
        ++roots;
    EXPECT_EQ(2, roots);
    int isEnabled = 0;
    EXPECT_EQ(CHECK_NONE, dialog_->plain.getItemCheck(serif, &isEnabled));
    EXPECT_EQ(1, isEnabled);

    // Toggling the parent sets both children; an invalid item reads -1.
    dialog_->plain.toggleItem(serif);
    EXPECT_EQ(CHECK_ALL, dialog_->plain.getCheckState(find({"Serif", "Light"}, plain)));
    EXPECT_EQ(-1, dialog_->plain.getCheckState(nullptr));
    EXPECT_EQ(0, dialog_->plain.isItemEnabled(nullptr));
}

TEST(FormatMegabytesTest, AddsASinglePrecisionTenthToPositiveSizes)
{
    char text[32];
    EXPECT_STREQ("0.0M", FormatMegabytes(0, text));
    EXPECT_STREQ("-1.0M", FormatMegabytes(-1, text));
    EXPECT_STREQ("1.1M", FormatMegabytes(1048576, text));
    EXPECT_STREQ("4.9M", FormatMegabytes(5000000, text));
    EXPECT_STREQ("1.6M", FormatMegabytes(1048576 + 524288, text));
}

TEST_F(TreeTest, SummaryRendersItsRowsAndRedrawsOnlyWhenGivenAWindow)
{
    HWND summary = dialog_->item(1015);
    char text[512];
    SelectionSummary rows;
    ui_->call([summary, &rows] {
        rows.init();
        rows.render(summary);
    });
    GetWindowTextA(summary, text, sizeof text);
    EXPECT_STREQ("Selected count : 0\nRequired disk space : 0.0M\nFree disk space : ---\nFontEmbed : Restrict\n", text);

    rows.setValue(IDS_SUMMARY_REQUIRED, "3.0M", nullptr);
    GetWindowTextA(summary, text, sizeof text);
    EXPECT_STREQ("Selected count : 0\nRequired disk space : 0.0M\nFree disk space : ---\nFontEmbed : Restrict\n", text);
    rows.setValue(IDS_SUMMARY_EMBED, "Free", summary);
    rows.setValue(IDS_SUMMARY_COUNT, "2", summary);
    rows.setValue(IDS_SUMMARY_FREE, "1234.0M", summary);
    GetWindowTextA(summary, text, sizeof text);
    EXPECT_STREQ("Selected count : 2\nRequired disk space : 3.0M\nFree disk space : 1234.0M\nFontEmbed : Restrict\n", text);
}

}  // namespace
