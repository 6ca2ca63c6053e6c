"""The experiment runner end to end, against the built generators and sunder.

Run by CTest with SUNDER_BUILD set to the build folder."""

import csv
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(HERE, "..", "..", "experiments", "run")
BUILD = os.environ.get("SUNDER_BUILD", os.path.join(HERE, "..", "..", "build"))
GENERATORS = os.path.join(BUILD, "generators")
SUNDER = os.path.join(BUILD, "solver", "sunder")

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
                          text=True)


def read_rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def direct(generator_command):
    """Problem line numbers and counters of the generator piped into sunder."""
    argv = generator_command.split()
    instance = subprocess.run([os.path.join(GENERATORS, argv[0])] + argv[1:],
                              capture_output=True, check=True).stdout
    report = subprocess.run([SUNDER], input=instance, capture_output=True, check=True).stdout
    n, m = re.search(rb"^p cut\s+(\d+)\s+(\d+)$", instance, re.M).groups()
    relabels, pushes = re.search(rb"^c relabels:\s+(\d+)\s+pushes:\s+(\d+)$", report, re.M).groups()
    return [int(x) for x in (n, m, relabels, pushes)]


class GridRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="test-run-")
        cls.grid = os.path.join(cls.dir, "tiny.grid")
        with open(cls.grid, "w") as f:
            f.write(GRID)
        cls.csv = os.path.join(cls.dir, "tiny.csv")
        cls.done = runner(cls.grid, "-o", cls.csv, "--timeout", "0.5", "-j2")
        cls.rows = read_rows(cls.csv)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def by_family(self, family):
        return [r for r in self.rows if r["family"] == family]

    def test_one_row_per_run_with_the_generators_numbers_and_sunders_counters(self):
        self.assertEqual(self.done.returncode, 1, self.done.stderr)  # some rows failed
        self.assertEqual(len(self.rows), 7)
        ok = self.by_family("ringforge") + self.by_family("twinloop")
        self.assertEqual(sorted((r["family"], r["size"], r["seed"]) for r in ok),
                         [("ringforge", "30", "1"), ("ringforge", "30", "2"),
                          ("ringforge", "60", "1"), ("ringforge", "60", "2"),
                          ("twinloop", "40", "1")])
        for row in ok:
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

    def test_resume_runs_only_the_missing_rows(self):
        path = os.path.join(self.dir, "resume.csv")
        with open(self.csv) as f:
            lines = f.readlines()
        kept = [ln for ln in lines if not ln.startswith("ringforge,60,")]
        with open(path, "w") as f:
            f.writelines(kept)
        done = runner(self.grid, "-o", path, "--resume", "--timeout", "0.5")
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(path) as f:
            after = f.readlines()
        self.assertEqual(after[:len(kept)], kept)
        self.assertEqual(sorted(ln.split(",")[2] for ln in after[len(kept):]), ["1", "2"])
        self.assertTrue(all(ln.startswith("ringforge,60,") for ln in after[len(kept):]))
        again = runner(self.grid, "-o", path, "--resume")
        self.assertEqual(again.returncode, 0)
        with open(path) as f:
            self.assertEqual(f.readlines(), after)

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


class SweepAndJobs(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="test-run-")
        self.grid = os.path.join(self.dir, "sweep.grid")
        with open(self.grid, "w") as f:
            f.write(SWEEP_GRID)

    def tearDown(self):
        shutil.rmtree(self.dir)

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
            subprocess.run(["parallel", "-j2"], stdin=f, check=True, capture_output=True)
        merged = runner("--collect", os.path.join(self.dir, "jobs-rows"))
        self.assertEqual(merged.returncode, 0, merged.stderr)

        def untimed(text):
            rows = list(csv.DictReader(text.splitlines()))
            return sorted(tuple((k, v) for k, v in r.items() if k not in TIMING_COLUMNS)
                          for r in rows)
        self.assertEqual(merged.stdout.splitlines()[0], local.stdout.splitlines()[0])
        self.assertEqual(untimed(merged.stdout), untimed(local.stdout))
        self.assertEqual(sorted((dict(r)["engine"], dict(r)["seed"], dict(r)["solver"])
                                for r in untimed(local.stdout)),
                         [("a", "1", "sunder a"), ("a", "2", "sunder a"),
                          ("b", "1", "sunder b"), ("b", "2", "sunder b")])

    def test_sweeping_cuttree_engines(self):
        grid = os.path.join(self.dir, "engines.grid")
        with open(grid, "w") as f:
            f.write("sweep engine exact paths\nsolver cuttree --report --engine {engine}\n"
                    "family ringforge sizes 40 seeds 1 : ringforge {n} -m{4*n} -s{seed}\n")
        done = runner(grid)
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = {r["engine"]: r for r in csv.DictReader(done.stdout.splitlines())}
        self.assertEqual(sorted(rows), ["exact", "paths"])
        n, m, relabels, pushes = direct("ringforge 40 -m160 -s1")
        self.assertEqual([int(rows["exact"][k]) for k in ("n", "m", "relabels", "pushes")],
                         [n, m, relabels, pushes])
        self.assertEqual(rows["paths"]["status"], "ok")
        self.assertNotEqual(rows["paths"]["relabels"], rows["exact"]["relabels"])

    def test_failed_write_ends_with_74_and_a_closed_pipe_quietly(self):
        with open("/dev/full", "w") as full:
            done = subprocess.run([sys.executable, RUNNER, "--build", BUILD, self.grid],
                                  stdout=full, stderr=subprocess.PIPE, text=True)
        self.assertEqual((done.returncode, done.stderr),
                         (74, "Error: cannot write output: No space left on device\n"))
        done = runner(self.grid, "-o", "/dev/full")
        self.assertEqual((done.returncode, done.stderr),
                         (74, "Error: cannot write output: /dev/full: No space left on device\n"))
        proc = subprocess.Popen([sys.executable, RUNNER, "--build", BUILD, self.grid],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        proc.stdout.readline()
        proc.stdout.close()
        with proc.stderr:
            self.assertEqual((proc.wait(), proc.stderr.read()), (-signal.SIGPIPE, b""))

    def test_grid_errors_name_the_line(self):
        with open(self.grid, "a") as f:
            f.write("family odd sizes 5 seeds 1 : ringforge {n} -s{sed}\n")
        done = runner(self.grid)
        self.assertEqual((done.returncode, done.stdout, done.stderr),
                         (2, "", f"experiments/run: {self.grid}:4: unknown name 'sed' in family odd\n"))


if __name__ == "__main__":
    unittest.main()
