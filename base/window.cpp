// base/window.cpp - dialog procedure, subclassing and map dispatch.
#include "base/window.h"

namespace ui {

namespace {

const char kObjectProperty[] = "ui.SubclassedWindow";

// Messages whose result a dialog procedure returns itself instead of
// storing it in DWLP_MSGRESULT.
bool returnsResultDirectly(UINT msg)
{
    switch (msg) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    }
    return false;
}

}  // namespace

SubclassedWindow::~SubclassedWindow()
{
    unsubclass();
}

bool SubclassedWindow::subclass(HWND hwnd)
{
    if (oldProc_ || !hwnd)
        return false;
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProperty, reinterpret_cast<HANDLE>(this));
    // The window's user data (which a control leaves to its application)
    // holds the object too: the window procedure finds it there on every
    // message without asking for a property, which under Wine is a round
    // trip to its server.
    oldUserData_ = SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedWindow::windowProc)));
    return oldProc_ != nullptr;
}

void SubclassedWindow::unsubclass()
{
    if (!oldProc_)
        return;
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, oldUserData_);
        RemovePropA(hwnd_, kObjectProperty);
    }
    oldProc_ = nullptr;
}

SubclassedWindow *SubclassedWindow::fromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    // A window whose procedure is ours carries its object in its user data;
    // any other (one subclassed again on top of ours, say) is asked for the
    // property.
    if (GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassedWindow::windowProc))
        return reinterpret_cast<SubclassedWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return reinterpret_cast<SubclassedWindow *>(GetPropA(hwnd, kObjectProperty));
}

LRESULT SubclassedWindow::callDefault(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(oldProc_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SubclassedWindow *self = fromHandle(hwnd);
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC old = self->oldProc_;
        self->unsubclass();
        return CallWindowProcA(old, hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        if (self->dispatch(msg, wParam, lParam, result))
            return result;
    } catch (...) {
        return 0;
    }
    return self->callDefault(msg, wParam, lParam);
}

Dialog::~Dialog()
{
    if (hwnd_ && IsWindow(hwnd_))
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

INT_PTR Dialog::runModal(HINSTANCE instance, int templateId, HWND owner)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::createModeless(HINSTANCE instance, int templateId, HWND owner)
{
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::dialogProc,
                              reinterpret_cast<LPARAM>(this));
}

Dialog *Dialog::fromHandle(HWND hwnd)
{
    if (!hwnd || GetWindowLongPtrA(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&Dialog::dialogProc))
        return nullptr;
    return reinterpret_cast<Dialog *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// A dialog procedure returns TRUE for a message it has handled (its result,
// if any, in DWLP_MSGRESULT) and FALSE to let the dialog manager handle it.
INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        reinterpret_cast<Dialog *>(lParam)->attach(hwnd);
    }
    Dialog *self = reinterpret_cast<Dialog *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }

    LRESULT result = 0;
    bool handled = false;
    self->unhandled_ = false;
    try {
        handled = self->dispatch(msg, wParam, lParam, result) && !self->unhandled_;
        if (!handled && msg == WM_NOTIFY) {
            const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
            if (header && SubclassedWindow::fromHandle(header->hwndFrom)) {
                result = SendMessageA(header->hwndFrom, kReflectedNotify, wParam, lParam);
                handled = true;
            }
        }
    } catch (...) {
        return FALSE;
    }
    if (!handled)
        return FALSE;
    if (returnsResultDirectly(msg))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool SimpleDialog::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    static const MessageMapEntry<SimpleDialog> kMap[] = {
        {WM_INITDIALOG, 0, 0, &SimpleDialog::OnInitDialog},
        {WM_COMMAND, BN_CLICKED, IDOK, &SimpleDialog::OnOK},
        {WM_COMMAND, BN_CLICKED, IDCANCEL, &SimpleDialog::OnCancel},
    };
    return dispatchMessageMap(this, kMap, msg, wParam, lParam, result);
}

LRESULT SimpleDialog::OnOK(WPARAM, LPARAM)
{
    endDialog(IDOK);
    return 0;
}

LRESULT SimpleDialog::OnCancel(WPARAM, LPARAM)
{
    endDialog(IDCANCEL);
    return 0;
}

}  // namespace ui
