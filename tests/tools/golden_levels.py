#!/usr/bin/env python3
"""The generator's pinned levels: seeds 1-10 of each grade and a week of
daily levels must come out as the boards recorded in the file, byte for
byte, for as long as the generator's version stays: a grade and a seed (and
so a date's daily level and a "#new=" link) name one board. A change that
alters a level raises GENERATOR_VERSION (src/gen/version.h) on purpose and
renews the file:
  golden_levels.py TARNO_GEN FILE [--renew]
The week's daily levels must also differ from each other under every
rotation and mirroring of the board."""
import re
import subprocess
import sys

gen, path = sys.argv[1:3]
renew = "--renew" in sys.argv[3:]
DATES = ["2026-12-07", "2026-12-08", "2026-12-09", "2026-12-10", "2026-12-11", "2026-12-12", "2026-12-13"]
RENEW = f"python3 tests/tools/golden_levels.py {gen} tests/tools/golden_levels.txt --renew"


def levels(args):
    out = subprocess.run([gen] + args, capture_output=True, text=True, timeout=1800, check=True).stdout
    found = []
    for src in ("\n" + out).split("\nname: ")[1:]:
        head = dict(re.findall(r"^# ([a-z ]+): (.*)$", src, re.M))
        # The grid is the source's last 12 lines; a row may start with a block.
        rows = [line for line in src.splitlines() if line][-12:]
        assert all(len(r) == 12 and not r.startswith("# ") for r in rows), src
        found.append((head["generator"], head["grade"], head["seed"], "/".join(rows)))
    return found


# A wedge's corner as bits (1 right, 2 bottom) for orientations 0-3, and back.
CORNER = [0, 1, 3, 2]


def image(rows, img):
    """The board under image img: bit 4 swaps rows and columns, then 1
    mirrors the columns, 2 the rows; each wedge turns with it."""
    grid = rows.split("/")
    out = [["."] * 12 for _ in range(12)]
    for y in range(12):
        for x in range(12):
            c = grid[y][x]
            if c in "0123":
                k = CORNER[int(c)]
                if img & 4:
                    k = (k & 1) << 1 | k >> 1
                k ^= img & 3
                c = str(CORNER[k])
            tx, ty = (y, x) if img & 4 else (x, y)
            out[11 - ty if img & 2 else ty][11 - tx if img & 1 else tx] = c
    return "/".join("".join(r) for r in out)


made = []
for grade in ("easy", "medium", "hard"):
    made += [f"{grade} {seed} {rows}" for _, _, seed, rows in levels(["--grade", grade, "--seed", "1", "--count", "10"])]
version = None
week = []
for date in DATES:
    version, grade, seed, rows = levels(["--daily", date])[0]
    made.append(f"{date} {grade} {seed} {rows}")
    week.append((date, rows))
text = f"generator {version}\n" + "\n".join(made) + "\n"
if renew:
    with open(path, "w") as f:
        f.write(text)
    sys.exit(0)

failed = False
for i, (date, rows) in enumerate(week):
    for other, earlier in week[:i]:
        if any(image(earlier, img) == rows for img in range(8)):
            print(f"FAILED: the daily level of {date} is the board of {other}")
            failed = True
with open(path) as f:
    pinned = f.read()
old = pinned.splitlines()
if old[0] != text.splitlines()[0]:
    print(f"FAILED: the generator is version {version} but the pinned levels are {old[0]}; renew them with\n  {RENEW}")
    failed = True
elif pinned != text:
    for a, b in zip(old[1:], made):
        if a != b:
            print(f"FAILED: {' '.join(a.split()[:2])} is no longer the pinned board")
    print(f"A change that alters a level must raise GENERATOR_VERSION in src/gen/version.h on purpose\n"
          f"(players on another build would get another daily level and '#new=' links another board),\n"
          f"then renew the pins with\n  {RENEW}")
    failed = True
if failed:
    sys.exit(1)
print(f"{len(made)} levels as pinned for generator {version}; the week's daily levels all differ")
