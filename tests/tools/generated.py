#!/usr/bin/env python3
"""Levels from tarno-gen, seen from outside: every header figure is what
tarno-solve measures, the pieces fit the game's tables, no level is won by
its first shot, the levels of different seeds differ, the compiler takes
each, the level lies in its grade's band, and the grade's levels together
have what the shipped ramp would recognise in a designer's figures.
  generated.py GEN SOLVE LEVELC GRADE COUNT"""
import os
import re
from statistics import median
import subprocess
import sys
import tempfile

gen, solve, levelc, grade, count = sys.argv[1:6]
# The bands of src/gen/grade.cpp: par, reachable boards, dead ends per
# thousand, careless first shots.
BANDS = {
    "easy": ((4, 6), (16, 3100), (0, 300), 2),
    "medium": ((6, 10), (2000, 30000), (600, 970), 2),
    "hard": ((10, 16), (40000, 1000000), (900, 1000), 2),
}
failures = []
out = subprocess.run([gen, "--grade", grade, "--seed", "1", "--count", count],
                     capture_output=True, text=True, timeout=3000, check=True).stdout
sources = ["name:" + s for s in out.split("\nname:")]
sources[0] = sources[0][len("name:"):]
if len(sources) != int(count):
    failures.append(f"{len(sources)} sources for {count} seeds")
grids = {}
figures = []
with tempfile.TemporaryDirectory() as tmp:
    for k, src in enumerate(sources):
        seed = k + 1
        head = dict(re.findall(r"^# ([a-z ]+): (.*)$", src, re.M))
        grid = "".join(line for line in src.splitlines()[1:] if len(line) == 12 and not line.startswith("# "))
        path = os.path.join(tmp, f"g{seed}.txt")
        with open(path, "w") as f:
            f.write(src)
        stats = subprocess.run([solve, "--analyse", path], capture_output=True, text=True, timeout=600)
        if stats.returncode != 0:
            failures.append(f"seed {seed}: tarno-solve --analyse gave {stats.returncode}")
            continue
        got = dict(re.findall(r"^([^:\n]+): (.*)$", stats.stdout, re.M))
        figures.append({"family": src.split("\n")[0].split(", ")[0][len("name: "):],
                        "states": int(got["reachable states"]), "dead": float(got["dead-end share"]),
                        "tricks": int(got["fewest shots that turn, push or snap"]),
                        "snaps": int(got["fewest shots that snap"]), "random": float(got["random-play win chance"]),
                        "essential": int(got["essential solutions"]), "symmetry": float(got["symmetry"]),
                        "wedges": sum(grid.count(c) for c in "0123")})
        first = got["first shots into a dead end"]
        second = got["second shots into a dead end"]
        for key, want in [("least shots", got["least shots"]), ("reachable states", got["reachable states"]),
                          ("dead ends", got["dead ends"]), ("careless first shots", first),
                          ("careless second shots", second)]:
            if head.get(key) != want:
                failures.append(f"seed {seed}: header says {key} {head.get(key)}, tarno-solve {want}")
        if head.get("grade") != grade or head.get("seed") != str(seed):
            failures.append(f"seed {seed}: the header does not name the grade and seed")
        par, states, dead = int(got["least shots"]), int(got["reachable states"]), int(got["dead ends"])
        (pmin, pmax), (smin, smax), (dmin, dmax), cmax = BANDS[grade]
        share = dead * 1000 // states
        careless = int(first.split()[0])
        if not (pmin <= par <= pmax and smin <= states <= smax and dmin <= share <= dmax and careless <= cmax):
            failures.append(f"seed {seed}: par {par}, {states} boards, {share}/1000 dead, {careless} careless: "
                            f"outside the {grade} band")
        if par < 2:
            failures.append(f"seed {seed}: won by the first shot")
        if grid.count("o") > 10 or sum(grid.count(c) for c in "0123") > 15:
            failures.append(f"seed {seed}: more pieces than the game holds")
        if grid in grids:
            failures.append(f"seeds {grids[grid]} and {seed} made the same board")
        grids[grid] = seed
        dat = os.path.join(tmp, f"g{seed}.dat")
        if subprocess.run([levelc, path, dat], capture_output=True).returncode != 0:
            failures.append(f"seed {seed}: tarno-levelc refuses the source")


def share(test):
    return sum(1 for f in figures if test(f)) / max(1, len(figures))


# What the grades ask beyond their bands, from the shipped ramp (levels 3-4
# teach turning and pushing, 5, 6 and 12 snap, 9-12 reach tens of
# thousands of boards and are seldom won at random).
AIMS = {
    "easy": [("need a turn or push", share(lambda f: f["tricks"] > 0), ">=", 0.75),
             ("can be lost", share(lambda f: f["random"] < 1), ">=", 0.5)],
    "medium": [("need a snap", share(lambda f: f["snaps"] > 0), ">=", 0.3),
               ("a half and its mirror image", share(lambda f: f["symmetry"] == 1), ">=", 0.5),
               ("wedges, median", median([f["wedges"] for f in figures]), ">=", 3),
               ("dead-end share, median", median([f["dead"] for f in figures]), ">=", 0.8)],
    "hard": [("reachable boards, median", median([f["states"] for f in figures]), ">=", 40000),
             ("dead-end share, median", median([f["dead"] for f in figures]), ">=", 0.92),
             ("at most 2 essential solutions", share(lambda f: f["essential"] <= 2), ">=", 0.8),
             ("random win, median", median([f["random"] for f in figures]), "<=", 0.03),
             ("a half and its mirror image", share(lambda f: f["symmetry"] == 1), ">=", 0.5),
             ("families", len({f["family"] for f in figures}), ">=", 5)],
}
for name, value, way, aim in AIMS[grade] if figures else []:
    print(f"{name}: {value:g} (aim {way} {aim})")
    if (value < aim) if way == ">=" else (value > aim):
        failures.append(f"{name} {value:g}, aim {way} {aim}")

for f in failures:
    print("FAILED:", f)
print(f"{len(sources)} {grade} levels checked")
sys.exit(1 if failures else 0)
