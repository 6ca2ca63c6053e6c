"""The command line of experiments/run: a grid into CSV rows (in grid order,
several runs at a time, resumable), job lists and their merge, one job line,
and plots."""

import argparse
import math
import os
import re
import shlex
import sys
import time
from concurrent.futures import ThreadPoolExecutor, as_completed

from .errors import (EXIT_INTERRUPTED, EXIT_OK, EXIT_PLOT, EXIT_RUNS_FAILED, EXIT_USAGE,
                     UsageError)
from .grid import GRID_HELP, Run, parse_grid
from .pipeline import execute
from .plotting import load_results, run_gnuplot, summary_markdown, write_plot_files
from .procs import kill_all_runs
from .table import (KEY_COLUMNS, LEAD_COLUMNS, RESULT_COLUMNS, TIME_COLUMNS, Output, csv_line,
                    done_keys, drop_cut_row, emit, has_content, read_csv, write_failed,
                    write_text_file)

EXPERIMENTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# In a checkout the package lies beside the wrapper experiments/run, and the
# build folder is the checkout's build/. An installed copy has neither: its
# default build folder is ./build, and job lines start it through this
# interpreter, which imports the installed package.
CHECKOUT_RUNNER = os.path.join(EXPERIMENTS, "run")
if os.path.isfile(CHECKOUT_RUNNER):
    DEFAULT_BUILD = os.path.join(os.path.dirname(EXPERIMENTS), "build")
    SELF = [CHECKOUT_RUNNER]
else:
    DEFAULT_BUILD = "build"
    SELF = [sys.executable, "-m", "sunderlab"]

STATUS_HELP = """\
exit status:
  0  every run ok          1  some rows failed or timed out
  2  bad arguments, grid or CSV   3  gnuplot missing or failed (plot)
  74 cannot write output   130 interrupted
"""


class Progress:
    def __init__(self, total, enabled):
        self.total, self.enabled = total, enabled
        self.live = enabled and sys.stderr.isatty()
        self.done, self.failed, self.timeouts = 0, 0, 0
        self.began = time.monotonic()

    def show(self, run, status):
        self.done += 1
        self.failed += status == "fail"
        self.timeouts += status == "timeout"
        if not self.enabled:
            return
        elapsed = time.monotonic() - self.began
        left = elapsed / self.done * (self.total - self.done)
        text = (f"{self.done}/{self.total} runs, {self.failed} failed, {self.timeouts} timed out,"
                f" {elapsed:.0f} s, about {left:.0f} s left; last: {run.family} n={run.size}"
                f" seed={run.seed} {status}")
        emit("\r" + text + "\033[K" if self.live else text + "\n")

    def finish(self):
        if self.live:
            emit("\n")


def run_grid(args, grid):
    """Runs the grid (or, with --resume, its runs without a row) and writes
    the rows in grid order as the runs before them are done."""
    columns = grid.columns()
    runs = grid.runs
    appending = False
    if args.resume and args.output not in (None, "-") and has_content(args.output) \
            and drop_cut_row(args.output):
        emit(f"{args.output}: dropped a row cut short at its end; its run is done again\n")
    if args.output not in (None, "-") and has_content(args.output):
        if not args.resume:
            raise UsageError(f"{args.output} exists: --resume to continue it, or remove it")
        done = done_keys(args.output, columns)
        runs = [r for r in runs if tuple(r.key_fields(grid.sweep_names)) not in done]
        appending = True
    elif args.resume and args.output in (None, "-"):
        raise UsageError("--resume needs the CSV file as -o FILE")
    out = Output(args.output, "a" if appending else "w")
    if not appending:
        out.write(csv_line(columns))
        out.flush()
    progress = Progress(len(runs), args.progress)
    if not runs:
        emit(f"every run of the grid has a row in {args.output}\n")
    worst = EXIT_OK
    finished, written = {}, 0  # rows waiting for the runs before them; rows written
    pool = ThreadPoolExecutor(max_workers=args.jobs)
    try:
        futures = {pool.submit(execute, r, args.build, args.timeout): k
                   for k, r in enumerate(runs)}
        for future in as_completed(futures):
            run = runs[futures[future]]
            result = future.result()
            finished[futures[future]] = csv_line(run.key_fields(grid.sweep_names)
                                                 + [result[c] for c in RESULT_COLUMNS])
            while written in finished:
                out.write(finished.pop(written))
                written += 1
            out.flush()
            progress.show(run, result["status"])
            if result["status"] != "ok":
                worst = EXIT_RUNS_FAILED
    except KeyboardInterrupt:
        kill_all_runs()
        progress.finish()
        emit("interrupted; the rows written so far are kept (--resume continues)\n")
        out.flush()
        os._exit(EXIT_INTERRUPTED)
    pool.shutdown()
    progress.finish()
    out.close()
    return worst


