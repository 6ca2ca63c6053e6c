#!/usr/bin/env python3
"""Stands in for cuttree in the benchmark's test, with cuttree's output.

fake_cuttree.py --build DIR [--wrong] --report FILE

Prints sunder's report on FILE (so the driver reads a real "c ttime:" line),
then a tree in cuttree's text: "p tree N K" and one "t CHILD PARENT WEIGHT"
line per tree edge, with the weights of sunder's own tree (scan_count).
--wrong adds one to the largest weight: a tree the cross-check must reject.
"""
import argparse
import os
import subprocess

p = argparse.ArgumentParser()
p.add_argument("--build", required=True)
p.add_argument("--wrong", action="store_true")
p.add_argument("--report", action="store_true", required=True)
p.add_argument("file")
a = p.parse_args()

with open(a.file) as f:
    report = subprocess.run([os.path.join(a.build, "sunder", "sunder")], stdin=f,
                            capture_output=True, text=True, check=True).stdout
scan = subprocess.run([os.path.join(a.build, "bench", "peers", "scan_count"), a.file],
                      capture_output=True, text=True, check=True).stdout
weights = [int(line[2:]) for line in scan.splitlines() if line.startswith("w ")]
if a.wrong:
    weights[-1] += 1
print(report, end="")
print(f"c cut tree by Gusfield's method: {len(weights) + 1} nodes")
print(f"p tree {len(weights) + 1} {len(weights)}")
for k, w in enumerate(weights, 2):
    print(f"t {k} 1 {w}")
