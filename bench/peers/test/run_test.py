#!/usr/bin/env python3
"""The peer benchmark's driver end to end on a tiny grid (not timed).

run_test.py --build BUILD_DIR --work SCRATCH_DIR

cuttree is not assumed to be built: fake_cuttree.py stands in for it with
cuttree's output (sunder's report, then "t" lines carrying the weights of
sunder's own tree), so the driver's cuttree path and its cross-check are
exercised either way. The unit-capacity peer is fake_gomory_hu.py, which
checks the input the driver converts for it; the tests of edge-list files
take the built cuttree and its variants where it is there.
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
FAKE_PEER = os.path.join(HERE, "fake_gomory_hu.py")
FAMILIES = ["ringforge", "motley", "tanglenet", "spokerim", "hubspin", "twinloop"]
BUILD = WORK = None


def fake_code(name, *extra):
    return f"{name}={sys.executable} {FAKE} --build {BUILD}" + "".join(" " + e for e in extra)


def run_driver(out, *options, cuttree=False):
    shutil.rmtree(out, ignore_errors=True)
    return subprocess.run([sys.executable, DRIVER, "--no-build", "--build", BUILD, "--out", out]
                          + ([] if cuttree else ["--no-cuttree"]) + list(options),
                          capture_output=True, text=True)


def fake_peer(*extra):
    """A program file that runs fake_gomory_hu.py, as --peer takes it."""
    path = os.path.join(WORK, "gomory_hu" + "".join(extra).replace("-", "_"))
    with open(path, "w") as f:
        f.write(f"#!/bin/sh\nexec {sys.executable} {FAKE_PEER} --build {BUILD} "
                + " ".join(extra) + ' "$@"\n')
    os.chmod(path, 0o755)
    return path


def write_file(folder, name, text):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "w") as f:
        f.write(text)
    return os.path.join(folder, name)


def two_wheels(ids):
    """Edges of two wheels of six spokes joined by a path through two
    nodes, and a square hanging on the path by a bridge, on the node ids
    `ids` (20 of them): cuts of 1, 2 and 3."""
    edges = []
    for hub, rim in ((0, range(1, 7)), (7, range(8, 14))):
        rim = list(rim)
        edges += [(hub, x) for x in rim] + [(rim[k], rim[(k + 1) % 6]) for k in range(6)]
    edges += [(3, 14), (14, 15), (15, 10), (15, 16), (16, 17), (17, 18), (18, 19), (19, 16)]
    return [(ids[u], ids[v]) for u, v in edges]


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


class UnitCapacityPeer(unittest.TestCase):
    IDS = [97 * k + 7 for k in range(20)]  # an edge list's ids: not 0-based, with gaps

    def files(self):
        """An edge list (header, comments, commas, a self loop, ids with
        gaps) and instance text (1-based; its last node named by a self loop
        alone, so it has no edge), both with capacities 1."""
        folder = os.path.join(WORK, "unit-files")
        shutil.rmtree(folder, ignore_errors=True)
        edges = two_wheels(self.IDS)
        text = "# two wheels\nsource,target,weight\n" + "".join(
            f"{u},{v},1\n" if k % 2 else f"{u} {v} 1 % unit\n" for k, (u, v) in enumerate(edges))
        write_file(folder, "wheels.edges", text + f"{self.IDS[4]} {self.IDS[4]} 1\n")
        arcs = two_wheels(list(range(1, 21))) + [(21, 21)]
        write_file(folder, "loose.cut", f"p cut 21 {len(arcs)}\n"
                   + "".join(f"a {u} {v} 1\n" for u, v in arcs))
        return folder, edges

    def peer_input(self, out, family):
        with open(os.path.join(out, "instances", f"file-{family}.peer.tsv")) as f:
            return f.read()

    def test_unit_files_go_to_the_peer_converted_and_all_trees_agree(self):
        folder, edges = self.files()
        out = os.path.join(WORK, "unit")
        cuttree = os.access(os.path.join(BUILD, "cuttree", "cuttree"), os.X_OK)
        done = run_driver(out, "--files", folder, "--peer", fake_peer(), "--without", "sunder",
                          *(["--variants"] if cuttree else []), cuttree=cuttree)
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = read_csv(out)
        codes = [k[:-len("_status")] for k in rows[0] if k.endswith("_status")]
        # --variants: one thread, and each switch of cuttree --help off.
        variants = ["cuttree", "cuttree-j1", "no-decompose", "no-proven-cuts", "no-degree-bound",
                    "no-local-reset"] if cuttree else []
        self.assertEqual(codes[:len(variants)], variants)
        self.assertEqual(codes[-3:], ["lemon", "igraph", "gomory_hu"])
        self.assertEqual([(r["family"], r["n"], r["m"]) for r in rows],
                         [("loose", "21", str(len(edges) + 1)), ("wheels", "20", str(len(edges) + 1))])
        for r in rows:
            self.assertEqual(r["check_detail"], "equal: " + ", ".join(codes), r["family"])
            self.assertEqual(r["gomory_hu_tree_s"], "0.125")
            self.assertNotIn("sunder_status", r)

        # The edge list: its ids in increasing order are the nodes 0 ... 19,
        # every edge once, the self loop left out.
        index = {x: k for k, x in enumerate(sorted(self.IDS))}
        expected = sorted(tuple(sorted((index[u], index[v]))) for u, v in edges)
        lines = self.peer_input(out, "wheels").splitlines()
        self.assertEqual(sorted(tuple(map(int, line.split("\t"))) for line in lines), expected)
        # The instance text the library peers read from it: nodes 1 ... 20.
        with open(os.path.join(out, "instances", "file-wheels.cut")) as f:
            self.assertIn(f"p cut 20 {len(edges) + 1}\n", f.read())
        # Instance text: nodes 0 ... 20 for the peer, the last one taken by
        # the largest that has an edge, so that the peer sees 21 nodes.
        numbers = [int(x) for line in self.peer_input(out, "loose").splitlines()
                   for x in line.split("\t")]
        self.assertEqual((min(numbers), max(numbers), len(set(numbers))), (0, 20, 20))

    def test_a_wrong_peer_tree_gives_exit_status_3(self):
        folder, _ = self.files()
        out = os.path.join(WORK, "unit-wrong")
        done = run_driver(out, "--files", os.path.join(folder, "wheels.edges"),
                          "--peer", fake_peer("--wrong"))
        self.assertEqual(done.returncode, 3, done.stderr)
        [row] = read_csv(out)
        self.assertEqual(row["check"], "MISMATCH")
        # The fake's largest weight is one too high: the last rank differs.
        self.assertRegex(row["check_detail"],
                         r"^lemon = igraph \| gomory_hu: weight 19 is (\d+) vs (\d+)$")
        low, high = map(int, row["check_detail"].split()[-3::2])
        self.assertEqual(high, low + 1)
        self.assertIn("run: TREE MISMATCH", done.stderr)

    def test_weighted_files_and_parallel_edges_skip_the_peer(self):
        folder = os.path.join(WORK, "not-unit")
        shutil.rmtree(folder, ignore_errors=True)
        edges = two_wheels(list(range(20)))
        write_file(folder, "heavy.tsv", "".join(f"{u}\t{v}\t{1 + (k == 5)}\n"
                                                for k, (u, v) in enumerate(edges)))
        write_file(folder, "twice.tsv", "".join(f"{u}\t{v}\n" for u, v in edges + edges[:1]))
        out = os.path.join(WORK, "not-unit-run")
        done = run_driver(out, "--files", folder, "--peer", fake_peer())
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = read_csv(out)
        self.assertEqual([r["family"] for r in rows], ["heavy", "twice"])
        for r in rows:
            self.assertEqual((r["gomory_hu_status"], r["gomory_hu_time_s"]), ("n/a", ""))
            self.assertEqual(r["check_detail"], "equal: lemon, igraph")
            self.assertFalse(os.path.exists(
                os.path.join(out, "runs", f"file-{r['family']}.gomory_hu.out")))
        self.assertIn("gomory_hu n/a (capacities other than 1)", done.stderr)
        self.assertIn("gomory_hu n/a (parallel edges)", done.stderr)
        table = markdown_rows(out)
        column = table[0].index("gomory_hu s")
        self.assertEqual([cells[column] for cells in table[1:]], ["n/a", "n/a"])

    def test_a_peer_not_built_is_left_out_with_a_note(self):
        folder, _ = self.files()
        out = os.path.join(WORK, "no-peer")
        done = run_driver(out, "--files", os.path.join(folder, "wheels.edges"),
                          "--peer-build", os.path.join(WORK, "empty"))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("run: gomory_hu not run: ", done.stderr)
        self.assertNotIn("gomory_hu_status", read_csv(out)[0])
        with open(os.path.join(out, "peers.md")) as f:
            self.assertIn("gomory_hu not run: ", f.read())


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True)
    p.add_argument("--work", required=True)
    a, rest = p.parse_known_args()
    BUILD, WORK = os.path.abspath(a.build), os.path.abspath(a.work)
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