def emit_jobs(args, grid):
    rows_dir = os.path.abspath(args.rows or os.path.splitext(args.emit_jobs)[0] + "-rows")
    try:
        os.makedirs(rows_dir, exist_ok=True)
    except OSError as err:
        write_failed(err, rows_dir)
    out = Output(args.emit_jobs)
    width = len(str(len(grid.runs)))
    for index, run in enumerate(grid.runs, 1):
        argv = [*SELF, "one", "--build", os.path.abspath(args.build),
                "--row-file", os.path.join(rows_dir, f"{index:0{width}d}.csv"),
                "--family", run.family, "--size", str(run.size), "--seed", str(run.seed)]
        for name in grid.sweep_names:
            argv += ["--var", f"{name}={run.variables.get(name, '')}"]
        if args.timeout:
            argv += ["--timeout", f"{args.timeout:g}"]
        argv += ["--generator", run.generator, "--solver", run.solver]
        out.write(shlex.join(argv) + "\n")
    out.close()
    emit(f"{len(grid.runs)} jobs in {args.emit_jobs}; rows go to {rows_dir}/\n")
    return EXIT_OK


def run_one(argv):
    parser = Parser(
        prog="experiments/run one",
        description="Runs one generator command line into the solver and writes its CSV "
                    "header and row to a file of its own (a line of --emit-jobs). Does "
                    "nothing when the row file exists.")
    parser.add_argument("--row-file", required=True)
    parser.add_argument("--family", required=True)
    parser.add_argument("--size", required=True, type=int)
    parser.add_argument("--seed", required=True, type=int)
    parser.add_argument("--var", action="append", default=[], metavar="NAME=VALUE")
    parser.add_argument("--generator", required=True)
    parser.add_argument("--solver", default="sunder")
    parser.add_argument("--build", default=DEFAULT_BUILD)
    parser.add_argument("--timeout", type=positive_float)
    args = parser.parse_args(argv)
    if os.path.exists(args.row_file):
        return EXIT_OK
    variables = {}
    for item in args.var:
        name, eq, value = item.partition("=")
        if not eq or not name.isidentifier():
            raise UsageError(f"--var needs NAME=VALUE, not '{item}'")
        variables[name] = value
    names = list(variables)
    run = Run(args.family, variables, args.size, args.seed, args.generator, args.solver)
    result = execute(run, args.build, args.timeout)
    columns = LEAD_COLUMNS + names + KEY_COLUMNS + RESULT_COLUMNS
    directory = os.path.dirname(os.path.abspath(args.row_file))
    temporary = os.path.join(directory, f".{os.path.basename(args.row_file)}.{os.getpid()}")
    try:
        os.makedirs(directory, exist_ok=True)
    except OSError as err:
        write_failed(err, directory)
    write_text_file(temporary, csv_line(columns) + csv_line(
        run.key_fields(names) + [result[c] for c in RESULT_COLUMNS]))
    try:
        os.replace(temporary, args.row_file)
    except OSError as err:
        write_failed(err, args.row_file)
    return EXIT_OK if result["status"] == "ok" else EXIT_RUNS_FAILED


def collect(args):
    """Merges the row files of a job list into one CSV, in job order."""
    try:
        names = sorted(n for n in os.listdir(args.collect) if n.endswith(".csv"))
    except OSError as err:
        raise UsageError(f"cannot read {args.collect}: {err.strerror}")
    tables = [read_csv(os.path.join(args.collect, n)) for n in names]
    extra = []
    for header, _ in tables:
        for column in header:
            if column not in LEAD_COLUMNS + KEY_COLUMNS + RESULT_COLUMNS and column not in extra:
                extra.append(column)
    columns = LEAD_COLUMNS + extra + KEY_COLUMNS + RESULT_COLUMNS
    out = Output(args.output)
    out.write(csv_line(columns))
    worst = EXIT_OK
    for header, rows in tables:
        for row in rows:
            record = dict(zip(header, row))
            out.write(csv_line([record.get(c, "") for c in columns]))
            if record.get("status") != "ok":
                worst = EXIT_RUNS_FAILED
    out.close()
    emit(f"{sum(len(r) for _, r in tables)} rows from {len(names)} files\n")
    return worst


def plot(argv):
    parser = Parser(
        prog="experiments/run plot",
        description="Draws time and pushes against n (log-log PNG, one line per family "
                    "and swept value, and per solver where a family ran under several; "
                    "the mean over seeds with bars from the smallest to the largest value) "
                    "with gnuplot and writes a markdown summary with the fitted growth "
                    "exponents; the summary also goes to standard output.")
    parser.add_argument("csv", help="results of a grid")
    parser.add_argument("--out", required=True, metavar="DIR", help="folder for the files")
    parser.add_argument("--time", default="ttime", choices=TIME_COLUMNS,
                        help="time column to plot and fit (default ttime)")
    args = parser.parse_args(argv)
    series = load_results(args.csv, args.time)
    try:
        os.makedirs(args.out, exist_ok=True)
    except OSError as err:
        write_failed(err, args.out)
    script = write_plot_files(series, args.time, args.out, os.path.basename(args.csv))
    summary = summary_markdown(series, args.time, args.csv)
    write_text_file(os.path.join(args.out, "summary.md"), summary)
    out = Output()
    out.write(summary)
    out.flush()
    problem = run_gnuplot(script)
    if problem:
        emit(f"Error: {problem}" + (f"; the data and {script} are written\n"
                                    if "not found" in problem else "\n"))
        return EXIT_PLOT
    return EXIT_OK


