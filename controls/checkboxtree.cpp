// controls/checkboxtree.cpp - tri-state check boxes in a tree view.
#include "controls/checkboxtree.h"

#include "base/handles.h"
#include "base/path.h"
#include "base/system.h"

#include <cstdio>
#include <cstring>

namespace {

const char kSizeColumnClass[] = "CheckBoxTreeSizeColumn";
const int kBoxSize = 16;
// The box is the strip from 18 to 2 pixels left of the item's text.
const int kBoxLeftOfText = 18;
const int kBoxGap = 2;
const int kSizeTextRightMargin = 8;
// The label tip's one tool, and the timer that takes the tip away once the
// mouse has left the label (the tree gets no mouse message then).
const UINT_PTR kLabelTipTool = 1;
const UINT_PTR kLabelTipTimer = 0x4C54;
const UINT kLabelTipPollMs = 100;

// TVM_GETITEMRECT takes the item in the rectangle it fills.
bool getItemRect(HWND tree, HTREEITEM item, bool textOnly, RECT *rect)
{
    std::memcpy(rect, &item, sizeof item);
    return SendMessageA(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)) != 0;
}

// The state a user toggle moves to; -1 for a state that is none of the three.
int toggledState(int state)
{
    switch (state) {
    case CHECK_NONE: return CHECK_ALL;
    case CHECK_ALL: return CHECK_NONE;
    case CHECK_MIXED: return CHECK_ALL;
    }
    return -1;
}

// 2 both, 1 only checked, 0 only unchecked, -1 neither.
int aggregateOf(int checkedCount, int uncheckedCount)
{
    if (checkedCount && uncheckedCount)
        return CHECK_MIXED;
    if (checkedCount)
        return CHECK_ALL;
    if (uncheckedCount)
        return CHECK_NONE;
    return -1;
}

void countState(int state, int &checkedCount, int &uncheckedCount)
{
    if (state == CHECK_ALL) {
        ++checkedCount;
    } else if (state == CHECK_NONE) {
        ++uncheckedCount;
    } else if (state == CHECK_MIXED) {
        ++checkedCount;
        ++uncheckedCount;
    }
}

// The size column asks its tree to paint the texts of the visible rows.
LRESULT CALLBACK sizeColumnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        CheckBoxTreeCtrl *tree =
            dynamic_cast<CheckBoxTreeCtrl *>(ui::SubclassedWindow::fromHandle(GetParent(hwnd)));
        if (tree)
            tree->paintSizeColumn(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void registerSizeColumnClass()
{
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, kSizeColumnClass, &wc))
        return;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = sizeColumnProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kSizeColumnClass;
    RegisterClassA(&wc);
}

// The label tip's tool: tracked and placed by the tree, and transparent to
// the mouse, so that the label under it keeps getting the mouse messages.
TOOLINFOA labelTipTool(HWND tree, char *text)
{
    TOOLINFOA ti;
    std::memset(&ti, 0, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    ti.hwnd = tree;
    ti.uId = kLabelTipTool;
    ti.lpszText = text;
    return ti;
}

}  // namespace

CheckBoxTreeCtrl::CheckBoxTreeCtrl()
    : sizeColumn_(nullptr), labelTip_(nullptr), tipItem_(nullptr), redrawHolds_(0), redrawStopped_(false)
{
    buffer_[0] = '\0';
}

void CheckBoxTreeCtrl::init()
{
    images_.reset(ImageList_Create(kBoxSize, kBoxSize, ILC_COLOR4 | ILC_MASK, 0, 6));
    OwnedBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(installerModule(), "CheckBox", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (images_ && bitmap)
        ImageList_AddMasked(images_.get(), bitmap.get(), RGB(255, 255, 255));
    send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));

    // The column is a child of the tree: keep the tree from painting over it.
    SetWindowLongPtrA(hwnd_, GWL_STYLE, GetWindowLongPtrA(hwnd_, GWL_STYLE) | WS_CLIPCHILDREN);
    registerSizeColumnClass();
    RECT client;
    GetClientRect(hwnd_, &client);
    sizeColumn_ = CreateWindowExA(0, kSizeColumnClass, "Dummy", WS_CHILD | WS_VISIBLE,
                                  client.right - kSizeColumnWidth, client.top, kSizeColumnWidth,
                                  client.bottom - client.top, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSizeColumnId)),
                                  GetModuleHandleA(nullptr), nullptr);
    createLabelTip();
}

