// controls/summary.cpp - the selection summary.
#include "controls/summary.h"

#include "base/system.h"
#include "resources/resource.h"

namespace {

const struct {
    UINT labelId;
    const char *initial;
} kValueRows[] = {
    {IDS_SUMMARY_COUNT, "0"},
    {IDS_SUMMARY_REQUIRED, "0.0M"},
    {IDS_SUMMARY_FREE, "---"},
};

const int kTextSize = 256;

}  // namespace

void SelectionSummary::init()
{
    rows_.clear();
    char label[kTextSize];
    for (const auto &row : kValueRows) {
        if (loadText(row.labelId, label, sizeof label))
            rows_.push_back({row.labelId, label, row.initial});
    }
    char value[kTextSize];
    loadText(IDS_SUMMARY_EMBED, label, sizeof label);
    loadText(IDS_SUMMARY_EMBED_VALUE, value, sizeof value);
    rows_.push_back({IDS_SUMMARY_EMBED, label, value});
}

void SelectionSummary::render(HWND window) const
{
    std::string text;
    for (const Row &row : rows_)
        text += row.label + " : " + row.value + "\n";
    SetWindowTextA(window, text.c_str());
}

void SelectionSummary::setValue(UINT labelId, const char *text, HWND window)
{
    if (labelId != IDS_SUMMARY_COUNT && labelId != IDS_SUMMARY_REQUIRED && labelId != IDS_SUMMARY_FREE)
        return;
    for (Row &row : rows_) {
        if (row.labelId == labelId)
            row.value = text ? text : "";
    }
    if (window)
        render(window);
}
