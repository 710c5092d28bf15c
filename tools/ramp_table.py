#!/usr/bin/env python3
"""Prints the shipped levels' designer figures (tarno-solve --analyse) as
the table of docs/ARCHITECTURE.md, the ramp the generator's grades are
measured against.

    tools/ramp_table.py [--check docs/ARCHITECTURE.md] TARNO_SOLVE [data/levels]

With --check it prints nothing and fails when the document does not hold
the table as the solver gives it today.
"""
import os
import re
import subprocess
import sys


def analyse(solve, path):
    out = subprocess.run([solve, "--analyse", path], capture_output=True, text=True, timeout=600, check=True).stdout
    return dict(re.findall(r"^([a-z ,-]+): (.*)$", out, re.M))


def table(solve, folder):
    rows = ["| # | level | par | boards | dead share | careless 1st | essential solutions | forced steps "
            "| groups (largest) | straight / turn / push / snap | fewest tricks (snaps) | random win | symmetry |",
            "|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
    for n in range(1, 13):
        f = analyse(solve, os.path.join(folder, f"level{n}.txt"))
        groups, largest = re.match(r"(\d+), the largest ([0-9.]+)", f["independent groups"]).groups()
        careless = f["first shots into a dead end"].split()[0]
        kinds = " / ".join(f[f"shots that {k}"] for k in ("pop straight", "turn", "push", "snap"))
        rows.append(f"| {n} | {f['level']} | {f['least shots']} | {int(f['reachable states']):,} "
                    f"| {f['dead-end share']} | {careless} | {f['essential solutions']} | {f['forced steps']} "
                    f"| {groups} ({largest}) | {kinds} | {f['fewest shots that turn, push or snap']} "
                    f"({f['fewest shots that snap']}) | {f['random-play win chance']} | {f['symmetry']} |")
    return "\n".join(rows) + "\n"


def main():
    args = sys.argv[1:]
    doc = None
    if args[:1] == ["--check"]:
        doc, args = args[1], args[2:]
    solve = args[0]
    folder = args[1] if len(args) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "levels")
    text = table(solve, folder)
    if doc is None:
        sys.stdout.write(text)
        return 0
    with open(doc) as f:
        if text in f.read():
            return 0
    print(f"{doc} does not hold the shipped levels' figures as tarno-solve --analyse gives them; make them with:")
    print("  tools/ramp_table.py build/ci/tools/tarno-solve")
    return 1


if __name__ == "__main__":
    sys.exit(main())
