"""The experiment runner: its modules in-process where they can be, and the
program end to end where its exit statuses, job lists and plots are the point.

Run by CTest with SUNDER_BUILD set to the build folder."""

import csv
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest
from contextlib import redirect_stderr

HERE = os.path.dirname(os.path.abspath(__file__))
EXPERIMENTS = os.path.join(HERE, "..", "..", "experiments")
RUNNER = os.path.join(EXPERIMENTS, "run")
BUILD = os.path.abspath(os.environ.get("SUNDER_BUILD", os.path.join(HERE, "..", "..", "build")))
GENERATORS = os.path.join(BUILD, "generators")
SUNDER = os.path.join(BUILD, "sunder", "sunder")
HOG = f"{sys.executable} {os.path.join(HERE, 'hog.py')}"
MIB = 1024  # KiB

# The modules come in through PYTHONPATH (CTest names experiments/); the
# runner's own processes go without it, as experiments/run finds the package
# beside itself.
from sunderlab import cli, plotting
from sunderlab.errors import UsageError
from sunderlab.grid import Run, parse_grid
from sunderlab.pipeline import execute
from sunderlab.table import RESULT_COLUMNS, write_csv

RUNNER_ENV = {name: value for name, value in os.environ.items() if name != "PYTHONPATH"}

GRID = """\
# two families, a failing and a slow one
family ringforge sizes 30 60 seeds 2 : ringforge {n} -m{4*n} -s{seed}
family twinloop sizes 40 seeds 1 : twinloop {n}
family bad sizes 10 seeds 1 : ringforge {n} -x
family slow sizes 30 seeds 1 : sleep {n}
"""
SWEEP_GRID = """\
sweep engine a b
solver sunder {engine}
family motley sizes 20 seeds 2 : motley {n} 3 {n//4} -s{seed}
"""
TIMING_COLUMNS = {"ttime", "dtime", "calc_time", "manip_time", "wall_time",
                  "solver_maxrss_kb", "generator_maxrss_kb"}


def runner(*args):
    build = [] if args[0] == "plot" else ["--build", BUILD]
    return subprocess.run([sys.executable, RUNNER, *args, *build], capture_output=True,
                          text=True, env=RUNNER_ENV)


def run_in_process(*args):
    """cli.main in this process; its standard error is dropped."""
    with redirect_stderr(io.StringIO()):
        return cli.main([*args, "--build", BUILD, "--no-progress"])


def read_rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def write(path, text):
    with open(path, "w") as f:
        f.write(text)
    return path


def direct(generator_command):
    """Problem line numbers and counters of the generator piped into sunder."""
    argv = generator_command.split()
    instance = subprocess.run([os.path.join(GENERATORS, argv[0])] + argv[1:],
                              capture_output=True, check=True).stdout
    report = subprocess.run([SUNDER], input=instance, capture_output=True, check=True).stdout
    n, m = re.search(rb"^p cut\s+(\d+)\s+(\d+)$", instance, re.M).groups()
    relabels, pushes = re.search(rb"^c relabels:\s+(\d+)\s+pushes:\s+(\d+)$", report, re.M).groups()
    return [int(x) for x in (n, m, relabels, pushes)]


class Scratch(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="test-run-")

    def tearDown(self):
        shutil.rmtree(self.dir)


