// shell/progressdialog.h - the progress dialog of an install run.
//
// The install worker drives it with synchronous messages, each handled on
// the dialog thread before the worker goes on:
//   WM_SETTEXT   lParam text: the font being copied (not the caption)
//   PM_SETPOS    lParam amount: current = amount
//   PM_ADVANCE   lParam amount: current += amount
//   PM_SETMIN    lParam amount: lower bound (no redraw)
//   PM_SETMAX    lParam amount: upper bound (no redraw)
//   PM_DONE      closes the dialog as if OK had been pressed
#ifndef SHELL_PROGRESSDIALOG_H
#define SHELL_PROGRESSDIALOG_H

#include "base/handles.h"
#include "base/window.h"

#include <cstdint>

const UINT PM_SETPOS = WM_USER + 1;
const UINT PM_ADVANCE = WM_USER + 2;
const UINT PM_SETMIN = WM_USER + 3;
const UINT PM_SETMAX = WM_USER + 4;
const UINT PM_DONE = WM_USER + 5;

// Bit 0 set: the run is to stop. Set only by the progress dialog's Cancel,
// read only by the worker between copy blocks.
extern volatile LONG cancelRequested;

// Whole percent of current within [lower, upper], rounded down and without
// overflow; 0 when the range is empty, never below 0 or above 100.
int progressPercent(uint32_t lower, uint32_t upper, uint32_t current);

class ProgressDialog : public ui::Dialog {
public:
    // The worker that the dialog starts once its window exists.
    typedef DWORD(WINAPI *WorkerProc)(LPVOID);
    // The worker gets the dialog as its parameter, and context through it.
    explicit ProgressDialog(WorkerProc worker, const void *context = nullptr)
        : worker_(worker), context_(context)
    {
    }
    const void *context() const { return context_; }

    // Runs the dialog modally; returns when the worker has sent PM_DONE and
    // has ended.
    INT_PTR run(HWND owner);

protected:
    bool dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    LRESULT OnAdvance(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMin(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMax(WPARAM wParam, LPARAM lParam);
    LRESULT OnDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

private:
    void redraw();
    void show(int percent);

    WorkerProc worker_;
    const void *context_;
    OwnedHandle thread_;
    uint32_t lower_ = 0;
    uint32_t upper_ = 100;
    uint32_t current_ = 0;
    int shown_ = -1;  // the percentage on screen; -1 before the first redraw
    DWORD shownAt_ = 0;         // GetTickCount of the last redraw
    bool redrawPending_ = false;  // a later percentage waits for the redraw timer
};

#endif
