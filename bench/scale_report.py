#!/usr/bin/python3
"""Prints the table of the scale benchmark (bench/scale.sh).

    scale_report.py N=RESULTS ...

Each RESULTS file holds lines "key value value ..." (seconds, one value per
turn) from bench_scale.exe, and "builder SECONDS" / "builder_when TEXT".
Figures are medians, with the spread (lowest to highest) of the turns.
Growth compares the largest package with the smallest: a cost that grows
linearly (or less, with a fixed part) grows at most by the factor of fonts;
10 % above it still counts as linear, given the noise of a shared machine.
"""
import statistics
import sys


def load(path):
    values, texts = {}, {}
    for line in open(path):
        parts = line.split()
        if not parts:
            continue
        key, rest = parts[0], parts[1:]
        try:
            values[key] = [float(v) for v in rest]
        except ValueError:
            texts[key] = " ".join(rest)
    return values, texts


runs = []
for arg in sys.argv[1:]:
    n, path = arg.split("=", 1)
    runs.append((int(n), *load(path)))
runs.sort()
first, last = runs[0], runs[-1]
factor = last[0] / first[0]


def med(values):
    return statistics.median(values) if values else None


def cell(values, unit="s"):
    if not values:
        return "-"
    m = med(values)
    if len(values) == 1:
        return "%.3f %s" % (m, unit)
    return "%.3f (%.3f-%.3f)" % (m, min(values), max(values))


def growth(key):
    a, b = med(first[1].get(key, [])), med(last[1].get(key, []))
    if not a or b is None:
        return "-"
    ratio = b / a
    verdict = "linear" if ratio <= factor * 1.1 else "faster than linear"
    return "x%.2f, %s" % (ratio, verdict)


width = 50
header = "%-*s" % (width, "scale (median, lowest-highest; seconds)")
for n, _, _ in runs:
    header += " %-24s" % ("%d fonts" % n)
header += " growth x%g fonts" % factor
print()
print(header)


def row(label, key, goal=""):
    line = "%-*s" % (width, label)
    for _, values, _ in runs:
        line += " %-24s" % cell(values.get(key))
    line += " %s" % growth(key)
    if goal:
        line += "   " + goal
    print(line)


def check(key, limit):
    m = med(last[1].get(key, []))
    return "" if m is None else "goal <= %g s at %d: %s" % (limit, last[0], "met" if m <= limit else "NOT met")


print("start until the dialog shows")
row("  nothing installed: dialog visible", "start_shown_nothing")
row("  nothing installed: painted, waits for input", "start_idle_nothing", check("start_idle_nothing", 1.5))
row("  empty template (floor): painted", "empty_idle_nothing")
row("  all installed: dialog visible", "start_shown_all")
row("  all installed: painted, waits for input", "start_idle_all", check("start_idle_all", 1.5))
row("  empty template (floor): painted", "empty_idle_all")
for state in ("nothing", "all"):
    line = "%-*s" % (width, "  our part, %s installed (minus the floor)" % state)
    for _, values, _ in runs:
        a, b = med(values.get("start_idle_" + state, [])), med(values.get("empty_idle_" + state, []))
        line += " %-24s" % ("%.3f s" % (a - b) if a is not None and b is not None else "-")
    print(line)
print("ticking every font by the top category's box (tree and summary painted)")
row("  check-all, Install mode", "check_all_nothing", check("check_all_nothing", 0.5))
row("  uncheck-all, Install mode", "uncheck_all_nothing")
row("  check-all, Uninstall mode, all installed", "check_all_all", check("check_all_all", 0.5))
row("  switch to Uninstall mode, all installed", "mode_switch_all")
print("the dialog's refresh (painted)")
row("  right after its run installed every font", "refresh_after_install_nothing",
    check("refresh_after_install_nothing", 1.0))
row("  right after its run removed every font", "refresh_after_uninstall_nothing",
    check("refresh_after_uninstall_nothing", 1.0))
row("  again, nothing installed", "refresh_nothing")
row("  again, all installed", "refresh_all")
row("  (the dialog's install run, Start to refresh)", "dialog_install_run_nothing")
row("  (the dialog's uninstall run, Start to refresh)", "dialog_uninstall_run_nothing")
print("unattended runs, process start to end")
for label, ours, plain in (("/quiet /all", "quiet_install", "plain_install"),
                           ("/quiet /uninstall /all", "quiet_uninstall", "plain_uninstall")):
    row("  " + label, ours)
    row("  plain loop", plain)
    line = "%-*s" % (width, "  ratio (goal <= 1.5)")
    ratios = []
    for _, values, _ in runs:
        o, p = med(values.get(ours, [])), med(values.get(plain, []))
        r = o / p if o and p else None
        ratios.append(r)
        line += " %-24s" % ("%.2f" % r if r else "-")
    print(line)
line = "%-*s" % (width, "package builder (tools/mkpackage)")
for _, values, texts in runs:
    b = values.get("builder")
    line += " %-24s" % ("%.1f s" % b[0] if b else "-")
a, b = first[1].get("builder"), last[1].get("builder")
if a and b:
    line += " x%.2f, %s" % (b[0] / a[0], "linear" if b[0] / a[0] <= factor * 1.1 else "faster than linear")
print(line + "   goal <= 60 s at %d" % last[0])
print("  (builder timed %s)" % "; ".join("%d: %s" % (n, t.get("builder_when", "?")) for n, _, t in runs))

parts = [("part_empty_tree", "empty the tree"), ("part_catalogue", "catalogue loaded (as a whole)"),
         ("part_name_map", "  name map read and parsed"), ("part_find_disc", "  disc search"),
         ("part_disc_files", "  disc files looked up"), ("part_list_installed", "  Fonts key listed"),
         ("part_installed_test", "  installed fonts: package test"),
         ("part_installed_match", "  installed fonts: name read, matched"),
         ("part_tree_fill", "tree filled"), ("part_mode", "mode applied, summary"), ("part_paint", "painted")]
for state, title in (("nothing", "nothing installed"), ("all", "all installed")):
    if not any(first[1].get(k + "_" + state) for k, _ in parts):
        continue
    print("where a refresh's time goes, %s" % title)
    for key, label in parts:
        row("  " + label, key + "_" + state)
