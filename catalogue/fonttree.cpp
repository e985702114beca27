// catalogue/fonttree.cpp - the font tree of the main dialog.
#include "catalogue/fonttree.h"

#include "base/path.h"

#include <cstdio>
#include <cstring>

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
    setCheckState(item, state);
    setItemEnabled(item, enabled);
}

void FontTreeCtrl::applyModeToChain(HTREEITEM item, int mode)
{
    for (; item; item = next(item)) {
        if (HTREEITEM first = child(item))
            applyModeToChain(first, mode);
        else
            applyMode(item, reinterpret_cast<const FontEntry *>(itemData(item)), mode);
        updateAncestors(item);
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
    buffer[0] = '\0';
    const FontEntry *entry = reinterpret_cast<const FontEntry *>(itemData(item));
    if (entry)
        entry->getProperty(NAME_LOCAL_SHORT, buffer, kPropertySize);
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
    };
    return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result) ||
           CheckBoxTreeCtrl::dispatch(msg, wParam, lParam, result);
}

LRESULT FontTreeCtrl::OnAddEntry(WPARAM, LPARAM lParam)
{
    FontEntry *entry = reinterpret_cast<FontEntry *>(lParam);
    char path[kPropertySize] = "";
    if (entry)
        entry->getProperty(NAME_CATEGORY, path, sizeof path);

    HTREEITEM parent = nullptr;
    const char *p = path;
    while (*p) {
        const char *end = findSeparator(p);
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length > 0) {
            char level[kPropertySize];
            std::memcpy(level, p, length);
            level[length] = '\0';
            HTREEITEM found = findChild(parent, level);
            parent = found ? found : insertItem(parent, level, SELECTED_NONE, 0);
        }
        p += length + (end ? 1 : 0);
    }
    insertItem(parent, nullptr, SELECTED_NONE_GRAY, reinterpret_cast<LPARAM>(entry));
    return 0;
}

LRESULT FontTreeCtrl::OnModeChanged(WPARAM wParam, LPARAM)
{
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
    send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    return 0;
}
