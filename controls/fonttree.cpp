// controls/fonttree.cpp - the font tree of the main dialog.
#include "controls/fonttree.h"

#include "base/path.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// The levels of the entry's category path, read as a property of at most
// kPropertySize - 1 bytes and split at "\"; empty levels vanish.
std::vector<std::string> categoryLevels(const FontEntry *entry)
{
    std::vector<std::string> levels;
    char path[kPropertySize] = "";
    if (entry)
        entry->getProperty(NAME_CATEGORY, path, sizeof path);
    const char *p = path;
    while (*p) {
        const char *end = findSeparator(p);
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length > 0)
            levels.emplace_back(p, length);
        p += length + (end ? 1 : 0);
    }
    return levels;
}

// The label that the tree shows for the entry.
void entryLabel(const FontEntry *entry, char *buffer)
{
    buffer[0] = '\0';
    if (entry)
        entry->getProperty(NAME_LOCAL_SHORT, buffer, kPropertySize);
}

}  // namespace

// An item that adding entries one by one would make: a category, with the
// items below it in the order they were first needed, or a font.
struct FontTreeCtrl::PlannedItem {
    std::string text;  // a category's level, or a font's label
    bool font = false;
    FontEntry *entry = nullptr;
    std::vector<std::unique_ptr<PlannedItem>> children;
    std::map<std::string, PlannedItem *> categories;  // the children that are categories
    std::set<std::string> labels;                     // the labels of the children that are fonts
};

char *FormatMegabytes(long n, char *buffer)
{
    if (n <= 0) {
        std::sprintf(buffer, "%.1fM", static_cast<double>(n));
    } else {
        // The added tenth is a single-precision constant, so that a whole
        // mebibyte reads "1.1M" and 5,000,000 bytes "4.9M".
        std::sprintf(buffer, "%.1fM", static_cast<double>(n) / 1048576.0 + 0.1f);
    }
    return buffer;
}

void FontTreeCtrl::applyMode(HTREEITEM item, const FontEntry *entry, int mode)
{
    long installed = entry ? entry->getPropertyNumber(F_INSTALLED) : 0;
    long available = entry ? entry->getPropertyNumber(F_AVAILABLE) : 0;
    int state = CHECK_NONE;
    bool enabled = false;
    if (mode == MODE_INSTALL) {
        if (installed) {
            state = CHECK_ALL;
        } else {
            enabled = available != 0;
        }
    } else if (mode == MODE_UNINSTALL) {
        // A font of all users is not offered to a run for one user.
        enabled = installed != 0 && !entry->findProperty(F_ALL_USERS_KEPT);
    }
    setItemCheck(item, state, enabled);
}

// Every leaf gets the mode, and every category, once all items below it have
// theirs, the state and enabled flag of its children taken together: what
// walking up from each item after it changed ends with, without going over
// a category's children again for each one of them.
void FontTreeCtrl::applyModeToChain(HTREEITEM item, int mode)
{
    for (; item; item = next(item)) {
        if (HTREEITEM first = child(item)) {
            applyModeToChain(first, mode);
            int aggregate = aggregateChildren(item, false);
            setItemCheck(item, aggregate < 0 ? CHECK_NONE : aggregate, aggregate >= 0);
        } else {
            applyMode(item, reinterpret_cast<const FontEntry *>(itemData(item)), mode);
        }
    }
}

void FontTreeCtrl::collectCheckedParams(HTREEITEM item, CheckedParams *list) const
{
    for (; item; item = next(item)) {
        if (HTREEITEM first = child(item)) {
            collectCheckedParams(first, list);
            continue;
        }
        int enabled = 0;
        int state = getItemCheck(item, &enabled);
        FontEntry *entry = reinterpret_cast<FontEntry *>(itemData(item));
        if (enabled && state != CHECK_NONE && entry)
            list->push_back(entry);
    }
}

