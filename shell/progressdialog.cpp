// shell/progressdialog.cpp - the progress dialog of an install run.
#include "shell/progressdialog.h"

#include "base/system.h"
#include "resources/resource.h"

#include <cstdio>

namespace {

// The bar and the percentage are drawn at most this often (20 times a second
// looks smooth). A 4 MB font is some 500 blocks and 100 percent steps, and
// drawing the bar costs more than the block's message itself; a step that
// comes sooner waits for the next block or the redraw timer, whichever is
// first. 100 % is drawn at once, so each font is seen to finish.
const DWORD kRedrawInterval = 50;
const UINT_PTR kRedrawTimer = 1;

}  // namespace

int progressPercent(uint32_t lower, uint32_t upper, uint32_t current)
{
    if (upper <= lower)
        return 0;
    uint64_t percent = static_cast<uint64_t>(current) * 100 / (upper - lower);
    return percent > 100 ? 100 : static_cast<int>(percent);
}

INT_PTR ProgressDialog::run(HWND owner)
{
    INT_PTR result = runModal(installerModule(), IDD_PROGRESS, owner);
    // PM_DONE is the worker's last message; let it return from it and end.
    if (thread_) {
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    return result;
}

bool ProgressDialog::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    typedef ProgressDialog C;
    static const ui::MessageMapEntry<C> kMap[] = {
        {WM_INITDIALOG, 0, 0, &C::OnInitDialog},
        {WM_SETTEXT, 0, 0, &C::OnSetText},
        {PM_SETPOS, 0, 0, &C::OnSetPos},
        {PM_ADVANCE, 0, 0, &C::OnAdvance},
        {PM_SETMIN, 0, 0, &C::OnSetMin},
        {PM_SETMAX, 0, 0, &C::OnSetMax},
        {PM_DONE, 0, 0, &C::OnDone},
        {WM_COMMAND, BN_CLICKED, IDCANCEL, &C::OnCancel},
        {WM_TIMER, 0, 0, &C::OnTimer},
    };
    return ui::dispatchMessageMap(this, kMap, msg, wParam, lParam, result);
}

LRESULT ProgressDialog::OnInitDialog(WPARAM, LPARAM)
{
    lower_ = 0;
    upper_ = 100;
    current_ = 0;
    shown_ = -1;
    redrawPending_ = false;
    SendDlgItemMessageA(hwnd_, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    // The worker starts only now that the window exists, so none of its
    // messages can arrive before it.
    DWORD id;
    thread_.reset(CreateThread(nullptr, 0, workerMain, this, CREATE_SUSPENDED, &id));
    if (thread_) {
        SetThreadPriority(thread_.get(), THREAD_PRIORITY_BELOW_NORMAL);
        ResumeThread(thread_.get());
    } else {
        endDialog(IDABORT);
    }
    return TRUE;
}

DWORD WINAPI ProgressDialog::workerMain(LPVOID dialog)
{
    ProgressDialog *self = static_cast<ProgressDialog *>(dialog);
    self->work_(self->hwnd_);
    SendMessageA(self->hwnd_, PM_DONE, 0, 0);
    return 0;
}

LRESULT ProgressDialog::OnSetText(WPARAM, LPARAM lParam)
{
    setItemText(IDC_FONT_NAME, reinterpret_cast<const char *>(lParam));
    return 0;
}

LRESULT ProgressDialog::OnSetPos(WPARAM, LPARAM lParam)
{
    current_ = static_cast<uint32_t>(lParam);
    redraw();
    return 0;
}

LRESULT ProgressDialog::OnAdvance(WPARAM, LPARAM lParam)
{
    current_ += static_cast<uint32_t>(lParam);
    redraw();
    return 0;
}

LRESULT ProgressDialog::OnSetMin(WPARAM, LPARAM lParam)
{
    lower_ = static_cast<uint32_t>(lParam);
    return 0;
}

LRESULT ProgressDialog::OnSetMax(WPARAM, LPARAM lParam)
{
    upper_ = static_cast<uint32_t>(lParam);
    return 0;
}

LRESULT ProgressDialog::OnDone(WPARAM, LPARAM)
{
    endDialog(IDOK);
    return 0;
}

LRESULT ProgressDialog::OnCancel(WPARAM, LPARAM)
{
    cancel_.request();
    setItemText(IDC_FONT_NAME, "Canceled !");
    if (thread_)
        SetThreadPriority(thread_.get(), THREAD_PRIORITY_ABOVE_NORMAL);
    return 0;
}

LRESULT ProgressDialog::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam != kRedrawTimer) {
        markUnhandled();
        return 0;
    }
    KillTimer(hwnd_, kRedrawTimer);
    redrawPending_ = false;
    int percent = progressPercent(lower_, upper_, current_);
    if (percent != shown_)
        show(percent);
    return 0;
}

void ProgressDialog::redraw()
{
    int percent = progressPercent(lower_, upper_, current_);
    if (percent == shown_)
        return;
    DWORD since = GetTickCount() - shownAt_;
    if (percent == 100 || shown_ < 0 || since >= kRedrawInterval) {
        show(percent);
        return;
    }
    if (!redrawPending_ && SetTimer(hwnd_, kRedrawTimer, kRedrawInterval - since, nullptr))
        redrawPending_ = true;
    else if (!redrawPending_)
        show(percent);  // no timer to be had: draw now rather than never
}

void ProgressDialog::show(int percent)
{
    shown_ = percent;
    shownAt_ = GetTickCount();
    SendDlgItemMessageA(hwnd_, IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
    char text[16];
    std::snprintf(text, sizeof text, "%02d %%", percent);
    setItemText(IDC_PERCENT, text);
}
