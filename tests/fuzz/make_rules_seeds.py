#!/usr/bin/env python3
"""Writes the rules fuzzer's seeds: each shipped level's bytes followed by its
solution's shots (entry, then 255 frames to wait), and the level alone.
Usage: make_rules_seeds.py TARNO_SOLVE RUN_DIR OUT_DIR"""
import os
import subprocess
import sys

solve, run, out = sys.argv[1:4]
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
    open(os.path.join(out, f"level{n}-solved"), "wb").write(level + shots)
    open(os.path.join(out, f"level{n}"), "wb").write(level)
