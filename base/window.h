// base/window.h - thin window wrappers: dialogs and subclassed controls whose
// messages are routed through message maps to On... handlers.
#ifndef BASE_WINDOW_H
#define BASE_WINDOW_H

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace ui {

// A notification that a dialog hands back to the subclassed control that
// sent it arrives at the control as this message (same wParam and lParam).
const UINT kReflectedNotify = 0x2000 + WM_NOTIFY;
// In a map entry: any control id.
const UINT kAnyId = 0xFFFFFFFFu;

// Non-owning wrapper of one window handle.
class Window {
public:
    explicit Window(HWND hwnd = nullptr) : hwnd_(hwnd) {}
    HWND handle() const { return hwnd_; }
    void attach(HWND hwnd) { hwnd_ = hwnd; }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageA(hwnd_, message, wParam, lParam);
    }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    bool enableItem(int id, bool enable) const { return EnableWindow(item(id), enable) != 0; }
    bool setItemText(int id, const char *text) const { return SetDlgItemTextA(hwnd_, id, text) != 0; }
    int itemText(int id, char *buffer, int size) const
    {
        return static_cast<int>(GetDlgItemTextA(hwnd_, id, buffer, size));
    }

protected:
    HWND hwnd_;
};

// One row of a message map. WM_COMMAND rows match the notification code and
// control id, WM_NOTIFY and reflected rows the NMHDR code and idFrom (kAnyId
// matches every id); rows of other messages match the message alone.
template <class T>
struct MessageMapEntry {
    UINT message;
    UINT code;
    UINT id;
    LRESULT (T::*handler)(WPARAM, LPARAM);
};

inline bool messageMatches(UINT message, UINT code, UINT id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (message != msg)
        return false;
    if (msg == WM_COMMAND)
        return code == HIWORD(wParam) && (id == kAnyId || id == LOWORD(wParam));
    if (msg == WM_NOTIFY || msg == kReflectedNotify) {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        return header && code == header->code && (id == kAnyId || id == header->idFrom);
    }
    return true;
}

// Runs the handler of the first matching row; false when no row matches.
template <class T, std::size_t N>
bool dispatchMessageMap(T *self, const MessageMapEntry<T> (&map)[N], UINT msg, WPARAM wParam,
                        LPARAM lParam, LRESULT &result)
{
    for (std::size_t i = 0; i < N; ++i) {
        const MessageMapEntry<T> &row = map[i];
        if (messageMatches(row.message, row.code, row.id, msg, wParam, lParam)) {
            result = (self->*row.handler)(wParam, lParam);
            return true;
        }
    }
    return false;
}

// A control whose window procedure is replaced by this object's message map;
// unmatched messages go to the control's own procedure. While subclassed, the
// control's GWLP_USERDATA points to the object.
class SubclassedWindow : public Window {
public:
    SubclassedWindow() : oldProc_(nullptr), oldUserData_(0) {}
    virtual ~SubclassedWindow();
    // The window keeps a pointer to this object: it never moves or copies.
    SubclassedWindow(const SubclassedWindow &) = delete;
    SubclassedWindow &operator=(const SubclassedWindow &) = delete;
    bool subclass(HWND hwnd);
    void unsubclass();
    // The object that subclasses hwnd, or nullptr.
    static SubclassedWindow *fromHandle(HWND hwnd);

protected:
    // The control's map; true when a row handled the message.
    virtual bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) = 0;
    LRESULT callDefault(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC oldProc_;
    LONG_PTR oldUserData_;  // the window's user data before it was subclassed
};

// A dialog from a template. One static dialog procedure keeps `this` in
// GWLP_USERDATA and hands every message to the derived class's map.
// Notifications that the map leaves alone are reflected to the sending
// control when it is a SubclassedWindow.
class Dialog : public Window {
public:
    Dialog() : unhandled_(false) {}
    virtual ~Dialog();
    // The window keeps a pointer to this object: it never moves or copies.
    Dialog(const Dialog &) = delete;
    Dialog &operator=(const Dialog &) = delete;
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND owner);
    HWND createModeless(HINSTANCE instance, int templateId, HWND owner);
    void endDialog(INT_PTR result) { EndDialog(hwnd_, result); }
    // The object of a dialog window that this class runs; nullptr for any
    // other window.
    static Dialog *fromHandle(HWND hwnd);

protected:
    virtual bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) = 0;
    // Called by a handler that decides to leave its message to the dialog
    // manager after all (the procedure then returns FALSE).
    void markUnhandled() { unhandled_ = true; }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool unhandled_;
};

// The small modal box of resource `templateId` with OK (and Cancel) closing it.
class SimpleDialog : public Dialog {
protected:
    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;
    LRESULT OnInitDialog(WPARAM, LPARAM) { return TRUE; }
    LRESULT OnOK(WPARAM, LPARAM);
    LRESULT OnCancel(WPARAM, LPARAM);
};

}  // namespace ui

#endif