class GridRun(unittest.TestCase):
    """One grid through the program, two runs at a time."""

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="test-run-")
        cls.grid = write(os.path.join(cls.dir, "tiny.grid"), GRID)
        cls.csv = os.path.join(cls.dir, "tiny.csv")
        cls.done = runner(cls.grid, "-o", cls.csv, "--timeout", "0.5", "-j2")
        cls.rows = read_rows(cls.csv)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def by_family(self, family):
        return [r for r in self.rows if r["family"] == family]

    def test_one_row_per_run_in_grid_order_with_the_generators_numbers_and_sunders_counters(self):
        self.assertEqual(self.done.returncode, 1, self.done.stderr)  # some rows failed
        self.assertEqual([(r["family"], r["size"], r["seed"]) for r in self.rows],
                         [("ringforge", "30", "1"), ("ringforge", "30", "2"),
                          ("ringforge", "60", "1"), ("ringforge", "60", "2"),
                          ("twinloop", "40", "1"), ("bad", "10", "1"), ("slow", "30", "1")])
        for row in self.by_family("ringforge") + self.by_family("twinloop"):
            self.assertEqual(row["status"], "ok")
            self.assertEqual([int(row[c]) for c in ("n", "m", "relabels", "pushes")],
                             direct(row["generator"]), row["generator"])
            self.assertEqual((row["generator_exit"], row["solver_exit"], row["error"]), ("0", "0", ""))

    def test_a_failed_and_a_timed_out_run_are_rows(self):
        [bad] = self.by_family("bad")
        self.assertEqual((bad["status"], bad["generator_exit"], bad["error"]),
                         ("fail", "6", "generator exited with status 6: Error: unknown option"))
        [slow] = self.by_family("slow")
        self.assertEqual((slow["status"], slow["generator_exit"], slow["error"]),
                         ("timeout", "-9", "timed out after 0.5 s"))
        self.assertLess(float(slow["wall_time"]), 5)

    def test_an_existing_csv_is_kept_without_resume(self):
        done = runner(self.grid, "-o", self.csv)
        self.assertEqual(done.returncode, 2)
        self.assertEqual(done.stderr, f"experiments/run: {self.csv} exists: "
                                      "--resume to continue it, or remove it\n")

    def test_plots_are_png_and_the_summary_has_each_family(self):
        if not shutil.which("gnuplot"):
            self.skipTest("gnuplot is not installed (Debian package gnuplot-nox)")
        out = os.path.join(self.dir, "plots")
        done = runner("plot", self.csv, "--out", out)
        self.assertEqual(done.returncode, 0, done.stderr)
        for png in ("time.png", "pushes.png"):
            with open(os.path.join(out, png), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")
        self.assertRegex(done.stdout, r"\| ringforge \| 4 \| 30–60 \| [0-9.]+ \| [-0-9.–]+ \| \d\.\d\d \|")
        self.assertIn("| twinloop | 1 | 40 |", done.stdout)


class MemoryColumns(Scratch):
    """Each program's own peak memory, in its own column."""

    def setUp(self):
        super().setUp()
        # The runner's own size must not show in its programs' peaks.
        self.ballast = b"\x02" * (256 << 20)

    def test_each_program_has_its_own_peak_even_two_runs_at_a_time(self):
        grid = write(os.path.join(self.dir, "memory.grid"),
                     "sweep g 40 120\n"
                     f"solver {HOG} {{160-g}} --solve --sleep-ms 300\n"
                     f"family hog sizes 3 seeds 1 : {HOG} {{g}} --sleep-ms 300\n")
        out = os.path.join(self.dir, "memory.csv")
        self.assertEqual(run_in_process(grid, "-o", out, "-j2"), 0)
        rows = read_rows(out)
        self.assertEqual([r["g"] for r in rows], ["40", "120"])
        for row in rows:
            for column, mib in (("generator_maxrss_kb", int(row["g"])),
                                ("solver_maxrss_kb", 160 - int(row["g"]))):
                # The touched MiB plus an interpreter's few, nothing of the rest.
                self.assertGreaterEqual(int(row[column]), mib * MIB, (column, row))
                self.assertLess(int(row[column]), (mib + 30) * MIB, (column, row))

    def test_real_programs_report_small_plausible_peaks(self):
        row = execute(Run("ringforge", {}, 500, 1, "ringforge 500 -m2500 -s1", "sunder"),
                      BUILD, 60)
        self.assertEqual(row["status"], "ok", row["error"])
        for column in ("generator_maxrss_kb", "solver_maxrss_kb"):
            self.assertGreater(row[column], 200, column)
            self.assertLess(row[column], 64 * MIB, column)


class GridLanguage(Scratch):
    def test_several_solver_lines_and_a_sweep_only_one_of_them_uses(self):
        grid = parse_grid(write(os.path.join(self.dir, "g.grid"),
                                "sweep engine exact paths\n"
                                "solver sunder\nsolver cuttree --engine {engine}\n"
                                "family f sizes 10 20 seeds 1 : ringforge {n} -s{seed}\n"
                                "solver sunder -x\n"
                                "family h sizes 10 seeds 1 : twinloop {n}\n"))
        self.assertEqual(grid.sweep_names, ["engine"])
        self.assertEqual([r.key_fields(grid.sweep_names) for r in grid.runs], [
            ["f", "", "10", "1", "ringforge 10 -s1", "sunder"],
            ["f", "exact", "10", "1", "ringforge 10 -s1", "cuttree --engine exact"],
            ["f", "paths", "10", "1", "ringforge 10 -s1", "cuttree --engine paths"],
            ["f", "", "20", "1", "ringforge 20 -s1", "sunder"],
            ["f", "exact", "20", "1", "ringforge 20 -s1", "cuttree --engine exact"],
            ["f", "paths", "20", "1", "ringforge 20 -s1", "cuttree --engine paths"],
            ["h", "", "10", "1", "twinloop 10", "sunder -x"]])

    def test_the_small_grid_times_sunder_and_cuttrees_default_on_every_instance(self):
        grid = parse_grid(os.path.join(EXPERIMENTS, "grids", "small.grid"))
        solvers = {}
        for run in grid.runs:
            solvers.setdefault((run.family, run.generator), []).append(run.solver)
        self.assertEqual(len({family for family, _ in solvers}), 6)
        for instance, used in solvers.items():
            self.assertEqual(used, ["sunder", "cuttree --report"], instance)

    def test_grid_errors_name_the_line(self):
        path = write(os.path.join(self.dir, "bad.grid"),
                     SWEEP_GRID + "family odd sizes 5 seeds 1 : ringforge {n} -s{sed}\n")
        with self.assertRaises(UsageError) as caught:
            parse_grid(path)
        self.assertEqual(str(caught.exception), f"{path}:4: unknown name 'sed' in family odd")


class OrderAndResume(Scratch):
    def test_rows_come_in_grid_order_when_later_runs_end_first(self):
        grid = write(os.path.join(self.dir, "order.grid"),
                     f"solver {HOG} 0 --solve\n"
                     f"family late sizes 1 2 3 seeds 1 : {HOG} 0 --sleep-ms {{(4-n)*250}}\n")
        out = os.path.join(self.dir, "order.csv")
        self.assertEqual(run_in_process(grid, "-o", out, "-j3"), 0)
        self.assertEqual([r["size"] for r in read_rows(out)], ["1", "2", "3"])

    def test_resume_on_a_grid_with_sweeps_redoes_exactly_the_missing_rows(self):
        log = os.path.join(self.dir, "solved.log")
        grid = write(os.path.join(self.dir, "sweeps.grid"),
                     "sweep engine a b\nsweep k 2 3\n"
                     f"solver {HOG} 0 --solve --log {log} --tag {{engine}}\n"
                     f"family one sizes 3 seeds 2 : {HOG} 0 --tag one-{{k}}-{{seed}}\n"
                     f"solver {HOG} 0 --solve --log {log} --tag none\n"
                     f"family two sizes 3 seeds 1 : {HOG} 0 --tag two\n")
        out = os.path.join(self.dir, "sweeps.csv")
        self.assertEqual(run_in_process(grid, "-o", out, "-j2"), 0)
        with open(log) as f:
            self.assertEqual(len(f.readlines()), 9)
        with open(out) as f:
            header, *lines = f.readlines()
        self.assertEqual(header.split(",")[:4], ["family", "engine", "k", "size"])
        full = read_rows(out)
        # Each removed row has kept neighbours that differ in one swept value only.
        removed = {("one", "b", "3", "1"), ("one", "a", "2", "2"), ("two", "", "", "1")}
        key = lambda r: (r["family"], r["engine"], r["k"], r["seed"])  # noqa: E731
        kept = [ln for ln, r in zip(lines, full) if key(r) not in removed]
        self.assertEqual(len(kept), 6)
        write(out, header + "".join(kept))
        os.remove(log)

        self.assertEqual(run_in_process(grid, "-o", out, "--resume", "-j2"), 0)
        with open(log) as f:
            self.assertEqual(sorted(f.read().splitlines()),
                             ["one-2-2 | a", "one-3-1 | b", "two | none"])
        with open(out) as f:
            after = f.readlines()
        self.assertEqual(after[:7], [header] + kept)
        rows = read_rows(out)
        self.assertEqual([key(r) for r in rows[6:]],
                         [("one", "b", "3", "1"), ("one", "a", "2", "2"), ("two", "", "", "1")])
        self.assertEqual(sorted(key(r) for r in rows), sorted(key(r) for r in full))

        os.remove(log)
        self.assertEqual(run_in_process(grid, "-o", out, "--resume"), 0)
        self.assertFalse(os.path.exists(log))
        with open(out) as f:
            self.assertEqual(f.readlines(), after)

    def test_resume_redoes_a_row_cut_short_and_leaves_a_well_formed_csv(self):
        log = os.path.join(self.dir, "solved.log")
        grid = write(os.path.join(self.dir, "cut.grid"),
                     f"solver {HOG} 0 --solve --log {log}\n"
                     f"family cut sizes 1 2 3 seeds 1 : {HOG} 0 --tag size-{{n}}\n")
        out = os.path.join(self.dir, "cut.csv")
        self.assertEqual(run_in_process(grid, "-o", out), 0)
        with open(out, newline="") as f:
            whole = f.read()
        header, first, second, third = whole.splitlines(keepends=True)
        width = len(header.split(","))
        self.assertEqual([len(line.split(",")) for line in (first, second, third)], [width] * 3)
        # A kill cut the last row: in its fields, just before its line end,
        # or the header itself, before any row.
        cuts = {"fewer fields": header + first + second + third[:len(third) // 2],
                "no line end": header + first + second + third[:-1],
                "header cut": header[:9]}
        for name, text in cuts.items():
            with self.subTest(name):
                write(out, text)
                if os.path.exists(log):
                    os.remove(log)
                self.assertEqual(run_in_process(grid, "-o", out, "--resume"), 0)
                with open(log) as f:
                    redone = sorted(f.read().splitlines())
                self.assertEqual(redone, ["size-1 | ", "size-2 | ", "size-3 | "]
                                 if name == "header cut" else ["size-3 | "])
                with open(out, newline="") as f:
                    after = f.read()
                self.assertTrue(after.endswith("\n"))
                rows = list(csv.reader(io.StringIO(after)))
                self.assertEqual(rows[0], header.rstrip("\n").split(","))
                self.assertEqual([len(r) for r in rows], [width] * 4)
                self.assertEqual([r[rows[0].index("generator")] for r in rows[1:]],
                                 [f"{HOG} 0 --tag size-{n}" for n in (1, 2, 3)])
                if name != "header cut":
                    self.assertTrue(after.startswith(header + first + second))


def contrast_on_white(colour):
    """Contrast ratio of an sRGB colour against white (WCAG)."""
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(int(colour[k:k + 2], 16)) for k in (1, 3, 5))
    return 1.05 / (0.2126 * r + 0.7152 * g + 0.0722 * b + 0.05)


class Plots(Scratch):
    def test_spread_over_seeds_data_range_title_and_colours(self):
        rows = []
        for solver, scale in (("sunder", 1), ("cuttree --report", 3)):
            for n, times in ((100, [0.5, 0.1, 0.3]), (400, [2.0, 0.0, 1.0])):
                for seed, t in enumerate(times, 1):
                    rows.append(dict(family="ring", size=n, seed=seed, solver=solver, status="ok",
                                     n=n, ttime=t * scale, pushes=n * seed * scale))
        rows.append(dict(family="wheel", size=200, seed=1, solver="sunder", status="ok", n=200,
                         ttime=0.25, pushes=900))
        rows.append(dict(family="wheel", size=800, seed=1, solver="sunder", status="fail", n=800,
                         ttime=99, pushes=1))
        path = os.path.join(self.dir, "r.csv")
        write_csv(path, ["family", "size", "seed", "generator", "solver"] + RESULT_COLUMNS, rows)
        series = plotting.load_results(path, "ttime")
        self.assertEqual(sorted(series), ["ring (cuttree --report)", "ring (sunder)", "wheel"])
        script_path = plotting.write_plot_files(series, "ttime", self.dir, "r.csv")

        data = {}
        for k in (1, 2, 3):
            with open(os.path.join(self.dir, f"series{k}.dat")) as f:
                name = f.readline()[2:].split(":")[0]
                data[name] = [[float(x) for x in line.split()] for line in f]
        # n, time mean min max (over the positive times), pushes mean min max
        self.assertEqual(data["ring (sunder)"], [[100, 0.3, 0.1, 0.5, 200, 100, 300],
                                                 [400, 1.5, 1.0, 2.0, 800, 400, 1200]])
        self.assertEqual(data["ring (cuttree --report)"][1], [400, 4.5, 3.0, 6.0, 2400, 1200, 3600])
        self.assertEqual(data["wheel"], [[200, 0.25, 0.25, 0.25, 900, 900, 900]])

        with open(script_path) as f:
            script = f.read()
        self.assertIn("set xrange [100:400]\n", script)
        self.assertEqual(len(re.findall(r"^set title '.*r\.csv.*'$", script, re.M)), 2)
        lines = re.findall(r"'([^']*series\d\.dat)' using (1:\d:\d:\d) with yerrorlines "
                           r"lc rgb '(#[0-9a-f]{6})' .* dt (\d) title '([^']*)'", script)
        self.assertEqual(sorted((u, t) for _, u, _, _, t in lines),
                         sorted((u, t) for u in ("1:2:3:4", "1:5:6:7") for t in series))
        colour = {t: c for _, _, c, _, t in lines}
        dashes = {t: d for _, _, _, d, t in lines}
        self.assertEqual(colour["ring (sunder)"], colour["ring (cuttree --report)"])
        self.assertNotEqual(dashes["ring (sunder)"], dashes["ring (cuttree --report)"])
        self.assertNotEqual(colour["ring (sunder)"], colour["wheel"])
        for c in plotting.PALETTE:
            self.assertGreaterEqual(contrast_on_white(c), 3, c)
        if shutil.which("gnuplot"):
            self.assertIsNone(plotting.run_gnuplot(script_path))
            for png in ("time.png", "pushes.png"):
                with open(os.path.join(self.dir, png), "rb") as f:
                    self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


class SweepAndJobs(Scratch):
    def setUp(self):
        super().setUp()
        self.grid = write(os.path.join(self.dir, "sweep.grid"), SWEEP_GRID)

    def test_job_list_through_gnu_parallel_gives_the_same_rows(self):
        if not shutil.which("parallel"):
            self.skipTest("GNU parallel is not installed (Debian package parallel)")
        local = runner(self.grid)
        self.assertEqual(local.returncode, 0, local.stderr)
        jobs = os.path.join(self.dir, "jobs.txt")
        self.assertEqual(runner(self.grid, "--emit-jobs", jobs).returncode, 0)
        with open(jobs) as f:
            self.assertEqual(len(f.readlines()), 4)
        with open(jobs) as f:
            subprocess.run(["parallel", "-j2"], stdin=f, check=True, capture_output=True,
                           env=RUNNER_ENV)
        merged = runner("--collect", os.path.join(self.dir, "jobs-rows"))
        self.assertEqual(merged.returncode, 0, merged.stderr)

        def untimed(text):
            rows = list(csv.DictReader(text.splitlines()))
            return [tuple((k, v) for k, v in r.items() if k not in TIMING_COLUMNS) for r in rows]
        self.assertEqual(merged.stdout.splitlines()[0], local.stdout.splitlines()[0])
        self.assertEqual(untimed(merged.stdout), untimed(local.stdout))
        self.assertEqual([(dict(r)["seed"], dict(r)["engine"], dict(r)["solver"])
                          for r in untimed(local.stdout)],
                         [("1", "a", "sunder a"), ("1", "b", "sunder b"),
                          ("2", "a", "sunder a"), ("2", "b", "sunder b")])

    def test_sweeping_cuttree_engines(self):
        grid = write(os.path.join(self.dir, "engines.grid"),
                     "sweep engine exact paths\nsolver cuttree --report --engine {engine}\n"
                     "family ringforge sizes 40 seeds 1 : ringforge {n} -m{4*n} -s{seed}\n")
        out = os.path.join(self.dir, "engines.csv")
        self.assertEqual(run_in_process(grid, "-o", out), 0)
        rows = {r["engine"]: r for r in read_rows(out)}
        self.assertEqual(sorted(rows), ["exact", "paths"])
        n, m, relabels, pushes = direct("ringforge 40 -m160 -s1")
        self.assertEqual([int(rows["exact"][k]) for k in ("n", "m", "relabels", "pushes")],
                         [n, m, relabels, pushes])
        self.assertEqual(rows["paths"]["status"], "ok")
        self.assertNotEqual(rows["paths"]["relabels"], rows["exact"]["relabels"])

    def test_failed_write_ends_with_74_and_a_closed_pipe_quietly(self):
        with open("/dev/full", "w") as full:
            done = subprocess.run([sys.executable, RUNNER, "--build", BUILD, self.grid],
                                  stdout=full, stderr=subprocess.PIPE, text=True, env=RUNNER_ENV)
        self.assertEqual((done.returncode, done.stderr),
                         (74, "Error: cannot write output: No space left on device\n"))
        done = runner(self.grid, "-o", "/dev/full")
        self.assertEqual((done.returncode, done.stderr),
                         (74, "Error: cannot write output: /dev/full: No space left on device\n"))
        proc = subprocess.Popen([sys.executable, RUNNER, "--build", BUILD, self.grid],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=RUNNER_ENV)
        proc.stdout.readline()
        proc.stdout.close()
        with proc.stderr:
            self.assertEqual((proc.wait(), proc.stderr.read()), (-signal.SIGPIPE, b""))


if __name__ == "__main__":
    unittest.main()
