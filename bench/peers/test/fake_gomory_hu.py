#!/usr/bin/env python3
"""Stands in for the unit-capacity peer gomory_hu in the benchmark's test.

fake_gomory_hu.py --build DIR [--wrong] -graph FILE -cut_tree_output_path OUT

Holds the driver to the peer's input and the way it must be run: USER set,
the stack without limit, FILE one "U<TAB>V" line per edge of a simple graph
(no loop, no pair twice), nodes 0 ... the largest number. Anything else
exits with status 1 and says what. Then writes the tree of that graph as the
peer does, "U V WEIGHT" per tree edge, with the weights of sunder's own tree
(scan_count) of the graph read as FILE says, so a conversion that shifts,
drops or adds nodes or edges shows in the cross-check. Its log line
"test_time = 0.125" stands for the peer's own tree time. --wrong adds one
to the largest weight: a tree the cross-check must reject.
"""
import argparse
import os
import re
import resource
import subprocess
import sys

p = argparse.ArgumentParser()
p.add_argument("--build", required=True)
p.add_argument("--wrong", action="store_true")
p.add_argument("-graph", required=True)
p.add_argument("-cut_tree_output_path", required=True)
a = p.parse_args()


def fail(what):
    sys.exit(f"fake_gomory_hu: {what}")


if not os.environ.get("USER"):
    fail("USER is not set")
if resource.getrlimit(resource.RLIMIT_STACK)[0] != resource.RLIM_INFINITY:
    fail("the stack has a limit")
pairs = []
with open(a.graph) as f:
    for number, line in enumerate(f, 1):
        found = re.fullmatch(r"(\d+)\t(\d+)\n", line)
        if not found:
            fail(f"{a.graph}:{number}: not 'U<TAB>V': {line!r}")
        u, v = int(found.group(1)), int(found.group(2))
        if u == v:
            fail(f"{a.graph}:{number}: a self loop")
        pairs.append((min(u, v), max(u, v)))
if len(set(pairs)) != len(pairs):
    fail(f"{a.graph}: a pair of nodes joined twice")
n = max(v for _, v in pairs) + 1
cut = a.cut_tree_output_path + ".cut"
with open(cut, "w") as f:
    f.write(f"p cut {n} {len(pairs)}\n")
    f.writelines(f"a {u + 1} {v + 1} 1\n" for u, v in pairs)
scan = subprocess.run([os.path.join(a.build, "bench", "peers", "scan_count"), cut],
                      capture_output=True, text=True, check=True).stdout
weights = [int(line[2:]) for line in scan.splitlines() if line.startswith("w ")]
# Instance text starts at the smallest node an arc names; the peer at 0.
weights += [0] * (n - 1 - len(weights))
if a.wrong:
    weights[weights.index(max(weights))] += 1
with open(a.cut_tree_output_path, "w") as f:
    f.writelines(f"{k} {k - 1} {w}\n" for k, w in enumerate(weights, 1))
print("[1209 00:00:00] test_time = 0.125", file=sys.stderr)