// The tree view's own tool tip shows labels cut by the tree's edge; every
// such label is hidden under the size column as well, so the label tip
// takes its place and shows all of them.
void CheckBoxTreeCtrl::createLabelTip()
{
    labelTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!labelTip_)
        return;
    char empty[1] = "";
    TOOLINFOA ti = labelTipTool(hwnd_, empty);
    if (!SendMessageA(labelTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) {
        DestroyWindow(labelTip_);
        labelTip_ = nullptr;
        return;
    }
    if (HWND own = reinterpret_cast<HWND>(send(TVM_SETTOOLTIPS, 0, 0)))
        DestroyWindow(own);
}

void CheckBoxTreeCtrl::updateLabelTip(POINT pt)
{
    if (!labelTip_)
        return;
    TVHITTESTINFO hit;
    std::memset(&hit, 0, sizeof hit);
    hit.pt = pt;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    RECT text, column;
    bool cut = item && (hit.flags & TVHT_ONITEMLABEL) && sizeColumn_ && IsWindowVisible(sizeColumn_) &&
               getItemRect(hwnd_, item, true, &text) && GetWindowRect(sizeColumn_, &column);
    if (cut) {
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT *>(&column), 2);
        cut = text.right > column.left;
    }
    if (!cut) {
        hideLabelTip();
        return;
    }
    if (item == tipItem_)
        return;
    hideLabelTip();

    // The label as the tree shows it (a callback label comes from
    // GetItemLabel), cut at the buffer's end.
    char label[sizeof buffer_];
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = label;
    tv.cchTextMax = sizeof label;
    label[0] = '\0';
    if (!send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) || !tv.pszText)
        return;
    if (tv.pszText != label)
        lstrcpynA(label, tv.pszText, sizeof label);
    if (!label[0])
        return;

    TOOLINFOA ti = labelTipTool(hwnd_, label);
    SendMessageA(labelTip_, WM_SETFONT, static_cast<WPARAM>(send(WM_GETFONT)), FALSE);
    SendMessageA(labelTip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    // In place: the tip's text over the label's text.
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT *>(&text), 2);
    RECT place = text;
    if (!SendMessageA(labelTip_, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&place)))
        place = text;
    SendMessageA(labelTip_, TTM_TRACKPOSITION, 0, MAKELPARAM(place.left, place.top));
    SendMessageA(labelTip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    tipItem_ = item;
    SetTimer(hwnd_, kLabelTipTimer, kLabelTipPollMs, nullptr);
}

