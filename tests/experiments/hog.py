#!/usr/bin/env python3
"""A stand-in generator or solver for the runner's tests, of known peak memory.

hog.py MIB [--sleep-ms K] [--tag TEXT]                  a generator
hog.py MIB --solve [--sleep-ms K] [--log FILE] [--tag TEXT]   a solver

Touches MIB MiB, sleeps K ms, then as a generator prints a tiny instance
with a "c tag TEXT" line; as a solver reads the instance, appends the
instance's tag and its own to FILE (one line per run) and prints a report
with every line the runner reads."""
import argparse
import re
import sys
import time

p = argparse.ArgumentParser()
p.add_argument("mib", type=int)
p.add_argument("--solve", action="store_true")
p.add_argument("--sleep-ms", type=int, default=0)
p.add_argument("--log")
p.add_argument("--tag", default="")
a = p.parse_args()

ballast = b"\x01" * (a.mib << 20)
time.sleep(a.sleep_ms / 1000)
if not a.solve:
    print(f"c tag {a.tag}\np cut 3 3\na 1 2 5\na 2 3 4\na 1 3 3")
    sys.exit(0)
found = re.search(r"^c tag (.*)$", sys.stdin.read(), re.M)
if a.log:
    with open(a.log, "a") as f:
        f.write(f"{found.group(1) if found else '?'} | {a.tag}\n")
print("Time for calculating the cuts: 0.000100\nTime for manipulating the cuts: 0.000010\n"
      "c relabels: 7 pushes: 11\nc ttime: 0.00\nc dtime: 0.00")
