#!/usr/bin/env python3
"""Proves one shipped level: its source says what it is, the solver's
figures are those the source records (least shots, reachable states, dead
ends, careless first and second shots), and a shortest solution, played key
by key through the real game frames by tarno-demo, wins the level.

    check_level.py --solve BIN --demo BIN --levelc BIN --data RUNDIR SOURCE N
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HEADER = ["idea", "least shots", "reachable states", "dead ends", "careless first shots", "careless second shots"]

# Recorded figure -> the line of `tarno-solve --stats` that gives it.
FIGURES = {
    "least shots": "least shots",
    "reachable states": "reachable states",
    "dead ends": "dead ends",
    "careless first shots": "first shots into a dead end",
    "careless second shots": "second shots into a dead end",
}


def read_header(path):
    fields, name = {}, None
    with open(path) as f:
        for i, line in enumerate(f):
            line = line.rstrip("\r\n").rstrip()
            if i == 0:
                m = re.match(r"name: (.+)$", line)
                name = m.group(1) if m else None
                continue
            m = re.match(r"# ([a-z ]+): (.+)$", line)
            if m and m.group(1) in HEADER and m.group(1) not in fields:
                fields[m.group(1)] = m.group(2)
    return name, fields


def fail(message):
    print("FAIL " + message)
    return 1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--solve", required=True)
    ap.add_argument("--demo", required=True)
    ap.add_argument("--levelc", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("source")
    ap.add_argument("level", type=int)
    args = ap.parse_args()

    name, fields = read_header(args.source)
    if not name or len(name) > 24:
        return fail("the first line must be 'name: ...', at most 24 characters")
    missing = [h for h in HEADER if h not in fields]
    if missing:
        return fail("the source does not record: " + ", ".join(missing))
    # How many balloons and deflectors fit is the level compiler's to refuse.
    least = int(fields["least shots"])
    if args.level >= 4:
        dead = re.match(r"\d+", fields["dead ends"])
        if not dead or int(dead.group(0)) == 0:
            return fail("from level 4 on a careless shot must be able to spoil the board")

    out = subprocess.run([args.solve, "--stats", args.source], capture_output=True, text=True)
    if out.returncode != 0:
        return fail("tarno-solve --stats: " + out.stdout + out.stderr)
    found = dict(line.split(": ", 1) for line in out.stdout.splitlines() if ": " in line)
    for field, line in FIGURES.items():
        if found.get(line) != fields[field]:
            return fail(f"the source records {field}: {fields[field]}, the solver says: {found.get(line, 'nothing')}")

    script = subprocess.run([args.solve, "--demo", "--level", str(args.level), args.source],
                            capture_output=True, text=True, check=True).stdout
    work = tempfile.mkdtemp(prefix="tarno-level-")
    try:
        for f in os.listdir(args.data):
            if f.endswith((".bmp", ".wav")):
                shutil.copy(os.path.join(args.data, f), work)
        # The game plays the source itself, compiled as the build does.
        subprocess.run([args.levelc, args.source, os.path.join(work, f"level{args.level}.dat")],
                       check=True, capture_output=True)
        with open(os.path.join(work, "solution.demo"), "w") as f:
            f.write(script)
        run = subprocess.run([args.demo, "solution.demo"], cwd=work, capture_output=True, text=True)
        if run.returncode != 0:
            return fail("tarno-demo: " + run.stdout + run.stderr)
        dumps = [json.loads(line) for line in run.stdout.splitlines() if line.startswith("{")]
        if not dumps:
            return fail("tarno-demo printed no dump")
        last = dumps[-1]
        if not last["won"] or last["balloonsLeft"] != 0:
            return fail(f"the solution played through the frames does not win: {last['balloonsLeft']} balloons left")
        if last["level"] != min(args.level + 1, 12):
            return fail(f"after winning level {args.level} the game is on level {last['level']}")
    finally:
        shutil.rmtree(work)
    print(f"level {args.level} '{name}': every recorded figure agrees; won in {least} shots through the real frames")
    return 0


if __name__ == "__main__":
    sys.exit(main())
