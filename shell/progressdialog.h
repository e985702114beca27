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
#include "shell/pipeline.h"

#include <cstdint>
#include <functional>
#include <utility>

const UINT PM_SETPOS = WM_USER + 1;
const UINT PM_ADVANCE = WM_USER + 2;
const UINT PM_SETMIN = WM_USER + 3;
const UINT PM_SETMAX = WM_USER + 4;
const UINT PM_DONE = WM_USER + 5;

// Whole percent of current within [lower, upper], rounded down and without
// overflow; 0 when the range is empty, never below 0 or above 100.
int progressPercent(uint32_t lower, uint32_t upper, uint32_t current);

class ProgressDialog : public ui::Dialog {
public:
    // The work of the worker thread, given the dialog's window to report to.
    typedef std::function<void(HWND progress)> Work;
    // Once its window exists the dialog starts a worker thread that does
    // work and then sends PM_DONE. Cancel asks cancel.
    ProgressDialog(Work work, CancelRequest &cancel) : work_(std::move(work)), cancel_(cancel) {}

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
    static DWORD WINAPI workerMain(LPVOID dialog);
    void redraw();
    void show(int percent);

    Work work_;
    CancelRequest &cancel_;
    OwnedHandle thread_;
    uint32_t lower_ = 0;
    uint32_t upper_ = 100;
    uint32_t current_ = 0;
    int shown_ = -1;  // the percentage on screen; -1 before the first redraw
    DWORD shownAt_ = 0;         // GetTickCount of the last redraw
    bool redrawPending_ = false;  // a later percentage waits for the redraw timer
};

#endif
