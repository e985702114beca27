// controls/summary.cpp - the selection summary.
#include "controls/summary.h"

#include "base/system.h"
#include "resources/resource.h"

#include <string>
#include <vector>

namespace {

struct SummaryRow {
    UINT labelId;
    std::string label;
    std::string value;
};

std::vector<SummaryRow> &rows()
{
    static std::vector<SummaryRow> list;
    return list;
}

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

void initSummary()
{
    rows().clear();
    char label[kTextSize];
    for (const auto &row : kValueRows) {
        if (loadText(row.labelId, label, sizeof label))
            rows().push_back({row.labelId, label, row.initial});
    }
    char value[kTextSize];
    loadText(IDS_SUMMARY_EMBED, label, sizeof label);
    loadText(IDS_SUMMARY_EMBED_VALUE, value, sizeof value);
    rows().push_back({IDS_SUMMARY_EMBED, label, value});
}

void renderSummary(HWND window)
{
    std::string text;
    for (const SummaryRow &row : rows())
        text += row.label + " : " + row.value + "\n";
    SetWindowTextA(window, text.c_str());
}

void setSummaryValue(UINT labelId, const char *text, HWND window)
{
    if (labelId != IDS_SUMMARY_COUNT && labelId != IDS_SUMMARY_REQUIRED && labelId != IDS_SUMMARY_FREE)
        return;
    for (SummaryRow &row : rows()) {
        if (row.labelId == labelId)
            row.value = text ? text : "";
    }
    if (window)
        renderSummary(window);
}
