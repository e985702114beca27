// controls/checkboxtree.h - a tree view whose items carry tri-state check
// boxes, with a right-hand column of short texts.
//
// An item's state lives in its image index, 2 x CheckState + enabled; the
// normal and the selected image always hold the same index.
#ifndef CONTROLS_CHECKBOXTREE_H
#define CONTROLS_CHECKBOXTREE_H

#include "base/handles.h"
#include "base/window.h"

#include <map>
#include <memory>

// CheckState: 0 none, 1 all, 2 mixed.
enum CheckState { CHECK_NONE = 0, CHECK_ALL = 1, CHECK_MIXED = 2 };

// Images of the "CheckBox" bitmap, in image-list order.
enum CheckBoxImage {
    SELECTED_NONE_GRAY = 0,
    SELECTED_NONE = 1,
    SELECTED_ALL_GRAY = 2,
    SELECTED_ALL = 3,
    SELECTED_MIX_GRAY = 4,
    SELECTED_MIX = 5,
};

// Control id and width of the size column.
const int kSizeColumnId = 88;
const int kSizeColumnWidth = 100;
// Inserts the "\"-separated path in lParam (see OnInsertPath).
const UINT TM_INSERTPATH = WM_USER;

class CheckBoxTreeCtrl : public ui::SubclassedWindow {
public:
    CheckBoxTreeCtrl();

    // Image list from "CheckBox" and the size column; once, before items show.
    void init();
    HWND sizeColumn() const { return sizeColumn_; }
    // The tool tip that shows a label hidden under the size column in full
    // while the mouse is over it; nullptr before init.
    HWND labelTip() const { return labelTip_; }

    // State and enabled flag together: the state, -1 (and not enabled) when
    // the item's image cannot be read.
    int getItemCheck(HTREEITEM item, int *enabled) const;
    int getCheckState(HTREEITEM item) const;
    int isItemEnabled(HTREEITEM item) const;
    // Setters keep the other half; they do nothing on an unreadable item.
    void setCheckState(HTREEITEM item, int state);
    void setItemEnabled(HTREEITEM item, bool enabled);
    // Sets both halves at once.
    void setItemCheck(HTREEITEM item, int state, bool enabled);

    void toggleItem(HTREEITEM item);
    int applyToChildren(HTREEITEM parent, int state, bool includeGrayed);
    int aggregateChildren(HTREEITEM parent, bool includeGrayed) const;
    void updateAncestors(HTREEITEM item);

    // The first child of parent (a root when parent is nullptr) whose text is
    // exactly text, or nullptr.
    HTREEITEM findChild(HTREEITEM parent, const char *text) const;
    // The first visible item whose box contains pt (client coordinates).
    HTREEITEM hitTestBox(POINT pt) const;
    // The box of item in client coordinates; false when it is not shown.
    bool boxRect(HTREEITEM item, RECT *box) const;

    // Draws the size text of one item, and of every visible item, into the
    // size column.
    void paintSizeText(HTREEITEM item, HDC dc);
    void paintSizeColumn(HDC dc);

    // Keeps the tree from drawing while many of its items change: the tree
    // view then neither works out nor invalidates each item's place, and the
    // tree is drawn once when the last hold ends. Holds nest.
    class RedrawHold {
    public:
        explicit RedrawHold(CheckBoxTreeCtrl &tree) : tree_(tree) { tree_.holdRedraw(); }
        ~RedrawHold() { tree_.releaseRedraw(); }
        RedrawHold(const RedrawHold &) = delete;
        RedrawHold &operator=(const RedrawHold &) = delete;

    private:
        CheckBoxTreeCtrl &tree_;
    };
    void holdRedraw();
    void releaseRedraw();

protected:
    virtual void OnCheckChanged();
    virtual void GetItemLabel(HTREEITEM item, char *buffer);
    virtual void GetItemSizeText(HTREEITEM item, char *buffer);

    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnInsertPath(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDispInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDispInfoW(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItem(WPARAM wParam, LPARAM lParam);

    LPARAM itemData(HTREEITEM item) const;
    HTREEITEM child(HTREEITEM item) const;
    HTREEITEM next(HTREEITEM item) const;
    HTREEITEM parentOf(HTREEITEM item) const;
    HTREEITEM insertItem(HTREEITEM parent, const char *text, int image, LPARAM data);

private:
    void placeSizeColumn();
    void createLabelTip();
    // Shows the label tip for the label under pt (client coordinates) when
    // the size column hides part of it, and hides it otherwise.
    void updateLabelTip(POINT pt);
    void hideLabelTip();
    HFONT makeRowFont(int rowHeight) const;
    // Fills buffer_ with the label (after drawing the size text) for item.
    const char *displayText(HTREEITEM item);
    // The row of item when any of it lies in the client area.
    bool rowOnScreen(HTREEITEM item, RECT *row) const;

    HWND sizeColumn_;
    HWND labelTip_;
    // The item whose label the tip shows, or nullptr while it is hidden.
    HTREEITEM tipItem_;
    // Nested redraw holds, and whether the first one stopped the drawing.
    int redrawHolds_;
    bool redrawStopped_;
    OwnedImageList images_;
    char buffer_[260];
    // Heap copies made for items of OnInsertPath, freed with their items.
    std::map<const char *, std::unique_ptr<char[]>> pathTexts_;
};

#endif
