#!/usr/bin/env python3
"""Writes the rules fuzzer's seeds: each shipped level's bytes followed by its
solution's shots (entry, then 255 frames to wait), and the level alone.
With --check, writes nothing and fails when OUT_DIR's seeds differ from
what the shipped levels give (a changed level or rule leaves them stale).
Usage: make_rules_seeds.py [--check] TARNO_SOLVE RUN_DIR OUT_DIR"""
import os
import subprocess
import sys

check = sys.argv[1:2] == ["--check"]
solve, run, out = sys.argv[1 + check:4 + check]
stale = []


def put(name, data):
    path = os.path.join(out, name)
    if not check:
        open(path, "wb").write(data)
    elif not os.path.isfile(path) or open(path, "rb").read() != data:
        stale.append(name)


names = ["right", "left", "down", "up"]
for n in range(1, 13):
    level = open(os.path.join(run, f"level{n}.dat"), "rb").read()[:300]
    lines = subprocess.run([solve, os.path.join(run, f"level{n}.dat")], capture_output=True, text=True,
                           check=True).stdout.split("\n")
    shots = bytearray()
    for line in lines:
        words = line.split()
        if len(words) == 2 and words[0] in names and words[1].isdigit():
            shots += bytes([names.index(words[0]) * 12 + int(words[1]) - 1, 255])
    put(f"level{n}-solved", level + shots)
    put(f"level{n}", level)
if stale:
    sys.exit("stale fuzzer seeds in %s: %s (renew them: make_rules_seeds.py TARNO_SOLVE RUN_DIR OUT_DIR)"
             % (out, " ".join(stale)))
