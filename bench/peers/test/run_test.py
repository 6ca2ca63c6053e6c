#!/usr/bin/env python3
"""The peer benchmark's driver end to end on a tiny grid (not timed).

run_test.py --build BUILD_DIR --work SCRATCH_DIR

cuttree is not assumed to be built: fake_cuttree.py stands in for it with
cuttree's output (sunder's report, then "t" lines carrying the weights of
sunder's own tree), so the driver's cuttree path and its cross-check are
exercised either way.
"""
import argparse
import csv
import os
import shutil
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
DRIVER = os.path.join(os.path.dirname(HERE), "run")
FAKE = os.path.join(HERE, "fake_cuttree.py")
FAMILIES = ["ringforge", "motley", "tanglenet", "spokerim", "hubspin", "twinloop"]
BUILD = WORK = None


def fake_code(name, *extra):
    return f"{name}={sys.executable} {FAKE} --build {BUILD}" + "".join(" " + e for e in extra)


def run_driver(out, *options):
    shutil.rmtree(out, ignore_errors=True)
    return subprocess.run([sys.executable, DRIVER, "--no-build", "--no-cuttree", "--build", BUILD,
                           "--out", out] + list(options), capture_output=True, text=True)


def read_csv(out):
    with open(os.path.join(out, "peers.csv"), newline="") as f:
        return list(csv.DictReader(f))


def markdown_rows(out):
    """The table's lines, split into cells: the header, then one per row."""
    with open(os.path.join(out, "peers.md")) as f:
        lines = [line for line in f if line.startswith("| ")]
    return [[cell.strip() for cell in line.strip().strip("|").split("|")] for line in lines]


class TinyGrid(unittest.TestCase):
    def test_every_code_on_every_instance_and_all_trees_agree(self):
        out = os.path.join(WORK, "grid")
        done = run_driver(out, "--tiny", "--scans", "--code", fake_code("fake"))
        self.assertEqual(done.returncode, 0, done.stderr)
        codes = ["sunder", "fake", "lemon", "igraph"]

        rows = read_csv(out)
        expected = [(f, n) for n in (50, 100) for f in FAMILIES]
        self.assertEqual([(r["family"], int(r["n"])) for r in rows], expected)
        for r in rows:
            for c in codes:
                self.assertEqual(r[f"{c}_status"], "ok", (r["generator"], c))
                self.assertNotEqual(r[f"{c}_time_s"], "", (r["generator"], c))
                self.assertGreater(float(r[f"{c}_peak_mb"]), 0, (r["generator"], c))
            self.assertEqual(r["check"], "ok", r["generator"])
            self.assertEqual(r["check_detail"], "equal: sunder, fake, lemon, igraph")
            self.assertGreater(int(r["sunder_arc_scans"]), 0)
        first = rows[0]
        self.assertEqual((first["generator"], first["m"]), ("ringforge 50 -m250 -s1", "250"))

        table = markdown_rows(out)
        header, body = table[0], table[1:]
        for c in codes:
            self.assertIn(f"{c} s", header)
        self.assertEqual(len(body), len(expected))
        time_columns = [header.index(f"{c} s") for c in codes]
        for cells in body:
            self.assertEqual(len(cells), len(header), cells)
            for k in time_columns:
                float(cells[k])  # a time, not "> limit", "error" or empty
            self.assertEqual(cells[-1], "ok")
        with open(os.path.join(out, "peers.md")) as f:
            self.assertIn("Cross-check: sorted tree weights equal on 12 of 12 instances", f.read())
        if shutil.which("gnuplot"):
            with open(os.path.join(out, "peers-ratio.png"), "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_a_wrong_tree_is_reported_loudly(self):
        out = os.path.join(WORK, "wrong")
        done = run_driver(out, "--tiny", "--sizes", "50", "--families", "motley",
                          "--code", fake_code("wrong", "--wrong"))
        self.assertEqual(done.returncode, 3, done.stderr)
        [row] = read_csv(out)
        self.assertEqual(row["check"], "MISMATCH")
        # The fake's largest weight is one too high: the last rank differs.
        self.assertRegex(row["check_detail"],
                         r"^wrong \| lemon = igraph: weight 49 is (\d+) vs (\d+)$")
        high, low = map(int, row["check_detail"].split()[-3::2])
        self.assertEqual(high, low + 1)
        self.assertIn("run: TREE MISMATCH on motley 50 3 50 -s1: " + row["check_detail"],
                      done.stderr)
        with open(os.path.join(out, "peers.md")) as f:
            text = f.read()
        self.assertIn("**TREE MISMATCH on 1 instance(s):**", text)
        self.assertEqual(markdown_rows(out)[1][-1], "MISMATCH")

    def test_runs_past_the_limit_are_reported_not_dropped(self):
        out = os.path.join(WORK, "limit")
        done = run_driver(out, "--tiny", "--families", "hubspin", "--limit", "1e-6")
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = read_csv(out)
        self.assertEqual([int(r["n"]) for r in rows], [50, 100])
        for r, status in zip(rows, ("limit", "skipped")):
            for c in ("sunder", "lemon", "igraph"):
                self.assertEqual(r[f"{c}_status"], status, (r["n"], c))
                self.assertEqual(r[f"{c}_time_s"], "1e-06")
        table = markdown_rows(out)
        header = table[0]
        for cells, mark in zip(table[1:], ("> 1e-06", "> 1e-06*")):
            for c in ("sunder", "lemon", "igraph"):
                self.assertEqual(cells[header.index(f"{c} s")], mark)
            self.assertEqual(cells[-1], "unchecked")

    def test_instance_files_run_as_families_of_their_own(self):
        files = os.path.join(WORK, "files")
        shutil.rmtree(files, ignore_errors=True)
        os.makedirs(files)
        for name, argv in (("pl.cut", ["powerlaw", "60", "-k2", "-c9"]),
                           ("loop.cut", ["twinloop", "8"]), ("notes.txt", ["twinloop", "6"])):
            with open(os.path.join(files, name), "w") as f:
                subprocess.run([os.path.join(BUILD, "generators", argv[0])] + argv[1:],
                               stdout=f, check=True)
        out = os.path.join(WORK, "with-files")
        # A directory's *.cut files in name order; the named family runs too.
        done = run_driver(out, "--tiny", "--sizes", "50", "--families", "motley", "--files", files)
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = read_csv(out)
        self.assertEqual([(r["family"], r["n"], r["m"], r["seed"], r["generator"]) for r in rows],
                         [("motley", "50", "175", "1", "motley 50 3 50 -s1"),
                          ("loop", "8", "16", "", os.path.join(files, "loop.cut")),
                          ("pl", "60", "117", "", os.path.join(files, "pl.cut"))])
        for r in rows:
            self.assertEqual(r["check"], "ok", r["generator"])
        # Files alone: no generated family.
        done = run_driver(out, "--files", os.path.join(files, "pl.cut"), "--repeats", "1")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual([r["family"] for r in read_csv(out)], ["pl"])


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True)
    p.add_argument("--work", required=True)
    a, rest = p.parse_known_args()
    BUILD, WORK = os.path.abspath(a.build), os.path.abspath(a.work)
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
