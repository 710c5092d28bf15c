#!/usr/bin/env python3
"""Prints the table of levels for the README from the level sources:
name, idea and the figures each source records.

    tools/levels_table.py [--check README.md] [data/levels]

With --check it prints nothing and fails when the README does not hold the
table as the sources give it today.
"""
import os
import re
import sys


def read(path):
    fields = {}
    with open(path) as f:
        lines = f.read().splitlines()
    fields["name"] = lines[0].split(":", 1)[1].strip()
    for line in lines[1:]:
        m = re.match(r"# ([a-z ]+): (.+)$", line.rstrip())
        if m and m.group(1) not in fields:
            fields[m.group(1)] = m.group(2).strip()
    return fields


def table(folder):
    rows = ["| # | Level | Least shots | Boards reachable | Dead ends | What it asks |",
            "|---|---|---|---|---|---|"]
    for n in range(1, 13):
        path = os.path.join(folder, f"level{n}.txt")
        if not os.path.exists(path):
            continue
        f = read(path)
        rows.append(f"| {n} | {f['name']} | {f.get('least shots', '?')} | {f.get('reachable states', '?')} "
                    f"| {f.get('dead ends', '?')} | {f.get('idea', '')} |")
    return "\n".join(rows) + "\n"


def main():
    args = sys.argv[1:]
    readme = None
    if args[:1] == ["--check"]:
        readme, args = args[1], args[2:]
    folder = args[0] if args else os.path.join(os.path.dirname(__file__), "..", "data", "levels")
    text = table(folder)
    if readme is None:
        sys.stdout.write(text)
        return 0
    with open(readme) as f:
        if text in f.read():
            return 0
    print(f"{readme} does not hold the table of levels as the sources give it; make it with:")
    print("  tools/levels_table.py")
    return 1


if __name__ == "__main__":
    sys.exit(main())