void CheckBoxTreeCtrl::hideLabelTip()
{
    if (!tipItem_)
        return;
    tipItem_ = nullptr;
    KillTimer(hwnd_, kLabelTipTimer);
    char empty[1] = "";
    TOOLINFOA ti = labelTipTool(hwnd_, empty);
    SendMessageA(labelTip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

void CheckBoxTreeCtrl::placeSizeColumn()
{
    if (!sizeColumn_)
        return;
    RECT client;
    GetClientRect(hwnd_, &client);
    MoveWindow(sizeColumn_, client.right - kSizeColumnWidth, client.top, kSizeColumnWidth,
               client.bottom - client.top, TRUE);
}

int CheckBoxTreeCtrl::getItemCheck(HTREEITEM item, int *enabled) const
{
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_IMAGE;
    tv.hItem = item;
    if (!item || !send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) {
        if (enabled)
            *enabled = 0;
        return -1;
    }
    if (enabled)
        *enabled = tv.iImage & 1;
    return tv.iImage / 2;
}

int CheckBoxTreeCtrl::getCheckState(HTREEITEM item) const
{
    return getItemCheck(item, nullptr);
}

int CheckBoxTreeCtrl::isItemEnabled(HTREEITEM item) const
{
    int enabled = 0;
    getItemCheck(item, &enabled);
    return enabled;
}

void CheckBoxTreeCtrl::setCheckState(HTREEITEM item, int state)
{
    int enabled = 0;
    if (getItemCheck(item, &enabled) < 0)
        return;
    if (state < CHECK_NONE || state > CHECK_MIXED)
        state = CHECK_NONE;
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = tv.iSelectedImage = 2 * state + enabled;
    send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void CheckBoxTreeCtrl::setItemCheck(HTREEITEM item, int state, bool enabled)
{
    if (state < CHECK_NONE || state > CHECK_MIXED)
        state = CHECK_NONE;
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = tv.iSelectedImage = 2 * state + (enabled ? 1 : 0);
    send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void CheckBoxTreeCtrl::holdRedraw()
{
    // A tree that is hidden on purpose stays so: WM_SETREDRAW TRUE would
    // make it visible.
    if (redrawHolds_++ == 0 && hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE)) {
        send(WM_SETREDRAW, FALSE);
        redrawStopped_ = true;
    }
}

void CheckBoxTreeCtrl::releaseRedraw()
{
    if (redrawHolds_ == 0 || --redrawHolds_ > 0 || !redrawStopped_)
        return;
    redrawStopped_ = false;
    send(WM_SETREDRAW, TRUE);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CheckBoxTreeCtrl::setItemEnabled(HTREEITEM item, bool enabled)
{
    int state = getItemCheck(item, nullptr);
    if (state < 0)
        return;
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = tv.iSelectedImage = 2 * state + (enabled ? 1 : 0);
    send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

HTREEITEM CheckBoxTreeCtrl::child(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(
        send(TVM_GETNEXTITEM, item ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CheckBoxTreeCtrl::next(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CheckBoxTreeCtrl::parentOf(HTREEITEM item) const
{
    return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

LPARAM CheckBoxTreeCtrl::itemData(HTREEITEM item) const
{
    TVITEMA tv;
    std::memset(&tv, 0, sizeof tv);
    tv.mask = TVIF_HANDLE | TVIF_PARAM;
    tv.hItem = item;
    if (!send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return 0;
    return tv.lParam;
}

HTREEITEM CheckBoxTreeCtrl::insertItem(HTREEITEM parent, const char *text, int image, LPARAM data)
{
    TVINSERTSTRUCTA ins;
    std::memset(&ins, 0, sizeof ins);
    ins.hParent = parent ? parent : TVI_ROOT;
    ins.hInsertAfter = TVI_SORT;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    ins.item.pszText = text ? const_cast<char *>(text) : LPSTR_TEXTCALLBACKA;
    ins.item.iImage = ins.item.iSelectedImage = image;
    ins.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

void CheckBoxTreeCtrl::toggleItem(HTREEITEM item)
{
    int state = toggledState(getCheckState(item));
    if (child(item)) {
        state = applyToChildren(item, state, false);
        if (state < 0) {
            setItemEnabled(item, false);
            state = CHECK_NONE;
        }
    }
    setCheckState(item, state);
    updateAncestors(item);
    OnCheckChanged();
}

int CheckBoxTreeCtrl::applyToChildren(HTREEITEM parent, int state, bool includeGrayed)
{
    HTREEITEM item = child(parent);
    if (!item)
        return -1;
    int checkedCount = 0, uncheckedCount = 0;
    for (; item; item = next(item)) {
        int enabled = 0;
        int current = getItemCheck(item, &enabled);
        if (!enabled && !includeGrayed)
            continue;
        if (enabled) {
            int wanted = state;
            if (child(item)) {
                wanted = applyToChildren(item, state, false);
                if (wanted == -1)
                    wanted = state;
            }
            if (wanted != current)
                setCheckState(item, wanted);
            current = wanted;
        }
        countState(current, checkedCount, uncheckedCount);
    }
    return aggregateOf(checkedCount, uncheckedCount);
}

int CheckBoxTreeCtrl::aggregateChildren(HTREEITEM parent, bool includeGrayed) const
{
    HTREEITEM item = child(parent);
    if (!item)
        return -1;
    int checkedCount = 0, uncheckedCount = 0;
    for (; item; item = next(item)) {
        int enabled = 0;
        int current = getItemCheck(item, &enabled);
        if (!enabled && !includeGrayed)
            continue;
        countState(current, checkedCount, uncheckedCount);
    }
    return aggregateOf(checkedCount, uncheckedCount);
}

void CheckBoxTreeCtrl::updateAncestors(HTREEITEM item)
{
    for (HTREEITEM parent = parentOf(item); parent; parent = parentOf(parent)) {
        int old = getCheckState(parent);
        int aggregate = aggregateChildren(parent, false);
        setItemEnabled(parent, aggregate >= 0);
        if (aggregate == old)
            return;
        setCheckState(parent, aggregate < 0 ? CHECK_NONE : aggregate);
    }
}

HTREEITEM CheckBoxTreeCtrl::findChild(HTREEITEM parent, const char *text) const
{
    for (HTREEITEM item = child(parent); item; item = next(item)) {
        char itemText[260];
        TVITEMA tv;
        std::memset(&tv, 0, sizeof tv);
        tv.mask = TVIF_HANDLE | TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = itemText;
        tv.cchTextMax = sizeof itemText;
        itemText[0] = '\0';
        if (send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) && std::strcmp(tv.pszText, text) == 0)
            return item;
    }
    return nullptr;
}

bool CheckBoxTreeCtrl::boxRect(HTREEITEM item, RECT *box) const
{
    RECT text;
    if (!getItemRect(hwnd_, item, true, &text))
        return false;
    box->left = text.left - kBoxLeftOfText;
    box->right = text.left - kBoxGap;
    box->top = text.top;
    box->bottom = text.bottom;
    return true;
}

HTREEITEM CheckBoxTreeCtrl::hitTestBox(POINT pt) const
{
    RECT client;
    GetClientRect(hwnd_, &client);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     send(TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)))) {
        RECT box;
        if (!boxRect(item, &box))
            continue;
        if (box.top >= client.bottom)
            break;
        if (PtInRect(&box, pt))
            return item;
    }
    return nullptr;
}

void CheckBoxTreeCtrl::OnCheckChanged()
{
}

void CheckBoxTreeCtrl::GetItemLabel(HTREEITEM item, char *buffer)
{
    const char *text = reinterpret_cast<const char *>(itemData(item));
    lstrcpynA(buffer, text ? text : "", sizeof buffer_);
}

void CheckBoxTreeCtrl::GetItemSizeText(HTREEITEM item, char *buffer)
{
    std::snprintf(buffer, sizeof buffer_, "%lx",
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(item)));
}

bool CheckBoxTreeCtrl::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    // Clicks, keys and scrolling move or change the rows: the label tip goes,
    // and the next mouse move shows it again where it belongs.
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
        hideLabelTip();
        break;
    }
    typedef CheckBoxTreeCtrl C;
    static const ui::MessageMapEntry<C> kMap[] = {
        {WM_CREATE, 0, 0, &C::OnCreate},
        {WM_DESTROY, 0, 0, &C::OnDestroy},
        {TM_INSERTPATH, 0, 0, &C::OnInsertPath},
        {WM_LBUTTONDOWN, 0, 0, &C::OnLButtonDown},
        {WM_MOUSEMOVE, 0, 0, &C::OnMouseMove},
        {WM_TIMER, 0, 0, &C::OnTimer},
        {WM_LBUTTONUP, 0, 0, &C::OnLButtonUp},
        {WM_LBUTTONDBLCLK, 0, 0, &C::OnLButtonDblClk},
        {WM_RBUTTONUP, 0, 0, &C::OnRButtonUp},
        {WM_SIZE, 0, 0, &C::OnSize},
        {WM_PAINT, 0, 0, &C::OnPaint},
        {WM_KEYUP, 0, 0, &C::OnKeyUp},
        {ui::kReflectedNotify, TVN_GETDISPINFOA, ui::kAnyId, &C::OnGetDispInfo},
        {ui::kReflectedNotify, TVN_GETDISPINFOW, ui::kAnyId, &C::OnGetDispInfoW},
        {ui::kReflectedNotify, TVN_DELETEITEMA, ui::kAnyId, &C::OnDeleteItem},
        {ui::kReflectedNotify, TVN_DELETEITEMW, ui::kAnyId, &C::OnDeleteItem},
    };
    return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result);
}

LRESULT CheckBoxTreeCtrl::OnCreate(WPARAM wParam, LPARAM lParam)
{
    return callDefault(WM_CREATE, wParam, lParam);
}

LRESULT CheckBoxTreeCtrl::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    hideLabelTip();
    if (labelTip_)
        DestroyWindow(labelTip_);
    labelTip_ = nullptr;
    LRESULT result = callDefault(WM_DESTROY, wParam, lParam);
    images_.reset();
    return result;
}

LRESULT CheckBoxTreeCtrl::OnInsertPath(WPARAM, LPARAM lParam)
{
    if (!sizeColumn_)
        init();
    const char *path = reinterpret_cast<const char *>(lParam);
    HTREEITEM parent = nullptr;
    while (path && *path) {
        const char *end = findSeparator(path);
        size_t length = end ? static_cast<size_t>(end - path) : std::strlen(path);
        if (length > 0) {
            std::unique_ptr<char[]> level(new char[length + 1]);
            std::memcpy(level.get(), path, length);
            level[length] = '\0';
            HTREEITEM found = findChild(parent, level.get());
            if (found) {
                parent = found;
            } else {
                LPARAM data = reinterpret_cast<LPARAM>(level.get());
                pathTexts_[level.get()] = std::move(level);
                parent = insertItem(parent, nullptr, SELECTED_NONE, data);
            }
        }
        path += length + (end ? 1 : 0);
    }
    return 0;
}

LRESULT CheckBoxTreeCtrl::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    return callDefault(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CheckBoxTreeCtrl::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    updateLabelTip(pt);
    return callDefault(WM_MOUSEMOVE, wParam, lParam);
}

// While the label tip shows, the mouse may go where the tree gets no mouse
// message: over the size column (the tip stays while the mouse is on the
// label's hidden part), to another window or off the tree.
LRESULT CheckBoxTreeCtrl::OnTimer(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kLabelTipTimer)
        return callDefault(WM_TIMER, wParam, lParam);
    POINT pt;
    HWND under = GetCursorPos(&pt) ? WindowFromPoint(pt) : nullptr;
    if (under != hwnd_ && under != sizeColumn_ && under != labelTip_) {
        hideLabelTip();
        return 0;
    }
    ScreenToClient(hwnd_, &pt);
    updateLabelTip(pt);
    return 0;
}

LRESULT CheckBoxTreeCtrl::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    HTREEITEM item = hitTestBox(pt);
    if (!item)
        return callDefault(WM_LBUTTONUP, wParam, lParam);
    if (isItemEnabled(item))
        toggleItem(item);
    return 0;
}

LRESULT CheckBoxTreeCtrl::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (hitTestBox(pt))
        return 0;
    return callDefault(WM_LBUTTONDBLCLK, wParam, lParam);
}

