// dialogs/progressdialog.h - the progress dialog of an install run.
//
// The install worker drives it through its progress sink (pipeline/pipeline.h).
#ifndef DIALOGS_PROGRESSDIALOG_H
#define DIALOGS_PROGRESSDIALOG_H

#include "base/handles.h"
#include "base/window.h"
#include "pipeline/pipeline.h"

#include <cstdint>
#include <functional>
#include <utility>

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
