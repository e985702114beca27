// controls/fonttree.h - the font list of the main dialog: fonts grouped by
// category with check boxes and sizes, grayed by mode.
#ifndef CONTROLS_FONTTREE_H
#define CONTROLS_FONTTREE_H

#include "catalogue/fontentry.h"
#include "controls/checkboxtree.h"

// Messages the main dialog sends to the font tree.
const UINT TM_ADDENTRY = WM_USER + 3;         // lParam: FontEntry *
const UINT TM_SETMODE = WM_USER + 4;          // wParam: 0 Install, 1 Uninstall
const UINT TM_GETCHECKEDPARAMS = WM_USER + 7; // lParam: CheckedParams * (appended to)
const UINT TM_DELETEALL = WM_USER + 8;
// wParam: count, lParam: FontEntry *const * (count entries, in catalogue order)
const UINT TM_ADDENTRIES = WM_USER + 9;
// WM_NOTIFY code sent to the parent after each user toggle.
const UINT TN_CHECKCHANGED = WM_USER + 6;

// 0 Install, 1 Uninstall: the mode combo box's selection index.
enum InstallMode { MODE_INSTALL = 0, MODE_UNINSTALL = 1 };

// Size text "%.1fM" of n bytes into buffer (at least 32 chars); see the
// definition for the rounding.
char *FormatMegabytes(long n, char *buffer);

class FontTreeCtrl : public CheckBoxTreeCtrl {
public:
    // Sets the state, then the enabled flag, of a leaf for mode.
    void applyMode(HTREEITEM item, const FontEntry *entry, int mode);
    // Appends the enabled, ticked leaves of the sibling chain from item on.
    void collectCheckedParams(HTREEITEM item, CheckedParams *list) const;
    // Adds the entries as one TM_ADDENTRY each, in this order, would (see
    // OnAddEntries).
    void addEntries(FontEntry *const *entries, size_t count);

protected:
    void OnCheckChanged() override;
    void GetItemLabel(HTREEITEM item, char *buffer) override;
    void GetItemSizeText(HTREEITEM item, char *buffer) override;

    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

    LRESULT OnAddEntry(WPARAM wParam, LPARAM lParam);
    LRESULT OnModeChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnReqCheckedParams(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteAll(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddEntries(WPARAM wParam, LPARAM lParam);

private:
    struct PlannedItem;
    void applyModeToChain(HTREEITEM item, int mode);
    // The tree that adding the entries one by one would make, in memory;
    // false when a category level would meet a font of the same label.
    bool planEntries(FontEntry *const *entries, size_t count, PlannedItem *root) const;
    void insertPlanned(HTREEITEM parent, const PlannedItem &planned);
};

#endif