class Parser(argparse.ArgumentParser):
    """Writes --help through Output, so that a failed write is reported."""

    def print_help(self, file=None):
        out = Output()
        out.write(self.format_help())
        out.flush()


def positive_float(text):
    try:
        value = float(text)
    except ValueError:
        value = -1
    if not value > 0 or math.isinf(value):
        raise argparse.ArgumentTypeError(f"not a positive number of seconds: '{text}'")
    return value


def positive_int(text):
    if not re.fullmatch(r"\d+", text) or int(text) < 1:
        raise argparse.ArgumentTypeError(f"not a positive whole number: '{text}'")
    return int(text)


def grid_parser():
    parser = Parser(
        prog="experiments/run",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Runs every generator command line of a grid file into the solver "
                    "(in parallel) and writes one CSV row per run, in grid order.\n\n"
                    "  experiments/run GRID [-o results.csv] [-j N] [--timeout S] [--resume]\n"
                    "  experiments/run GRID --emit-jobs jobs.txt [--rows DIR]\n"
                    "  experiments/run --collect DIR [-o results.csv]\n"
                    "  experiments/run plot results.csv --out DIR [--time COLUMN]\n"
                    "  experiments/run one ...     (one job line; see 'one --help')",
        epilog=GRID_HELP + "\n" + STATUS_HELP)
    parser.add_argument("grid", nargs="?", help="grid file")
    parser.add_argument("-o", "--output", metavar="FILE",
                        help="CSV file (default: standard output)")
    parser.add_argument("-j", "--jobs", type=positive_int, default=len(os.sched_getaffinity(0)),
                        help="runs at a time (default: the number of cores, %(default)s)")
    parser.add_argument("--timeout", type=positive_float, metavar="S",
                        help="seconds a run may take before it is killed (default: no limit)")
    parser.add_argument("--build", default=DEFAULT_BUILD, metavar="DIR",
                        help="build folder with generators/ and solver/ (default: %(default)s)")
    parser.add_argument("--resume", action="store_true",
                        help="skip the runs that have a row in the -o file; append the others")
    progress = parser.add_mutually_exclusive_group()
    progress.add_argument("--progress", action="store_true", default=None,
                          help="progress on standard error (default when it is a terminal)")
    progress.add_argument("--no-progress", dest="progress", action="store_false")
    parser.add_argument("--list", action="store_true",
                        help="print the runs of the grid (family, size, seed, commands) and stop")
    parser.add_argument("--emit-jobs", metavar="FILE",
                        help="write one shell command per run to FILE instead of running")
    parser.add_argument("--rows", metavar="DIR",
                        help="where the job lines write their rows (default: FILE's name + -rows)")
    parser.add_argument("--collect", metavar="DIR",
                        help="merge the row files in DIR into one CSV (-o or standard output)")
    return parser


def main(argv):
    if argv and argv[0] == "plot":
        return plot(argv[1:])
    if argv and argv[0] == "one":
        return run_one(argv[1:])
    args = grid_parser().parse_args(argv)
    if args.collect:
        if args.grid:
            raise UsageError("--collect takes no grid file")
        return collect(args)
    if not args.grid:
        raise UsageError("no grid file (see --help)")
    grid = parse_grid(args.grid)
    if args.list:
        out = Output()
        for run in grid.runs:
            out.write(" ".join(run.key_fields(grid.sweep_names)[:-2])
                      + f": {run.generator} | {run.solver}\n")
        out.flush()
        return EXIT_OK
    if args.emit_jobs:
        return emit_jobs(args, grid)
    if args.progress is None:
        args.progress = sys.stderr.isatty()
    return run_grid(args, grid)


def entry(argv=None):
    """main() with the exit statuses of errors, --help and interrupts; ends
    the program."""
    try:
        status = main(sys.argv[1:] if argv is None else argv)
    except UsageError as err:
        emit(f"experiments/run: {err}\n")
        status = EXIT_USAGE
    except SystemExit as done:  # argparse: --help (0) or a bad argument (2)
        status = done.code if isinstance(done.code, int) else EXIT_USAGE
    except KeyboardInterrupt:
        kill_all_runs()
        status = EXIT_INTERRUPTED
    try:
        sys.stdout.flush()
    except OSError as err:
        write_failed(err)
    sys.exit(status)