void FontTreeCtrl::OnCheckChanged()
{
    NMHDR header;
    header.hwndFrom = hwnd_;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    header.code = TN_CHECKCHANGED;
    SendMessageA(GetParent(hwnd_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void FontTreeCtrl::GetItemLabel(HTREEITEM item, char *buffer)
{
    entryLabel(reinterpret_cast<const FontEntry *>(itemData(item)), buffer);
}

void FontTreeCtrl::GetItemSizeText(HTREEITEM item, char *buffer)
{
    const FontEntry *entry = reinterpret_cast<const FontEntry *>(itemData(item));
    long n = entry ? entry->getPropertyNumber(SIZE_ALL) : 0;
    if (n == 0)
        std::strcpy(buffer, "---");
    else
        FormatMegabytes(n, buffer);
}

bool FontTreeCtrl::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    typedef FontTreeCtrl C;
    static const ui::MessageMapEntry<C> kMap[] = {
        {TM_ADDENTRY, 0, 0, &C::OnAddEntry},
        {TM_SETMODE, 0, 0, &C::OnModeChanged},
        {TM_GETCHECKEDPARAMS, 0, 0, &C::OnReqCheckedParams},
        {TM_DELETEALL, 0, 0, &C::OnDeleteAll},
        {TM_ADDENTRIES, 0, 0, &C::OnAddEntries},
    };
    return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result) ||
           CheckBoxTreeCtrl::dispatch(msg, wParam, lParam, result);
}

LRESULT FontTreeCtrl::OnAddEntry(WPARAM, LPARAM lParam)
{
    FontEntry *entry = reinterpret_cast<FontEntry *>(lParam);
    HTREEITEM parent = nullptr;
    for (const std::string &level : categoryLevels(entry)) {
        HTREEITEM found = findChild(parent, level.c_str());
        parent = found ? found : insertItem(parent, level.c_str(), SELECTED_NONE, 0);
    }
    insertItem(parent, nullptr, SELECTED_NONE_GRAY, reinterpret_cast<LPARAM>(entry));
    return 0;
}

bool FontTreeCtrl::planEntries(FontEntry *const *entries, size_t count, PlannedItem *root) const
{
    for (size_t i = 0; i < count; ++i) {
        PlannedItem *parent = root;
        for (const std::string &level : categoryLevels(entries[i])) {
            auto found = parent->categories.find(level);
            if (found != parent->categories.end()) {
                parent = found->second;
                continue;
            }
            // One by one, the search for the level would find the font.
            if (parent->labels.count(level))
                return false;
            parent->children.emplace_back(new PlannedItem);
            PlannedItem *category = parent->children.back().get();
            category->text = level;
            parent->categories[level] = category;
            parent = category;
        }
        char label[kPropertySize];
        entryLabel(entries[i], label);
        // A later search for a level of this text might find the font,
        // depending on where the tree sorts the two.
        if (parent->categories.count(label))
            return false;
        parent->children.emplace_back(new PlannedItem);
        PlannedItem *font = parent->children.back().get();
        font->text = label;
        font->font = true;
        font->entry = entries[i];
        parent->labels.insert(label);
    }
    return true;
}

// The siblings go into the tree's own sorted places (TVI_SORT), the last in
// order first: each then sorts before every sibling already there, and the
// tree compares it with the first of them only instead of walking along all
// of them. Siblings that compare equal go in the order they were first
// needed, which leaves them where adding the entries one by one leaves them.
// The order is taken without regard to case: where the tree compares with
// regard to case, siblings that differ only in case are merely compared
// further along.
void FontTreeCtrl::insertPlanned(HTREEITEM parent, const PlannedItem &planned)
{
    std::vector<const PlannedItem *> order;
    for (const auto &item : planned.children)
        order.push_back(item.get());
    std::stable_sort(order.begin(), order.end(), [](const PlannedItem *a, const PlannedItem *b) {
        return lstrcmpiA(a->text.c_str(), b->text.c_str()) > 0;
    });
    for (const PlannedItem *item : order) {
        if (item->font) {
            insertItem(parent, nullptr, SELECTED_NONE_GRAY, reinterpret_cast<LPARAM>(item->entry));
        } else {
            HTREEITEM category = insertItem(parent, item->text.c_str(), SELECTED_NONE, 0);
            insertPlanned(category, *item);
        }
    }
}

void FontTreeCtrl::addEntries(FontEntry *const *entries, size_t count)
{
    RedrawHold hold(*this);
    PlannedItem root;
    // Into a tree that has items, or when a level meets a font's label, the
    // entries go in one by one.
    if (child(nullptr) || !planEntries(entries, count, &root)) {
        for (size_t i = 0; i < count; ++i)
            OnAddEntry(0, reinterpret_cast<LPARAM>(entries[i]));
        return;
    }
    insertPlanned(nullptr, root);
}

LRESULT FontTreeCtrl::OnAddEntries(WPARAM wParam, LPARAM lParam)
{
    FontEntry *const *entries = reinterpret_cast<FontEntry *const *>(lParam);
    if (entries)
        addEntries(entries, static_cast<size_t>(wParam));
    return 0;
}

LRESULT FontTreeCtrl::OnModeChanged(WPARAM wParam, LPARAM)
{
    RedrawHold hold(*this);
    applyModeToChain(child(nullptr), static_cast<int>(wParam));
    return 0;
}

LRESULT FontTreeCtrl::OnReqCheckedParams(WPARAM, LPARAM lParam)
{
    HTREEITEM first = child(nullptr);
    CheckedParams *list = reinterpret_cast<CheckedParams *>(lParam);
    if (!first || !list)
        return -1;
    collectCheckedParams(first, list);
    return 0;
}

LRESULT FontTreeCtrl::OnDeleteAll(WPARAM, LPARAM)
{
    RedrawHold hold(*this);
    send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    return 0;
}