LRESULT CheckBoxTreeCtrl::OnRButtonUp(WPARAM wParam, LPARAM lParam)
{
    return callDefault(WM_RBUTTONUP, wParam, lParam);
}

LRESULT CheckBoxTreeCtrl::OnSize(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = callDefault(WM_SIZE, wParam, lParam);
    placeSizeColumn();
    return result;
}

// The tree repaints after every scroll, expansion and change of an item, so
// the column is redrawn with it.
LRESULT CheckBoxTreeCtrl::OnPaint(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = callDefault(WM_PAINT, wParam, lParam);
    if (sizeColumn_)
        InvalidateRect(sizeColumn_, nullptr, TRUE);
    return result;
}

LRESULT CheckBoxTreeCtrl::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    if (wParam == VK_SPACE) {
        HTREEITEM item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (item && isItemEnabled(item)) {
            toggleItem(item);
            return 0;
        }
    }
    return callDefault(WM_KEYUP, wParam, lParam);
}

bool CheckBoxTreeCtrl::rowOnScreen(HTREEITEM item, RECT *row) const
{
    RECT client;
    return getItemRect(hwnd_, item, false, row) && GetClientRect(hwnd_, &client) && row->bottom > client.top &&
           row->top < client.bottom;
}

// The tree asks for the texts of rows that it does not show as well (to
// sort siblings, for instance): only a row on screen has a size to draw.
const char *CheckBoxTreeCtrl::displayText(HTREEITEM item)
{
    RECT row;
    if (sizeColumn_ && rowOnScreen(item, &row)) {
        WindowDC dc(sizeColumn_);
        paintSizeText(item, dc.get());
    }
    GetItemLabel(item, buffer_);
    return buffer_;
}

