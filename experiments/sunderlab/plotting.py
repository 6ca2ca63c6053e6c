"""Plots with gnuplot and the growth summary: time and pushes against n per
family (and swept value, and solver where a family ran under several), the
mean over seeds with bars from the smallest to the largest, on the data's own
range of n; fitted exponents of y ~ n^e."""

import math
import os
import shutil
import subprocess

from .errors import UsageError
from .table import read_csv, sweep_columns, write_text_file

# Line colours, each at least 3:1 in contrast against white.
PALETTE = ["#0072b2", "#d55e00", "#009e73", "#c51b7d", "#000000", "#8c510a",
           "#7b3294", "#1b7837", "#b2182b", "#4d4d4d", "#2166ac", "#b35806"]
POINT_TYPES = [7, 5, 9, 11, 13, 15]


def style(index, variant=0):
    """gnuplot style of a line: the index picks the colour (dashes after the
    palette's first round), the variant the points and dashes of one
    colour's further lines."""
    colour = PALETTE[index % len(PALETTE)]
    dashes = (index // len(PALETTE) + variant) % 4 + 1
    points = POINT_TYPES[(index + variant) % len(POINT_TYPES)]
    return f"lc rgb '{colour}' lw 2 pt {points} ps 1.2 dt {dashes}"


class SeriesName(str):
    """A series' name; its group (family and swept values) shares a colour,
    its variant (the solver's rank in the group) tells the lines apart."""

    def __new__(cls, text, group, variant):
        name = super().__new__(cls, text)
        name.group, name.variant = group, variant
        return name


def gnuplot_quote(text):
    return "'" + text.replace("'", "''") + "'"


def find_gnuplot():
    return shutil.which("gnuplot")


def terminal_line(width, height):
    """The PNG terminal: cairo's where gnuplot has it (smoother), else libgd's."""
    done = subprocess.run([find_gnuplot() or "gnuplot", "-e", "set terminal"],
                          capture_output=True, text=True)
    kind = "pngcairo" if "pngcairo" in done.stdout + done.stderr else "png"
    return f"set terminal {kind} noenhanced size {width},{height}"


def run_gnuplot(script_path):
    """Runs a script; returns None, or what went wrong."""
    gnuplot = find_gnuplot()
    if not gnuplot:
        return "gnuplot not found (Debian package gnuplot-nox)"
    done = subprocess.run([gnuplot, script_path], stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE)
    if done.returncode != 0:
        text = done.stderr.decode("utf-8", "replace").strip().splitlines()
        return "gnuplot failed: " + (text[0] if text else f"status {done.returncode}")
    return None


def x_axis(sizes):
    """Range and tics of a log-scale axis of n: exactly the data's sizes (a
    tic at each, leaving out one within 15 % of the last)."""
    sizes = sorted(set(sizes))
    low, high = sizes[0], sizes[-1]
    if low == high:
        low, high = low / 1.25, high * 1.25
    tics = []
    for n in sizes:
        if not tics or n >= tics[-1] * 1.15:
            tics.append(n)
    return [f"set xrange [{low:g}:{high:g}]",
            f"set xtics ({', '.join(str(n) for n in tics)})"]


def fit_exponent(points):
    """Least-squares slope of log y against log n; None without two sizes."""
    pts = [(math.log(n), math.log(y)) for n, y in points if n > 0 and y > 0]
    if len({x for x, _ in pts}) < 2:
        return None
    mx = sum(x for x, _ in pts) / len(pts)
    my = sum(y for _, y in pts) / len(pts)
    sxx = sum((x - mx) ** 2 for x, _ in pts)
    return sum((x - mx) * (y - my) for x, y in pts) / sxx


def load_results(path, time_column):
    """Series name -> [(n, time, pushes)] over the ok rows. A series is a
    family and its swept values; the solver joins the name where the same
    family and values ran under more than one solver."""
    header, rows = read_csv(path)
    for column in ("family", "status", "n", "pushes", time_column):
        if column not in header:
            raise UsageError(f"{path} has no column '{column}'")
    swept = sweep_columns(header)
    groups = {}
    for row in rows:
        record = dict(zip(header, row))
        if record.get("status") != "ok":
            continue
        try:
            point = (int(record["n"]), float(record[time_column]), int(record["pushes"]))
        except ValueError:
            continue
        name = " ".join([record["family"]] + [f"{c}={record[c]}" for c in swept if record.get(c)])
        groups.setdefault(name, {}).setdefault(record.get("solver", ""), []).append(point)
    if not groups:
        raise UsageError(f"{path} has no rows with status ok")
    series = {}
    for name, by_solver in groups.items():
        for variant, (solver, points) in enumerate(sorted(by_solver.items())):
            text = f"{name} ({solver})" if len(by_solver) > 1 else name
            series[SeriesName(text, name, variant)] = points
    return series


def spread_by_n(points, index):
    """[(n, mean, min, max)] of the index-th value of the points, over the
    positive values at each n (a log scale cannot draw the others)."""
    by_n = {}
    for point in points:
        by_n.setdefault(point[0], [])
        if point[index] > 0:
            by_n[point[0]].append(point[index])
    return [(n, sum(v) / len(v), min(v), max(v)) if v else (n, None, None, None)
            for n, v in sorted(by_n.items())]


def data_text(name, time_column, points):
    """A series' data file: per n, the mean, smallest and largest time, then
    the same of pushes (NaN where there is no positive value)."""
    lines = [f"# {name}: n, {time_column} mean min max, pushes mean min max\n"]
    for (n, *time), (_, *pushes) in zip(spread_by_n(points, 1), spread_by_n(points, 2)):
        cells = ["NaN" if v is None else f"{v:.10g}" for v in time + pushes]
        lines.append(f"{n} {' '.join(cells)}\n")
    return "".join(lines)


def plot_script(files, time_column, out_dir, title):
    """files: (name, data file, has a positive time, sizes) per series."""
    sizes = [n for _, _, _, ns in files for n in ns]
    groups = sorted({getattr(name, "group", name) for name, *_ in files})
    lines = [terminal_line(1100, 700), "set logscale xy", "set grid",
             "set key outside right top", "set xlabel 'n (nodes)'"] + x_axis(sizes)
    for png, column, label, what in (
            ("time.png", 2, f"{time_column} (s)", f"{time_column}"),
            ("pushes.png", 5, "pushes", "pushes")):
        usable = [(k, name, f) for k, (name, f, has_time, _) in enumerate(files)
                  if column == 5 or has_time]
        lines += [f"set output {gnuplot_quote(os.path.join(out_dir, png))}",
                  f"set title {gnuplot_quote(f'{title}: {what} against n; mean over seeds, bars from the smallest to the largest')}",
                  f"set ylabel {gnuplot_quote(label)}"]
        if not usable:  # nothing to draw on a log scale: an empty frame that says so
            lines += ["unset logscale y", "set yrange [0:1]",
                      "set label 'no positive values' at graph 0.4,0.5",
                      "plot 0 notitle", "unset label", "set autoscale y", "set logscale y"]
            continue
        plots = [f"{gnuplot_quote(f)} using 1:{column}:{column + 1}:{column + 2} "
                 f"with yerrorlines {style(groups.index(getattr(name, 'group', name)), getattr(name, 'variant', 0))} "
                 f"title {gnuplot_quote(name)}"
                 for k, name, f in usable]
        lines.append("plot " + ", \\\n     ".join(plots))
    return "\n".join(lines) + "\n"


def write_plot_files(series, time_column, out_dir, title):
    """The data files and the script of the two plots; returns the script's
    path."""
    out_dir = os.path.abspath(out_dir)
    files = []
    for index, (name, points) in enumerate(sorted(series.items()), 1):
        path = os.path.join(out_dir, f"series{index}.dat")
        write_text_file(path, data_text(name, time_column, points))
        files.append((name, path, any(t > 0 for _, t, _ in points), [n for n, _, _ in points]))
    script = os.path.join(out_dir, "plots.gp")
    write_text_file(script, plot_script(files, time_column, out_dir, title))
    return script


def summary_markdown(series, time_column, csv_path):
    lines = [f"# Growth in n ({os.path.basename(csv_path)})", "",
             f"Fitted exponent e of y ~ n^e, least squares on log-log over every ok run; "
             f"time is `{time_column}`.", "",
             "| family | runs | n | mean time at largest n (s) | time exponent | pushes exponent |",
             "|---|---:|---|---:|---:|---:|"]
    for name, points in sorted(series.items()):
        sizes = sorted({n for n, _, _ in points})
        largest = [t for n, t, _ in points if n == sizes[-1]]
        te = fit_exponent([(n, t) for n, t, _ in points])
        pe = fit_exponent([(n, p) for n, _, p in points])
        span = f"{sizes[0]}–{sizes[-1]}" if len(sizes) > 1 else str(sizes[0])
        lines.append(f"| {name.replace('|', chr(92) + '|')} | {len(points)} | {span} | {sum(largest) / len(largest):.3f} | "
                     f"{'–' if te is None else f'{te:.2f}'} | "
                     f"{'–' if pe is None else f'{pe:.2f}'} |")
    return "\n".join(lines) + "\n"
