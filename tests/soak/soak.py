#!/usr/bin/env python3
"""Soak: random scripts played through tarno-demo until FRAMES frames have
run, each dump checked against the rules' invariants:

- balloons left equals the balloons alive, each on a balloon cell;
- every cell code is one play can leave (the border stays 0);
- the tank stays on the border ring;
- once the keys are let go, deflectors come to rest in bounded time, and a
  shot still flying long after is only one going round a loop;
- the saved progress never goes down.

Scripts start from a random saved level and now and then play a level's
solution (from tarno-solve), so that wins raise the progress too.

Usage: soak.py TARNO_DEMO TARNO_SOLVE RUN_DIR FRAMES [SEED]
"""
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

CELL, FIELD_MAX = 48, 624
KEYS = ["left", "up", "right", "down"]
LOCKED_PAIR = 19  # two wedges locked together: play makes it, no level holds it


def interior_codes(demo):
    """The codes play can leave inside the border: every piece's, as
    tarno-levelc (beside tarno-demo) lists them, and the locked pair."""
    levelc = os.path.join(os.path.dirname(demo), "tarno-levelc")
    listed = subprocess.run([levelc, "--cells"], capture_output=True, text=True, check=True).stdout
    return {int(line.split()[1]) for line in listed.splitlines()} | {LOCKED_PAIR}


def solutions(solve, run_dir):
    """Demo lines that win levels 1 to 10 (the quick ones to solve)."""
    found = []
    for n in range(1, 11):
        r = subprocess.run([solve, "--demo", os.path.join(run_dir, f"level{n}.dat")], capture_output=True,
                           text=True, timeout=300)
        if r.returncode == 0:
            found.append([line for line in r.stdout.splitlines() if line and not line.startswith("#")])
    return found


def random_script(rng, frames, wins):
    """Lines and the frames they run (at least `frames`)."""
    lines = [f"level {rng.randint(1, 12)}", "dump"]
    ran = 0
    while ran < frames:
        roll = rng.random()
        if roll < 0.02 and wins:
            lines += ["keys"] + rng.choice(wins) + ["wait 300"]
            ran += 400
        elif roll < 0.03:
            lines.append(f"level {rng.randint(1, 12)}")
        elif roll < 0.06:
            lines.append(rng.choice(["reset", "keys r", f"menu {rng.choice([5, 21, 32, 33, 99])}"]))
        elif roll < 0.07:
            # Into the editor and back: a click or two, never S, so the levels stay as shipped.
            lines += ["keys d", "wait 2", "keys", f"click right {rng.randint(-50, 700)} {rng.randint(-50, 700)}",
                      "wait 3", "keys enter", "wait 1", "keys"]
            ran += 6
        elif roll < 0.10:
            # A tap: the tank drives the shorter way round or fires, as the pointer says.
            n = rng.randint(1, 200)
            lines += [f"tap {rng.randint(-50, 700)} {rng.randint(-50, 700)}", f"wait {n}"]
            ran += n
        elif roll < 0.15:
            # Let go, and everything must settle.
            lines += ["keys", "rest 2000", "dump", "rest 40000", "dump"]
        else:
            held = rng.sample(KEYS, rng.choice([1, 1, 1, 2]))
            n = rng.randint(1, 60)
            lines += ["keys " + " ".join(held), f"wait {n}"]
            ran += n
        lines.append("dump")
    lines += ["keys", "rest 2000", "dump", "rest 40000", "dump"]
    return lines


def check(state, prev, problems, where, interior):
    if not state["editor"]:
        alive = [b for b in state["balloons"] if b["alive"]]
        if len(alive) != state["balloonsLeft"]:
            problems.append(f"{where}: balloonsLeft {state['balloonsLeft']} but {len(alive)} alive")
        for b in alive:
            if b["x"] % CELL or b["y"] % CELL or state["board"][b["x"] // CELL][b["y"] // CELL] != 17:
                problems.append(f"{where}: balloon {b['slot']} off a balloon cell")
    board = state["board"]
    for cx in range(14):
        for cy in range(14):
            border = cx in (0, 13) or cy in (0, 13)
            code = board[cx][cy]
            if (code != 0) if border else (code not in interior):
                problems.append(f"{where}: cell ({cx},{cy}) holds {code}")
    x, y = state["tank"]["x"], state["tank"]["y"]
    if not (0 <= x <= FIELD_MAX and 0 <= y <= FIELD_MAX and (x in (0, FIELD_MAX) or y in (0, FIELD_MAX))):
        problems.append(f"{where}: tank at ({x},{y}) off the ring")
    goal = state["driveTo"]
    if goal is not None and not (goal["cx"] in (0, 13) or goal["cy"] in (0, 13)):
        problems.append(f"{where}: the tank drives to ({goal['cx']},{goal['cy']}), off the ring")
    if prev is not None and prev["saved"] is not None and (state["saved"] is None or state["saved"] < prev["saved"]):
        problems.append(f"{where}: saved progress fell from {prev['saved']} to {state['saved']}")


def main():
    demo, solve, run_dir, total = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3], int(sys.argv[4])
    rng = random.Random(int(sys.argv[5]) if len(sys.argv) > 5 else 1)
    wins_played = solutions(solve, run_dir)
    interior = interior_codes(demo)
    frames = loops = scripts = wins = 0
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "run")
        shutil.copytree(run_dir, work)
        while frames < total and not problems:
            lines = random_script(rng, min(20000, max(1, total - frames)), wins_played)
            script = os.path.join(tmp, "soak.demo")
            with open(script, "w") as f:
                f.write("\n".join(lines) + "\n")
            env = dict(os.environ, TARNO_SAVED_LEVEL=str(rng.randint(1, 12)))
            r = subprocess.run([demo, script], cwd=work, capture_output=True, text=True, env=env)
            scripts += 1
            where = f"script {scripts}"
            if r.returncode != 0:
                problems.append(f"{where}: tarno-demo exited {r.returncode}: {r.stderr.strip()}")
                break
            prev = None
            dumps = [json.loads(line) for line in r.stdout.splitlines() if line.startswith("{")]
            for i, state in enumerate(dumps):
                check(state, prev, problems, f"{where}, dump {i + 1}", interior)
                prev = state
            # The dumps after "rest 2000" and "rest 40000" come in pairs; the
            # "dump" lines before a dump line number it.
            for i in [i for i, line in enumerate(lines) if line == "rest 40000"]:
                first, second = dumps[lines[:i - 1].count("dump")], dumps[lines[:i + 1].count("dump")]
                if any(d["xv"] or d["yv"] for d in first["deflectors"]):
                    problems.append(f"{where}: a deflector still slides 2000 frames after the keys were let go")
                if any(s["active"] for s in first["shots"]):
                    # Still flying: only a loop may keep it up, and a loop pops nothing more.
                    loops += 1
                    if second["balloonsLeft"] != first["balloonsLeft"]:
                        problems.append(f"{where}: a shot flying after 2000 frames still popped balloons")
            frames += dumps[-1]["frame"] if dumps else 0
            wins += sum(1 for a, b in zip(dumps, dumps[1:]) if b["won"] and not a["won"])
            if problems:
                shutil.copy(script, "soak-failed.demo")
    print(f"soak: {frames} frames in {scripts} scripts, {wins} wins, {loops} shots caught in loops")
    if problems:
        print("the failing script is soak-failed.demo")
    for p in problems[:20]:
        print(p)
    sys.exit(1 if problems else 0)


main()
