// controls/summary.h - the selection summary: rows of "label : value".
#ifndef CONTROLS_SUMMARY_H
#define CONTROLS_SUMMARY_H

#include <windows.h>

#include <string>
#include <vector>

class SelectionSummary {
public:
    // Builds the rows anew: count, required space and free space with their
    // initial values (rows whose label cannot be loaded are left out), then
    // the fixed embedding row.
    void init();
    // Sets the window's text to every row as label + " : " + value + LF.
    void render(HWND window) const;
    // Replaces the value of the row of label 26001, 26002 or 26003; renders
    // into window when one is given. Other ids change nothing.
    void setValue(UINT labelId, const char *text, HWND window);

private:
    struct Row {
        UINT labelId;
        std::string label;
        std::string value;
    };
    std::vector<Row> rows_;
};

#endif