LRESULT CheckBoxTreeCtrl::OnGetDispInfo(WPARAM, LPARAM lParam)
{
    NMTVDISPINFOA *info = reinterpret_cast<NMTVDISPINFOA *>(lParam);
    if (info->item.mask & TVIF_TEXT)
        info->item.pszText = const_cast<char *>(displayText(info->item.hItem));
    return 0;
}

LRESULT CheckBoxTreeCtrl::OnGetDispInfoW(WPARAM, LPARAM lParam)
{
    NMTVDISPINFOW *info = reinterpret_cast<NMTVDISPINFOW *>(lParam);
    if ((info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const char *text = displayText(info->item.hItem);
        if (!MultiByteToWideChar(CP_ACP, 0, text, -1, info->item.pszText, info->item.cchTextMax))
            info->item.pszText[0] = L'\0';
        info->item.pszText[info->item.cchTextMax - 1] = L'\0';
    }
    return 0;
}

LRESULT CheckBoxTreeCtrl::OnDeleteItem(WPARAM, LPARAM lParam)
{
    const NMTREEVIEWA *info = reinterpret_cast<const NMTREEVIEWA *>(lParam);
    if (info->itemOld.hItem == tipItem_)
        hideLabelTip();
    const char *text = reinterpret_cast<const char *>(info->itemOld.lParam);
    if (text)
        pathTexts_.erase(text);
    return 0;
}

HFONT CheckBoxTreeCtrl::makeRowFont(int rowHeight) const
{
    LOGFONTA font;
    HFONT current = reinterpret_cast<HFONT>(send(WM_GETFONT));
    if (!current)
        current = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!GetObjectA(current, sizeof font, &font))
        return nullptr;
    font.lfHeight = rowHeight - 2;
    return CreateFontIndirectA(&font);
}

void CheckBoxTreeCtrl::paintSizeText(HTREEITEM item, HDC dc)
{
    RECT row;
    if (!getItemRect(hwnd_, item, false, &row))
        return;
    char text[sizeof buffer_];
    GetItemSizeText(item, text);

    RECT column;
    GetClientRect(sizeColumn_, &column);
    RECT area = {column.left, row.top, column.right, row.bottom};
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));

    OwnedFont font(makeRowFont(row.bottom - row.top));
    SelectedObject selected(dc, font.get());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT textRect = {column.left, row.top, column.right - kSizeTextRightMargin, row.bottom};
    DrawTextA(dc, text, -1, &textRect, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void CheckBoxTreeCtrl::paintSizeColumn(HDC dc)
{
    RECT client;
    GetClientRect(hwnd_, &client);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     send(TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)))) {
        RECT row;
        if (!getItemRect(hwnd_, item, false, &row) || row.top >= client.bottom)
            break;
        paintSizeText(item, dc);
    }
}
